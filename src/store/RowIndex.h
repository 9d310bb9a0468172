#pragma once

#include "store/TextColumn.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>

namespace itm {

// The row keys of a cursor in its order, and the texts of the columns it keeps
// for every row.
struct Keyset
{
    QVector<qint64> keys;
    QVector<TextColumn> texts; // one per kept column, in the order they are selected
    bool orderSorted = true; // the order column's texts are in the database's byte order
};

// A keyset read elsewhere (in a thread of its own), taken once it is there.
class PendingKeyset
{
public:
    virtual ~PendingKeyset() = default;
    // Whether the read has ended; never waits.
    virtual bool isFinished() const = 0;
    virtual void wait() = 0;
    // Once wait() has returned: the reason the read failed, else the keyset (taken once).
    virtual const std::optional<QString>& error() const = 0;
    virtual Keyset takeKeyset() = 0;
};

// What a row is searched by: a column's text (upper-cased for a search that
// ignores case), or its number for a column of numbers.
struct RowCriterion
{
    int column;
    QString text;
    std::optional<double> number;
};

// A search of the order column that the byte order answers: an ASCII text
// (no other character has the same bytes), and for a search that ignores case
// one whose letters are at most maxLetters, so that each way of writing them
// can be tried.
bool AnsweredByByteOrder(const QString& text, bool caseInsensitive, int maxLetters);
// Every way of writing an upper-cased ASCII text with its letters in either case.
QVector<QByteArray> CaseVariants(const QString& upperText);

// The index of a cursor's rows, apart from the database: the key of every row
// in the cursor's order, the stored bytes of the columns kept for every row
// (the codes typed into a search), the rows a post moved out of their sorted
// place, the searches over them, and the keyset read in the background until
// it is taken. Rows are numbered from 0.
//
// With an order column (the one the rows are sorted by, a text), the index
// searches it by binary search, as long as no posted row is out of its place.
class RowIndex
{
public:
    RowIndex();
    ~RowIndex();
    RowIndex(const RowIndex&) = delete;
    RowIndex& operator=(const RowIndex&) = delete;

    // Drops every row, text and pending read; the order column stays.
    void clear();
    void setOrderColumn(int column) { m_orderColumn = column; }
    int orderColumn() const { return m_orderColumn; }

    int size() const { return int(m_keys.size()); }
    bool isEmpty() const { return m_keys.isEmpty(); }
    qint64 keyAt(int row) const { return m_keys.at(row); }

    // Takes a whole keyset whose texts are those of the columns kept, in that
    // order. A keyset whose order texts are out of the byte order (a row
    // stored as a number) is searched row by row from then on.
    void adopt(Keyset&& keyset, const QVector<int>& kept);
    // Holds the one row found while the keyset is still being read.
    void holdOnly(qint64 key);

    bool hasTexts(int column) const { return m_texts.contains(column); }
    void setTexts(int column, TextColumn texts) { m_texts.insert(column, std::move(texts)); }
    // The kept texts of a column (empty when it is not kept).
    const TextColumn& texts(int column) const;

    // Whether a row is found by its order text: then findKey's binary search
    // needs the text the row is stored with.
    bool findsByOrder() const { return m_orderColumn >= 0 && m_displaced.isEmpty(); }
    // The row of the key, -1 when there is none. orderText, the row's order
    // text where findsByOrder() (else ignored), narrows the search to the rows
    // of that text; a row not among them (another writer changed it since)
    // is looked for row by row.
    int findKey(qint64 key, const QByteArray* orderText = nullptr) const;

    // The first row that meets every criterion, -1 when none does; each
    // criterion's column must be kept. partial: the text begins with the value.
    int find(const QVector<RowCriterion>& criteria, bool caseInsensitive, bool partial) const;

    // A posted row: textOf gives the stored bytes of a kept column. A new row
    // goes last, and with an order column is out of its place until
    // placeDisplacedRows; a changed order text puts a row out of its place too.
    void appendRow(qint64 key, const std::function<QByteArray(int column)>& textOf);
    void replaceRow(int row, const std::function<QByteArray(int column)>& textOf);
    void removeRow(int row);
    // Puts the rows out of their place where the order column sorts them,
    // equal texts by key, as the database reads them.
    void placeDisplacedRows();

    // The keyset read in the background. While it is read the index holds at
    // most the first row (firstKey); whatever needs every row settles the
    // read first. Each read begun is told apart by its serial.
    int beginLoad(std::unique_ptr<PendingKeyset> load, std::optional<qint64> firstKey, const QVector<int>& kept);
    bool loading() const { return m_load != nullptr; }
    // Whether every row can be had without waiting (also when the read failed).
    bool loadFinished() const;
    qint64 loadFirstKey() const { return m_loadFirstKey; }
    int loadSerial() const { return m_loadSerial; }
    // Waits for a read under way and takes its keyset; true when it did so
    // now. A read that failed keeps its error until clearLoadError or stopLoad.
    bool settleLoad();
    const std::optional<QString>& loadError() const { return m_loadError; }
    void clearLoadError() { m_loadError.reset(); }
    // Stops a read under way (waiting for it) and drops its error.
    void stopLoad();

private:
    bool matches(int row, const QVector<RowCriterion>& criteria, bool caseInsensitive, bool partial) const;
    bool searchableByOrder(const RowCriterion& criterion, bool caseInsensitive) const;
    int firstMatchByOrder(
        const RowCriterion& ordered, const QVector<RowCriterion>& criteria, bool caseInsensitive, bool partial) const;
    void updateTexts(int row, const std::function<QByteArray(int column)>& textOf);

    QVector<qint64> m_keys;
    QHash<int, TextColumn> m_texts;
    int m_orderColumn = -1; // the column the rows are sorted by, -1 when none is known
    QVector<qint64> m_displaced; // rows posted since the read, not yet in their sorted place

    std::unique_ptr<PendingKeyset> m_load;
    QVector<int> m_loadColumns; // the kept columns the running read selects
    qint64 m_loadFirstKey = 0; // the first row's key, held while the read runs
    std::optional<QString> m_loadError;
    int m_loadSerial = 0;
};

} // namespace itm
