#include "month/MonthFilter.h"

#include "month/MonthPayerTable.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace itm {

namespace {

// Runs of blanks (and tabs, no-break spaces) count as one blank: "ALFA  BETA"
// is found by "alfa beta".
QString oneBlankPerRun(const QString& text)
{
    bool afterBlank = false;
    const bool single = std::all_of(text.cbegin(), text.cend(), [&afterBlank](QChar c) {
        const bool blank = c.isSpace();
        const bool clean = !blank || (c == u' ' && !afterBlank);
        afterBlank = blank;
        return clean;
    });
    if (single)
        return text;
    QString folded;
    folded.reserve(text.size());
    for (const QChar c : text) {
        if (!c.isSpace())
            folded.append(c);
        else if (!folded.endsWith(u' '))
            folded.append(u' ');
    }
    return folded;
}

} // namespace

QString FoldForSearch(const QString& text)
{
    const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    // Most registers hold upper-case ASCII names: those come back unchanged and shared.
    if (ascii)
        return oneBlankPerRun(text.toUpper());
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString bare;
    bare.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            bare.append(c);
    }
    return oneBlankPerRun(bare.toUpper());
}

MonthFilter::MonthFilter(const QString& text, StatusFilter status)
    : m_text(FoldForSearch(text))
    , m_textUtf8(m_text.toUtf8())
    , m_status(status)
{
}

bool MonthFilter::matches(const MonthPayerTable& rows, qsizetype position) const
{
    switch (m_status) {
    case StatusFilter::All:
        break;
    case StatusFilter::Declared:
        if (!rows.declared(position))
            return false;
        break;
    case StatusFilter::NotDeclared:
        if (rows.declared(position))
            return false;
        break;
    }
    // UTF-8 keeps the characters whole: a text contains another exactly when
    // its bytes contain the other's.
    return m_textUtf8.isEmpty() || rows.searchCode(position).contains(m_textUtf8)
        || rows.searchName(position).contains(m_textUtf8);
}

bool MonthFilter::matches(const MonthRow& row) const
{
    switch (m_status) {
    case StatusFilter::All:
        break;
    case StatusFilter::Declared:
        if (!row.declared())
            return false;
        break;
    case StatusFilter::NotDeclared:
        if (row.declared())
            return false;
        break;
    }
    return m_text.isEmpty() || row.searchCode.contains(m_text) || row.searchName.contains(m_text);
}

bool MonthFilter::narrows(const MonthFilter& previous) const
{
    const bool statusNarrows = previous.m_status == StatusFilter::All || previous.m_status == m_status;
    return statusNarrows && m_text.contains(previous.m_text);
}

void AppendMatching(QVector<int>& shown, const QVector<MonthRow>& rows, qsizetype first, const MonthFilter& filter)
{
    for (qsizetype i = first; i < rows.size(); ++i) {
        if (filter.matches(rows.at(i)))
            shown.append(int(i));
    }
}

namespace {

qsizetype rowCount(const QVector<MonthRow>& rows)
{
    return rows.size();
}

qsizetype rowCount(const MonthPayerTable& rows)
{
    return rows.size();
}

bool passes(const MonthFilter& filter, const QVector<MonthRow>& rows, qsizetype position)
{
    return filter.matches(rows.at(position));
}

bool passes(const MonthFilter& filter, const MonthPayerTable& rows, qsizetype position)
{
    return filter.matches(rows, position);
}

template <typename Rows> QVector<int> narrowed(const QVector<int>& shown, const Rows& rows, const MonthFilter& filter)
{
    // Rows taken in an order other than their own are scattered in memory:
    // when most of them are asked about, they are tested in their own order
    // first, and the answers read in the order shown.
    if (shown.size() * 4 >= rowCount(rows)) {
        std::vector<char> passed(std::size_t(rowCount(rows)), 0);
        for (qsizetype i = 0; i < rowCount(rows); ++i)
            passed[std::size_t(i)] = passes(filter, rows, i) ? 1 : 0;
        QVector<int> narrowed;
        narrowed.reserve(shown.size());
        for (const int position : shown) {
            if (passed[std::size_t(position)])
                narrowed.append(position);
        }
        return narrowed;
    }
    QVector<int> narrowed;
    narrowed.reserve(shown.size());
    for (const int position : shown) {
        if (passes(filter, rows, position))
            narrowed.append(position);
    }
    return narrowed;
}

} // namespace

QVector<int> NarrowedRows(const QVector<int>& shown, const QVector<MonthRow>& rows, const MonthFilter& filter)
{
    return narrowed(shown, rows, filter);
}

QVector<int> NarrowedRows(const QVector<int>& shown, const MonthPayerTable& rows, const MonthFilter& filter)
{
    return narrowed(shown, rows, filter);
}

void AppendMatching(QVector<int>& shown, const MonthPayerTable& rows, qsizetype first, const MonthFilter& filter)
{
    for (qsizetype i = first; i < rows.size(); ++i) {
        if (filter.matches(rows, i))
            shown.append(int(i));
    }
}

