#include "month/MonthPayerTable.h"

#include <algorithm>
#include <limits>

namespace itm {

namespace {

constexpr quint8 kSameFoldedCode = 1;
constexpr quint8 kSameFoldedName = 2;

// The field of each position in order, the source's field given back.
template <typename T> void appendField(QVector<T>& to, QVector<T>& from, const QVector<int>& order)
{
    to.reserve(to.size() + order.size());
    for (const int position : order)
        to.append(from.at(position));
    from = QVector<T>();
}

} // namespace

void MonthPayerTable::reserve(qsizetype payers)
{
    m_ids.reserve(payers);
    m_textStart.reserve(payers * kPieces + 1);
    m_sameFolded.reserve(payers);
    m_county.reserve(payers);
    m_declaration.reserve(payers);
}

void MonthPayerTable::clear()
{
    *this = MonthPayerTable();
}

qint16 MonthPayerTable::countyIndex(const QString& county)
{
    // A register knows some fifty counties; a name not among them is added.
    const qsizetype found = m_counties.indexOf(county);
    if (found >= 0)
        return qint16(found);
    if (m_counties.size() >= std::numeric_limits<qint16>::max())
        throw std::length_error("prea multe judete");
    m_counties.append(county);
    return qint16(m_counties.size() - 1);
}

void MonthPayerTable::appendText(const QString& text)
{
    m_text.append(text.toUtf8());
    m_textStart.append(quint32(m_text.size()));
}

void MonthPayerTable::append(const MonthRow& row)
{
    if (quint64(m_text.size()) + quint64(row.cui.size() + row.legalName.size()) * 6 >= quint64(UINT32_MAX))
        throw std::length_error("registrul este prea mare");
    m_ids.append(row.payerId);
    // m_textStart already ends with where this payer's texts start.
    appendText(row.cui);
    appendText(row.legalName);
    quint8 same = 0;
    if (row.searchCode == row.cui) {
        same |= kSameFoldedCode;
        m_textStart.append(m_textStart.constLast());
    } else {
        appendText(row.searchCode);
    }
    if (row.searchName == row.legalName) {
        same |= kSameFoldedName;
        m_textStart.append(m_textStart.constLast());
    } else {
        appendText(row.searchName);
    }
    m_sameFolded.append(same);
    m_county.append(countyIndex(row.county));
    m_declaration.append(-1);
    if (row.declared())
        setDeclaration(m_ids.size() - 1, row);
}

void MonthPayerTable::appendInOrder(MonthPayerTable&& source, const QVector<int>& order)
{
    // The declarations keep their places: the payers' indexes into them move on.
    const qint32 declarationsBefore = qint32(m_declarations.size());
    m_declarations += source.m_declarations;
    source.m_declarations = {};
    for (auto fault = source.m_faults.cbegin(); fault != source.m_faults.cend(); ++fault)
        m_faults.insert(fault.key() + declarationsBefore, fault.value());
    source.m_faults = {};
    m_declaration.reserve(m_declaration.size() + order.size());
    for (const int position : order) {
        const qint32 declaration = source.m_declaration.at(position);
        m_declaration.append(declaration < 0 ? -1 : declaration + declarationsBefore);
    }
    source.m_declaration = {};

    QVector<qint16> counties;
    counties.reserve(source.m_counties.size());
    for (const QString& county : std::as_const(source.m_counties))
        counties.append(countyIndex(county));
    m_county.reserve(m_county.size() + order.size());
    for (const int position : order)
        m_county.append(counties.at(source.m_county.at(position)));
    source.m_county = {};

    appendField(m_ids, source.m_ids, order);
    appendField(m_sameFolded, source.m_sameFolded, order);

    if (quint64(m_text.size()) + quint64(source.m_text.size()) >= quint64(UINT32_MAX))
        throw std::length_error("registrul este prea mare");
    m_text.reserve(m_text.size() + source.m_text.size());
    m_textStart.reserve(m_textStart.size() + order.size() * kPieces);
    for (const int position : order) {
        const quint32* starts = source.m_textStart.constData() + qsizetype(position) * kPieces;
        for (int piece = 0; piece < kPieces; ++piece) {
            m_text.append(source.m_text.constData() + starts[piece], starts[piece + 1] - starts[piece]);
            m_textStart.append(quint32(m_text.size()));
        }
    }
    source.clear();
}

QByteArrayView MonthPayerTable::piece(qsizetype position, Piece piece) const
{
    if (piece == FoldedCode && (m_sameFolded.at(position) & kSameFoldedCode))
        piece = Code;
    else if (piece == FoldedName && (m_sameFolded.at(position) & kSameFoldedName))
        piece = Name;
    const quint32* starts = m_textStart.constData() + position * kPieces + piece;
    return QByteArrayView(m_text.constData() + starts[0], starts[1] - starts[0]);
}

MonthRow MonthPayerTable::at(qsizetype position) const
{
    MonthRow row;
    row.payerId = m_ids.at(position);
    row.cui = QString::fromUtf8(piece(position, Code));
    row.legalName = QString::fromUtf8(piece(position, Name));
    row.searchCode
        = (m_sameFolded.at(position) & kSameFoldedCode) ? row.cui : QString::fromUtf8(piece(position, FoldedCode));
    row.searchName = (m_sameFolded.at(position) & kSameFoldedName) ? row.legalName
                                                                   : QString::fromUtf8(piece(position, FoldedName));
    row.county = m_counties.at(m_county.at(position));
    const qint32 declaration = m_declaration.at(position);
    if (declaration >= 0) {
        const Declaration& held = m_declarations.at(declaration);
        row.status = held.status;
        row.employees = held.employees;
        row.fund = held.fund;
        row.commission = held.commission;
        row.paid = held.paid;
        row.faults = m_faults.value(declaration);
    }
    return row;
}

DeclarationStatus MonthPayerTable::status(qsizetype position) const
{
    const qint32 declaration = m_declaration.at(position);
    return declaration < 0 ? DeclarationStatus::Missing : m_declarations.at(declaration).status;
}

bool MonthPayerTable::faulty(qsizetype position) const
{
    const qint32 declaration = m_declaration.at(position);
    return declaration >= 0 && !m_faults.isEmpty() && m_faults.contains(declaration);
}

qint64 MonthPayerTable::amount(qsizetype position, MonthColumn column) const
{
    const Declaration& held = m_declarations.at(m_declaration.at(position));
    switch (column) {
    case MonthColumn::Employees:
        return held.employees;
    case MonthColumn::Fund:
        return held.fund;
    case MonthColumn::Commission:
        return held.commission;
    case MonthColumn::Paid:
        return held.paid;
    case MonthColumn::Difference:
        return held.commission - held.paid;
    default:
        return 0;
    }
}

QVector<int> MonthPayerTable::countyRanks() const
{
    QVector<int> ranks;
    ranks.reserve(m_counties.size());
    for (const QString& county : m_counties)
        ranks.append(int(std::count_if(
            m_counties.cbegin(), m_counties.cend(), [&county](const QString& other) { return other < county; })));
    return ranks;
}

QString MonthPayerTable::amountText(qsizetype position, MonthColumn column) const
{
    if (!declared(position))
        return QString();
    if (faulty(position))
        return MonthCellText(at(position), column);
    return QString::number(amount(position, column));
}

void MonthPayerTable::addTo(MonthTotals& totals, qsizetype position) const
{
    const qint32 declaration = m_declaration.at(position);
    if (declaration < 0) {
        ++totals.missing;
        return;
    }
    ++totals.declared;
    if (m_faults.contains(declaration)) {
        ++totals.faulty;
        return;
    }
    const Declaration& held = m_declarations.at(declaration);
    totals.employees += held.employees;
    totals.fund += held.fund;
    totals.commission += held.commission;
    totals.paid += held.paid;
}

void MonthPayerTable::clearDeclarations()
{
    m_declaration.fill(-1);
    m_declarations = {};
    m_faults = {};
}

void MonthPayerTable::setDeclaration(qsizetype position, const MonthRow& declared)
{
    const qint32 declaration = qint32(m_declarations.size());
    m_declarations.append({ declared.employees, declared.fund, declared.commission, declared.paid, declared.status });
    if (declared.faulty())
        m_faults.insert(declaration, declared.faults);
    m_declaration[position] = declaration;
}

} // namespace itm
