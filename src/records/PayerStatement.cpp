#include "records/PayerStatement.h"

#include "payers/LegalForms.h"
#include "records/DeclarationAmounts.h"
#include "store/Connection.h"
#include "store/RegisterColumns.h"
#include "store/RegisterSchema.h"

#include <QHash>

namespace itm {

namespace {

qint64 formIndex(const QVariant& value)
{
    try {
        return valueInteger(value);
    } catch (const ConversionError&) {
        return -1;
    }
}

// The kept versions of the payer's declarations, by declaration, oldest first.
QHash<qint64, QList<StatementLine>> versionsOf(Connection& connection, qint64 payerId)
{
    QHash<qint64, QList<StatementLine>> versions;
    if (!HasKnownHistory(connection))
        return versions;
    Statement query(connection,
        QStringLiteral("SELECT iddeclaratie, versiune, salvat, rectificativ, com25, nrsal, fondlunsal, comdat, comac, "
                       "ln, an FROM versiuni_declaratii WHERE idfirma = :payer AND idstergere IS NULL "
                       "ORDER BY iddeclaratie, versiune"));
    query.bind(QStringLiteral("payer"), payerId);
    while (query.step()) {
        StatementLine line;
        line.kind = StatementLine::Version;
        line.version = query.integer(1);
        line.saved = query.text(2);
        HistoryRow& row = line.row;
        row.declarationId = query.integer(0);
        row.kind = DeclarationAmount(query, 3, QStringLiteral("rectificativ")) != 0 ? HistoryRow::Corrective
                                                                                    : HistoryRow::Initial;
        row.reducedRate = DeclarationAmount(query, 4, QStringLiteral("com25")) != 0;
        row.employees = DeclarationAmount(query, 5, QStringLiteral("nrsal"));
        row.fund = SalaryFundText(query.value(6));
        row.due = DeclarationAmount(query, 7, QStringLiteral("comdat"));
        row.paid = DeclarationAmount(query, 8, QStringLiteral("comac"));
        row.month = DeclarationAmount(query, 9, QStringLiteral("ln"));
        row.year = DeclarationAmount(query, 10, QStringLiteral("an"));
        versions[row.declarationId].append(line);
    }
    return versions;
}

QString periodOf(qint64 month, qint64 year)
{
    return QStringLiteral("%1/%2").arg(month, 2, 10, QLatin1Char('0')).arg(year);
}

QString amount(qint64 value)
{
    return QString::number(value);
}

} // namespace

QString PayerStatement::periodText() const
{
    const StatementLine* first = nullptr;
    const StatementLine* last = nullptr;
    for (const StatementLine& line : lines) {
        if (line.kind != StatementLine::Month)
            continue;
        if (!first)
            first = &line;
        last = &line;
    }
    if (!first)
        return QString();
    return periodOf(first->row.month, first->row.year) + QStringLiteral(" - ")
        + periodOf(last->row.month, last->row.year);
}

PayerStatement ReadPayerStatement(
    Connection& connection, qint64 payerId, std::optional<qint64> fromYear, std::optional<qint64> toYear)
{
    PayerStatement statement;
    {
        Statement payer(connection, QStringLiteral("SELECT cui, prefix, denumire, sufix FROM firme WHERE id = :payer"));
        payer.bind(QStringLiteral("payer"), payerId);
        if (payer.step()) {
            statement.code = payer.text(0);
            const QString bareName = payer.text(2);
            statement.name
                = ComposedLegalName(formIndex(payer.value(1)), bareName, formIndex(payer.value(3))).value_or(bareName);
        }
    }
    const PayerHistory history = ReadPayerHistory(connection, payerId, fromYear, toYear);
    statement.balance = history.balance;
    const QHash<qint64, QList<StatementLine>> versions = versionsOf(connection, payerId);
    qint64 yearDue = 0;
    qint64 yearPaid = 0;
    for (qsizetype i = 0; i < history.rows.size(); ++i) {
        const HistoryRow& row = history.rows.at(i);
        statement.lines.append({ StatementLine::Month, row, 0, QString() });
        // A month saved more than once shows every version; one version alone
        // is the month as shown.
        if (row.kind != HistoryRow::December2005) {
            const QList<StatementLine> kept = versions.value(row.declarationId);
            if (kept.size() > 1)
                statement.lines.append(kept);
        }
        yearDue += row.due;
        yearPaid += row.paid;
        // The December 2005 amounts count with the year of their declaration.
        const qint64 year = row.kind == HistoryRow::December2005 ? 2006 : row.year;
        const bool lastOfYear = i + 1 == history.rows.size() || history.rows.at(i + 1).year != year;
        if (lastOfYear && row.kind != HistoryRow::December2005) {
            StatementLine total;
            total.kind = StatementLine::YearTotal;
            total.row.year = year;
            total.row.due = yearDue;
            total.row.paid = yearPaid;
            total.row.balance = row.balance;
            statement.lines.append(total);
            yearDue = 0;
            yearPaid = 0;
        }
    }
    return statement;
}

const QStringList& StatementColumnTitles()
{
    static const QStringList titles = { QStringLiteral("Luna"), QStringLiteral("Stare"), QStringLiteral("Procent"),
        QStringLiteral("Salariati"), QStringLiteral("Fond salarii"), QStringLiteral("Comision datorat"),
        QStringLiteral("Achitat"), QStringLiteral("Diferenta"), QStringLiteral("Sold") };
    return titles;
}

bool IsStatementAmountColumn(int column)
{
    return column >= 2;
}

QStringList StatementCells(const StatementLine& line)
{
    const HistoryRow& row = line.row;
    switch (line.kind) {
    case StatementLine::YearTotal:
        return { QStringLiteral("Total %1").arg(row.year), QString(), QString(), QString(), QString(), amount(row.due),
            amount(row.paid), amount(row.difference()), amount(row.balance) };
    case StatementLine::Version: {
        const QString saved = line.saved.isEmpty() ? QStringLiteral("inainte de versiuni") : line.saved.left(16);
        return { QStringLiteral("  v%1 %2").arg(line.version).arg(saved),
            row.kind == HistoryRow::Corrective ? QStringLiteral("Rectificativa") : QStringLiteral("Initiala"),
            row.reducedRate ? QStringLiteral("0.25") : QStringLiteral("0.75"), amount(row.employees), row.fund,
            amount(row.due), amount(row.paid), amount(row.difference()), QString() };
    }
    case StatementLine::Month:
        break;
    }
    if (row.kind == HistoryRow::December2005)
        return { periodOf(row.month, row.year), QStringLiteral("Sume dec. 2005"), QString(), QString(), QString(),
            amount(row.due), amount(row.paid), amount(row.difference()), amount(row.balance) };
    return { periodOf(row.month, row.year),
        row.kind == HistoryRow::Corrective ? QStringLiteral("Rectificativa") : QStringLiteral("Initiala"),
        row.reducedRate ? QStringLiteral("0.25") : QStringLiteral("0.75"), amount(row.employees), row.fund,
        amount(row.due), amount(row.paid), amount(row.difference()), amount(row.balance) };
}

const QStringList& HistoryCsvHeader()
{
    static const QStringList header = { QStringLiteral("an"), QStringLiteral("luna"), QStringLiteral("stare"),
        QStringLiteral("procent"), QStringLiteral("nrsal"), QStringLiteral("fondlunsal"), QStringLiteral("comdat"),
        QStringLiteral("comac"), QStringLiteral("diferenta"), QStringLiteral("sold") };
    return header;
}

QStringList HistoryCsvCells(const HistoryRow& row)
{
    const bool december = row.kind == HistoryRow::December2005;
    return { QString::number(row.year), QString::number(row.month), HistoryKindWord(row.kind),
        december ? QString() : (row.reducedRate ? QStringLiteral("0.25") : QStringLiteral("0.75")),
        december ? QString() : QString::number(row.employees), december ? QString() : row.fund,
        QString::number(row.due), QString::number(row.paid), QString::number(row.difference()),
        QString::number(row.balance) };
}

QString HistoryCsvText(const PayerHistory& history)
{
    QString text = HistoryCsvHeader().join(u',') + u'\n';
    for (const HistoryRow& row : history.rows)
        text += HistoryCsvCells(row).join(u',') + u'\n';
    return text;
}

std::optional<RowRecord> ReadDeclarationVersion(
    Connection& connection, qint64 payerId, qint64 declarationId, qint64 version)
{
    if (!HasKnownHistory(connection))
        return std::nullopt;
    Statement query(connection,
        QStringLiteral("SELECT %1 FROM versiuni_declaratii WHERE iddeclaratie = :declaration AND idfirma IS :payer "
                       "AND idstergere IS NULL AND versiune = :version ORDER BY id LIMIT 1")
            .arg(DeclarationColumns().join(QStringLiteral(", "))));
    query.bind(QStringLiteral("declaration"), declarationId);
    query.bind(QStringLiteral("payer"), payerId);
    query.bind(QStringLiteral("version"), version);
    if (!query.step())
        return std::nullopt;
    return RecordOfRow(query);
}

QList<qint64> DeclarationVersionNumbers(Connection& connection, qint64 payerId, qint64 declarationId)
{
    QList<qint64> numbers;
    if (!HasKnownHistory(connection))
        return numbers;
    Statement query(connection,
        QStringLiteral("SELECT versiune FROM versiuni_declaratii WHERE iddeclaratie = :declaration AND idfirma IS "
                       ":payer AND idstergere IS NULL ORDER BY versiune"));
    query.bind(QStringLiteral("declaration"), declarationId);
    query.bind(QStringLiteral("payer"), payerId);
    while (query.step())
        numbers.append(query.integer(0));
    return numbers;
}

} // namespace itm
