#include "exchange/PayerImport.h"

#include "payers/FiscalCode.h"
#include "payers/PayerValidation.h"
#include "store/Connection.h"
#include "store/Errors.h"
#include "store/Tdm.h"
#include "store/TypedRecord.h"
#include "store/UpdateSql.h"

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
        : m_transaction(dm.con)
        , m_rows(dm.con, dm.uFirmez, dm.qryFirme->columnNames())
    {
    }

    // stored: the payer as read from the register, for a payer updated.
    void write(TypedRecord& payer, ImportStatus status, const QVector<QVariant>& stored)
    {
        CleanPayerRecord(payer);
        if (status == ImportStatus::New)
            m_rows.write(RowWrite::Insert, payer.values(), {});
        else
            m_rows.write(RowWrite::Modify, payer.values(), stored);
    }

    void commit() { m_transaction.commit(); }

private:
    Transaction m_transaction; // rolled back unless committed
    RowWriter m_rows;
};

bool ImportReport::canWrite() const
{
    return !fileError && counts().refused == 0;
}

ImportCounts ImportReport::counts() const
{
    ImportCounts result;
    for (const ImportRow& row : rows) {
        switch (row.status) {
        case ImportStatus::New:
            ++result.imported;
            break;
        case ImportStatus::Update:
            ++result.updated;
            break;
        case ImportStatus::Existing:
            ++result.existing;
            break;
        case ImportStatus::Refused:
            ++result.refused;
            break;
        }
    }
    return result;
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

QString PayerImport::evaluate(
    const CsvRecord& record, const PayerHeader& header, int registerRow, TypedRecord& payer, QVector<QVariant>& stored)
{
    const PayerRowValues values = m_reader.read(record, header);
    if (values.failure)
        return *values.failure;
    if (registerRow >= 0) {
        Dataset& payers = *m_dm.qryFirme;
        payers.setRecNo(registerRow + 1);
        // The record has the query's columns in the query's order.
        for (int i = 0; i < payer.columnNames().size(); ++i)
            payer.FieldAt(i).setAsVariant(payers.FieldAt(i).AsVariant());
        stored = payer.values();
    }
    applyWrites(payer, values.writes);

    // Only a commercial company carries a suffix. A new prefix alone erases the
    // suffix, as choosing it in the legal-name dialog does; a file that names
    // both and contradicts itself is refused.
    if (payer.fieldInteger(QStringLiteral("prefix")) != 1 && payer.fieldInteger(QStringLiteral("sufix")) != 0) {
        if (header.columnOfField.contains(prefixFileColumn) && !header.columnOfField.contains(sufixFileColumn))
            payer.FieldByName(QStringLiteral("sufix")).setAsVariant(qint64(0));
        else
            return QStringLiteral("Sufixul se foloseste doar cu prefixul S.C.");
    }

    const RuleOutcome outcome = ValidatePayer(payer, m_reader.countyName(payer.fieldText(QStringLiteral("codjudet"))));
    if (outcome.failure)
        return outcome.failure->message;
    applyWrites(payer, outcome.writes);
    return QString();
}

ImportReport PayerImport::check(const QByteArray& fileBytes, bool update)
{
    return process(fileBytes, update, nullptr);
}

ImportReport PayerImport::run(const QByteArray& fileBytes, bool update)
{
    ImportReport report;
    {
        Writer writer(m_dm);
        report = process(fileBytes, update, &writer);
        if (report.canWrite())
            writer.commit();
    }
    report.written = report.canWrite();
    // The register query does not know the rows written beside it.
    if (report.written)
        m_dm.qryFirme->Refresh();
    return report;
}

ImportReport PayerImport::process(const QByteArray& fileBytes, bool update, Writer* writer)
{
    ImportReport report;
    const CsvDocument document = ReadCsv(fileBytes);
    if (document.error) {
        report.fileError = document.error;
        return report;
    }
    const QList<CsvRecord>& records = document.records;
    if (records.isEmpty() || records.constFirst().isEmpty()) {
        report.fileError = CsvError { 1, QStringLiteral("Fisierul nu are cap de tabel") };
        return report;
    }
    const PayerHeader header = ReadPayerHeader(records.constFirst());
    if (header.failure) {
        report.fileError = CsvError { records.constFirst().line, *header.failure };
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

    QHash<QString, int> linesOfCodes;
    bool refused = false;
    // Every row starts from an empty record of the register's columns.
    const TypedRecord emptyPayer(*m_dm.qryFirme);
    for (int index = 1; index < records.size(); ++index) {
        const CsvRecord& record = records.at(index);
        if (record.isEmpty())
            continue;
        ImportRow row;
        row.line = record.line;
        row.code = codeField < record.fieldCount() ? record.field(codeField).toString() : QString();
        const QString key = row.code.toUpper();
        const auto earlier = linesOfCodes.constFind(key);
        if (!isValidCode(row.code)) {
            row.message = QStringLiteral("Atentie, cod fiscal eronat !!!");
        } else if (earlier != linesOfCodes.cend()) {
            row.message = QStringLiteral("Codul %1 apare deja pe linia %2").arg(row.code).arg(*earlier);
        } else {
            linesOfCodes.insert(key, row.line);
            const int registerRow = registerRows.value(key, -1);
            if (registerRow >= 0 && !update) {
                row.status = ImportStatus::Existing;
            } else {
                TypedRecord payer = emptyPayer;
                QVector<QVariant> stored;
                row.message = evaluate(record, header, registerRow, payer, stored);
                if (row.message.isEmpty()) {
                    row.status = registerRow >= 0 ? ImportStatus::Update : ImportStatus::New;
                    // Once a row is refused nothing will be kept: the rest are only checked.
                    if (writer && !refused)
                        writer->write(payer, row.status, stored);
                }
            }
        }
        refused = refused || row.status == ImportStatus::Refused;
        report.rows.append(row);
    }
    return report;
}

} // namespace itm::exchange
