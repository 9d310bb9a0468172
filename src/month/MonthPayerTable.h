#pragma once

#include "month/MonthColumns.h"
#include "month/MonthListing.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QStringList>
#include <QVector>

namespace itm {

// The payers of a month held compactly, one column of numbers per field and
// every text in one buffer: a register of millions of payers in a window.
// A row (MonthRow) is built again when asked for; the filter and the sorts
// read the fields directly. Declarations are held only for the payers that
// have one, so that the month can change without the payers being read again.
class MonthPayerTable
{
public:
    qsizetype size() const { return m_ids.size(); }
    void reserve(qsizetype payers);
    void clear();
    void append(const MonthRow& row);
    // A payer without a declaration whose code and name (UTF-8) are their own
    // folded forms, appended without a row built.
    void appendFolded(qint64 payerId, QByteArrayView code, QByteArrayView name, const QString& county);
    // Appends source's rows in the given order (positions in source; a row
    // not named is left out), moving them within source's own memory: a
    // register of millions is never held twice.
    void appendInOrder(MonthPayerTable&& source, const QVector<int>& order);
    // Forgets the index of the ids (positionOfId builds it again).
    void forgetIdIndex();
    // A payer saved since the table was read: the row at position leaves
    // (the rows after it move one down), or row comes in at its place in
    // payer-code order (the rows from there on move one up). Each is a move
    // of a few bytes a row; the texts stay where they are.
    void remove(qsizetype position);
    void insertInOrder(const MonthRow& row);

    MonthRow at(qsizetype position) const;
    qint64 payerId(qsizetype position) const { return m_ids.at(position); }
    bool declared(qsizetype position) const { return m_declaration.at(position) >= 0; }
    DeclarationStatus status(qsizetype position) const;
    bool faulty(qsizetype position) const;
    // The amount a column shows for a declared payer (the difference made).
    qint64 amount(qsizetype position, MonthColumn column) const;
    QByteArrayView code(qsizetype position) const { return piece(position, Code); }
    QByteArrayView searchCode(qsizetype position) const { return piece(position, FoldedCode); }
    QByteArrayView searchName(qsizetype position) const { return piece(position, FoldedName); }
    // The payer's county, and the rank of each county's name among the names
    // held (equal names equal ranks), for sorting.
    qint16 county(qsizetype position) const { return m_county.at(position); }
    QVector<int> countyRanks() const;
    const QStringList& counties() const { return m_counties; }
    // The text of an amount column as shown (MonthCellText), without the row.
    QString amountText(qsizetype position, MonthColumn column) const;
    void addTo(MonthTotals& totals, qsizetype position) const;

    // The month's declarations forgotten, then set one by one: the status,
    // amounts and faults of declared.
    void clearDeclarations();
    void forgetDeclaration(qsizetype position) { m_declaration[position] = -1; }
    void setDeclaration(qsizetype position, const MonthRow& declared);
    // The same for a declaration whose amounts all read as whole numbers.
    void setDeclaration(
        qsizetype position, DeclarationStatus status, qint64 employees, qint64 fund, qint64 commission, qint64 paid);

    // The position of the payer with that id, or -1 (a declaration names its
    // payer by id). The first call after payers were added indexes the ids.
    qsizetype positionOfId(qint64 payerId) const;

private:
    enum Piece
    {
        Code,
        Name,
        FoldedCode,
        FoldedName,
    };
    QByteArrayView piece(qsizetype position, Piece piece) const;
    // Only the rows of order, in that order, in place.
    void keepInOrder(const QVector<int>& order);
    qint16 countyIndex(const QString& county);
    struct Declaration
    {
        DeclarationStatus status;
        qint64 employees;
        qint64 fund;
        qint64 commission;
        qint64 paid;
    };
    Declaration declaration(qsizetype position) const;

    QVector<qint64> m_ids;
    // Each payer's texts one after another in m_text (UTF-8), each after its
    // length: the code, the name, and their folded forms unless equal to
    // them (most registers hold upper-case names), as m_same says. The texts
    // never move: rows change places by their starts alone.
    QVector<quint32> m_textStart;
    QByteArray m_text;
    QVector<quint8> m_same;
    QVector<qint16> m_county; // index in m_counties
    QStringList m_counties;
    // Where the payer's declaration starts in m_amounts, -1 none: the status
    // and the four amounts, each in as few bytes as it needs.
    QVector<qint32> m_declaration;
    QByteArray m_amounts;
    QHash<qint32, QVector<AmountFault>> m_faults; // by declaration
    void indexIds() const;
    // Where each id is: the positions by id less m_firstId where the ids are
    // dense, else the positions in the order of their ids.
    mutable bool m_idsIndexed = false;
    mutable bool m_dense = false;
    mutable qint64 m_firstId = 0;
    mutable QVector<int> m_byId;
};

} // namespace itm
