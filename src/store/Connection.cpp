#include "store/Connection.h"

#include "store/Errors.h"
#include "store/RecordReader.h"
#include "store/StoredText.h"

#include <QFileInfo>
#include <QMap>
#include <algorithm>
#include <mutex>
#include <sqlite3.h>
#include <utility>

namespace itm {

namespace {
QString messageOf(sqlite3* db, int code)
{
    if (db)
        return QString::fromUtf8(sqlite3_errmsg(db));
    return QString::fromUtf8(sqlite3_errstr(code));
}
} // namespace

// The loans of one open handle. A handle closed ends them all: a later open
// starts a book of its own, so an ended loan never sees the new handle.
struct LoanBook
{
    std::mutex mutex;
    sqlite3* handle = nullptr;
    int nextId = 0;
    QMap<int, std::function<void()>> stops; // in the order lent
};

Connection::~Connection()
{
    close();
}

std::unique_ptr<HandleLoan> Connection::lendHandle(std::function<void()> stop)
{
    if (!m_loans) {
        m_loans = std::make_shared<LoanBook>();
        m_loans->handle = m_db;
    }
    const std::lock_guard lock(m_loans->mutex);
    const int id = ++m_loans->nextId;
    m_loans->stops.insert(id, std::move(stop));
    return std::unique_ptr<HandleLoan>(new HandleLoan(m_loans, id));
}

void Connection::setLentHandle(sqlite3* handle)
{
    if (!m_loans)
        return;
    const std::lock_guard lock(m_loans->mutex);
    m_loans->handle = handle;
}

HandleLoan::HandleLoan(std::shared_ptr<LoanBook> book, int id)
    : m_book(std::move(book))
    , m_id(id)
{
}

HandleLoan::~HandleLoan()
{
    const std::lock_guard lock(m_book->mutex);
    m_book->stops.remove(m_id);
}

sqlite3* HandleLoan::handle() const
{
    const std::lock_guard lock(m_book->mutex);
    return m_book->stops.contains(m_id) ? m_book->handle : nullptr;
}

void Connection::open(const QString& path, bool readOnly)
{
    close();
    m_path = path;
    m_readOnly = readOnly;
    m_oneThread = false;
    openHandle();
}

void Connection::openForOneThread(const QString& path)
{
    close();
    m_path = path;
    m_readOnly = true;
    m_oneThread = true;
    openHandle();
}

QString Connection::filePath() const
{
    const char* file = m_db ? sqlite3_db_filename(m_db, "main") : nullptr;
    return file ? QString::fromUtf8(file) : QString();
}

void Connection::openHandle()
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

void Connection::prepareForWrite()
{
    if (!m_db || m_readOnly || inTransaction())
        return;
    int moved = 0;
    sqlite3_file_control(m_db, "main", SQLITE_FCNTL_HAS_MOVED, &moved);
    const bool openedReadOnly = sqlite3_db_readonly(m_db, "main") == 1;
    if (!moved && !openedReadOnly)
        return;
    const QFileInfo file(m_path);
    if (!file.exists())
        throw DatabaseError(QStringLiteral("Fisierul bazei de date %1 nu mai exista").arg(file.absoluteFilePath()));
    // Still write-protected: the write itself reports it, as before.
    if (!file.isWritable())
        return;
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
    ++m_generation;
    setLentHandle(m_db);
}

void Connection::close()
{
    // Every borrower stops before any handle closes, the retired ones included
    // (a copy started before a reopen still reads through its handle).
    if (const std::shared_ptr<LoanBook> book = std::exchange(m_loans, nullptr)) {
        QList<std::function<void()>> stops;
        {
            const std::lock_guard lock(book->mutex);
            stops = book->stops.values();
            book->stops.clear();
            book->handle = nullptr;
        }
        for (const auto& stop : std::as_const(stops))
            stop();
    }
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    for (sqlite3* retired : std::as_const(m_retired))
        sqlite3_close_v2(retired);
    m_retired.clear();
}

QString Connection::errorMessage() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
}

void Connection::exec(const QString& sql)
{
    Statement statement(*this, sql);
    while (statement.step()) { }
}

qint64 Connection::lastInsertRowId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

