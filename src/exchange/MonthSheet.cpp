#include "exchange/MonthSheet.h"

#include "exchange/SheetFile.h"
#include "month/MonthReport.h"

#include <QSaveFile>
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    {
        QTextStream out(&file);
        WriteMonthCsv(out, rows);
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
} // namespace

SheetTable MonthSheet(const QVector<MonthRow>& rows, const MonthPeriod& period)
{
    SheetTable sheet(QStringLiteral("Luna %1-%2").arg(period.year).arg(period.month, 2, 10, QLatin1Char('0')),
        { QStringLiteral("cui"), QStringLiteral("denumire"), QStringLiteral("judet"), QStringLiteral("stare"),
            QStringLiteral("nrsal"), QStringLiteral("fondlunsal"), QStringLiteral("comdat"), QStringLiteral("comac"),
            QStringLiteral("diferenta") });
    for (const MonthRow& row : rows) {
        SheetRow cells { SheetCell::Text(row.cui), SheetCell::Text(row.legalName), SheetCell::Text(row.county),
            SheetCell::Text(StatusText(row.status)) };
        if (row.declared()) {
            cells << SheetCell::Number(row.employees) << SheetCell::Number(row.fund)
                  << SheetCell::Number(row.commission) << SheetCell::Number(row.paid)
                  << SheetCell::Number(row.difference());
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
        SheetCell::Formula(sumOf('E', lastRow), totals.employees), SheetCell::Formula(sumOf('F', lastRow), totals.fund),
        SheetCell::Formula(sumOf('G', lastRow), totals.commission),
        SheetCell::Formula(sumOf('H', lastRow), totals.paid),
        SheetCell::Formula(sumOf('I', lastRow), totals.commission - totals.paid) });
    return sheet;
}

bool WriteMonthFile(const QVector<MonthRow>& rows, const MonthPeriod& period, const QString& path, QString* error)
{
    const auto format = SheetFormatOfPath(path);
    if (format == SheetFormat::Csv)
        return writeMonthCsv(rows, path, error);
    SheetTable sheet = MonthSheet(rows, period);
    return WriteSheetFile(sheet, path, error);
}

} // namespace itm::exchange
