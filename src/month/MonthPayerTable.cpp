#include "month/MonthPayerTable.h"

#include <QBitArray>
#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>
#include <stdexcept>

namespace itm {

namespace {

constexpr quint8 kSameFoldedCode = 1;
constexpr quint8 kSameFoldedName = 2;

void appendNumber(QByteArray& to, quint64 value)
{
    // Seven bits a byte, the high bit set on every byte but the last.
    while (value >= 0x80) {
        to.append(char(quint8(value) | 0x80));
        value >>= 7;
    }
    to.append(char(value));
}

quint64 readNumber(const char*& at)
{
    quint64 value = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = quint8(*at++);
        value |= quint64(byte & 0x7f) << shift;
        if (byte < 0x80)
            return value;
    }
}

// Small negative amounts take few bytes too.
void appendAmount(QByteArray& to, qint64 value)
{
    appendNumber(to, (quint64(value) << 1) ^ quint64(value >> 63));
}

qint64 readAmount(const char*& at)
{
    const quint64 coded = readNumber(at);
    return qint64(coded >> 1) ^ -qint64(coded & 1);
}

void appendText(QByteArray& to, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    appendNumber(to, quint64(bytes.size()));
    to.append(bytes);
}

// The two fields as one, own first, the larger not copied: the other's
// rows after own's, or own's moved in before the other's (in the room it was
// given for every payer of the register).
template <typename T> void joinField(QVector<T>& own, QVector<T>& other)
{
    if (own.size() >= other.size()) {
        own.append(other);
        other = QVector<T>();
        return;
    }
    const qsizetype ownSize = own.size();
    const qsizetype otherSize = other.size();
    other.resize(otherSize + ownSize);
    std::move_backward(other.begin(), other.begin() + otherSize, other.end());
    std::copy(own.cbegin(), own.cend(), other.begin());
    own = std::move(other);
    other = QVector<T>();
}

// The two buffers as one, the larger not copied: where each one's contents
// start in the joined buffer.
struct Joined
{
    qsizetype ownStart;
    qsizetype otherStart;
};
Joined join(QByteArray& own, QByteArray& other)
{
    if (quint64(own.size()) + quint64(other.size()) >= quint64(std::numeric_limits<qint32>::max()))
        throw std::length_error("registrul este prea mare");
    if (own.size() >= other.size()) {
        const qsizetype otherStart = own.size();
        own.append(other);
        other = QByteArray();
        return { 0, otherStart };
    }
    const qsizetype ownStart = other.size();
    other.append(own);
    own = std::move(other);
    other = QByteArray();
    return { ownStart, 0 };
}

} // namespace

