#pragma once

#include <QTableView>

namespace itm {

// The table of the month window, for the keyboard: the arrows, Page Up/Down,
// Home and End move the current row (Home and End to the first and the last
// payer) without changing which rows are marked; Space marks or unmarks the
// current row, Shift with a move marks a range. The current row is shown in
// the colour of a field that has the focus. The mouse selects as usual.
class MonthTableView : public QTableView
{
    Q_OBJECT
public:
    explicit MonthTableView(QWidget* parent = nullptr);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex& index, const QEvent* event = nullptr) const override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
};

} // namespace itm