namespace {

qint64 amountKey(const MonthRow& row, MonthColumn column)
{
    if (!row.declared())
        return std::numeric_limits<qint64>::min();
    switch (column) {
    case MonthColumn::Employees:
        return row.employees;
    case MonthColumn::Fund:
        return row.fund;
    case MonthColumn::Commission:
        return row.commission;
    case MonthColumn::Paid:
        return row.paid;
    case MonthColumn::Difference:
        return row.difference();
    default:
        return 0;
    }
}

// Negative, zero or positive as a sorts before, with or after b.
int compareRows(const MonthRow& a, const MonthRow& b, MonthColumn column)
{
    switch (column) {
    case MonthColumn::Code:
        return 0; // the rows' own order
    case MonthColumn::Name:
        return a.searchName.compare(b.searchName);
    case MonthColumn::County:
        return a.county.compare(b.county);
    case MonthColumn::Status:
        return StatusText(a.status).compare(StatusText(b.status));
    default: {
        const qint64 x = amountKey(a, column);
        const qint64 y = amountKey(b, column);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    }
}

} // namespace

void SortMonthRows(QVector<int>& positions, const QVector<MonthRow>& rows, MonthColumn column, bool descending)
{
    if (column == MonthColumn::Code) {
        // The rows are read in payer-code order.
        std::sort(positions.begin(), positions.end());
        if (descending)
            std::reverse(positions.begin(), positions.end());
        return;
    }
    std::sort(positions.begin(), positions.end(), [&](int a, int b) {
        const int order = compareRows(rows.at(a), rows.at(b), column);
        if (order != 0)
            return descending ? order > 0 : order < 0;
        return a < b;
    });
}

namespace {

qint64 amountKey(const MonthPayerTable& rows, int position, MonthColumn column)
{
    return rows.declared(position) ? rows.amount(position, column) : std::numeric_limits<qint64>::min();
}

// The rows by their folded names, then by position. Each name's first sixteen
// bytes are compared as two numbers held side by side (a comparison of the
// names themselves goes to each name's bytes, scattered over the table:
// seconds at a million payers); names alike in those bytes are compared whole.
// Bytes compared as numbers, an absent byte as zero, order names as their
// comparison does wherever the numbers differ.
void sortByName(QVector<int>& positions, const MonthPayerTable& rows, bool descending)
{
    struct Keyed
    {
        quint64 high;
        quint64 low;
        int position;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(positions.size()));
    for (const int position : std::as_const(positions)) {
        const QByteArrayView name = rows.searchName(position);
        uchar bytes[16] = {};
        std::memcpy(bytes, name.data(), size_t(std::min<qsizetype>(name.size(), 16)));
        keyed.push_back({ qFromBigEndian<quint64>(bytes), qFromBigEndian<quint64>(bytes + 8), position });
    }
    std::sort(keyed.begin(), keyed.end(), [descending](const Keyed& a, const Keyed& b) {
        if (a.high != b.high)
            return descending ? a.high > b.high : a.high < b.high;
        if (a.low != b.low)
            return descending ? a.low > b.low : a.low < b.low;
        return a.position < b.position;
    });
    const auto wholeOrder = [&](const Keyed& a, const Keyed& b) {
        const int order = rows.searchName(a.position).compare(rows.searchName(b.position));
        if (order != 0)
            return descending ? order > 0 : order < 0;
        return a.position < b.position;
    };
    for (size_t first = 0; first < keyed.size();) {
        size_t end = first + 1;
        while (end < keyed.size() && keyed[end].high == keyed[first].high && keyed[end].low == keyed[first].low)
            ++end;
        if (end - first > 1)
            std::sort(keyed.begin() + qsizetype(first), keyed.begin() + qsizetype(end), wholeOrder);
        first = end;
    }
    for (qsizetype i = 0; i < positions.size(); ++i)
        positions[i] = keyed[size_t(i)].position;
}

// The rows by the rank of their county, then by position, as one number each.
void sortByCounty(QVector<int>& positions, const MonthPayerTable& rows, bool descending)
{
    const QVector<int> ranks = rows.countyRanks();
    const int highest = ranks.isEmpty() ? 0 : *std::max_element(ranks.cbegin(), ranks.cend());
    std::vector<quint64> keys;
    keys.reserve(size_t(positions.size()));
    for (const int position : std::as_const(positions)) {
        const int rank = ranks.at(rows.county(position));
        keys.push_back((quint64(descending ? highest - rank : rank) << 32) | quint32(position));
    }
    std::sort(keys.begin(), keys.end());
    for (qsizetype i = 0; i < positions.size(); ++i)
        positions[i] = int(quint32(keys[size_t(i)]));
}

} // namespace

void SortMonthRows(QVector<int>& positions, const MonthPayerTable& rows, MonthColumn column, bool descending)
{
    const auto sortBy = [&](auto compare) {
        std::sort(positions.begin(), positions.end(), [&](int a, int b) {
            const int order = compare(a, b);
            if (order != 0)
                return descending ? order > 0 : order < 0;
            return a < b;
        });
    };
    switch (column) {
    case MonthColumn::Code:
        // The rows are held in payer-code order.
        std::sort(positions.begin(), positions.end());
        if (descending)
            std::reverse(positions.begin(), positions.end());
        return;
    case MonthColumn::Name:
        sortByName(positions, rows, descending);
        return;
    case MonthColumn::County:
        sortByCounty(positions, rows, descending);
        return;
    case MonthColumn::Status: {
        // By the status's text, as shown.
        int rank[3];
        const DeclarationStatus all[]
            = { DeclarationStatus::Initial, DeclarationStatus::Corrective, DeclarationStatus::Missing };
        for (int i = 0; i < 3; ++i) {
            rank[i] = 0;
            for (const DeclarationStatus other : all)
                rank[i] += StatusText(other) < StatusText(all[i]) ? 1 : 0;
        }
        sortBy([&](int a, int b) { return rank[int(rows.status(a))] - rank[int(rows.status(b))]; });
        return;
    }
    default:
        sortBy([&](int a, int b) {
            const qint64 x = amountKey(rows, a, column);
            const qint64 y = amountKey(rows, b, column);
            return x < y ? -1 : (x > y ? 1 : 0);
        });
    }
}

} // namespace itm
