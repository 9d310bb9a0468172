#include "store/Dataset.h"
#include "store/Errors.h"
#include "store/StoredText.h"
#include "store/StrictNumber.h"

namespace itm {

namespace {

// A search the byte order answers: an ASCII text, and for a search that
// ignores case one with no letters (no other character has the same capital).
bool answeredByByteOrder(const QString& text, bool caseInsensitive)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80 || (caseInsensitive && c.isLetter()))
            return false;
    }
    return true;
}

} // namespace

bool Dataset::searchableByOrder(const Criterion& criterion, bool caseInsensitive) const
{
    return criterion.column == m_orderIndex && m_displaced.isEmpty() && !criterion.number
        && answeredByByteOrder(criterion.text, caseInsensitive);
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

bool Dataset::Locate(const QString& columns, const QVariantList& values, LocateOptions options)
{
    requireOpen();
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
        const int row = number && *number == qint64(*number) ? int(m_keys.indexOf(qint64(*number))) : -1;
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
    // The rows a search on the sort column can match lie together: they are
    // found by binary search, and only they are compared on the other columns.
    int from = 0;
    int to = int(m_keys.size());
    for (const Criterion& criterion : std::as_const(criteria)) {
        if (!searchableByOrder(criterion, caseInsensitive))
            continue;
        const TextColumn& order = m_caches[m_orderIndex];
        const QByteArray bytes = criterion.text.toLatin1();
        from = order.lowerBound(bytes, from, to);
        if (partial) {
            to = order.prefixEnd(bytes, from, to);
        } else {
            int end = from;
            while (end < to && order.bytesAt(end) == bytes)
                ++end;
            to = end;
        }
        break;
    }
    for (int row = from; row < to; ++row) {
        if (matches(row, criteria, caseInsensitive, partial)) {
            // A row being edited is never posted or dropped by a search: the
            // search then only answers and the cursor stays where it is.
            if (m_state == DatasetState::Browse)
                moveTo(row);
            return true;
        }
    }
    return false;
}

} // namespace itm
