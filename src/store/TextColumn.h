#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVector>

namespace itm {

// The texts of one column for every row of a cursor, in the cursor's order,
// kept as the bytes the database stores (one buffer for all rows and the end
// of each row's text), so a register of millions of rows costs a few bytes a
// row rather than a string object. Copies share the buffers until one of them
// changes.
class TextColumn
{
public:
    int size() const { return int(m_ends.size()); }
    bool isEmpty() const { return m_ends.isEmpty(); }
    QByteArrayView bytesAt(int row) const;
    QString textAt(int row) const;

    void reserve(int rows, qsizetype bytes);
    void append(QByteArrayView bytes);
    void insert(int row, QByteArrayView bytes);
    void remove(int row);
    void replace(int row, QByteArrayView bytes);
    void clear();

    // Whether the rows are in the byte order the database sorts texts in
    // (its BINARY collation): then the lookups below answer by binary search.
    bool isSorted() const;
    // The first row in [from, to) whose bytes are not below the given ones
    // (to when there is none); the rows there must be sorted.
    int lowerBound(QByteArrayView bytes, int from, int to) const;
    // The first row after the lower bound whose bytes no longer begin with prefix.
    int prefixEnd(QByteArrayView prefix, int from, int to) const;
    // Whether any row holds a byte outside ASCII: only such a row can match a
    // search that ignores case other than through the case of its ASCII letters.
    bool hasNonAscii() const { return m_nonAsciiRows > 0; }
    static bool isAscii(QByteArrayView bytes);

private:
    qsizetype beginOf(int row) const { return row == 0 ? 0 : m_ends.at(row - 1); }

    QByteArray m_bytes;
    QVector<quint32> m_ends;
    int m_nonAsciiRows = 0;
};

} // namespace itm
