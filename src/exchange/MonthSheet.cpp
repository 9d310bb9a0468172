#include "exchange/MonthSheet.h"

#include "exchange/CellText.h"
#include "exchange/SheetFile.h"
#include "month/MonthColumns.h"
#include "month/MonthReport.h"
#include "platform/AtomicFile.h"

#include <QTextStream>

namespace itm::exchange {

namespace {
// Columns E to I hold employees, fund, commission, paid and the difference.
QString sumOf(char column, qsizetype lastRow)
{
    const QString letter(QLatin1Char { column });
    return QStringLiteral("SUM(") + letter + QStringLiteral("2:") + letter + QString::number(lastRow) + u')';
}

bool writeMonthCsv(const QVector<MonthRow>& rows, const QString& path, QString* error)
{
    // The month command's CSV, with each text as a spreadsheet is to show it
    // and safe from formulas.
    QVector<MonthRow> safeRows = rows;
    for (MonthRow& row : safeRows) {
        row.cui = CsvSafeText(LettersOfStoredText(row.cui));
        row.legalName = CsvSafeText(LettersOfStoredText(row.legalName));
        row.county = CsvSafeText(LettersOfStoredText(row.county));
    }
    QString text;
    {
        QTextStream out(&text);
        WriteMonthCsv(out, safeRows);
    }
    AtomicFile file(path);
    if (!file.open() || !file.write(text.toUtf8()) || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
} // namespace

SheetTable MonthSheet(const QVector<MonthRow>& rows, const MonthPeriod& period)
{
    // The columns titled as the month window titles them.
    QStringList titles;
    for (int column = 0; column < kMonthColumnCount; ++column)
        titles.append(MonthColumnTitle(MonthColumn(column)));
    SheetTable sheet(QStringLiteral("Luna %1-%2").arg(period.year).arg(period.month, 2, 10, QLatin1Char('0')), titles);
    for (const MonthRow& row : rows) {
        SheetRow cells { SheetCell::Text(row.cui), SheetCell::Text(row.legalName), SheetCell::Text(row.county),
            SheetCell::Text(StatusText(row.status)) };
        if (row.declared()) {
            cells << SheetCell::Amount(row.employees) << SheetCell::Amount(row.fund)
                  << SheetCell::Amount(row.commission) << SheetCell::Amount(row.paid)
                  << SheetCell::Amount(row.difference());
        } else {
            for (int i = 0; i < 5; ++i)
                cells << SheetCell::Text(QString());
        }
        sheet.append(cells);
    }
    const MonthTotals totals = TotalsOf(rows);
    const qsizetype lastRow = rows.size() + 1;
    sheet.append({ SheetCell::Text(QStringLiteral("TOTAL")),
        SheetCell::Text(QStringLiteral("declarati %1, lipsa %2").arg(totals.declared).arg(totals.missing)),
        SheetCell::Text(QString()), SheetCell::Text(QString()),
        SheetCell::AmountFormula(sumOf('E', lastRow), totals.employees),
        SheetCell::AmountFormula(sumOf('F', lastRow), totals.fund),
        SheetCell::AmountFormula(sumOf('G', lastRow), totals.commission),
        SheetCell::AmountFormula(sumOf('H', lastRow), totals.paid),
        SheetCell::AmountFormula(sumOf('I', lastRow), totals.commission - totals.paid) });
    sheet.setClosingRows(1);
    return sheet;
}

bool WriteMonthFile(const QVector<MonthRow>& rows, const MonthPeriod& period, const QString& path, QString* error,
    JobProgress* progress)
{
    const auto format = SheetFormatOfPath(path);
    if (format == SheetFormat::Csv)
        return writeMonthCsv(rows, path, error);
    SheetTable sheet = MonthSheet(rows, period);
    return WriteSheetFile(sheet, path, error, progress);
}

} // namespace itm::exchange
