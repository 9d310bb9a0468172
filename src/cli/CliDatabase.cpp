#include "cli/CliDatabase.h"

#include "store/ColumnType.h"
#include "store/Errors.h"
#include "store/ServerConnection.h"

#include <QFileInfo>

namespace itm::cli {

namespace {

int columnCountOf(Connection& connection, const QString& table)
{
    Statement statement(connection, QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(table));
    return statement.columnCount();
}

} // namespace

CliDatabase::CliDatabase(const QString& path)
    : m_path(path)
{
    if (QFileInfo(path).isDir())
        throw DatabaseError(QStringLiteral("is a folder, not a database file"));
    m_connection.open(path, true);
    // A server is reached when connecting.
    if (IsServerConnection(path))
        return;
    // Opening is lazy in SQLite: a file that is no database shows only when
    // it is first read, so read its schema now.
    Statement check(m_connection, QStringLiteral("SELECT count(*) FROM sqlite_master"));
    check.step();
}

CliDatabase::~CliDatabase() = default;

std::optional<RowRecord> CliDatabase::payerByCode(const QString& code) const
{
    Statement query(m_connection, QStringLiteral("SELECT * FROM firme WHERE cui = :cui ORDER BY id LIMIT 1"));
    query.bind(QStringLiteral("cui"), code);
    if (!query.step())
        return std::nullopt;
    return RecordOfRow(query);
}

qint64 CliDatabase::payersWithCode(const QString& code) const
{
    Statement query(m_connection, QStringLiteral("SELECT count(*) FROM firme WHERE cui = :cui"));
    query.bind(QStringLiteral("cui"), code);
    query.step();
    return query.integer(0);
}

std::optional<RowRecord> CliDatabase::declaration(qint64 idfirma, qint64 ln, qint64 an) const
{
    Statement query(m_connection,
        QStringLiteral(
            "SELECT * FROM declaratii WHERE idfirma = :idfirma AND ln = :ln AND an = :an ORDER BY id LIMIT 1"));
    query.bind(QStringLiteral("idfirma"), idfirma);
    query.bind(QStringLiteral("ln"), ln);
    query.bind(QStringLiteral("an"), an);
    if (!query.step())
        return std::nullopt;
    return RecordOfRow(query);
}

std::optional<QString> CliDatabase::countyName(const QString& codjudet) const
{
    Statement query(
        m_connection, QStringLiteral("SELECT denumire FROM judete WHERE codjudet = :codjudet ORDER BY id LIMIT 1"));
    query.bind(QStringLiteral("codjudet"), codjudet);
    if (!query.step())
        return std::nullopt;
    return valueText(query.value(0));
}

QList<DeclaredPayer> CliDatabase::declaredIn(qint64 ln, qint64 an) const
{
    QList<DeclaredPayer> rows;
    forEachDeclaredIn(ln, an, [&](const RowRecord& payer, const RowRecord& declaration) {
        rows.append({ payer, declaration });
    });
    return rows;
}

qint64 CliDatabase::forEachDeclaredIn(
    qint64 ln, qint64 an, const std::function<void(const RowRecord& payer, const RowRecord& declaration)>& visit) const
{
    const int payerColumns = columnCountOf(m_connection, QStringLiteral("firme"));
    // BINARY collation compares the stored bytes, whatever the locale.
    Statement query(m_connection,
        QStringLiteral("SELECT f.*, d.* FROM firme f JOIN declaratii d ON d.idfirma = f.id "
                       "WHERE d.ln = :ln AND d.an = :an ORDER BY f.cui COLLATE BINARY, f.id, d.id"));
    query.bind(QStringLiteral("ln"), ln);
    query.bind(QStringLiteral("an"), an);
    qint64 visited = 0;
    while (query.step()) {
        visit(RecordOfRow(query, 0, payerColumns), RecordOfRow(query, payerColumns));
        ++visited;
    }
    return visited;
}

QList<QPair<QString, QString>> CliDatabase::counties() const
{
    Statement query(
        m_connection, QStringLiteral("SELECT codjudet, denumire FROM judete ORDER BY denumire COLLATE BINARY"));
    QList<QPair<QString, QString>> rows;
    while (query.step())
        rows.append({ valueText(query.value(0)), valueText(query.value(1)) });
    return rows;
}

QHash<QString, int> CliDatabase::columnSizes(const QString& table) const
{
    Statement statement(m_connection, QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(table));
    QHash<QString, int> sizes;
    for (int i = 0; i < statement.columnCount(); ++i)
        sizes.insert(statement.columnName(i), ColumnSizeFromDeclaration(statement.declaredType(i)));
    return sizes;
}

} // namespace itm::cli
