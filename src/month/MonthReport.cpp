#include "month/MonthReport.h"

#include "month/ListingText.h"
#include "month/MonthColumns.h"

#include <QTextStream>

namespace itm {

namespace {

void writeAligned(QTextStream& out, const QStringList& cells, const QVector<qsizetype>& widths)
{
    QString line;
    for (int column = 0; column < kMonthColumnCount; ++column) {
        if (column > 0)
            line += QStringLiteral("  ");
        const QString& cell = cells.at(column);
        line += IsAmountColumn(MonthColumn(column)) ? cell.rightJustified(widths.at(column))
                                                    : cell.leftJustified(widths.at(column));
    }
    // No blanks after the last column.
    while (line.endsWith(u' '))
        line.chop(1);
    out << line << '\n';
}

QStringList cellsOf(const MonthRow& row)
{
    QStringList cells;
    for (int column = 0; column < kMonthColumnCount; ++column)
        cells.append(ListingOneLine(MonthCellText(row, MonthColumn(column))));
    return cells;
}

} // namespace

MonthRowSource MonthRowsOf(const QVector<MonthRow>& rows)
{
    return [&rows](const std::function<void(const MonthRow&)>& visit) {
        for (const MonthRow& row : rows)
            visit(row);
    };
}

void WriteMonthText(QTextStream& out, const QVector<MonthRow>& rows)
{
    WriteMonthText(out, MonthRowsOf(rows));
}

void WriteMonthText(QTextStream& out, const MonthRowSource& rows)
{
    MonthTotals totals;
    QVector<qsizetype> widths(kMonthColumnCount, 0);
    rows([&](const MonthRow& row) {
        totals.add(row);
        for (int column = 0; column < kMonthColumnCount; ++column) {
            widths[column] = qMax(widths[column], ListingOneLine(MonthCellText(row, MonthColumn(column))).size());
        }
    });
    QStringList header;
    QStringList totalsLine;
    for (int column = 0; column < kMonthColumnCount; ++column) {
        header.append(MonthColumnTitle(MonthColumn(column)));
        totalsLine.append(TotalsCellText(totals, MonthColumn(column)));
        widths[column] = qMax(widths[column], qMax(header.last().size(), totalsLine.last().size()));
    }
    writeAligned(out, header, widths);
    rows([&](const MonthRow& row) { writeAligned(out, cellsOf(row), widths); });
    writeAligned(out, totalsLine, widths);
    if (!totals.complete())
        out << IncompleteTotalsText(totals) << '\n';
}

void WriteMonthCsv(QTextStream& out, const QVector<MonthRow>& rows)
{
    WriteMonthCsv(out, MonthRowsOf(rows));
}

void WriteMonthCsv(QTextStream& out, const MonthRowSource& rows)
{
    static const MonthColumn csvColumns[] = { MonthColumn::Code, MonthColumn::Name, MonthColumn::County,
        MonthColumn::Status, MonthColumn::Employees, MonthColumn::Fund, MonthColumn::Commission, MonthColumn::Paid };
    out << "cui,denumire,judet,stare,nrsal,fondlunsal,comdat,comac\n";
    rows([&](const MonthRow& row) {
        QString line;
        for (const MonthColumn column : csvColumns) {
            if (column != MonthColumn::Code)
                line += u',';
            const QString cell = MonthCellText(row, column);
            line += ListingCsvField(column == MonthColumn::Status ? cell.toLower() : cell);
        }
        out << line << '\n';
    });
}

} // namespace itm
