#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/Errors.h"
#include "store/KeysetLoad.h"
#include "store/StoredText.h"
#include "store/StrictNumber.h"

#include <algorithm>

namespace itm {

namespace {

// A search on the sort column that the byte order answers: an ASCII text (no
// other character has the same bytes), and for a search that ignores case one
// whose letters are few enough to try each way of writing them.
constexpr int maxCaseVariantLetters = 12;
// Before the keys are read, each way of writing the letters is one question to
// the database's index: a code's few letters (a prefix such as RO) take a few.
constexpr int maxIndexCaseVariantLetters = 4;

bool answeredByByteOrder(const QString& text, bool caseInsensitive, int maxLetters = maxCaseVariantLetters)
{
    int letters = 0;
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
        if (caseInsensitive && c.isLetter())
            ++letters;
    }
    return letters <= maxLetters;
}

// Every way of writing an upper-cased ASCII text with its letters in either case.
QVector<QByteArray> caseVariants(const QString& upperText)
{
    QVector<QByteArray> variants { upperText.toLatin1() };
    for (qsizetype i = 0; i < upperText.size(); ++i) {
        const char c = char(upperText.at(i).unicode());
        if (c < 'A' || c > 'Z')
            continue;
        const qsizetype count = variants.size();
        for (qsizetype v = 0; v < count; ++v) {
            QByteArray lower = variants.at(v);
            lower[i] = char(c - 'A' + 'a');
            variants.append(lower);
        }
    }
    return variants;
}

} // namespace

bool Dataset::searchableByOrder(const Criterion& criterion, bool caseInsensitive) const
{
    return criterion.column == m_orderIndex && m_displaced.isEmpty() && !criterion.number
        && answeredByByteOrder(criterion.text, caseInsensitive);
}

int Dataset::firstMatchByOrder(
    const Criterion& ordered, const QVector<Criterion>& criteria, bool caseInsensitive, bool partial) const
{
    // The rows whose sort text is written as one of the variants lie together:
    // each run is found by binary search, and only its rows are compared on the
    // other columns. A row with other than ASCII bytes may still match when
    // case is ignored (a dotless i is an I in capitals), so such rows, rare in
    // a register, are compared one by one.
    const TextColumn& order = m_caches[m_orderIndex];
    const int size = order.size();
    int first = -1;
    const QVector<QByteArray> variants
        = caseInsensitive ? caseVariants(ordered.text) : QVector<QByteArray> { ordered.text.toLatin1() };
    for (const QByteArray& bytes : variants) {
        const int from = order.lowerBound(bytes, 0, size);
        int to = from;
        if (partial) {
            to = order.prefixEnd(bytes, from, size);
        } else {
            while (to < size && order.bytesAt(to) == bytes)
                ++to;
        }
        for (int row = from; row < to && (first < 0 || row < first); ++row) {
            if (matches(row, criteria, caseInsensitive, partial)) {
                first = row;
                break;
            }
        }
    }
    if (caseInsensitive && order.hasNonAscii()) {
        const int end = first < 0 ? size : first;
        for (int row = 0; row < end; ++row) {
            if (!TextColumn::isAscii(order.bytesAt(row)) && matches(row, criteria, caseInsensitive, partial)) {
                first = row;
                break;
            }
        }
    }
    return first;
}

int Dataset::rowOfStoredKey(qint64 key) const
{
    // The row's sort text, read by its key, finds it by binary search. A row
    // another writer changed or deleted since the keys were read is not found
    // that way; the keys are then searched one by one, as they were read.
    if (m_orderIndex >= 0 && m_displaced.isEmpty()) {
        const std::optional<QByteArray> orderText = storedBytesOfRow(key, m_orderIndex);
        const TextColumn& order = m_caches[m_orderIndex];
        for (int row = orderText ? order.lowerBound(*orderText, 0, order.size()) : order.size();
             row < order.size() && order.bytesAt(row) == *orderText; ++row) {
            if (m_keys.at(row) == key)
                return row;
        }
    }
    return int(m_keys.indexOf(key));
}

bool Dataset::matches(int row, const QVector<Criterion>& criteria, bool caseInsensitive, bool partial) const
{
    for (const Criterion& criterion : criteria) {
        QString candidate = m_caches.value(criterion.column).textAt(row);
        if (caseInsensitive)
            candidate = candidate.toUpper();
        bool match;
        if (criterion.number) {
            const auto number = TryStrToFloat(candidate);
            match = number && *number == *criterion.number;
        } else if (partial) {
            match = candidate.startsWith(criterion.text);
        } else {
            match = candidate == criterion.text;
        }
        if (!match)
            return false;
    }
    return true;
}

