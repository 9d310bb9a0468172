#include "exchange/PayerImport.h"

#include "exchange/CellText.h"
#include "exchange/CsvReadAhead.h"
#include "exchange/RowWriteThread.h"
#include "exchange/SeenCodes.h"
#include "payers/Counties.h"
#include "payers/FiscalCode.h"
#include "payers/PayerValidation.h"
#include "platform/Job.h"
#include "store/Connection.h"
#include "store/Errors.h"
#include "store/Tdm.h"
#include "store/TypedRecord.h"
#include "store/UpdateSql.h"

#include <QBuffer>

namespace itm::exchange {

namespace {

bool isValidCode(const QString& code)
{
    // A character that is no digit makes a wrong code here as much as a wrong
    // control digit does: the row is refused with the same message.
    try {
        return IsValidFiscalCode(code);
    } catch (const ConversionError&) {
        return false;
    }
}

// The key under which a valid code is remembered while a file is read: its
// digits and their count (a leading zero makes another code). A valid code
// has at most 13 digits.
qint64 codeKey(const QString& code)
{
    qint64 key = 0;
    for (const QChar c : code)
        key = key * 10 + (c.unicode() - u'0');
    return key * 16 + code.size();
}

void applyWrites(TypedRecord& record, const QList<ColumnWrite>& writes)
{
    for (const ColumnWrite& write : writes)
        record.FieldByName(write.column).setAsVariant(write.value);
}

const int prefixFileColumn = 1;
const int sufixFileColumn = 3;

} // namespace

// Writes cleaned payers as the register query writes them (its statements
// and their checks), all inside one transaction.
class PayerImport::Writer
{
public:
    explicit Writer(Tdm& dm)
        : m_dm(dm)
        , m_transaction(dm.con)
    {
    }

    // Before the first row. inThread: the rows go to a thread of their own
    // (on a register file only, and only while nothing else reads the
    // connection: a server's connection serves one thread).
    void start(bool inThread)
    {
        if (inThread && m_dm.con.handle())
            m_thread.emplace(m_dm.con, m_dm.uFirmez, TypedRecord(*m_dm.qryFirme), &CleanPayerRecord);
        else
            m_rows.emplace(m_dm.con, m_dm.uFirmez, m_dm.qryFirme->columnNames());
    }

    // Whether a payer may be given before its clean-up, which is then done
    // in the writing thread: while that thread keeps up with the rows given.
    bool cleansInThread() const { return m_thread.has_value() && !m_thread->isBehind(); }

    // stored: the payer as read from the register, for a payer updated.
    // The payer's values are taken: it is emptied for the next row.
    void write(TypedRecord& payer, ImportStatus status, const QVector<QVariant>& stored, bool cleaned)
    {
        const RowWrite kind = status == ImportStatus::New ? RowWrite::Insert : RowWrite::Modify;
        if (m_thread)
            m_thread->write(kind, payer, stored, cleaned);
        else
            m_rows->write(kind, payer.values(), stored);
    }

    // Every row written; raises the first write's error.
    void finish()
    {
        if (m_thread)
            m_thread->finish();
    }

