#pragma once

#include "exchange/CsvReader.h"
#include "store/RuleOutcome.h"
#include "store/TypedRecord.h"
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
// as its field keeps it. Only the columns the file names are written; what
// else the row tells is kept here.
struct PayerRowValues
{
    QString code;
    // The text columns written (their indexes in the record) and the file's
    // text for each, when asked for: a payer updated from the file keeps a
    // stored text that the file holds as exported.
    QList<std::pair<int, QString>> fileTexts;
    std::optional<QString> failure;
    QString warning; // a doubt about the row that does not refuse it

    void clear();
};

// A text as the key of a table looked up for each row of a file (a county's
// name, a legal form): hashed by a cheap mix of its characters, a fraction of
// what a general string hash costs over a million rows.
struct RowText
{
    QString text;
    friend bool operator==(const RowText& a, const RowText& b) { return a.text == b.text; }
};
size_t qHash(const RowText& key, size_t seed = 0);

class PayerRowReader
{
public:
    // payers: the register query, for its column sizes; counties: the county query.
    PayerRowReader(Dataset& payers, Dataset& counties);

    // The values of one record written into payer (a record of the register
    // query's columns), the rest of what it tells into row, which is emptied
    // first and keeps its memory: one serves each row of a file in turn.
    // withFileTexts: row.fileTexts is filled too. On a failure, payer holds
    // part of the row. code: the record's code as PayerCodeOfField gives it
    // for its field, when the caller has it already (and has refused a code
    // it refuses).
    void read(const CsvRecord& record, const PayerHeader& header, TypedRecord& payer, PayerRowValues& row,
        bool withFileTexts, const std::optional<QString>& code = std::nullopt) const;

    // The county's name for its key, as the county field shows it; empty when
    // the key is no county's.
    QString countyName(const QString& codjudet) const { return m_countyNames.value(RowText { codjudet }); }

private:
    // The county's key for a name as a file writes it, matched as the tax
    // register's counties are; empty when no county has that name.
    QString countyKey(const QString& name) const;

    QList<CountyRow> m_counties;
    // A legal form given as text or number: its index, nothing when none.
    std::optional<qint64> legalForm(const QString& text, bool isPrefix) const;

    mutable QHash<RowText, QString> m_countyKeys; // names met so far -> key
    QHash<RowText, QString> m_countyNames; // key -> name
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
        int recordIndex = -1; // its index in the register query's columns
        int size = 0; // largest length of a text column, 0 for none
        QString standard; // the text the validation writes into it when empty
        QString standardUpper;
    };

    QVector<FileColumn> m_fileColumns; // as PayerFileColumns()
    static TypedRecord::Field fieldOf(TypedRecord& payer, const FileColumn& column);
    // What each column gave for the last field read in it that passed.
    struct LastValue
    {
        bool known = false;
        bool marked = false; // the field is raw behind one apostrophe
        QString raw;
        QVariant value; // as the record holds it
        bool lostLetter = false;
        bool holds(QStringView field) const;
    };
    mutable QVector<LastValue> m_lastValues; // as m_fileColumns
    QHash<QString, qint64> m_prefixKeys; // a legal form's texts -> its index
    QHash<QString, qint64> m_sufixKeys;
    // The texts of legal forms met so far and what each gave (a file writes
    // each form the same way in every row).
    mutable QHash<RowText, std::optional<qint64>> m_prefixesMet;
    mutable QHash<RowText, std::optional<qint64>> m_sufixesMet;
};

} // namespace itm::exchange
