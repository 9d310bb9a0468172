#include "widgets/DbCheckBox.h"

#include "platform/Guard.h"

namespace itm {

DbCheckBox::DbCheckBox(const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent)
{
    connect(&m_link, &FieldLink::dataChange, this, &DbCheckBox::showField);
}

void DbCheckBox::showField()
{
    m_displaying = true;
    const auto field = m_link.field();
    if (!field || field->IsNull()) {
        setTristate(true);
        setCheckState(Qt::PartiallyChecked);
    } else {
        setTristate(false);
        setCheckState(field->AsString() == u"0" || field->AsString().trimmed().isEmpty() ? Qt::Unchecked : Qt::Checked);
    }
    m_displaying = false;
}

void DbCheckBox::nextCheckState()
{
    const bool ticked = checkState() != Qt::Checked;
    runGuarded([&] {
        const auto field = m_link.field();
        if (!field || !m_link.edit())
            return;
        field->setAsString(ticked ? QStringLiteral("1") : QStringLiteral("0"));
    });
    // The column decides what the box shows.
    if (m_link.field())
        showField();
}

} // namespace itm
