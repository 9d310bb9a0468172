#pragma once

#include "exchange/CsvReader.h"
#include "store/RuleOutcome.h"
#include "taxregister/CountyMatch.h"

#include <QHash>
#include <QVector>

namespace itm {
class Dataset;
}

namespace itm::exchange {

// Which payer column each field of a file's records holds: an index into
// PayerFileColumns(), or a failure when the header names an unknown column,
// names one twice or lacks the code.
struct PayerHeader
{
    QVector<int> columnOfField;
    std::optional<QString> failure;
};

PayerHeader ReadPayerHeader(const CsvRecord& header);

// The payer code a field of a file holds, as spreadsheets leave it: without
// the blanks around it and without a leading "RO" (the VAT prefix). A code
// that a spreadsheet turned into a number in scientific notation
// ("1.85032E+12") has lost its digits: it is refused, with *failure saying so.
QString PayerCodeOfField(QStringView field, QString* failure);

// One record of a payer file as the values the payer panel would have put
// into the record: letters without diacritics and in the case of their field
// (a default of the validation, "fara banca", as the validation writes it),
// the county's key for its name, the legal forms as their indexes, the sector
// as its field keeps it. Only the columns the file names are written.
struct PayerRowValues
{
    QString code;
    QList<ColumnWrite> writes; // firme columns, codjudet for judet
    // The text columns written and the file's text for each: a payer updated
    // from the file keeps a stored text that the file holds as exported.
    QList<std::pair<QString, QString>> fileTexts;
    std::optional<QString> failure;
    QString warning; // a doubt about the row that does not refuse it
};

class PayerRowReader
{
public:
    // payers: the register query, for its column sizes; counties: the county query.
    PayerRowReader(Dataset& payers, Dataset& counties);

    PayerRowValues read(const CsvRecord& record, const PayerHeader& header) const;

    // The county's name for its key, as the county field shows it; empty when
    // the key is no county's.
    QString countyName(const QString& codjudet) const { return m_countyNames.value(codjudet); }

private:
    // The county's key for a name as a file writes it, matched as the tax
    // register's counties are; empty when no county has that name.
    QString countyKey(const QString& name) const;

    QList<CountyRow> m_counties;
    mutable QHash<QString, QString> m_countyKeys; // names met so far -> key
    QHash<QString, QString> m_countyNames; // key -> name
    // How each column a payer file may name is read into the register.
    struct FileColumn
    {
        enum Kind
        {
            Code,
            Prefix,
            Sufix,
            County,
            Sector,
            UpperText,
            LowerText,
        } kind
            = UpperText;
        QString name; // the register column written
        int size = 0; // largest length of a text column, 0 for none
        QString standard; // the text the validation writes into it when empty
        QString standardUpper;
    };

    QVector<FileColumn> m_fileColumns; // as PayerFileColumns()
    QHash<QString, qint64> m_prefixKeys; // a legal form's texts -> its index
    QHash<QString, qint64> m_sufixKeys;
};

} // namespace itm::exchange
