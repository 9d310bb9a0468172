#include "month/MonthListing.h"

#include "month/MonthFilter.h"
#include "payers/LegalForms.h"
#include "store/Connection.h"
#include "store/RecordReader.h"
#include "store/StrictNumber.h"

#include <cmath>

namespace itm {

namespace {

// The payer's first declaration of the month is found through the index on
// (idfirma, ln, an); the register is walked through its index on cui, so the
// first rows arrive without the whole register being sorted first.
const QString listingSql = QStringLiteral(
    "SELECT f.id, f.cui, f.prefix, f.denumire, f.sufix, f.codjudet, "
    "d.id, d.rectificativ, d.nrsal, d.fondlunsal, d.comdat, d.comac "
    "FROM firme f LEFT JOIN declaratii d ON d.id = "
    "(SELECT x.id FROM declaratii x WHERE x.idfirma = f.id AND x.ln = :ln AND x.an = :an ORDER BY x.id LIMIT 1) "
    "ORDER BY f.cui COLLATE BINARY, f.id");

enum Column
{
    PayerId,
    Cui,
    Prefix,
    Name,
    Suffix,
    CountyKey,
    DeclarationId,
    Corrective,
    Employees,
    Fund,
    Commission,
    Paid,
};

// An amount column read with the strict conversion; a text that is no whole
// number is noted on the row and reads 0.
qint64 amountOf(const Statement& row, int column, const char16_t* name, MonthRow& entry)
{
    const QVariant value = row.value(column);
    try {
        return valueInteger(value);
    } catch (const ConversionError& error) {
        const QString column = QString::fromUtf16(name);
        entry.faults.append({ column, valueText(value), NumberColumnError(column, error).message() });
        return 0;
    }
}

QString legalNameOf(const Statement& row)
{
    const QString name = row.text(Name);
    const auto prefix = TryStrToInt(row.text(Prefix));
    const auto suffix = TryStrToInt(row.text(Suffix));
    if (prefix && suffix) {
        if (const auto composed = ComposedLegalName(*prefix, name, *suffix))
            return composed->trimmed();
    }
    return name.trimmed();
}

} // namespace

QString StatusText(DeclarationStatus status)
{
    switch (status) {
    case DeclarationStatus::Initial:
        return QStringLiteral("Initiala");
    case DeclarationStatus::Corrective:
        return QStringLiteral("Rectificativa");
    case DeclarationStatus::Missing:
        break;
    }
    return QStringLiteral("Lipsa");
}

const AmountFault* MonthRow::faultOf(const QString& column) const
{
    for (const AmountFault& fault : faults) {
        if (fault.column == column)
            return &fault;
    }
    return nullptr;
}

void MonthTotals::add(const MonthRow& row)
{
    if (!row.declared()) {
        ++missing;
        return;
    }
    ++declared;
    if (row.faulty()) {
        ++faulty;
        return;
    }
    employees += row.employees;
    fund += row.fund;
    commission += row.commission;
    paid += row.paid;
}

MonthListingReader::MonthListingReader(Connection& connection, const MonthPeriod& period)
{
    Statement counties(connection, QStringLiteral("SELECT codjudet, denumire FROM judete"));
    while (counties.step()) {
        const QString key = counties.text(0);
        if (!m_countyNames.contains(key))
            m_countyNames.insert(key, counties.text(1));
    }
    m_statement = std::make_unique<Statement>(connection, listingSql);
    m_statement->bind(QStringLiteral("ln"), period.month);
    m_statement->bind(QStringLiteral("an"), period.year);
}

MonthListingReader::~MonthListingReader() = default;

bool MonthListingReader::readMore(QVector<MonthRow>& rows, int count)
{
    for (int i = 0; i < count && !m_atEnd; ++i) {
        if (!m_statement->step()) {
            m_atEnd = true;
            // The read ends here: nothing of the database stays held.
            m_statement.reset();
            break;
        }
        const Statement& row = *m_statement;
        MonthRow entry;
        entry.payerId = row.integer(PayerId);
        entry.cui = row.text(Cui);
        entry.legalName = legalNameOf(row);
        const QString countyKey = row.text(CountyKey);
        entry.county = m_countyNames.value(countyKey, countyKey.trimmed());
        if (!row.value(DeclarationId).isNull()) {
            entry.status
                = valueInteger(row.value(Corrective)) != 0 ? DeclarationStatus::Corrective : DeclarationStatus::Initial;
            entry.employees = amountOf(row, Employees, u"nrsal", entry);
            entry.fund = amountOf(row, Fund, u"fondlunsal", entry);
            entry.commission = amountOf(row, Commission, u"comdat", entry);
            entry.paid = amountOf(row, Paid, u"comac", entry);
        }
        entry.searchCode = FoldForSearch(entry.cui);
        entry.searchName = FoldForSearch(entry.legalName);
        rows.append(std::move(entry));
    }
    return !m_atEnd;
}

QVector<MonthRow> ReadMonthListing(Connection& connection, const MonthPeriod& period)
{
    MonthListingReader reader(connection, period);
    QVector<MonthRow> rows;
    while (reader.readMore(rows, 4096)) { }
    return rows;
}

void ForEachMonthRow(
    Connection& connection, const MonthPeriod& period, const std::function<void(const MonthRow&)>& visit)
{
    MonthListingReader reader(connection, period);
    QVector<MonthRow> slice;
    bool more = true;
    while (more) {
        slice.clear();
        more = reader.readMore(slice, 1024);
        for (const MonthRow& row : std::as_const(slice))
            visit(row);
    }
}

MonthTotals TotalsOf(const QVector<MonthRow>& rows)
{
    MonthTotals totals;
    for (const MonthRow& row : rows)
        totals.add(row);
    return totals;
}

} // namespace itm

namespace itm {

QVector<const MonthRow*> FaultyRows(const QVector<MonthRow>& rows)
{
    QVector<const MonthRow*> faulty;
    for (const MonthRow& row : rows) {
        if (row.faulty())
            faulty.append(&row);
    }
    return faulty;
}

} // namespace itm
