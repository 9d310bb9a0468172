#include "store/RowIndex.h"

#include "store/StrictNumber.h"

#include <algorithm>

namespace itm {

bool AnsweredByByteOrder(const QString& text, bool caseInsensitive, int maxLetters)
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

QVector<QByteArray> CaseVariants(const QString& upperText)
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

namespace {

// A search of the order column that ignores case tries each way of writing
// its letters: a few letters at most.
constexpr int maxCaseVariantLetters = 12;

} // namespace

RowIndex::RowIndex() = default;

RowIndex::~RowIndex()
{
    // A read under way is stopped and its thread joined while the index is whole.
    stopLoad();
}

void RowIndex::clear()
{
    m_keys.clear();
    m_texts.clear();
    m_displaced.clear();
}

void RowIndex::adopt(Keyset&& keyset, const QVector<int>& kept)
{
    m_keys = std::move(keyset.keys);
    m_texts.clear();
    for (int c = 0; c < kept.size(); ++c)
        m_texts.insert(kept[c], std::move(keyset.texts[c]));
    m_displaced.clear();
    // Rows stored as numbers or blobs sort apart from texts: such a register
    // is searched row by row.
    if (m_orderColumn >= 0 && !keyset.orderSorted)
        m_orderColumn = -1;
}

void RowIndex::holdOnly(qint64 key)
{
    m_keys = { key };
}

const TextColumn& RowIndex::texts(int column) const
{
    static const TextColumn none;
    const auto it = m_texts.constFind(column);
    return it == m_texts.constEnd() ? none : *it;
}

int RowIndex::findKey(qint64 key, const QByteArray* orderText) const
{
    // The row's order text finds it by binary search. A row another writer
    // changed or deleted since the keys were read is not found that way; the
    // keys are then searched one by one, as they were read.
    if (orderText && findsByOrder()) {
        const TextColumn& order = texts(m_orderColumn);
        for (int row = order.lowerBound(*orderText, 0, order.size());
             row < order.size() && order.bytesAt(row) == *orderText; ++row) {
            if (m_keys.at(row) == key)
                return row;
        }
    }
    return int(m_keys.indexOf(key));
}

bool RowIndex::matches(int row, const QVector<RowCriterion>& criteria, bool caseInsensitive, bool partial) const
{
    for (const RowCriterion& criterion : criteria) {
        QString candidate = texts(criterion.column).textAt(row);
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

bool RowIndex::searchableByOrder(const RowCriterion& criterion, bool caseInsensitive) const
{
    return criterion.column == m_orderColumn && m_displaced.isEmpty() && !criterion.number
        && AnsweredByByteOrder(criterion.text, caseInsensitive, maxCaseVariantLetters);
}

int RowIndex::firstMatchByOrder(
    const RowCriterion& ordered, const QVector<RowCriterion>& criteria, bool caseInsensitive, bool partial) const
{
    // The rows whose sort text is written as one of the variants lie together:
    // each run is found by binary search, and only its rows are compared on the
    // other columns. A row with other than ASCII bytes may still match when
    // case is ignored (a dotless i is an I in capitals), so such rows, rare in
    // a register, are compared one by one.
    const TextColumn& order = texts(m_orderColumn);
    const int size = order.size();
    int first = -1;
    const QVector<QByteArray> variants
        = caseInsensitive ? CaseVariants(ordered.text) : QVector<QByteArray> { ordered.text.toLatin1() };
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

int RowIndex::find(const QVector<RowCriterion>& criteria, bool caseInsensitive, bool partial) const
{
    const auto ordered = std::find_if(criteria.cbegin(), criteria.cend(),
        [&](const RowCriterion& criterion) { return searchableByOrder(criterion, caseInsensitive); });
    if (ordered != criteria.cend())
        return firstMatchByOrder(*ordered, criteria, caseInsensitive, partial);
    for (int row = 0; row < m_keys.size(); ++row) {
        if (matches(row, criteria, caseInsensitive, partial))
            return row;
    }
    return -1;
}

void RowIndex::updateTexts(int row, const std::function<QByteArray(int column)>& textOf)
{
    for (auto it = m_texts.begin(); it != m_texts.end(); ++it) {
        const QByteArray text = textOf(it.key());
        if (row >= it->size()) {
            it->append(text);
        } else {
            if (it.key() == m_orderColumn && it->bytesAt(row) != text && !m_displaced.contains(m_keys.at(row)))
                m_displaced.append(m_keys.at(row));
            it->replace(row, text);
        }
    }
}

void RowIndex::appendRow(qint64 key, const std::function<QByteArray(int column)>& textOf)
{
    m_keys.append(key);
    // The new row stays last until its place is found.
    if (m_orderColumn >= 0)
        m_displaced.append(key);
    updateTexts(size() - 1, textOf);
}

void RowIndex::replaceRow(int row, const std::function<QByteArray(int column)>& textOf)
{
    updateTexts(row, textOf);
}

void RowIndex::removeRow(int row)
{
    m_displaced.removeOne(m_keys.at(row));
    m_keys.removeAt(row);
    for (auto it = m_texts.begin(); it != m_texts.end(); ++it)
        it->remove(row);
}

void RowIndex::placeDisplacedRows()
{
    struct Moved
    {
        qint64 key;
        QHash<int, QByteArray> texts;
    };
    QVector<Moved> moved;
    for (qint64 key : std::exchange(m_displaced, {})) {
        const int row = int(m_keys.lastIndexOf(key));
        if (row < 0)
            continue;
        Moved entry { key, {} };
        for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it)
            entry.texts.insert(it.key(), it->bytesAt(row).toByteArray());
        moved.append(entry);
        removeRow(row);
    }
    // In the order the database reads them: by the text, equal texts by key.
    for (const Moved& entry : std::as_const(moved)) {
        const TextColumn& order = m_texts[m_orderColumn];
        const QByteArray& text = entry.texts.value(m_orderColumn);
        int row = order.lowerBound(text, 0, order.size());
        while (row < order.size() && order.bytesAt(row) == text && m_keys.at(row) < entry.key)
            ++row;
        m_keys.insert(row, entry.key);
        for (auto it = m_texts.begin(); it != m_texts.end(); ++it)
            it->insert(row, entry.texts.value(it.key()));
    }
}

int RowIndex::beginLoad(std::unique_ptr<PendingKeyset> load, std::optional<qint64> firstKey, const QVector<int>& kept)
{
    stopLoad();
    m_keys.clear();
    if (firstKey)
        m_keys.append(*firstKey);
    m_loadFirstKey = firstKey.value_or(0);
    m_texts.clear();
    m_displaced.clear();
    m_loadColumns = kept;
    m_load = std::move(load);
    return m_loadSerial;
}

bool RowIndex::loadFinished() const
{
    return !m_load || m_load->isFinished();
}

bool RowIndex::settleLoad()
{
    if (!m_load)
        return false;
    const std::unique_ptr<PendingKeyset> load = std::move(m_load);
    load->wait();
    if (load->error()) {
        m_loadError = load->error();
        return false;
    }
    adopt(load->takeKeyset(), m_loadColumns);
    return true;
}

void RowIndex::stopLoad()
{
    m_load.reset();
    m_loadError.reset();
    ++m_loadSerial;
}

} // namespace itm
