#pragma once

#include <QListView>

namespace itm {

// A one-column list view whose rows all have the same height, so the place
// of a row is computed from its number rather than laid out: showing, filling,
// scrolling and painting cost the rows in sight, however many rows the model
// holds. QListView itself lays out every row (and keeps a position for each)
// whenever its model is reset, which for a list of a million rows is the
// whole cost of showing it. Callers still see an ordinary list view: the
// geometry behind it is the only thing replaced.
//
// The vertical scroll bar counts rows: its value is the top row shown.
class UniformRowListView : public QListView
{
    Q_OBJECT
public:
    explicit UniformRowListView(QWidget* parent = nullptr);

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void doItemsLayout() override;
    void reset() override;

    int rowHeight() const;
    // The rows the viewport shows whole (at least one, so a viewport lower
    // than a row still scrolls by rows).
    int rowsInSight() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    bool isIndexHidden(const QModelIndex& index) const override;

private:
    int rowCount() const;
    int rowAt(int viewportY) const;
    QRect rowsRect(int firstRow, int lastRow) const;
    void updateScrollRange();

    mutable int m_rowHeight = 0;
};

} // namespace itm
