#include "exchange/PayerImport.h"

#include "payers/FiscalCode.h"
#include "payers/PayerValidation.h"
#include "store/Errors.h"
#include "store/Tdm.h"

namespace itm::exchange {

namespace {

bool isValidCode(const QString& code)
{
    // A character that is no digit is a wrong code here as much as a wrong
    // control digit is: the row is refused with the same message.
    try {
        return IsValidFiscalCode(code);
    } catch (const ConversionError&) {
        return false;
    }
}

bool names(const PayerHeader& header, int fileColumn)
{
    return header.columnOfField.contains(fileColumn);
}

const int prefixFileColumn = 1;
const int sufixFileColumn = 3;

} // namespace

bool ImportPlan::canWrite() const
{
    return !fileError && counts().refused == 0;
}

ImportCounts ImportPlan::counts() const
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

PayerImport::PayerImport(Tdm& dm)
    : m_dm(dm)
    , m_reader(*dm.qryFirme, *dm.qryJudete)
{
}

PayerImport::Evaluation PayerImport::evaluate(const CsvRecord& record, const PayerHeader& header, int registerRow)
{
    Evaluation evaluation;
    PayerRowValues values = m_reader.read(record, header);
    if (values.failure) {
        evaluation.message = *values.failure;
        return evaluation;
    }
    Dataset& payers = *m_dm.qryFirme;
    RowRecord payer(payers.columnNames(), QVector<QVariant>(payers.columnNames().size()));
    if (registerRow >= 0) {
        payers.setRecNo(registerRow + 1);
        for (const QString& column : payers.columnNames())
            payer.setValue(column, payers.fieldValue(column));
    }
    evaluation.writes = std::move(values.writes);
    for (const ColumnWrite& write : std::as_const(evaluation.writes))
        payer.setValue(write.column, write.value);

    // Only a commercial company carries a suffix. A new prefix alone erases the
    // suffix, as choosing it in the legal-name dialog does; a file that gives
    // both and contradicts itself is refused.
    if (payer.fieldInteger(QStringLiteral("prefix")) != 1 && payer.fieldInteger(QStringLiteral("sufix")) != 0) {
        if (names(header, prefixFileColumn) && !names(header, sufixFileColumn)) {
            evaluation.writes.append({ QStringLiteral("sufix"), qint64(0) });
            payer.setValue(QStringLiteral("sufix"), qint64(0));
        } else {
            evaluation.message = QStringLiteral("Sufixul se foloseste doar cu prefixul S.C.");
            return evaluation;
        }
    }

    const RuleOutcome outcome = ValidatePayer(payer, m_reader.countyName(payer.fieldText(QStringLiteral("codjudet"))));
    if (outcome.failure) {
        evaluation.message = outcome.failure->message;
        return evaluation;
    }
    evaluation.writes.append(outcome.writes);
    evaluation.status = registerRow >= 0 ? ImportStatus::Update : ImportStatus::New;
    return evaluation;
}

ImportPlan PayerImport::plan(const QByteArray& fileBytes, bool update)
{
    ImportPlan plan;
    plan.update = update;
    plan.document = ReadCsv(fileBytes);
    if (plan.document.error) {
        plan.fileError = plan.document.error;
        return plan;
    }
    const QList<CsvRecord>& records = plan.document.records;
    if (records.isEmpty() || records.constFirst().isEmpty()) {
        plan.fileError = CsvError { 1, QStringLiteral("Fisierul nu are cap de tabel") };
        return plan;
    }
    plan.header = ReadPayerHeader(records.constFirst());
    if (plan.header.failure) {
        plan.fileError = CsvError { records.constFirst().line, *plan.header.failure };
        return plan;
    }
    const int codeField = int(plan.header.columnOfField.indexOf(0));

    // The register's codes as the payer-code field finds them: without regard
    // to case, the first payer of a code when several share it.
    QHash<QString, int> registerRows;
    const QVector<QString> codes = m_dm.qryFirme->columnTexts(QStringLiteral("cui"));
    registerRows.reserve(codes.size());
    for (int i = int(codes.size()) - 1; i >= 0; --i)
        registerRows.insert(codes.at(i).toUpper(), i);

    QHash<QString, int> linesOfCodes;
    for (int index = 1; index < records.size(); ++index) {
        const CsvRecord& record = records.at(index);
        if (record.isEmpty())
            continue;
        ImportRow row;
        row.line = record.line;
        row.record = index;
        row.code = codeField < record.fieldCount() ? record.field(codeField).toString() : QString();
        const QString key = row.code.toUpper();
        const auto earlier = linesOfCodes.constFind(key);
        if (!isValidCode(row.code)) {
            row.message = QStringLiteral("Atentie, cod fiscal eronat !!!");
        } else if (earlier != linesOfCodes.cend()) {
            row.message = QStringLiteral("Codul %1 apare deja pe linia %2").arg(row.code).arg(*earlier);
        } else {
            linesOfCodes.insert(key, row.line);
            row.registerRow = registerRows.value(key, -1);
            if (row.registerRow >= 0 && !update) {
                row.status = ImportStatus::Existing;
            } else {
                const Evaluation evaluation = evaluate(record, plan.header, row.registerRow);
                row.status = evaluation.status;
                row.message = evaluation.message;
            }
        }
        plan.rows.append(row);
    }
    return plan;
}

void PayerImport::apply(const ImportPlan& plan)
{
    if (!plan.canWrite())
        throw Error(QStringLiteral("Fisierul are linii respinse: nu se importa nimic"));
    Dataset& payers = *m_dm.qryFirme;
    payers.Cancel();
    m_dm.con.exec(QStringLiteral("BEGIN IMMEDIATE"));
    try {
        for (const ImportRow& row : plan.rows) {
            if (row.status != ImportStatus::New && row.status != ImportStatus::Update)
                continue;
            const Evaluation evaluation = evaluate(plan.document.records.at(row.record), plan.header, row.registerRow);
            if (evaluation.status != row.status)
                throw Error(QStringLiteral("linia %1: %2").arg(row.line).arg(evaluation.message));
            if (row.status == ImportStatus::New) {
                payers.Append();
            } else {
                payers.setRecNo(row.registerRow + 1);
                payers.Edit();
            }
            ApplyWrites(payers, evaluation.writes);
            payers.Post();
        }
        m_dm.con.exec(QStringLiteral("COMMIT"));
    } catch (...) {
        // The first error is the one to report; undoing after it must not hide it.
        try {
            payers.Cancel();
            m_dm.con.exec(QStringLiteral("ROLLBACK"));
            // The cursor holds keys of rows that were never committed.
            payers.Refresh();
        } catch (const Error&) {
        }
        throw;
    }
}

QStringList ImportReportLines(const ImportPlan& plan)
{
    QStringList lines;
    if (plan.fileError)
        lines.append(QStringLiteral("linia %1: %2").arg(plan.fileError->line).arg(plan.fileError->message));
    for (const ImportRow& row : plan.rows) {
        if (row.status == ImportStatus::Refused)
            lines.append(QStringLiteral("linia %1: %2").arg(row.line).arg(row.message));
    }
    ImportCounts counts = plan.counts();
    if (!plan.canWrite()) {
        counts.imported = 0;
        counts.updated = 0;
    }
    lines.append(QStringLiteral("importati %1, actualizati %2, respinsi %3, existenti %4")
                     .arg(counts.imported)
                     .arg(counts.updated)
                     .arg(counts.refused)
                     .arg(counts.existing));
    return lines;
}

} // namespace itm::exchange
