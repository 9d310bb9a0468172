#include "month/MonthTableView.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyledItemDelegate>

namespace itm {

namespace {

class CurrentRowDelegate : public QStyledItemDelegate
{
public:
    explicit CurrentRowDelegate(QTableView* view)
        : QStyledItemDelegate(view)
        , m_view(view)
    {
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.row() == m_view->currentIndex().row() && !(option->state & QStyle::State_Selected))
            option->backgroundBrush = QApplication::palette().color(QPalette::ToolTipBase);
    }

private:
    QTableView* m_view;
};

} // namespace

MonthTableView::MonthTableView(QWidget* parent)
    : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setItemDelegate(new CurrentRowDelegate(this));
    // Rows of one height: the view never measures 100,000 rows.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    setSortingEnabled(true);
}

QItemSelectionModel::SelectionFlags MonthTableView::selectionCommand(
    const QModelIndex& index, const QEvent* event) const
{
    if (event && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier)
            return QItemSelectionModel::Toggle | QItemSelectionModel::Rows;
        if (!(key->modifiers() & Qt::ShiftModifier))
            return QItemSelectionModel::NoUpdate;
    }
    return QTableView::selectionCommand(index, event);
}

QModelIndex MonthTableView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    if (model() && model()->rowCount() > 0) {
        const int column = qMax(0, currentIndex().column());
        if (cursorAction == MoveHome)
            return model()->index(0, column);
        if (cursorAction == MoveEnd)
            return model()->index(model()->rowCount() - 1, column);
    }
    return QTableView::moveCursor(cursorAction, modifiers);
}

void MonthTableView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    // The current row's colour moves with it.
    viewport()->update();
}

} // namespace itm
