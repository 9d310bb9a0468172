#pragma once

#include "exchange/CsvReader.h"
#include "exchange/PayerRow.h"

#include <QByteArray>
#include <QList>

namespace itm {
class Tdm;
}

namespace itm::exchange {

enum class ImportStatus
{
    New, // not in the register: added
    Update, // in the register, --update: its columns named in the file replaced
    Existing, // in the register: left alone
    Refused,
};

struct ImportRow
{
    int line = 0; // line of the file on which the row starts
    QString code;
    ImportStatus status = ImportStatus::Refused;
    QString message; // why the row is refused
    int record = 0; // index of the row in the file's records
    int registerRow = -1; // cursor position of the payer it updates or leaves alone
};

struct ImportCounts
{
    int imported = 0;
    int updated = 0;
    int refused = 0;
    int existing = 0;
};

// What importing one file would do, row by row, before anything is written.
struct ImportPlan
{
    CsvDocument document;
    PayerHeader header;
    bool update = false;
    std::optional<CsvError> fileError; // the file cannot be read as a payer file at all
    QList<ImportRow> rows; // every row that is not empty, in file order

    // Nothing is written unless every row can be.
    bool canWrite() const;
    ImportCounts counts() const;
};

// Payers from a CSV file into the register: every row passes the checks of a
// payer typed in the window (the fiscal code, then the payer validation with
// its defaults) and is posted through the register query, so the data
// module's clean-up stores it exactly as the window would.
class PayerImport
{
public:
    explicit PayerImport(Tdm& dm);

    // update: a payer already in the register takes the file's columns
    // instead of being left alone.
    ImportPlan plan(const QByteArray& fileBytes, bool update);

    // Writes the new and updated rows of a plan that canWrite(), in one
    // transaction: on a database error nothing is written and DatabaseError
    // is raised.
    void apply(const ImportPlan& plan);

private:
    struct Evaluation
    {
        ImportStatus status = ImportStatus::Refused;
        QString message;
        QList<ColumnWrite> writes;
    };
    Evaluation evaluate(const CsvRecord& record, const PayerHeader& header, int registerRow);

    Tdm& m_dm;
    PayerRowReader m_reader;
};

// The report of an import: "linia N: MESSAGE" for the file's fault or for each
// refused row, then "importati N, actualizati U, respinsi R, existenti E".
// Nothing is imported or updated from a file with a refused row.
QStringList ImportReportLines(const ImportPlan& plan);

} // namespace itm::exchange
