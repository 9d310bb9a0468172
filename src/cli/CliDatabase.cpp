#include "cli/CliDatabase.h"

#include "store/ColumnType.h"
#include "store/Errors.h"
#include "store/StoredText.h"

#include <QFileInfo>
#include <QVariant>
#include <sqlite3.h>

namespace itm::cli {

namespace {

ColumnType declaredTypeOf(const char* declared)
{
    return ColumnTypeFromDeclaration(QString::fromUtf8(declared ? declared : ""));
}

QString textOf(sqlite3_stmt* statement, int column)
{
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return StoredTextFromBytes(bytes, sqlite3_column_bytes(statement, column));
}

QVariant valueOf(sqlite3_stmt* statement, int column)
{
    const int storage = sqlite3_column_type(statement, column);
    if (storage == SQLITE_NULL)
        return QVariant();
    const bool numeric = storage == SQLITE_INTEGER || storage == SQLITE_FLOAT;
    switch (declaredTypeOf(sqlite3_column_decltype(statement, column))) {
    case ColumnType::Integer:
        if (storage == SQLITE_INTEGER)
            return QVariant(qint64(sqlite3_column_int64(statement, column)));
        if (storage == SQLITE_FLOAT)
            return QVariant(sqlite3_column_double(statement, column));
        break;
    case ColumnType::Real:
        if (numeric)
            return QVariant(sqlite3_column_double(statement, column));
        break;
    case ColumnType::Text:
        break;
    }
    return QVariant(textOf(statement, column));
}

// One prepared statement, finalized on every path out.
class Query
{
public:
    Query(sqlite3* db, const char* sql)
        : m_db(db)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK)
            fail();
    }
    ~Query() { sqlite3_finalize(m_statement); }
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    void bind(const char* name, const QVariant& value)
    {
        const int index = sqlite3_bind_parameter_index(m_statement, name);
        int rc = SQLITE_OK;
        if (value.typeId() == QMetaType::LongLong) {
            rc = sqlite3_bind_int64(m_statement, index, value.toLongLong());
        } else {
            const QByteArray utf8 = StoredTextBytes(value.toString());
            rc = sqlite3_bind_text(m_statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK)
            fail();
    }

    bool next()
    {
        const int rc = sqlite3_step(m_statement);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            fail();
        return false;
    }

    // Columns [first, first + count) of the current row as a record.
    RowRecord record(int first = 0, int count = -1) const
    {
        if (count < 0)
            count = sqlite3_column_count(m_statement) - first;
        QStringList columns;
        QVector<QVariant> values;
        for (int column = first; column < first + count; ++column) {
            columns.append(QString::fromUtf8(sqlite3_column_name(m_statement, column)));
            values.append(valueOf(m_statement, column));
        }
        return RowRecord(columns, values);
    }

    int columnCount() const { return sqlite3_column_count(m_statement); }

private:
    [[noreturn]] void fail() const { throw DatabaseError(QString::fromUtf8(sqlite3_errmsg(m_db))); }

    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
};

int columnCountOf(sqlite3* db, const char* table)
{
    Query query(db, QByteArray("SELECT * FROM ").append(table).append(" LIMIT 0").constData());
    return query.columnCount();
}

} // namespace

CliDatabase::CliDatabase(const QString& path)
    : m_path(path)
{
    if (QFileInfo(path).isDir())
        throw DatabaseError(QStringLiteral("is a folder, not a database file"));
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(m_db);
        m_db = nullptr;
        throw DatabaseError(message);
    }
    // The program may hold a write lock for a moment while it posts a record.
    sqlite3_busy_timeout(m_db, 2000);
    // Opening is lazy in SQLite: a file that is no database shows only when
    // it is first read, so read its schema now.
    try {
        Query check(m_db, "SELECT count(*) FROM sqlite_master");
        check.next();
    } catch (...) {
        sqlite3_close(m_db);
        m_db = nullptr;
        throw;
    }
}

CliDatabase::~CliDatabase()
{
    sqlite3_close(m_db);
}

std::optional<RowRecord> CliDatabase::payerByCode(const QString& code) const
{
    Query query(m_db, "SELECT * FROM firme WHERE cui = :cui ORDER BY id LIMIT 1");
    query.bind(":cui", code);
    if (!query.next())
        return std::nullopt;
    return query.record();
}

qint64 CliDatabase::payersWithCode(const QString& code) const
{
    Query query(m_db, "SELECT count(*) AS holders FROM firme WHERE cui = :cui");
    query.bind(":cui", code);
    query.next();
    return query.record().fieldInteger(QStringLiteral("holders"));
}

std::optional<RowRecord> CliDatabase::declaration(qint64 idfirma, qint64 ln, qint64 an) const
{
    Query query(
        m_db, "SELECT * FROM declaratii WHERE idfirma = :idfirma AND ln = :ln AND an = :an ORDER BY id LIMIT 1");
    query.bind(":idfirma", idfirma);
    query.bind(":ln", ln);
    query.bind(":an", an);
    if (!query.next())
        return std::nullopt;
    return query.record();
}

std::optional<QString> CliDatabase::countyName(const QString& codjudet) const
{
    Query query(m_db, "SELECT denumire FROM judete WHERE codjudet = :codjudet ORDER BY id LIMIT 1");
    query.bind(":codjudet", codjudet);
    if (!query.next())
        return std::nullopt;
    return query.record().fieldText(QStringLiteral("denumire"));
}

QList<DeclaredPayer> CliDatabase::declaredIn(qint64 ln, qint64 an) const
{
    const int payerColumns = columnCountOf(m_db, "firme");
    // BINARY collation compares the stored bytes, whatever the locale.
    Query query(m_db,
        "SELECT f.*, d.* FROM firme f JOIN declaratii d ON d.idfirma = f.id "
        "WHERE d.ln = :ln AND d.an = :an ORDER BY f.cui COLLATE BINARY, f.id, d.id");
    query.bind(":ln", ln);
    query.bind(":an", an);
    QList<DeclaredPayer> rows;
    while (query.next())
        rows.append({ query.record(0, payerColumns), query.record(payerColumns) });
    return rows;
}

} // namespace itm::cli
