#include "exchange/SheetFile.h"

#include "exchange/CellText.h"
#include "exchange/XlsxFile.h"
#include "platform/AtomicFile.h"
#include "platform/Job.h"

#include <QFileInfo>

namespace itm::exchange {

namespace {

constexpr qsizetype kBlockSize = 256 * 1024;

QByteArray csvField(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    // A semicolon is quoted too: a reader that takes the separator from the
    // header would otherwise count it.
    if (!bytes.contains(',') && !bytes.contains(';') && !bytes.contains('"') && !bytes.contains('\n')
        && !bytes.contains('\r'))
        return bytes;
    bytes.replace('"', "\"\"");
    return '"' + bytes + '"';
}

// A text cell as the CSV file holds it: the letters of the stored bytes, safe
// from spreadsheets that would run it as a formula.
QString csvText(const SheetCell& cell)
{
    return cell.kind == SheetCell::Kind::Text ? CsvSafeText(LettersOfStoredText(cell.text)) : cell.plainText();
}

bool writeCsv(SheetSource& source, const QString& path, QString* error, JobProgress* progress)
{
    AtomicFile file(path);
    if (!file.open()) {
        *error = file.errorString();
        return false;
    }
    QByteArray block = CsvLine(source.header());
    SheetRow row;
    QStringList fields;
    while (source.next(row)) {
        fields.clear();
        for (const SheetCell& cell : std::as_const(row))
            fields.append(csvText(cell));
        block += CsvLine(fields);
        // Written in blocks: a register of any size costs the memory of one.
        if (block.size() >= kBlockSize) {
            if (!file.write(block))
                break;
            block.clear();
        }
        if (progress) {
            progress->advance();
            progress->checkCancelled();
        }
    }
    if (progress)
        progress->setCancellable(false);
    if (!file.write(block) || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

std::optional<SheetFormat> SheetFormatOfPath(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"xlsx")
        return SheetFormat::Xlsx;
    if (suffix == u"csv")
        return SheetFormat::Csv;
    return std::nullopt;
}

QByteArray CsvLine(const QStringList& fields)
{
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += ',';
        line += csvField(fields.at(i));
    }
    return line + "\r\n";
}

bool WriteSheetFile(SheetSource& source, const QString& path, QString* error, JobProgress* progress)
{
    const auto format = SheetFormatOfPath(path);
    if (!format) {
        *error = QStringLiteral("Numele fisierului trebuie sa se termine in .xlsx sau .csv");
        return false;
    }
    if (progress)
        progress->setTotal(source.rowCount());
    return *format == SheetFormat::Xlsx ? WriteXlsxFile(source, path, error, progress)
                                        : writeCsv(source, path, error, progress);
}

} // namespace itm::exchange
