#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/Errors.h"
#include "store/StoredText.h"
#include "store/StrictNumber.h"

#include <algorithm>

namespace itm {

namespace {

// Before the keys are read, each way of writing the letters is one question to
// the database's index: a code's few letters (a prefix such as RO) take a few.
constexpr int maxIndexCaseVariantLetters = 4;

} // namespace

std::optional<bool> Dataset::locateBeforeKeys(const QString& columns, const QVariantList& values, LocateOptions options)
{
    // While the keys are still being read, a search of the sort column that
    // the byte order answers (an ASCII text; when case is ignored, each way of
    // writing its letters in turn) is asked of the database's index, so that a
    // code typed as the window opens is completed at once. The row found takes
    // its place among the others when the read's result is taken. A code
    // stored with other than ASCII letters is found only once the read ends.
    const int order = m_rows.orderColumn();
    if (m_rows.loadFinished() || m_state != DatasetState::Browse || order < 0 || values.size() != 1
        || columns.contains(u';') || FieldIndex(columns.trimmed()) != order)
        return std::nullopt;
    const QString text = valueText(values.first());
    const bool caseInsensitive = options.testFlag(LocateCaseInsensitive);
    const bool partial = options.testFlag(LocatePartialKey);
    if (text.isEmpty() || !AnsweredByByteOrder(text, caseInsensitive, maxIndexCaseVariantLetters))
        return std::nullopt;
    const QVector<QByteArray> variants
        = caseInsensitive ? CaseVariants(text.toUpper()) : QVector<QByteArray> { text.toLatin1() };
    const QString column = m_columns.at(order);
    Statement statement(m_connection,
        QStringLiteral("SELECT %1, %2 FROM (%3) AS sursa WHERE %2 %4 :text ORDER BY %2, %1 LIMIT 1")
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
    if (m_current >= 0 && m_rows.keyAt(m_current) == *key)
        return true;
    m_rows.holdOnly(*key);
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
    const bool caseInsensitive = options.testFlag(LocateCaseInsensitive);
    const bool partial = options.testFlag(LocatePartialKey);
    // The row key itself (a lookup by id) is answered from the keys, with no
    // text of it kept for every row.
    if (names.size() == 1 && !partial && FieldIndex(names[0].trimmed()) == m_keyIndex
        && m_types[m_keyIndex] == ColumnType::Integer) {
        const auto number = TryStrToFloat(valueText(values[0]));
        int row = -1;
        if (number && *number == qint64(*number)) {
            // The row's order text, read by its key, finds it by binary search.
            const qint64 key = qint64(*number);
            const std::optional<QByteArray> orderText
                = m_rows.findsByOrder() ? storedBytesOfRow(key, m_rows.orderColumn()) : std::nullopt;
            row = m_rows.findKey(key, orderText ? &*orderText : nullptr);
        }
        if (row >= 0 && m_state == DatasetState::Browse)
            moveTo(row);
        return row >= 0;
    }
    QVector<RowCriterion> criteria;
    for (int i = 0; i < names.size(); ++i) {
        const int index = FieldIndex(names[i].trimmed());
        if (index < 0)
            throw Error(QStringLiteral("%1: Field '%2' not found").arg(m_name, names[i].trimmed()));
        columnCache(index);
        RowCriterion criterion { index, valueText(values[i]), std::nullopt };
        if (caseInsensitive)
            criterion.text = criterion.text.toUpper();
        // Numeric columns compare as numbers, so the text "03" finds the month 3.
        if (m_types[index] != ColumnType::Text && !partial)
            criterion.number = TryStrToFloat(valueText(values[i]));
        criteria.append(criterion);
    }
    const int found = m_rows.find(criteria, caseInsensitive, partial);
    if (found < 0)
        return false;
    // A row being edited is never posted or dropped by a search: the search
    // then only answers and the cursor stays where it is.
    if (m_state == DatasetState::Browse)
        moveTo(found);
    return true;
}

} // namespace itm
