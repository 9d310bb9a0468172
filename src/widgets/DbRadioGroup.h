#pragma once

#include "widgets/FieldLink.h"
#include "widgets/RadioGroup.h"

namespace itm {

// A radio group bound to a column: item i stands for values[i]; choosing an
// item writes its value at once.
class DbRadioGroup : public RadioGroup, public BoundControl
{
    Q_OBJECT
    Q_INTERFACES(itm::BoundControl)
public:
    DbRadioGroup(const QString& caption, const QStringList& items, const QStringList& values, int columns,
        QWidget* parent = nullptr);

    void setDataSource(DataSource* source) { m_link.setDataSource(source); }
    void setDataField(const QString& name) { m_link.setFieldName(name); }
    FieldLink& link() override { return m_link; }

private:
    void showField();

    FieldLink m_link;
    QStringList m_values;
    bool m_displaying = false;
};

} // namespace itm
