#include "output/StatementPages.h"

#include "records/PayerStatement.h"

namespace itm {

PrintedTable StatementTable(const PayerStatement& statement, const QDate& printed)
{
    PrintedTable table;
    const QString period = statement.periodText();
    table.heading = { QStringLiteral("Fisa platitorului"), statement.name,
        QStringLiteral("C.U.I./C.N.P.: %1").arg(statement.code),
        QStringLiteral("Perioada: %1").arg(period.isEmpty() ? QStringLiteral("fara declaratii") : period),
        QStringLiteral("Data listarii: %1").arg(printed.toString(QStringLiteral("dd.MM.yyyy"))) };
    table.columnTitles = StatementColumnTitles();
    table.columnWidths = { 32, 23, 13, 15, 21, 27, 18, 17, 18 };
    for (qsizetype column = 0; column < table.columnTitles.size(); ++column)
        table.rightAligned.append(IsStatementAmountColumn(int(column)));
    for (const StatementLine& line : statement.lines)
        table.rows.append({ StatementCells(line), line.kind == StatementLine::YearTotal });
    table.closing = { QStringLiteral("Sold datorat la zi: %1").arg(statement.balance) };
    return table;
}

QList<PageLayout> LayOutStatement(const PayerStatement& statement, const QDate& printed)
{
    return LayOutTablePages(StatementTable(statement, printed));
}

} // namespace itm
