#include "payers/UniformRowListView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace itm {

namespace {
// Rounds towards minus infinity, so a point above the viewport lies in a row above the top one.
int rowsDown(int y, int rowHeight)
{
    return y >= 0 ? y / rowHeight : -((rowHeight - 1 - y) / rowHeight);
}
} // namespace

UniformRowListView::UniformRowListView(QWidget* parent)
    : QListView(parent)
{
    setUniformItemSizes(true);
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

int UniformRowListView::rowCount() const
{
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int UniformRowListView::rowHeight() const
{
    if (m_rowHeight == 0) {
        const int height = rowCount() > 0 ? sizeHintForIndex(model()->index(0, modelColumn(), rootIndex())).height()
                                          : fontMetrics().height();
        m_rowHeight = qMax(1, height);
    }
    return m_rowHeight;
}

int UniformRowListView::rowsInSight() const
{
    return qMax(1, viewport()->height() / rowHeight());
}

int UniformRowListView::rowAt(int viewportY) const
{
    const int row = verticalScrollBar()->value() + rowsDown(viewportY, rowHeight());
    return row >= 0 && row < rowCount() ? row : -1;
}

QRect UniformRowListView::rowsRect(int firstRow, int lastRow) const
{
    // Rows far outside the viewport are cut off first, so the rectangle of a
    // long selection stays within the coordinates a widget can hold.
    const int top = verticalScrollBar()->value();
    firstRow = qMax(firstRow, top - 1);
    lastRow = qMin(lastRow, top + rowsInSight() + 1);
    if (firstRow > lastRow)
        return QRect();
    const int height = rowHeight();
    return QRect(0, (firstRow - top) * height, viewport()->width(), (lastRow - firstRow + 1) * height);
}

QRect UniformRowListView::visualRect(const QModelIndex& index) const
{
    if (!index.isValid() || index.parent() != rootIndex() || index.column() != modelColumn())
        return QRect();
    return rowsRect(index.row(), index.row());
}

QModelIndex UniformRowListView::indexAt(const QPoint& point) const
{
    if (point.x() < 0 || point.x() >= viewport()->width())
        return QModelIndex();
    const int row = rowAt(point.y());
    return row < 0 ? QModelIndex() : model()->index(row, modelColumn(), rootIndex());
}

void UniformRowListView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!index.isValid())
        return;
    updateScrollRange();
    const int row = index.row();
    const int inSight = rowsInSight();
    int top = verticalScrollBar()->value();
    switch (hint) {
    case EnsureVisible:
        if (row < top)
            top = row;
        else if (row >= top + inSight)
            top = row - inSight + 1;
        break;
    case PositionAtTop:
        top = row;
        break;
    case PositionAtBottom:
        top = row - inSight + 1;
        break;
    case PositionAtCenter:
        top = row - inSight / 2;
        break;
    }
    verticalScrollBar()->setValue(top);
}

QModelIndex UniformRowListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers)
{
    const int rows = rowCount();
    if (rows == 0)
        return QModelIndex();
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return model()->index(0, modelColumn(), rootIndex());
    // A page keeps the row that was last in sight in sight, as the first one.
    const int page = qMax(1, rowsInSight() - 1);
    int row = current.row();
    switch (cursorAction) {
    case MoveUp:
    case MovePrevious:
        --row;
        break;
    case MoveDown:
    case MoveNext:
        ++row;
        break;
    case MovePageUp:
        row -= page;
        break;
    case MovePageDown:
        row += page;
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = rows - 1;
        break;
    case MoveLeft:
    case MoveRight:
        break;
    }
    return model()->index(qBound(0, row, rows - 1), modelColumn(), rootIndex());
}

void UniformRowListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command)
{
    if (!selectionModel())
        return;
    const QRect area = rect.normalized();
    QItemSelection selection;
    const int rows = rowCount();
    if (rows > 0 && area.right() >= 0 && area.left() < viewport()->width()) {
        const int top = verticalScrollBar()->value();
        const int firstRow = qMax(0, top + rowsDown(area.top(), rowHeight()));
        const int lastRow = qMin(rows - 1, top + rowsDown(area.bottom(), rowHeight()));
        if (firstRow <= lastRow) {
            selection.select(model()->index(firstRow, modelColumn(), rootIndex()),
                model()->index(lastRow, modelColumn(), rootIndex()));
        }
    }
    selectionModel()->select(selection, command);
}

QRegion UniformRowListView::visualRegionForSelection(const QItemSelection& selection) const
{
    QRegion region;
    for (const QItemSelectionRange& range : selection) {
        if (range.parent() != rootIndex() || range.left() > modelColumn() || range.right() < modelColumn())
            continue;
        region += rowsRect(range.top(), range.bottom());
    }
    return region;
}

void UniformRowListView::paintEvent(QPaintEvent* event)
{
    const int rows = rowCount();
    if (rows == 0 || !itemDelegate())
        return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QStyle::State state = option.state;
    const QModelIndex current = currentIndex();
    const bool focus = (hasFocus() || viewport()->hasFocus()) && current.isValid();
    const int height = rowHeight();
    const int top = verticalScrollBar()->value();
    const QRect area = event->rect();
    const int firstRow = top + qMax(0, area.top()) / height;
    const int lastRow = qMin(rows - 1, top + qMax(0, area.bottom()) / height);
    QPainter painter(viewport());
    for (int row = firstRow; row <= lastRow; ++row) {
        const QModelIndex index = model()->index(row, modelColumn(), rootIndex());
        option.rect = QRect(0, (row - top) * height, viewport()->width(), height);
        option.state = state;
        if (selectionModel() && selectionModel()->isSelected(index))
            option.state |= QStyle::State_Selected;
        if (focus && index == current)
            option.state |= QStyle::State_HasFocus;
        itemDelegateForIndex(index)->paint(&painter, option, index);
    }
}

void UniformRowListView::doItemsLayout()
{
    // The layout of every row is the one row height, measured again since
    // the font, the style or the items may have changed.
    m_rowHeight = 0;
    QAbstractItemView::doItemsLayout();
}

void UniformRowListView::reset()
{
    QListView::reset();
    m_rowHeight = 0;
    updateScrollRange();
}

void UniformRowListView::resizeEvent(QResizeEvent* event)
{
    QAbstractItemView::resizeEvent(event);
}

void UniformRowListView::scrollContentsBy(int, int)
{
    viewport()->update();
}

int UniformRowListView::horizontalOffset() const
{
    return 0;
}

int UniformRowListView::verticalOffset() const
{
    return verticalScrollBar()->value() * rowHeight();
}

void UniformRowListView::updateGeometries()
{
    updateScrollRange();
    QAbstractItemView::updateGeometries();
}

bool UniformRowListView::isIndexHidden(const QModelIndex&) const
{
    return false;
}

void UniformRowListView::updateScrollRange()
{
    const int inSight = rowsInSight();
    QScrollBar* bar = verticalScrollBar();
    bar->setSingleStep(1);
    bar->setPageStep(inSight);
    bar->setRange(0, qMax(0, rowCount() - inSight));
}

} // namespace itm
