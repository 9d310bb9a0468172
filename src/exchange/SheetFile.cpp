#include "exchange/SheetFile.h"

#include "exchange/XlsxFile.h"

#include <QFileInfo>
#include <QSaveFile>

namespace itm::exchange {

namespace {

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

bool writeCsv(SheetSource& source, const QString& path, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    file.write(CsvLine(source.header()));
    SheetRow row;
    QStringList fields;
    while (source.next(row)) {
        fields.clear();
        for (const SheetCell& cell : std::as_const(row))
            fields.append(cell.plainText());
        file.write(CsvLine(fields));
    }
    if (!file.commit()) {
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

bool WriteSheetFile(SheetSource& source, const QString& path, QString* error)
{
    const auto format = SheetFormatOfPath(path);
    if (!format) {
        *error = QStringLiteral("Numele fisierului trebuie sa se termine in .xlsx sau .csv");
        return false;
    }
    return *format == SheetFormat::Xlsx ? WriteXlsxFile(source, path, error) : writeCsv(source, path, error);
}

} // namespace itm::exchange