void Connection::setLastInsertRowId(qint64 rowId)
{
    sqlite3_set_last_insert_rowid(m_db, rowId);
}

int Connection::changes() const
{
    return sqlite3_changes(m_db);
}

bool Connection::inTransaction() const
{
    return m_db && sqlite3_get_autocommit(m_db) == 0;
}

Transaction::Transaction(Connection& connection)
    : m_connection(connection)
{
    if (connection.inTransaction())
        return;
    connection.prepareForWrite();
    connection.exec(QStringLiteral("BEGIN IMMEDIATE"));
    m_owner = true;
    m_open = true;
}

Transaction::~Transaction()
{
    if (m_open && m_connection.inTransaction()) {
        sqlite3_exec(m_connection.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        m_connection.noteRollback();
    }
}

qint64 Connection::dataVersion() const
{
    if (!m_db)
        return 0;
    sqlite3_stmt* statement = nullptr;
    qint64 version = 0;
    if (sqlite3_prepare_v2(m_db, "PRAGMA data_version", -1, &statement, nullptr) == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW)
        version = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    return version;
}

qint64 Connection::totalChanges() const
{
    return m_db ? sqlite3_total_changes64(m_db) : 0;
}

void Connection::noteWrite(const void* writer, qint64 changes)
{
    m_notedChanges += changes;
    ++m_writes[writer];
}

void Transaction::commit()
{
    if (!m_owner || !m_open)
        return;
    m_connection.exec(QStringLiteral("COMMIT"));
    m_open = false;
}

Statement::Statement(Connection& connection, const QString& sql)
    : m_connection(connection)
{
    if (!connection.handle())
        throw DatabaseError(QStringLiteral("Database is not open"));
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(connection.handle(), utf8.constData(), int(utf8.size()), &m_statement, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = connection.errorMessage();
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
        throw DatabaseError(message);
    }
}

Statement::~Statement()
{
    sqlite3_finalize(m_statement);
}

bool Statement::hasParameter(const QString& name) const
{
    return sqlite3_bind_parameter_index(m_statement, (u':' + name).toUtf8().constData()) > 0;
}

int Statement::parameterCount() const
{
    return sqlite3_bind_parameter_count(m_statement);
}

int Statement::parameterIndex(const QString& name) const
{
    return sqlite3_bind_parameter_index(m_statement, (u':' + name).toUtf8().constData());
}

void Statement::bind(const QString& name, const QVariant& value)
{
    bind(parameterIndex(name), value);
}

void Statement::bind(int index, const QVariant& value)
{
    if (index <= 0)
        return;
    int rc = SQLITE_OK;
    switch (value.typeId()) {
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
        const QString text = value.toString();
        // A text of plain letters, nearly every one written, is its own bytes:
        // they go into the buffer this parameter kept before, without a new one.
        const bool plain = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
        if (plain) {
            kept.resize(text.size());
            char* bytes = kept.data();
            for (qsizetype i = 0; i < text.size(); ++i)
                bytes[i] = char(text.at(i).unicode());
        } else {
            kept = StoredTextBytes(text);
        }
        // SQLite reads the kept bytes until the parameter is bound again.
        rc = sqlite3_bind_text(m_statement, index, kept.constData(), int(kept.size()), SQLITE_STATIC);
        break;
    }
    }
    if (rc != SQLITE_OK)
        throw DatabaseError(m_connection.errorMessage());
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const QString message = m_connection.errorMessage();
    sqlite3_reset(m_statement);
    throw DatabaseError(message);
}

void Statement::reset()
{
    sqlite3_reset(m_statement);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_statement);
}

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_statement, column));
}

QString Statement::declaredType(int column) const
{
    const char* type = sqlite3_column_decltype(m_statement, column);
    return type ? QString::fromUtf8(type) : QString();
}

QVariant Statement::value(int column) const
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

bool Statement::holdsInteger(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_INTEGER;
}

qint64 Statement::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

QString Statement::text(int column) const
{
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return StoredTextFromBytes(bytes, sqlite3_column_bytes(m_statement, column));
}

} // namespace itm

namespace itm {

QByteArrayView Statement::storedBytes(int column)
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
