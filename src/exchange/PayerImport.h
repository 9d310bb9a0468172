#pragma once

#include "exchange/CsvReader.h"
#include "exchange/PayerRow.h"

#include <QByteArray>
#include <QList>

class QIODevice;

namespace itm {
class JobProgress;
class Tdm;
class TypedRecord;
} // namespace itm

namespace itm::exchange {

enum class ImportStatus
{
    New, // not in the register: added
    Update, // in the register, with --update: its columns named in the file replaced
    Existing, // in the register: left alone
    Refused,
};

struct ImportRow
{
    int line = 0; // line of the file on which the row starts
    QString code;
    ImportStatus status = ImportStatus::Refused;
    QString message; // why the row is refused
    // What is stored for a row that passes: the cleaned legal name, the
    // county's name and the locality; and a doubt about the row.
    QString name;
    QString county;
    QString locality;
    QString warning;
};

struct ImportCounts
{
    int imported = 0;
    int updated = 0;
    int refused = 0;
    int existing = 0;
};

// What importing one file does, row by row. A file of any size is read as a
// stream: the report keeps every refused row, but of the others only the
// first kShownRows (to show them before the import), and counts them all.
struct ImportReport
{
    static constexpr int kShownRows = 2000;

    std::optional<CsvError> fileError; // the file cannot be read as a payer file at all
    QList<ImportRow> rows; // in file order: every refused row, the first kShownRows others
    ImportCounts all; // every row that is not empty
    bool written = false; // the new and updated rows are in the register

    void add(const ImportRow& row);

    // Nothing is written unless every row can be.
    bool canWrite() const;
    ImportCounts counts() const;
    // "linia N: MESSAGE" for the file's fault or for each refused row, then
    // "importati N, actualizati U, respinsi R, existenti E", where N and U
    // count the payers written (or, for a check, that would be written).
    QStringList lines() const;
};

// Payers from a CSV file into the register. Every row passes the checks of a
// payer typed in the window (the fiscal code, then the payer validation with
// its defaults) and the data module's clean-up, and is written with the
// register query's own statements: an imported payer is stored exactly as
// the window stores it.
class PayerImport
{
public:
    explicit PayerImport(Tdm& dm);

    // Checks every row and writes nothing. update: a payer already in the
    // register takes the file's columns instead of being left alone. The
    // file is read from where it stands to its end, block by block; progress
    // (when given) counts its bytes and may cancel (JobCancelled).
    ImportReport check(QIODevice& file, bool update, JobProgress* progress = nullptr);

    // Checks and writes in one transaction, committed only when every row
    // passes. A database error rolls everything back and raises DatabaseError;
    // so does a cancel, by JobCancelled.
    ImportReport run(QIODevice& file, bool update, JobProgress* progress = nullptr);

    ImportReport check(const QByteArray& fileBytes, bool update);
    ImportReport run(const QByteArray& fileBytes, bool update);

    // Whether run reads the register query again after writing, so that it
    // shows the payers written (on by default). A command that ends after
    // the import turns it off: at a million payers the read costs seconds.
    void setRefreshAfterWrite(bool refresh) { m_refreshAfterWrite = refresh; }

private:
    class Writer;
    ImportReport process(QIODevice& file, bool update, Writer* writer, JobProgress* progress);
    // The record a row makes (the stored payer's with the file's columns over
    // it, when it updates one), checked, and cleaned up when clean; the
    // message when it is refused. code: the row's code, checked already.
    // stored receives the payer as read from the register, when one is updated.
    QString evaluate(const CsvRecord& record, const PayerHeader& header, const QString& code, int registerRow,
        TypedRecord& payer, QVector<QVariant>& stored, bool clean);

    Tdm& m_dm;
    PayerRowReader m_reader;
    PayerRowValues m_values; // of the row evaluated last, its memory kept for the next
    QString m_lastWarning; // of the row evaluated last
    bool m_refreshAfterWrite = true;
};

} // namespace itm::exchange
