#include "store/TypedRecord.h"

#include "store/Dataset.h"
#include "store/Errors.h"

namespace itm {

TypedRecord::TypedRecord(const Dataset& layout)
    : m_columns(layout.columnNames())
    , m_values(layout.columnNames().size())
{
    m_indexes.reserve(m_columns.size());
    for (int i = 0; i < m_columns.size(); ++i) {
        m_types.append(layout.columnType(i));
        if (!m_indexes.contains(m_columns.at(i)))
            m_indexes.insert(m_columns.at(i), i);
    }
}

int TypedRecord::indexOf(const QString& name) const
{
    // Names are nearly always written as the table spells them.
    const auto exact = m_indexes.constFind(name);
    if (exact != m_indexes.cend())
        return *exact;
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
