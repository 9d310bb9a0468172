#include "month/MonthColumns.h"

namespace itm {

QString MonthColumnTitle(MonthColumn column)
{
    switch (column) {
    case MonthColumn::Code:
        return QStringLiteral("Cod fiscal");
    case MonthColumn::Name:
        return QStringLiteral("Denumire");
    case MonthColumn::County:
        return QStringLiteral("Judet");
    case MonthColumn::Status:
        return QStringLiteral("Stare");
    case MonthColumn::Employees:
        return QStringLiteral("Salariati");
    case MonthColumn::Fund:
        return QStringLiteral("Fond salarii");
    case MonthColumn::Commission:
        return QStringLiteral("Comision datorat");
    case MonthColumn::Paid:
        return QStringLiteral("Achitat");
    case MonthColumn::Difference:
        break;
    }
    return QStringLiteral("Diferenta");
}

bool IsAmountColumn(MonthColumn column)
{
    return int(column) >= int(MonthColumn::Employees);
}

QString AmountColumnName(MonthColumn column)
{
    switch (column) {
    case MonthColumn::Employees:
        return QStringLiteral("nrsal");
    case MonthColumn::Fund:
        return QStringLiteral("fondlunsal");
    case MonthColumn::Commission:
        return QStringLiteral("comdat");
    case MonthColumn::Paid:
        return QStringLiteral("comac");
    default:
        return QString();
    }
}

bool IsFaultyCell(const MonthRow& row, MonthColumn column)
{
    if (!row.faulty())
        return false;
    if (column == MonthColumn::Difference)
        return row.faultOf(QStringLiteral("comdat")) || row.faultOf(QStringLiteral("comac"));
    return IsAmountColumn(column) && row.faultOf(AmountColumnName(column));
}

QString MonthCellText(const MonthRow& row, MonthColumn column)
{
    switch (column) {
    case MonthColumn::Code:
        return row.cui;
    case MonthColumn::Name:
        return row.legalName;
    case MonthColumn::County:
        return row.county;
    case MonthColumn::Status:
        return StatusText(row.status);
    default:
        break;
    }
    if (!row.declared())
        return QString();
    if (IsFaultyCell(row, column)) {
        const AmountFault* fault = row.faultOf(AmountColumnName(column));
        return fault ? fault->stored : QString();
    }
    switch (column) {
    case MonthColumn::Employees:
        return QString::number(row.employees);
    case MonthColumn::Fund:
        return QString::number(row.fund);
    case MonthColumn::Commission:
        return QString::number(row.commission);
    case MonthColumn::Paid:
        return QString::number(row.paid);
    default:
        return QString::number(row.difference());
    }
}

QString DeclaredAndMissingText(const MonthTotals& totals)
{
    return QStringLiteral("%1 declarati, %2 lipsa").arg(totals.declared).arg(totals.missing);
}

QString IncompleteTotalsText(const MonthTotals& totals)
{
    return totals.faulty == 1
        ? QStringLiteral("Totaluri incomplete: 1 declaratie are sume care nu sunt numere intregi")
        : QStringLiteral("Totaluri incomplete: %1 declaratii au sume care nu sunt numere intregi").arg(totals.faulty);
}

QString TotalsCellText(const MonthTotals& totals, MonthColumn column)
{
    switch (column) {
    case MonthColumn::Code:
        return QStringLiteral("Total");
    case MonthColumn::Name:
        return DeclaredAndMissingText(totals);
    case MonthColumn::Employees:
        return QString::number(totals.employees);
    case MonthColumn::Fund:
        return QString::number(totals.fund);
    case MonthColumn::Commission:
        return QString::number(totals.commission);
    case MonthColumn::Paid:
        return QString::number(totals.paid);
    case MonthColumn::Difference:
        return QString::number(totals.commission - totals.paid);
    default:
        return QString();
    }
}

} // namespace itm
