#pragma once

#include "payers/UniformRowListView.h"
#include "widgets/FieldLink.h"

#include <QAbstractListModel>
#include <QPointer>

namespace itm {

// The items of a drop-down: a shared copy of one column's compact texts, so
// filling it costs nothing however long the list is; an item's string is made
// only when the view shows it.
class ColumnListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    void setTexts(TextColumn texts);
    void clear() { setTexts({}); }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    TextColumn m_texts;
};

// A list bound to one column of a dataset: it shows the column of every row and
// highlights the current row; choosing an item makes its row current. Only the
// rows in sight are ever read or painted.
class TVelaDBListBox : public UniformRowListView
{
    Q_OBJECT
public:
    explicit TVelaDBListBox(QWidget* parent = nullptr);

    void setListSource(DataSource* source);
    void setListField(const QString& field);
    void setOnExitSetFocusTo(QWidget* control) { m_onExitSetFocusTo = control; }
    QWidget* onExitSetFocusTo() const { return m_onExitSetFocusTo; }

    int count() const { return m_model.rowCount(); }
    int itemIndex() const;
    void setItemIndex(int index);
    QString item(int index) const;

    void ListUpdateChange();
    void GotoIndex(int index);

protected:
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void Click();
    bool canMoveDataset() const;

    FieldLink m_listLink;
    ColumnListModel m_model;
    QPointer<QWidget> m_onExitSetFocusTo;
    bool m_updating = false;
};

} // namespace itm
