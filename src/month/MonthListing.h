#pragma once

#include "month/MonthPeriod.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

namespace itm {

class Connection;
class MonthPayerTable;
class Statement;

enum class DeclarationStatus
{
    Initial,
    Corrective,
    Missing, // the month has no declaration of the payer
};

// "Initiala", "Rectificativa", "Lipsa".
QString StatusText(DeclarationStatus status);

// An amount of a declaration stored as a text that is no whole number (a
// register made by another program): the column and the text as stored.
struct AmountFault
{
    QString column; // nrsal, fondlunsal, comdat or comac
    QString stored;
    // The conversion error with the column's name in front, as itm-cli write
    // reports such a declaration.
    QString message;
};

// One payer of the register and its declaration of the month, if any.
struct MonthRow
{
    qint64 payerId = 0;
    QString cui;
    QString legalName; // composed: prefix, name, suffix
    QString county; // the county's name
    DeclarationStatus status = DeclarationStatus::Missing;
    qint64 employees = 0;
    qint64 fund = 0;
    qint64 commission = 0;
    qint64 paid = 0;
    // The amounts that could not be read; their numbers above are 0.
    QVector<AmountFault> faults;
    // The code and the name as the filter compares them (see FoldForSearch).
    QString searchCode;
    QString searchName;

    bool declared() const { return status != DeclarationStatus::Missing; }
    bool faulty() const { return !faults.isEmpty(); }
    // The fault of an amount column, or nothing.
    const AmountFault* faultOf(const QString& column) const;
    qint64 difference() const { return commission - paid; }
};

} // namespace itm

// A row holds only implicitly shared texts and numbers: moved as bytes when the
// listing grows.
Q_DECLARE_TYPEINFO(itm::MonthRow, Q_RELOCATABLE_TYPE);

namespace itm {

// The totals line: how many payers are declared and missing, and the sums of
// the declared amounts. A declaration with an amount that could not be read
// counts as declared but adds none of its amounts: the sums are incomplete.
struct MonthTotals
{
    int declared = 0;
    int missing = 0;
    int faulty = 0;
    qint64 employees = 0;
    qint64 fund = 0;
    qint64 commission = 0;
    qint64 paid = 0;

    void add(const MonthRow& row);
    bool complete() const { return faulty == 0; }
};

// Reads the rows of a month in payer-code order (the codes compared byte by
// byte, as the register orders them), a slice at a time, so that a window can
// show the first rows of a large register at once and take the rest while the
// user looks at them. A payer with several declarations for the month shows
// the first one saved. Errors of the database raise DatabaseError; an amount
// stored as a text that is no whole number (read with the strict conversion)
// does not stop the reading: the row carries the fault.
//
// The first slice walks the register's index of codes. After it, a reader
// that keeps what it reads (Gathered) takes the rest of the register and the
// month's declarations in the order the file holds them and sorts the codes in
// memory: walking the index costs a lookup of the table and of the
// declarations per payer, twenty times as long over a large register. Such a
// reader gives no rows while it gathers: readMore() counts the rows it reads.
// A Streamed reader walks the index to the end, holding one slice at a time.
class MonthListingReader
{
public:
    enum class Mode
    {
        Gathered,
        Streamed
    };
    // Below this many payers left after the first slice, walking the index
    // is as quick as gathering and sorting.
    static constexpr qint64 kGatherFromPayers = 20000;

    MonthListingReader(Connection& connection, const MonthPeriod& period, Mode mode = Mode::Gathered,
        qint64 gatherFromPayers = kGatherFromPayers);
    ~MonthListingReader();
    MonthListingReader(const MonthListingReader&) = delete;
    MonthListingReader& operator=(const MonthListingReader&) = delete;

    // Appends up to count rows (none while a Gathered reader gathers, but
    // then it reads count rows of the file); false once every row has been read.
    bool readMore(QVector<MonthRow>& rows, int count);
    // The same into a compact table; the gathered rest of the register comes
    // in one slice, handed over without a row built.
    bool readMore(MonthPayerTable& rows, int count);
    bool atEnd() const { return m_atEnd; }

private:
    enum class Phase
    {
        Index,
        Payers,
        Declarations,
        Handing
    };
    bool readInto(QVector<MonthRow>* rows, MonthPayerTable* table, int count);
    void readRow(const Statement& row, MonthRow& entry) const;
    Connection& scanConnection();
    void gatherPayers(int count);
    bool gatherPlainPayer(Statement& row);
    void gatherDeclarations(int count);
    void sortGathered();

    Connection& m_connection;
    MonthPeriod m_period;
    Mode m_mode;
    qint64 m_gatherFromPayers;
    bool m_onServer = false;
    bool m_walkLimited = false; // the walk gives the first slice alone
    Phase m_phase = Phase::Index;
    std::unique_ptr<Statement> m_statement; // the index walk, kept open until the end: one view of the register
    std::unique_ptr<Connection> m_scanConnection; // declared before the statement that reads through it
    std::unique_ptr<Statement> m_scan;
    QHash<QString, QString> m_countyNames;
    QSet<qint64> m_given; // the payers the index walk gave
    std::unique_ptr<MonthPayerTable> m_gathered; // in the file's order
    qsizetype m_nextPayerHint = 0;
    QByteArray m_plainCode;
    QByteArray m_plainName;
    QVector<QByteArray> m_plainPrefixes;
    QVector<QByteArray> m_plainSuffixes;
    QVector<std::pair<QByteArray, QString>> m_plainCounties; // county keys as stored, their names
    // The gathered codes whose stored bytes differ from the text held, by
    // position; a null array for a code stored as NULL.
    QHash<qsizetype, QByteArray> m_storedCodes;
    QVector<int> m_order; // positions in m_gathered, in payer-code order
    qsizetype m_handed = 0;
    bool m_atEnd = false;
};

// The payers of those ids still in the register, as the listing shows them,
// without their declarations: the payers a colleague saved, to be placed
// among those read.
QVector<MonthRow> ReadListedPayers(Connection& connection, const QList<qint64>& payerIds);

// The month's declarations (the first saved of each payer) set on the payers
// of rows, every other payer's forgotten: another month over the same register.
void ReadMonthDeclarations(Connection& connection, const MonthPeriod& period, MonthPayerTable& rows);

// The month's declarations of those payers set on them again (the first
// saved; none when they have none any more), every other payer's kept:
// declarations a colleague saved.
void ReadMonthDeclarationsOf(
    Connection& connection, const MonthPeriod& period, const QSet<qint64>& payerIds, MonthPayerTable& rows);

// Every row of the month at once.
QVector<MonthRow> ReadMonthListing(Connection& connection, const MonthPeriod& period);

// Every row of the month handed to visit in the same order, a slice at a time,
// none kept after visit returns.
void ForEachMonthRow(
    Connection& connection, const MonthPeriod& period, const std::function<void(const MonthRow&)>& visit);

MonthTotals TotalsOf(const QVector<MonthRow>& rows);

// The rows whose declaration holds an amount that could not be read.
QVector<const MonthRow*> FaultyRows(const QVector<MonthRow>& rows);

} // namespace itm