std::optional<bool> Dataset::locateBeforeKeys(const QString& columns, const QVariantList& values, LocateOptions options)
{
    // While the keys are still being read, a search of the sort column that
    // the byte order answers (an ASCII text; when case is ignored, each way of
    // writing its letters in turn) is asked of the database's index, so that a
    // code typed as the window opens is completed at once. The row found takes
    // its place among the others when the read's result is taken. A code
    // stored with other than ASCII letters is found only once the read ends.
    if (!m_load || m_load->isFinished() || m_state != DatasetState::Browse || m_orderIndex < 0 || values.size() != 1
        || columns.contains(u';') || FieldIndex(columns.trimmed()) != m_orderIndex)
        return std::nullopt;
    const QString text = valueText(values.first());
    const bool caseInsensitive = options & LocateCaseInsensitive;
    const bool partial = options & LocatePartialKey;
    if (text.isEmpty() || !answeredByByteOrder(text, caseInsensitive, maxIndexCaseVariantLetters))
        return std::nullopt;
    const QVector<QByteArray> variants
        = caseInsensitive ? caseVariants(text.toUpper()) : QVector<QByteArray> { text.toLatin1() };
    const QString column = m_columns.at(m_orderIndex);
    Statement statement(m_connection,
        QStringLiteral("SELECT %1, %2 FROM (%3) WHERE %2 %4 :text ORDER BY %2, %1 LIMIT 1")
            .arg(m_keyColumn, column, m_sql, partial ? QStringLiteral(">=") : QStringLiteral("=")));
    // The first row in the cursor's order among the first of each variant.
    std::optional<qint64> key;
    QByteArray keyText;
    for (const QByteArray& variant : variants) {
        statement.reset();
        statement.bind(QStringLiteral("text"), QString::fromLatin1(variant));
        if (!statement.step())
            continue;
        const QByteArray stored = statement.storedBytes(1).toByteArray();
        if (partial && !stored.startsWith(variant))
            continue;
        const qint64 found = statement.integer(0);
        if (!key || stored < keyText || (stored == keyText && found < *key)) {
            key = found;
            keyText = stored;
        }
    }
    statement.reset();
    if (!key)
        return false;
    m_eof = false;
    if (m_current >= 0 && m_keys.at(m_current) == *key)
        return true;
    m_keys = { *key };
    m_current = 0;
    m_rowIndex = -1;
    notifyRecordChanged();
    return true;
}

bool Dataset::Locate(const QString& columns, const QVariantList& values, LocateOptions options)
{
    requireOpen();
    if (const auto found = locateBeforeKeys(columns, values, options))
        return *found;
    waitForKeys();
    const QStringList names = columns.split(u';');
    if (names.size() != values.size())
        throw Error(QStringLiteral("%1: Locate needs one value per field").arg(m_name));
    const bool caseInsensitive = options & LocateCaseInsensitive;
    const bool partial = options & LocatePartialKey;
    // The row key itself (a lookup by id) is answered from the keys, with no
    // text of it kept for every row.
    if (names.size() == 1 && !partial && FieldIndex(names[0].trimmed()) == m_keyIndex
        && m_types[m_keyIndex] == ColumnType::Integer) {
        const auto number = TryStrToFloat(valueText(values[0]));
        const int row = number && *number == qint64(*number) ? rowOfStoredKey(qint64(*number)) : -1;
        if (row >= 0 && m_state == DatasetState::Browse)
            moveTo(row);
        return row >= 0;
    }
    QVector<Criterion> criteria;
    for (int i = 0; i < names.size(); ++i) {
        const int index = FieldIndex(names[i].trimmed());
        if (index < 0)
            throw Error(QStringLiteral("%1: Field '%2' not found").arg(m_name, names[i].trimmed()));
        columnCache(index);
        Criterion criterion { index, valueText(values[i]), std::nullopt };
        if (caseInsensitive)
            criterion.text = criterion.text.toUpper();
        // Numeric columns compare as numbers, so the text "03" finds the month 3.
        if (m_types[index] != ColumnType::Text && !partial)
            criterion.number = TryStrToFloat(valueText(values[i]));
        criteria.append(criterion);
    }
    int found = -1;
    const auto ordered = std::find_if(criteria.cbegin(), criteria.cend(),
        [&](const Criterion& criterion) { return searchableByOrder(criterion, caseInsensitive); });
    if (ordered != criteria.cend()) {
        found = firstMatchByOrder(*ordered, criteria, caseInsensitive, partial);
    } else {
        for (int row = 0; row < m_keys.size() && found < 0; ++row) {
            if (matches(row, criteria, caseInsensitive, partial))
                found = row;
        }
    }
    if (found < 0)
        return false;
    // A row being edited is never posted or dropped by a search: the search
    // then only answers and the cursor stays where it is.
    if (m_state == DatasetState::Browse)
        moveTo(found);
    return true;
}

} // namespace itm
