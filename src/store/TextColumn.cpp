#include "store/TextColumn.h"

#include "store/StoredText.h"

#include <algorithm>

namespace itm {

QByteArrayView TextColumn::bytesAt(int row) const
{
    const qsizetype begin = beginOf(row);
    return QByteArrayView(m_bytes.constData() + begin, m_ends.at(row) - begin);
}

QString TextColumn::textAt(int row) const
{
    const QByteArrayView bytes = bytesAt(row);
    return StoredTextFromBytes(bytes.data(), bytes.size());
}

void TextColumn::reserve(int rows, qsizetype bytes)
{
    m_ends.reserve(rows);
    m_bytes.reserve(bytes);
}

bool TextColumn::isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return (uchar(c) & 0x80) == 0; });
}

void TextColumn::append(QByteArrayView bytes)
{
    m_nonAsciiRows += isAscii(bytes) ? 0 : 1;
    m_bytes.append(bytes);
    m_ends.append(quint32(m_bytes.size()));
}

void TextColumn::insert(int row, QByteArrayView bytes)
{
    m_nonAsciiRows += isAscii(bytes) ? 0 : 1;
    const qsizetype begin = beginOf(row);
    m_bytes.insert(begin, bytes);
    m_ends.insert(row, quint32(begin));
    const auto grown = quint32(bytes.size());
    for (auto it = m_ends.begin() + row; it != m_ends.end(); ++it)
        *it += grown;
}

void TextColumn::remove(int row)
{
    m_nonAsciiRows -= isAscii(bytesAt(row)) ? 0 : 1;
    const qsizetype begin = beginOf(row);
    const auto removed = quint32(m_ends.at(row) - begin);
    m_bytes.remove(begin, removed);
    m_ends.removeAt(row);
    for (auto it = m_ends.begin() + row; it != m_ends.end(); ++it)
        *it -= removed;
}

void TextColumn::replace(int row, QByteArrayView bytes)
{
    if (bytesAt(row) == bytes)
        return;
    remove(row);
    insert(row, bytes);
}

void TextColumn::clear()
{
    m_bytes.clear();
    m_ends.clear();
    m_nonAsciiRows = 0;
}

bool TextColumn::isSorted() const
{
    for (int row = 1; row < size(); ++row) {
        if (bytesAt(row) < bytesAt(row - 1))
            return false;
    }
    return true;
}

int TextColumn::lowerBound(QByteArrayView bytes, int from, int to) const
{
    while (from < to) {
        const int middle = from + (to - from) / 2;
        if (bytesAt(middle) < bytes)
            from = middle + 1;
        else
            to = middle;
    }
    return from;
}

int TextColumn::prefixEnd(QByteArrayView prefix, int from, int to) const
{
    while (from < to) {
        const int middle = from + (to - from) / 2;
        if (bytesAt(middle).startsWith(prefix))
            from = middle + 1;
        else
            to = middle;
    }
    return from;
}

} // namespace itm
