#pragma once

#include "taxregister/CountyMatch.h"
#include "taxregister/RegisterEntry.h"

#include <QList>
#include <QPair>
#include <QString>

namespace itm {

class Dataset;

// What a register entry gives a payer record: column and text, in the order
// of the payer panel, in the case of each field (upper case: every column
// written here is an upper-case field). A column the register leaves empty is
// not listed, so whatever the record holds there stays.
struct PayerFill
{
    QList<QPair<QString, QString>> columns;
    QString countyName; // the county as the county table names it; empty when none matched
    bool bucharest = false;

    QString value(const QString& column) const; // empty when not listed
};

// The payer data of an entry: the legal name split into prefix, name and
// suffix (the form the register's legal form names, else the one the name
// says); the county matched by name; for Bucharest the locality BUCURESTI and
// the sector, elsewhere sector 0 and the locality without "MUN." or "ORAS";
// street, number, block, staircase and apartment, postal code (the office's,
// else the general one; six digits, a shorter number padded with zeros in
// front), telephone. The address is the registered office's, or the fiscal
// domicile's when the register holds no registered office.
PayerFill PayerFillFromEntry(const RegisterEntry& entry, const QList<CountyRow>& counties);

// A text as a payer column of that length (0: none) keeps it: cut to the
// length, every control character and separator of the declaration file a
// blank, as the payer is stored.
QString StoredPayerText(const QString& text, int size);

// Writes the fill into the record's edit buffer as typing would: each text as
// StoredPayerText gives it for its column.
void WritePayerFill(Dataset& payers, const PayerFill& fill);

// The rows of the county query (codjudet, denumire), in its order.
QList<CountyRow> CountyRows(Dataset& counties);

} // namespace itm
