#include "month/MonthDeclarations.h"

#include "store/Connection.h"
#include "store/Errors.h"

namespace itm {

namespace {

RowRecord recordOf(const Statement& row)
{
    QStringList columns;
    QVector<QVariant> values;
    for (int i = 0; i < row.columnCount(); ++i) {
        columns.append(row.columnName(i));
        values.append(row.value(i));
    }
    return RowRecord(columns, values);
}

RowRecord readById(Statement& query, qint64 id)
{
    query.reset();
    query.bind(QStringLiteral("id"), id);
    if (!query.step())
        throw DatabaseError(QStringLiteral("Inregistrarea %1 nu mai exista.").arg(id));
    return recordOf(query);
}

} // namespace

MonthDeclarations::MonthDeclarations(Connection& connection, const MonthPeriod& period)
    : m_period(period)
{
    Statement keys(connection,
        QStringLiteral("SELECT id, d FROM (SELECT f.id, f.cui, (SELECT x.id FROM declaratii x WHERE x.idfirma = f.id "
                       "AND x.ln = :ln AND x.an = :an ORDER BY x.id LIMIT 1) AS d FROM firme f) AS sursa "
                       "WHERE d IS NOT NULL ORDER BY cui COLLATE BINARY, id"));
    keys.bind(QStringLiteral("ln"), period.month);
    keys.bind(QStringLiteral("an"), period.year);
    while (keys.step())
        m_keys.append({ keys.integer(0), keys.integer(1) });

    Statement counties(connection, QStringLiteral("SELECT codjudet, denumire FROM judete"));
    while (counties.step()) {
        const QString key = counties.text(0);
        if (m_counties.contains(key))
            continue;
        RowRecord county;
        county.setValue(QStringLiteral("denumire"), counties.value(1));
        m_counties.insert(key, county);
    }
    m_payer = std::make_unique<Statement>(connection, QStringLiteral("SELECT * FROM firme WHERE id = :id"));
    m_declaration = std::make_unique<Statement>(connection, QStringLiteral("SELECT * FROM declaratii WHERE id = :id"));
}

MonthDeclarations::~MonthDeclarations() = default;

MonthDeclarations::Records MonthDeclarations::read(int index) const
{
    const Keys& keys = m_keys.at(index);
    Records records { readById(*m_payer, keys.payerId), readById(*m_declaration, keys.declarationId) };
    // A statement left stepping would keep the database read-locked.
    m_payer->reset();
    m_declaration->reset();
    return records;
}

const RowRecord* MonthDeclarations::county(const QString& key) const
{
    const auto found = m_counties.constFind(key);
    return found == m_counties.cend() ? nullptr : &found.value();
}

} // namespace itm