void MonthPayerTable::reserve(qsizetype payers)
{
    m_ids.reserve(payers);
    m_textStart.reserve(payers);
    m_same.reserve(payers);
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

void MonthPayerTable::append(const MonthRow& row)
{
    m_idsIndexed = false;
    if (quint64(m_text.size()) + quint64(row.cui.size() + row.legalName.size()) * 6 + 40
        >= quint64(std::numeric_limits<qint32>::max()))
        throw std::length_error("registrul este prea mare");
    m_ids.append(row.payerId);
    m_textStart.append(quint32(m_text.size()));
    appendText(m_text, row.cui);
    appendText(m_text, row.legalName);
    quint8 same = 0;
    if (row.searchCode == row.cui)
        same |= kSameFoldedCode;
    else
        appendText(m_text, row.searchCode);
    if (row.searchName == row.legalName)
        same |= kSameFoldedName;
    else
        appendText(m_text, row.searchName);
    m_same.append(same);
    m_county.append(countyIndex(row.county));
    m_declaration.append(-1);
    if (row.declared())
        setDeclaration(m_ids.size() - 1, row);
}

void MonthPayerTable::appendFolded(qint64 payerId, QByteArrayView code, QByteArrayView name, const QString& county)
{
    m_idsIndexed = false;
    if (quint64(m_text.size()) + quint64(code.size() + name.size()) + 40 >= quint64(std::numeric_limits<qint32>::max()))
        throw std::length_error("registrul este prea mare");
    m_ids.append(payerId);
    m_textStart.append(quint32(m_text.size()));
    appendNumber(m_text, quint64(code.size()));
    m_text.append(code);
    appendNumber(m_text, quint64(name.size()));
    m_text.append(name);
    m_same.append(kSameFoldedCode | kSameFoldedName);
    m_county.append(countyIndex(county));
    m_declaration.append(-1);
}

void MonthPayerTable::appendInOrder(MonthPayerTable&& source, const QVector<int>& order)
{
    source.keepInOrder(order);
    m_idsIndexed = false;
    m_byId = {};
    const Joined amounts = join(m_amounts, source.m_amounts);
    const auto moved = [](qint32 start, qsizetype by) { return start < 0 ? -1 : qint32(start + by); };
    QHash<qint32, QVector<AmountFault>> faults;
    for (auto fault = m_faults.cbegin(); fault != m_faults.cend(); ++fault)
        faults.insert(moved(fault.key(), amounts.ownStart), fault.value());
    for (auto fault = source.m_faults.cbegin(); fault != source.m_faults.cend(); ++fault)
        faults.insert(moved(fault.key(), amounts.otherStart), fault.value());
    m_faults = std::move(faults);
    source.m_faults = {};
    for (qint32& start : m_declaration)
        start = moved(start, amounts.ownStart);
    for (qint32& start : source.m_declaration)
        start = moved(start, amounts.otherStart);

    const Joined texts = join(m_text, source.m_text);
    for (quint32& start : m_textStart)
        start += quint32(texts.ownStart);
    for (quint32& start : source.m_textStart)
        start += quint32(texts.otherStart);

    QVector<qint16> counties;
    counties.reserve(source.m_counties.size());
    for (const QString& county : std::as_const(source.m_counties))
        counties.append(countyIndex(county));
    for (qint16& county : source.m_county)
        county = counties.at(county);

    joinField(m_declaration, source.m_declaration);
    joinField(m_textStart, source.m_textStart);
    joinField(m_county, source.m_county);
    joinField(m_ids, source.m_ids);
    joinField(m_same, source.m_same);
    source.clear();
}

void MonthPayerTable::keepInOrder(const QVector<int>& order)
{
    m_idsIndexed = false;
    m_byId = {};
    // The rows left out take the places after those kept, so that every
    // place has one row to come from: the rows then move along cycles, each
    // once, in the fields they already have.
    const qsizetype payers = size();
    QBitArray taken(payers);
    for (const int position : order)
        taken.setBit(position);
    QVector<int> leftOut;
    for (qsizetype position = 0; position < payers; ++position) {
        if (!taken.testBit(position))
            leftOut.append(int(position));
    }
    const qsizetype kept = order.size();
    const auto comingFrom = [&](qsizetype place) { return place < kept ? order.at(place) : leftOut.at(place - kept); };
    QBitArray placed(payers);
    for (qsizetype start = 0; start < payers; ++start) {
        if (placed.testBit(start))
            continue;
        const qint64 id = m_ids.at(start);
        const quint32 textStart = m_textStart.at(start);
        const quint8 same = m_same.at(start);
        const qint16 county = m_county.at(start);
        const qint32 declaration = m_declaration.at(start);
        for (qsizetype place = start;;) {
            placed.setBit(place);
            const qsizetype from = comingFrom(place);
            if (from == start) {
                m_ids[place] = id;
                m_textStart[place] = textStart;
                m_same[place] = same;
                m_county[place] = county;
                m_declaration[place] = declaration;
                break;
            }
            m_ids[place] = m_ids.at(from);
            m_textStart[place] = m_textStart.at(from);
            m_same[place] = m_same.at(from);
            m_county[place] = m_county.at(from);
            m_declaration[place] = m_declaration.at(from);
            place = from;
        }
    }
    // The room stays: the rows of the table they join fit in it.
    m_ids.resize(kept);
    m_textStart.resize(kept);
    m_same.resize(kept);
    m_county.resize(kept);
    m_declaration.resize(kept);
}

QByteArrayView MonthPayerTable::piece(qsizetype position, Piece piece) const
{
    const quint8 same = m_same.at(position);
    if (piece == FoldedCode && (same & kSameFoldedCode))
        piece = Code;
    else if (piece == FoldedName && (same & kSameFoldedName))
        piece = Name;
    const char* at = m_text.constData() + m_textStart.at(position);
    for (int skipped = Code; skipped < piece; ++skipped) {
        if ((skipped == FoldedCode && (same & kSameFoldedCode)) || (skipped == FoldedName && (same & kSameFoldedName)))
            continue;
        const auto length = qsizetype(readNumber(at));
        at += length;
    }
    const auto length = qsizetype(readNumber(at));
    return QByteArrayView(at, length);
}

MonthPayerTable::Declaration MonthPayerTable::declaration(qsizetype position) const
{
    const char* at = m_amounts.constData() + m_declaration.at(position);
    Declaration held;
    held.status = DeclarationStatus(readNumber(at));
    held.employees = readAmount(at);
    held.fund = readAmount(at);
    held.commission = readAmount(at);
    held.paid = readAmount(at);
    return held;
}

MonthRow MonthPayerTable::at(qsizetype position) const
{
    MonthRow row;
    row.payerId = m_ids.at(position);
    row.cui = QString::fromUtf8(piece(position, Code));
    row.legalName = QString::fromUtf8(piece(position, Name));
    row.searchCode = (m_same.at(position) & kSameFoldedCode) ? row.cui : QString::fromUtf8(piece(position, FoldedCode));
    row.searchName
        = (m_same.at(position) & kSameFoldedName) ? row.legalName : QString::fromUtf8(piece(position, FoldedName));
    row.county = m_counties.at(m_county.at(position));
    const qint32 start = m_declaration.at(position);
    if (start >= 0) {
        const Declaration held = declaration(position);
        row.status = held.status;
        row.employees = held.employees;
        row.fund = held.fund;
        row.commission = held.commission;
        row.paid = held.paid;
        row.faults = m_faults.value(start);
    }
    return row;
}

DeclarationStatus MonthPayerTable::status(qsizetype position) const
{
    return m_declaration.at(position) < 0 ? DeclarationStatus::Missing : declaration(position).status;
}

bool MonthPayerTable::faulty(qsizetype position) const
{
    const qint32 start = m_declaration.at(position);
    return start >= 0 && !m_faults.isEmpty() && m_faults.contains(start);
}

qint64 MonthPayerTable::amount(qsizetype position, MonthColumn column) const
{
    const Declaration held = declaration(position);
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
    const qint32 start = m_declaration.at(position);
    if (start < 0) {
        ++totals.missing;
        return;
    }
    ++totals.declared;
    if (!m_faults.isEmpty() && m_faults.contains(start)) {
        ++totals.faulty;
        return;
    }
    const Declaration held = declaration(position);
    totals.employees += held.employees;
    totals.fund += held.fund;
    totals.commission += held.commission;
    totals.paid += held.paid;
}

void MonthPayerTable::clearDeclarations()
{
    m_declaration.fill(-1);
    m_amounts = {};
    m_faults = {};
}

void MonthPayerTable::setDeclaration(qsizetype position, const MonthRow& declared)
{
    setDeclaration(position, declared.status, declared.employees, declared.fund, declared.commission, declared.paid);
    if (declared.faulty())
        m_faults.insert(m_declaration.at(position), declared.faults);
}

void MonthPayerTable::setDeclaration(
    qsizetype position, DeclarationStatus status, qint64 employees, qint64 fund, qint64 commission, qint64 paid)
{
    if (m_amounts.size() >= std::numeric_limits<qint32>::max() - 64)
        throw std::length_error("registrul este prea mare");
    const auto start = qint32(m_amounts.size());
    appendNumber(m_amounts, quint64(status));
    appendAmount(m_amounts, employees);
    appendAmount(m_amounts, fund);
    appendAmount(m_amounts, commission);
    appendAmount(m_amounts, paid);
    m_declaration[position] = start;
}

void MonthPayerTable::indexIds() const
{
    if (m_idsIndexed)
        return;
    m_idsIndexed = true;
    m_firstId = 0;
    m_byId = {};
    if (m_ids.isEmpty())
        return;
    const auto [least, most] = std::minmax_element(m_ids.cbegin(), m_ids.cend());
    // Ids are mostly given one after another: a payer's position is then
    // found in one step, from its id's place in an array of them all.
    if (quint64(*most - *least) < quint64(m_ids.size()) * 4) {
        m_firstId = *least;
        m_byId = QVector<int>(*most - *least + 1, -1);
        for (qsizetype position = 0; position < m_ids.size(); ++position)
            m_byId[m_ids.at(position) - m_firstId] = int(position);
        m_dense = true;
        return;
    }
    m_dense = false;
    m_byId.resize(m_ids.size());
    std::iota(m_byId.begin(), m_byId.end(), 0);
    std::sort(m_byId.begin(), m_byId.end(), [this](int a, int b) { return m_ids.at(a) < m_ids.at(b); });
}

void MonthPayerTable::forgetIdIndex()
{
    m_idsIndexed = false;
    m_byId = {};
}

void MonthPayerTable::remove(qsizetype position)
{
    m_idsIndexed = false;
    m_ids.remove(position);
    m_textStart.remove(position);
    m_same.remove(position);
    m_county.remove(position);
    m_declaration.remove(position);
}

void MonthPayerTable::insertInOrder(const MonthRow& row)
{
    // The register's order: the code's bytes, then the id.
    const QByteArray code = row.cui.toUtf8();
    qsizetype low = 0;
    qsizetype high = size();
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        const QByteArrayView held = this->code(middle);
        int order = std::memcmp(held.data(), code.constData(), size_t(std::min(held.size(), code.size())));
        if (order == 0)
            order = held.size() < code.size() ? -1 : (held.size() > code.size() ? 1 : 0);
        if (order < 0 || (order == 0 && payerId(middle) < row.payerId))
            low = middle + 1;
        else
            high = middle;
    }
    append(row);
    const auto toPlace = [low](auto& column) { std::rotate(column.begin() + low, column.end() - 1, column.end()); };
    toPlace(m_ids);
    toPlace(m_textStart);
    toPlace(m_same);
    toPlace(m_county);
    toPlace(m_declaration);
}

qsizetype MonthPayerTable::positionOfId(qint64 payerId) const
{
    indexIds();
    if (m_dense) {
        const qint64 index = payerId - m_firstId;
        return index < 0 || index >= m_byId.size() ? -1 : m_byId.at(index);
    }
    const auto found = std::lower_bound(
        m_byId.cbegin(), m_byId.cend(), payerId, [this](int position, qint64 id) { return m_ids.at(position) < id; });
    return found == m_byId.cend() || m_ids.at(*found) != payerId ? -1 : *found;
}

} // namespace itm
