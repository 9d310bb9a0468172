#include "store/SqliteBackend.h"

#include "store/Errors.h"
#include "store/RecordReader.h"
#include "store/StoredText.h"

#include <QFileInfo>
#include <algorithm>
#include <sqlite3.h>

namespace itm {

namespace {
QString messageOf(sqlite3* db, int code)
{
    if (db)
        return QString::fromUtf8(sqlite3_errmsg(db));
    return QString::fromUtf8(sqlite3_errstr(code));
}
} // namespace

SqliteConnection::SqliteConnection(const QString& path, bool readOnly, bool oneThread)
    : m_path(path)
    , m_readOnly(readOnly)
    , m_oneThread(oneThread)
{
    openHandle();
}

SqliteConnection::~SqliteConnection()
{
    sqlite3_close_v2(m_db);
    for (sqlite3* retired : std::as_const(m_retired))
        sqlite3_close_v2(retired);
}

void SqliteConnection::openHandle()
{
    sqlite3* db = nullptr;
    const int flags
        = (m_readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | (m_oneThread ? SQLITE_OPEN_NOMUTEX : 0);
    const int rc = sqlite3_open_v2(m_path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = messageOf(db, rc);
        sqlite3_close(db);
        throw DatabaseError(message);
    }
    m_db = db;
    // A backup or a virus scanner that holds the file for a moment must not turn a
    // save into an error; a real lock still fails after this wait.
    sqlite3_busy_timeout(m_db, 2000);
}

bool SqliteConnection::prepareForWrite()
{
    if (m_readOnly)
        return false;
    int moved = 0;
    sqlite3_file_control(m_db, "main", SQLITE_FCNTL_HAS_MOVED, &moved);
    const bool openedReadOnly = sqlite3_db_readonly(m_db, "main") == 1;
    if (!moved && !openedReadOnly)
        return false;
    const QFileInfo file(m_path);
    if (!file.exists())
        throw DatabaseError(QStringLiteral("Fisierul bazei de date %1 nu mai exista").arg(file.absoluteFilePath()));
    // Still write-protected: the write itself reports it, as before.
    if (!file.isWritable())
        return false;
    sqlite3* old = m_db;
    m_db = nullptr;
    try {
        openHandle();
    } catch (...) {
        m_db = old;
        throw;
    }
    // The old handle stays open, idle, until the connection closes: the
    // background backup may still be reading through it, and a handle freed
    // under another thread cannot be made safe afterwards.
    m_retired.append(old);
    return true;
}

std::unique_ptr<StatementBackend> SqliteConnection::prepare(const QString& sql)
{
    return std::make_unique<SqliteStatement>(m_db, sql);
}

QString SqliteConnection::errorMessage() const
{
    return QString::fromUtf8(sqlite3_errmsg(m_db));
}

QString SqliteConnection::filePath() const
{
    const char* file = sqlite3_db_filename(m_db, "main");
    return file ? QString::fromUtf8(file) : QString();
}

qint64 SqliteConnection::lastInsertRowId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

void SqliteConnection::setLastInsertRowId(qint64 rowId)
{
    sqlite3_set_last_insert_rowid(m_db, rowId);
}

int SqliteConnection::changes() const
{
    return sqlite3_changes(m_db);
}

qint64 SqliteConnection::totalChanges() const
{
    return sqlite3_total_changes64(m_db);
}

bool SqliteConnection::inTransaction() const
{
    return sqlite3_get_autocommit(m_db) == 0;
}

qint64 SqliteConnection::dataVersion() const
{
    sqlite3_stmt* statement = nullptr;
    qint64 version = 0;
    if (sqlite3_prepare_v2(m_db, "PRAGMA data_version", -1, &statement, nullptr) == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW)
        version = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    return version;
}

void SqliteConnection::rollback()
{
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

SqliteStatement::SqliteStatement(sqlite3* db, const QString& sql)
    : m_db(db)
{
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_statement, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = errorMessage();
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
        throw DatabaseError(message);
    }
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

QString SqliteStatement::errorMessage() const
{
    return QString::fromUtf8(sqlite3_errmsg(m_db));
}

int SqliteStatement::parameterCount() const
{
    return sqlite3_bind_parameter_count(m_statement);
}

int SqliteStatement::parameterIndex(const QString& name) const
{
    return sqlite3_bind_parameter_index(m_statement, (u':' + name).toUtf8().constData());
}

namespace {

// The same value to bind: of the same kind, and equal (a text compared only
// when it is not the very same string, and from its last letter first: names
// numbered one after the other differ only there).
bool sameBinding(const QVariant& bound, const QVariant& value, int type)
{
    if (bound.typeId() != type)
        return false;
    switch (type) {
    case QMetaType::UnknownType:
        return true;
    case QMetaType::LongLong:
        return *static_cast<const qint64*>(bound.constData()) == *static_cast<const qint64*>(value.constData());
    case QMetaType::QString: {
        const auto& a = *static_cast<const QString*>(bound.constData());
        const auto& b = *static_cast<const QString*>(value.constData());
        return a.size() == b.size()
            && (a.constData() == b.constData() || a.isEmpty() || (a.back() == b.back() && a == b));
    }
    default:
        return false;
    }
}

} // namespace

void SqliteStatement::bind(int index, const QVariant& value)
{
    // A parameter starts as NULL, as SQLite starts it.
    if (m_boundValues.size() <= size_t(std::max(index, 0)))
        m_boundValues.resize(size_t(std::max(index, 0)) + 1);
    QVariant& bound = m_boundValues[size_t(std::max(index, 0))];
    const int type = value.typeId();
    if (index > 0 && sameBinding(bound, value, type))
        return;
    int rc = SQLITE_OK;
    switch (type) {
    case QMetaType::UnknownType:
        rc = sqlite3_bind_null(m_statement, index);
        break;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Bool:
        rc = sqlite3_bind_int64(m_statement, index, value.toLongLong());
        break;
    case QMetaType::Double:
        rc = sqlite3_bind_double(m_statement, index, value.toDouble());
        break;
    default: {
        if (m_boundTexts.size() <= size_t(index))
            m_boundTexts.resize(size_t(index) + 1);
        QByteArray& kept = m_boundTexts[size_t(index)];
        // A text is read where the value holds it, without a copy.
        const bool holdsText = type == QMetaType::QString;
        const QString converted = holdsText ? QString() : value.toString();
        const QString& text = holdsText ? *static_cast<const QString*>(value.constData()) : converted;
        // A text of plain letters, nearly every one written, is its own bytes:
        // they go into the buffer this parameter kept before, without a new
        // one, and are looked at in the same pass.
        kept.resize(text.size());
        char* bytes = kept.data();
        const auto* units = reinterpret_cast<const char16_t*>(text.constData());
        char16_t anyUnit = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            anyUnit |= units[i];
            bytes[i] = char(units[i]);
        }
        if (anyUnit >= 0x80)
            kept = StoredTextBytes(text);
        // SQLite reads the kept bytes until the parameter is bound again.
        rc = sqlite3_bind_text(m_statement, index, kept.constData(), int(kept.size()), SQLITE_STATIC);
        break;
    }
    }
    if (rc != SQLITE_OK) {
        bound = QVariant(QMetaType::fromType<QByteArray>()); // bound again next time, whatever it is
        throw DatabaseError(errorMessage());
    }
    bound = value;
}

bool SqliteStatement::step()
{
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const QString message = errorMessage();
    sqlite3_reset(m_statement);
    throw DatabaseError(message);
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_statement);
}

int SqliteStatement::columnCount() const
{
    return sqlite3_column_count(m_statement);
}

QString SqliteStatement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_statement, column));
}

QString SqliteStatement::declaredType(int column) const
{
    const char* type = sqlite3_column_decltype(m_statement, column);
    return type ? QString::fromUtf8(type) : QString();
}

QVariant SqliteStatement::value(int column) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(m_statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_statement, column));
    case SQLITE_NULL:
        return QVariant();
    default:
        return QVariant(text(column));
    }
}

bool SqliteStatement::holdsInteger(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_INTEGER;
}

qint64 SqliteStatement::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

QString SqliteStatement::text(int column) const
{
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return StoredTextFromBytes(bytes, sqlite3_column_bytes(m_statement, column));
}

QByteArrayView SqliteStatement::storedBytes(int column)
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_TEXT: {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
        return QByteArrayView(bytes, sqlite3_column_bytes(m_statement, column));
    }
    case SQLITE_NULL:
        return QByteArrayView();
    default:
        m_converted = StoredTextBytes(valueText(value(column)));
        return m_converted;
    }
}

} // namespace itm
