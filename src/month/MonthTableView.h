#pragma once

#include <QSet>
#include <QTableView>

namespace itm {

class MonthTableModel;

// The table of the month window, for the keyboard: the arrows, Page Up/Down,
// Home and End move the current row (Home and End to the first and the last
// payer) without changing which rows are marked; Space marks or unmarks the
// current row, Shift with a move marks the range from where the move began,
// in addition to the marks made before. The marks are the model's (they
// belong to the payers). The current row is shown in the colour of a field
// that has the focus. With the mouse, a click makes a row current, Ctrl+click
// marks it, Shift+click marks a range.
class MonthTableView : public QTableView
{
    Q_OBJECT
public:
    explicit MonthTableView(QWidget* parent = nullptr);
    // The rows shown change (another filter, another month): a Shift range
    // begun before does not go on.
    void reset() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    MonthTableModel* monthModel() const;
    // Marks from the range's anchor to the current row, over the marks made
    // before the range began.
    void extendRange(int anchorRow);

    bool m_inRange = false;
    qint64 m_anchorPayer = 0;
    QSet<qint64> m_marksBeforeRange;
};

} // namespace itm
