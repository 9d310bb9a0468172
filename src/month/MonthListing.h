#pragma once

#include "month/MonthPeriod.h"

#include <QHash>
#include <QString>
#include <QVector>
#include <memory>

namespace itm {

class Connection;
class Statement;

enum class DeclarationStatus
{
    Initial,
    Corrective,
    Missing, // the month has no declaration of the payer
};

// "Initiala", "Rectificativa", "Lipsa".
QString StatusText(DeclarationStatus status);

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
    // The code and the name as the filter compares them (see FoldForSearch).
    QString searchCode;
    QString searchName;

    bool declared() const { return status != DeclarationStatus::Missing; }
    qint64 difference() const { return commission - paid; }
};

} // namespace itm

// A row holds only implicitly shared texts and numbers: moved as bytes when the
// listing grows.
Q_DECLARE_TYPEINFO(itm::MonthRow, Q_RELOCATABLE_TYPE);

namespace itm {

// The totals line: how many payers are declared and missing, and the sums of
// the declared amounts.
struct MonthTotals
{
    int declared = 0;
    int missing = 0;
    qint64 employees = 0;
    qint64 fund = 0;
    qint64 commission = 0;
    qint64 paid = 0;

    void add(const MonthRow& row);
};

// Reads the rows of a month in payer-code order (the codes compared byte by
// byte, as the register orders them), a slice at a time, so that a window can
// show the first rows of a large register at once and take the rest while the
// user looks at them. A payer with several declarations for the month shows
// the first one saved. Errors of the database raise DatabaseError; an amount
// stored as a text that is no number raises ConversionError.
class MonthListingReader
{
public:
    MonthListingReader(Connection& connection, const MonthPeriod& period);
    ~MonthListingReader();
    MonthListingReader(const MonthListingReader&) = delete;
    MonthListingReader& operator=(const MonthListingReader&) = delete;

    // Appends up to count rows; false once every row has been read.
    bool readMore(QVector<MonthRow>& rows, int count);
    bool atEnd() const { return m_atEnd; }

private:
    std::unique_ptr<Statement> m_statement;
    QHash<QString, QString> m_countyNames;
    bool m_atEnd = false;
};

// Every row of the month at once.
QVector<MonthRow> ReadMonthListing(Connection& connection, const MonthPeriod& period);

MonthTotals TotalsOf(const QVector<MonthRow>& rows);

} // namespace itm
