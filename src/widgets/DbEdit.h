#pragma once

#include "widgets/ControlHooks.h"
#include "widgets/FieldLink.h"

#include <QLineEdit>

namespace itm {

enum class CharCase
{
    Normal,
    Upper,
    Lower
};

// A single-line edit bound to one column: shows the column of the current row,
// puts the row into editing when the user types, and writes the text into the
// buffer when it is left or when the row is posted while it still has the focus.
class DbEdit : public QLineEdit, public HookedControl, public BoundControl
{
    Q_OBJECT
    Q_INTERFACES(itm::BoundControl)
public:
    explicit DbEdit(QWidget* parent = nullptr);

    void setDataSource(DataSource* source) { m_link.setDataSource(source); }
    void setDataField(const QString& name) { m_link.setFieldName(name); }
    FieldLink& link() override { return m_link; }
    QString dataField() const { return m_link.fieldName(); }
    void setCharCase(CharCase charCase) { m_charCase = charCase; }
    bool isModifiedByUser() const { return m_modified; }

    // Writes the text into the column now; raises the column's conversion error.
    void updateRecord();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showField();
    void onTextChanged();
    void leave();

    FieldLink m_link;
    CharCase m_charCase = CharCase::Normal;
    bool m_displaying = false;
    bool m_modified = false;
};

} // namespace itm
