#include "widgets/DbRadioGroup.h"

#include "platform/Guard.h"

namespace itm {

DbRadioGroup::DbRadioGroup(
    const QString& caption, const QStringList& items, const QStringList& values, int columns, QWidget* parent)
    : RadioGroup(caption, items, columns, parent)
    , m_values(values)
{
    connect(&m_link, &FieldLink::dataChange, this, &DbRadioGroup::showField);
    connect(this, &RadioGroup::itemChanged, this, [this](int index) {
        if (m_displaying)
            return;
        runGuarded([&] {
            const auto field = m_link.field();
            if (field && m_link.edit() && field->AsString() != m_values.value(index))
                field->setAsString(m_values.value(index));
        });
    });
}

void DbRadioGroup::showField()
{
    m_displaying = true;
    const auto field = m_link.field();
    setItemIndex(field ? int(m_values.indexOf(field->AsString())) : -1);
    m_displaying = false;
}

} // namespace itm
