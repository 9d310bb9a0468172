#include "store/TypedRecord.h"

#include "store/Dataset.h"
#include "store/Errors.h"

#include <algorithm>
#include <cstring>

namespace itm {

TypedRecord::TypedRecord(const Dataset& layout)
    : m_columns(layout.columnNames())
    , m_values(layout.columnNames().size())
{
    // At most half the slots taken keeps every probe short.
    qsizetype tableSize = 16;
    while (tableSize < 2 * m_columns.size())
        tableSize *= 2;
    m_slots.fill(-1, tableSize);
    for (int i = 0; i < m_columns.size(); ++i) {
        m_types.append(layout.columnType(i));
        // A name given twice is found at its first column.
        int slot = slotOf(m_columns.at(i));
        while (m_slots.at(slot) >= 0 && m_columns.at(m_slots.at(slot)) != m_columns.at(i))
            slot = (slot + 1) & int(m_slots.size() - 1);
        if (m_slots.at(slot) < 0)
            m_slots[slot] = qint16(i);
    }
}

int TypedRecord::slotOf(QStringView name) const
{
    const qsizetype size = name.size();
    size_t mixed = size_t(size);
    if (size > 0)
        mixed = mixed * 31 + name.at(0).unicode() * 7 + name.at(size - 1).unicode() * 3 + name.at(size / 2).unicode();
    return int(mixed & size_t(m_slots.size() - 1));
}

int TypedRecord::indexOf(const QString& name) const
{
    // Names are nearly always written as the table spells them.
    const int mask = int(m_slots.size() - 1);
    for (int slot = slotOf(name); m_slots.at(slot) >= 0; slot = (slot + 1) & mask) {
        const QString& column = m_columns.at(m_slots.at(slot));
        if (column.size() == name.size()
            && std::memcmp(column.constData(), name.constData(), size_t(name.size()) * sizeof(QChar)) == 0)
            return m_slots.at(slot);
    }
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    throw Error(QStringLiteral("Field '%1' not found").arg(name));
}

TypedRecord::Field TypedRecord::FieldByName(const QString& name)
{
    return Field(this, indexOf(name));
}

QVariant TypedRecord::fieldValue(const QString& column) const
{
    return m_values.at(indexOf(column));
}

} // namespace itm