    void commit()
    {
        finish();
        m_transaction.commit();
    }

private:
    Tdm& m_dm;
    Transaction m_transaction; // rolled back unless committed
    std::optional<RowWriter> m_rows;
    std::optional<RowWriteThread> m_thread; // stopped before the transaction ends
};

bool ImportReport::canWrite() const
{
    return !fileError && all.refused == 0;
}

ImportCounts ImportReport::counts() const
{
    return all;
}

void ImportReport::add(const ImportRow& row)
{
    switch (row.status) {
    case ImportStatus::New:
        ++all.imported;
        break;
    case ImportStatus::Update:
        ++all.updated;
        break;
    case ImportStatus::Existing:
        ++all.existing;
        break;
    case ImportStatus::Refused:
        ++all.refused;
        break;
    }
    const int shown = all.imported + all.updated + all.existing;
    if (row.status == ImportStatus::Refused || shown <= kShownRows)
        rows.append(row);
}

QStringList ImportReport::lines() const
{
    QStringList result;
    if (fileError)
        result.append(QStringLiteral("linia %1: %2").arg(fileError->line).arg(fileError->message));
    for (const ImportRow& row : rows) {
        if (row.status == ImportStatus::Refused)
            result.append(QStringLiteral("linia %1: %2").arg(row.line).arg(row.message));
    }
    ImportCounts all = counts();
    if (!canWrite()) {
        all.imported = 0;
        all.updated = 0;
    }
    result.append(QStringLiteral("importati %1, actualizati %2, respinsi %3, existenti %4")
                      .arg(all.imported)
                      .arg(all.updated)
                      .arg(all.refused)
                      .arg(all.existing));
    return result;
}

PayerImport::PayerImport(Tdm& dm)
    : m_dm(dm)
    , m_reader(*dm.qryFirme, *dm.qryJudete)
{
}

QString PayerImport::evaluate(const CsvRecord& record, const PayerHeader& header, const QString& code, int registerRow,
    TypedRecord& payer, QVector<QVariant>& stored, bool clean)
{
    PayerRowValues& values = m_values;
    if (registerRow >= 0) {
        Dataset& payers = *m_dm.qryFirme;
        payers.setRecNo(registerRow + 1);
        // The record has the query's columns in the query's order.
        for (int i = 0; i < payer.columnNames().size(); ++i)
            payer.FieldAt(i).setAsVariant(payers.FieldAt(i).AsVariant());
        stored = payer.values();
    }
    m_reader.read(record, header, payer, values, registerRow >= 0, code);
    if (values.failure)
        return *values.failure;
    m_lastWarning = values.warning;
    if (registerRow >= 0) {
        // A text the file holds as the export wrote it keeps its stored
        // bytes: a register exported, edited elsewhere and imported again
        // changes only what was edited.
        for (const auto& [index, fileText] : values.fileTexts) {
            if (index >= 0 && LettersOfStoredText(valueText(stored.at(index))) == fileText)
                payer.FieldAt(index).setAsVariant(stored.at(index));
        }
    }
    // A Bucharest payer's locality is the city, as the payer panel gives it.
    const QString county = m_reader.countyName(payer.fieldText(QStringLiteral("codjudet")));
    if (isBucharest(county) && isBlank(payer.fieldText(QStringLiteral("loc"))))
        payer.FieldByName(QStringLiteral("loc")).setAsVariant(county);

    // Only a commercial company carries a suffix. A new prefix alone erases the
    // suffix, as choosing it in the legal-name dialog does; a file that names
    // both and contradicts itself is refused.
    if (payer.fieldInteger(QStringLiteral("prefix")) != 1 && payer.fieldInteger(QStringLiteral("sufix")) != 0) {
        if (header.columnOfField.contains(prefixFileColumn) && !header.columnOfField.contains(sufixFileColumn))
            payer.FieldByName(QStringLiteral("sufix")).setAsVariant(qint64(0));
        else
            return QStringLiteral("Sufixul se foloseste doar cu prefixul S.C.");
    }

    const RuleOutcome outcome = ValidatePayer(payer, county);
    if (outcome.failure)
        return outcome.failure->message;
    applyWrites(payer, outcome.writes);
    if (clean)
        CleanPayerRecord(payer);
    return QString();
}

ImportReport PayerImport::check(QIODevice& file, bool update, JobProgress* progress)
{
    return process(file, update, nullptr, progress);
}

ImportReport PayerImport::run(QIODevice& file, bool update, JobProgress* progress)
{
    ImportReport report;
    {
        Writer writer(m_dm);
        report = process(file, update, &writer, progress);
        if (report.canWrite()) {
            if (progress) {
                progress->checkCancelled();
                progress->setCancellable(false);
            }
            writer.commit();
        }
    }
    report.written = report.canWrite();
    // The register query does not know the rows written beside it.
    if (report.written && m_refreshAfterWrite)
        m_dm.qryFirme->Refresh();
    return report;
}

ImportReport PayerImport::check(const QByteArray& fileBytes, bool update)
{
    QBuffer buffer;
    buffer.setData(fileBytes);
    buffer.open(QIODevice::ReadOnly);
    return check(buffer, update);
}

ImportReport PayerImport::run(const QByteArray& fileBytes, bool update)
{
    QBuffer buffer;
    buffer.setData(fileBytes);
    buffer.open(QIODevice::ReadOnly);
    return run(buffer, update);
}

ImportReport PayerImport::process(QIODevice& file, bool update, Writer* writer, JobProgress* progress)
{
    ImportReport report;
    if (progress) {
        progress->setStep(QStringLiteral("Se citesc contribuabilii din fisier"));
        progress->setTotal(std::max<qint64>(0, file.size() - file.pos()));
    }
    CsvReader reader(file);
    CsvRecord headerRecord;
    if (!reader.next(headerRecord) || headerRecord.isEmpty()) {
        report.fileError = reader.error().value_or(CsvError { 1, QStringLiteral("Fisierul nu are cap de tabel") });
        return report;
    }
    const PayerHeader header = ReadPayerHeader(headerRecord);
    if (header.failure) {
        report.fileError = CsvError { headerRecord.line, *header.failure };
        return report;
    }
    const int codeField = int(header.columnOfField.indexOf(0));

    // The register's codes as the payer-code field finds them: without regard
    // to case, the first payer of a code when several share it.
    QHash<QString, int> registerRows;
    const QVector<QString> codes = m_dm.qryFirme->columnTexts(QStringLiteral("cui"));
    registerRows.reserve(codes.size());
    for (int i = int(codes.size()) - 1; i >= 0; --i)
        registerRows.insert(codes.at(i).toUpper(), i);

    // No row of the register is read while the rows are written.
    if (writer)
        writer->start(!update || registerRows.isEmpty());

    SeenCodes linesOfCodes;
    bool refused = false;
    // Every row starts from an empty record of the register's columns, the
    // same one emptied again for each.
    TypedRecord payer(*m_dm.qryFirme);
    CsvRecord record;
    qint64 rowsRead = 0;
    CsvReadAhead rows(reader);
    while (rows.next(record)) {
        if (progress && ++rowsRead % 256 == 0) {
            progress->setDone(rows.bytesRead());
            progress->checkCancelled();
        }
        if (record.isEmpty())
            continue;
        ImportRow row;
        row.line = record.line;
        QString codeFailure;
        row.code
            = codeField < record.fieldCount() ? PayerCodeOfField(record.field(codeField), &codeFailure) : QString();
        if (!codeFailure.isEmpty()) {
            row.message = codeFailure;
        } else if (!isValidCode(row.code)) {
            row.message = QStringLiteral("Atentie, cod fiscal eronat !!!");
        } else if (const auto earlier = linesOfCodes.lineOf(codeKey(row.code))) {
            row.message = QStringLiteral("Codul %1 apare deja pe linia %2").arg(row.code).arg(*earlier);
        } else {
            linesOfCodes.add(codeKey(row.code), row.line);
            // Into an empty register no code needs its capitals.
            const int registerRow = registerRows.isEmpty() ? -1 : registerRows.value(row.code.toUpper(), -1);
            if (registerRow >= 0 && !update) {
                row.status = ImportStatus::Existing;
            } else {
                payer.clearValues();
                QVector<QVariant> stored;
                // The clean-up refuses nothing: a new payer neither shown nor
                // written here is not cleaned here (the writing thread cleans it).
                const bool shown = report.all.imported + report.all.updated < ImportReport::kShownRows;
                const bool clean = registerRow >= 0 || shown || (writer && !writer->cleansInThread());
                row.message = evaluate(record, header, row.code, registerRow, payer, stored, clean);
                if (row.message.isEmpty()) {
                    row.status = registerRow >= 0 ? ImportStatus::Update : ImportStatus::New;
                    if (shown) {
                        row.name = payer.fieldText(QStringLiteral("denumire"));
                        row.county = m_reader.countyName(payer.fieldText(QStringLiteral("codjudet")));
                        row.locality = payer.fieldText(QStringLiteral("loc"));
                        row.warning = m_lastWarning;
                    }
                    // Once a row is refused nothing will be kept: the rest are only checked.
                    if (writer && !refused)
                        writer->write(payer, row.status, stored, clean);
                }
            }
        }
        refused = refused || row.status == ImportStatus::Refused;
        report.add(row);
    }
    // A row that could not be written raises its error as it did when written.
    if (writer)
        writer->finish();
    if (reader.error()) {
        report.fileError = reader.error();
        report.rows.clear();
        report.all = ImportCounts();
    }
    if (progress)
        progress->setDone(reader.bytesRead());
    return report;
}

} // namespace itm::exchange
