#include "month/MonthTableView.h"

#include "month/MonthTableModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
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
        // A marked row keeps the mark's colour when it is the current one.
        if (index.row() == m_view->currentIndex().row() && !index.data(Qt::BackgroundRole).isValid())
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
    // The marks are the model's, kept by payer; the view selects nothing.
    setSelectionMode(QAbstractItemView::NoSelection);
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

void MonthTableView::reset()
{
    m_inRange = false;
    QTableView::reset();
}

MonthTableModel* MonthTableView::monthModel() const
{
    return qobject_cast<MonthTableModel*>(model());
}

void MonthTableView::keyPressEvent(QKeyEvent* event)
{
    MonthTableModel* marks = monthModel();
    const int key = event->key();
    const bool move = key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown
        || key == Qt::Key_Home || key == Qt::Key_End;
    if (marks && key == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        m_inRange = false;
        if (currentIndex().isValid())
            marks->toggleMark(currentIndex().row());
        event->accept();
        return;
    }
    if (!marks || !move || !(event->modifiers() & Qt::ShiftModifier) || !currentIndex().isValid()) {
        if (move || key == Qt::Key_Space)
            m_inRange = false;
        QTableView::keyPressEvent(event);
        return;
    }
    if (!m_inRange) {
        m_inRange = true;
        m_anchorPayer = marks->payerAt(currentIndex().row()).payerId;
        m_marksBeforeRange = marks->marks();
    }
    QTableView::keyPressEvent(event);
    extendRange(marks->rowOfPayer(m_anchorPayer));
}

void MonthTableView::mousePressEvent(QMouseEvent* event)
{
    MonthTableModel* marks = monthModel();
    const QModelIndex previous = currentIndex();
    QTableView::mousePressEvent(event);
    const QModelIndex clicked = indexAt(event->position().toPoint());
    if (!marks || !clicked.isValid() || event->button() != Qt::LeftButton)
        return;
    m_inRange = false;
    if (event->modifiers() & Qt::ControlModifier) {
        marks->toggleMark(clicked.row());
    } else if ((event->modifiers() & Qt::ShiftModifier) && previous.isValid()) {
        m_marksBeforeRange = marks->marks();
        extendRange(previous.row());
    }
}

void MonthTableView::extendRange(int anchorRow)
{
    MonthTableModel* marks = monthModel();
    if (!marks || anchorRow < 0 || !currentIndex().isValid())
        return;
    marks->markRange(m_marksBeforeRange, anchorRow, currentIndex().row());
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
