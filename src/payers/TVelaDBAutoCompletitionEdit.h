#pragma once

#include "widgets/ControlHooks.h"
#include "widgets/FieldLink.h"

#include <QLineEdit>
#include <QPointer>
#include <functional>

namespace itm {

class TVelaDBListBox;

// A single-line edit tied to two datasets: it completes what is typed from one
// column of a list dataset (moving that dataset to the matched row), shows a
// drop-down of that column while it has the focus, and on leaving writes the
// matched row's key into a column of the bound record. It can refuse to be
// left while empty or, when it accepts list values only, unmatched.
class TVelaDBAutoCompletitionEdit : public QLineEdit, public HookedControl, public BoundControl
{
    Q_OBJECT
    Q_INTERFACES(itm::BoundControl)
public:
    explicit TVelaDBAutoCompletitionEdit(QWidget* parent = nullptr);
    ~TVelaDBAutoCompletitionEdit() override;

    bool IsDirty = false;
    int ListHeight = 100;
    std::function<void(TVelaDBAutoCompletitionEdit*)> OnNotInListSource;
    QString KeyField;
    bool OnEnterGotoFirst = false;
    bool NoValueNoExit = false;
    bool ReadOnly = false;
    QPointer<QWidget> SetPriorFocusControl;
    QPointer<QWidget> SetFocusControl;

    void setDataSource(DataSource* source) { m_dataLink.setDataSource(source); }
    void setDataField(const QString& field) { m_dataLink.setFieldName(field); }
    // The bound record's column; the list has a link of its own.
    FieldLink& link() override { return m_dataLink; }
    void setListSource(DataSource* source) { m_listLink.setDataSource(source); }
    void setListField(const QString& field) { m_listLink.setFieldName(field); }
    QString ListField() const { return m_listLink.fieldName(); }
    QString DataField() const { return m_dataLink.fieldName(); }

    bool IsInListSource() const { return !m_notInList; }
    TVelaDBListBox* dropDown() const;

    void DataUpdateChange();
    void ListUpdateChange();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void Change();
    void DoEnter();
    void DoExit();
    void writeKey();
    void showListRow(const Field& listField);
    bool refusesEmptyOrUnmatched() const;
    void destroyDropDown();
    void takeFocusBack();

    FieldLink m_listLink;
    FieldLink m_dataLink;
    QPointer<TVelaDBListBox> m_listBox;
    bool m_updating = false;
    bool m_keepDropDown = false;
    bool m_notInList = false;
    bool m_escaped = false;
};

} // namespace itm
