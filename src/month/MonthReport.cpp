#include "month/MonthReport.h"

#include "month/MonthColumns.h"

#include <QTextStream>

namespace itm {

namespace {

QString csvField(const QString& text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

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

} // namespace

void WriteMonthText(QTextStream& out, const QVector<MonthRow>& rows)
{
    QStringList header;
    QStringList totalsLine;
    const MonthTotals totals = TotalsOf(rows);
    QVector<qsizetype> widths(kMonthColumnCount, 0);
    for (int column = 0; column < kMonthColumnCount; ++column) {
        header.append(MonthColumnTitle(MonthColumn(column)));
        totalsLine.append(TotalsCellText(totals, MonthColumn(column)));
        widths[column] = qMax(header.last().size(), totalsLine.last().size());
    }
    for (const MonthRow& row : rows) {
        for (int column = 0; column < kMonthColumnCount; ++column)
            widths[column] = qMax(widths[column], MonthCellText(row, MonthColumn(column)).size());
    }
    writeAligned(out, header, widths);
    for (const MonthRow& row : rows) {
        QStringList cells;
        for (int column = 0; column < kMonthColumnCount; ++column)
            cells.append(MonthCellText(row, MonthColumn(column)));
        writeAligned(out, cells, widths);
    }
    writeAligned(out, totalsLine, widths);
}

void WriteMonthCsv(QTextStream& out, const QVector<MonthRow>& rows)
{
    static const MonthColumn csvColumns[] = { MonthColumn::Code, MonthColumn::Name, MonthColumn::County,
        MonthColumn::Status, MonthColumn::Employees, MonthColumn::Fund, MonthColumn::Commission, MonthColumn::Paid };
    out << "cui,denumire,judet,stare,nrsal,fondlunsal,comdat,comac\n";
    for (const MonthRow& row : rows) {
        QString line;
        for (const MonthColumn column : csvColumns) {
            if (column != MonthColumn::Code)
                line += u',';
            const QString cell = MonthCellText(row, column);
            line += csvField(column == MonthColumn::Status ? cell.toLower() : cell);
        }
        out << line << '\n';
    }
}

} // namespace itm
