#include "exchange/RecordSheets.h"

#include "exchange/CellText.h"
#include "exchange/SheetFile.h"
#include "month/ListingText.h"
#include "platform/AtomicFile.h"
#include "records/PayerStatement.h"

#include <QTextStream>
#include <array>

namespace itm::exchange {

namespace {

bool writeText(const QString& text, const QString& path, QString* error)
{
    AtomicFile file(path);
    if (!file.open() || !file.write(text.toUtf8()) || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

// The spreadsheet name of column index (0: A).
QString columnLetters(int index)
{
    QString letters;
    for (int rest = index + 1; rest > 0; rest = (rest - 1) / 26)
        letters.prepend(QChar(u'A' + (rest - 1) % 26));
    return letters;
}

} // namespace

SheetTable HistorySheet(const PayerHistory& history)
{
    SheetTable sheet(QStringLiteral("Fisa platitorului"), HistoryCsvHeader());
    for (const HistoryRow& row : history.rows) {
        const bool december = row.kind == HistoryRow::December2005;
        const SheetCell none = SheetCell::Text(QString());
        bool whole = false;
        const qint64 fund = row.fund.toLongLong(&whole);
        sheet.append({ SheetCell::Number(row.year), SheetCell::Number(row.month),
            SheetCell::Text(HistoryKindWord(row.kind)),
            december ? none : SheetCell::Text(row.reducedRate ? QStringLiteral("0.25") : QStringLiteral("0.75")),
            december ? none : SheetCell::Amount(row.employees),
            december ? none : (whole ? SheetCell::Amount(fund) : SheetCell::Text(row.fund)), SheetCell::Amount(row.due),
            SheetCell::Amount(row.paid), SheetCell::Amount(row.difference()), SheetCell::Amount(row.balance) });
    }
    return sheet;
}

bool WriteHistoryFile(const PayerHistory& history, const QString& path, QString* error)
{
    const auto format = SheetFormatOfPath(path);
    if (format == SheetFormat::Csv)
        return writeText(HistoryCsvText(history), path, error);
    SheetTable sheet = HistorySheet(history);
    return WriteSheetFile(sheet, path, error);
}

QStringList YearAmountCells(const YearRow& row)
{
    QStringList cells;
    for (int month = 0; month < 12; ++month) {
        cells << (row.due[month] ? QString::number(*row.due[month]) : QString())
              << (row.paid[month] ? QString::number(*row.paid[month]) : QString());
    }
    cells << QString::number(row.yearDue) << QString::number(row.yearPaid) << QString::number(row.balance);
    return cells;
}

QStringList YearHeader()
{
    QStringList header { QStringLiteral("cui"), QStringLiteral("denumire") };
    for (int month = 1; month <= 12; ++month)
        header << QStringLiteral("datorat_%1").arg(month, 2, 10, QLatin1Char('0'))
               << QStringLiteral("achitat_%1").arg(month, 2, 10, QLatin1Char('0'));
    header << QStringLiteral("datorat_an") << QStringLiteral("achitat_an") << QStringLiteral("sold");
    return header;
}

void WriteYearCsv(QTextStream& out, const QList<YearRow>& rows)
{
    out << YearHeader().join(u',') << '\n';
    for (const YearRow& row : rows)
        out << ListingCsvField(CsvSafeText(row.code)) << ',' << ListingCsvField(CsvSafeText(row.name)) << ','
            << YearAmountCells(row).join(u',') << '\n';
}

SheetTable YearSheet(const QList<YearRow>& rows, qint64 year)
{
    SheetTable sheet(QStringLiteral("Anul %1").arg(year), YearHeader());
    std::array<qint64, 27> totals {};
    for (const YearRow& row : rows) {
        SheetRow cells { SheetCell::Text(LettersOfStoredText(row.code)),
            SheetCell::Text(LettersOfStoredText(row.name)) };
        for (int month = 0; month < 12; ++month) {
            for (const auto* amounts : { &row.due, &row.paid }) {
                const std::optional<qint64>& amount = (*amounts)[month];
                cells << (amount ? SheetCell::Amount(*amount) : SheetCell::Text(QString()));
                totals[size_t(cells.size() - 3)] += amount.value_or(0);
            }
        }
        for (const qint64 amount : { row.yearDue, row.yearPaid, row.balance }) {
            cells << SheetCell::Amount(amount);
            totals[size_t(cells.size() - 3)] += amount;
        }
        sheet.append(cells);
    }
    const qsizetype lastRow = rows.size() + 1;
    SheetRow closing { SheetCell::Text(QStringLiteral("TOTAL")),
        SheetCell::Text(QStringLiteral("%1 platitori").arg(rows.size())) };
    for (int column = 2; column < 29; ++column) {
        const QString letters = columnLetters(column);
        closing << SheetCell::AmountFormula(
            QStringLiteral("SUM(") + letters + QStringLiteral("2:") + letters + QString::number(lastRow) + u')',
            totals[size_t(column - 2)]);
    }
    sheet.append(closing);
    sheet.setClosingRows(1);
    return sheet;
}

bool WriteYearFile(const QList<YearRow>& rows, qint64 year, const QString& path, QString* error, JobProgress* progress)
{
    const auto format = SheetFormatOfPath(path);
    if (format == SheetFormat::Csv) {
        QString text;
        {
            QTextStream out(&text);
            WriteYearCsv(out, rows);
        }
        return writeText(text, path, error);
    }
    SheetTable sheet = YearSheet(rows, year);
    return WriteSheetFile(sheet, path, error, progress);
}

} // namespace itm::exchange
