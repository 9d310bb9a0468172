#include "store/Connection.h"

#include "store/DatabaseBackend.h"
#include "store/Errors.h"
#include "store/PgBackend.h"
#include "store/ServerConnection.h"
#include "store/SqliteBackend.h"

#include <QMap>
#include <mutex>
#include <utility>

namespace itm {

// The loans of one open handle. A handle closed ends them all: a later open
// starts a book of its own, so an ended loan never sees the new handle.
struct LoanBook
{
    std::mutex mutex;
    sqlite3* handle = nullptr;
    int nextId = 0;
    QMap<int, std::function<void()>> stops; // in the order lent
};

Connection::Connection() = default;

Connection::~Connection()
{
    close();
}

void Connection::open(const QString& path, bool readOnly)
{
    close();
    if (IsServerConnection(path))
        m_backend = std::make_unique<PgConnection>(path, readOnly);
    else
        m_backend = std::make_unique<SqliteConnection>(path, readOnly, false);
}

void Connection::openForOneThread(const QString& path)
{
    close();
    if (IsServerConnection(path))
        m_backend = std::make_unique<PgConnection>(path, true);
    else
        m_backend = std::make_unique<SqliteConnection>(path, true, true);
}

QString Connection::secondConnectionLocation() const
{
    return m_backend ? m_backend->secondConnectionLocation() : QString();
}

void Connection::open(std::unique_ptr<ConnectionBackend> backend)
{
    close();
    m_backend = std::move(backend);
}

sqlite3* Connection::handle() const
{
    const auto* sqlite = dynamic_cast<const SqliteConnection*>(m_backend.get());
    return sqlite ? sqlite->handle() : nullptr;
}

QString Connection::filePath() const
{
    return m_backend ? m_backend->filePath() : QString();
}

void Connection::prepareForWrite()
{
    if (!m_backend || inTransaction())
        return;
    if (m_backend->prepareForWrite()) {
        ++m_generation;
        setLentHandle(handle());
    }
}

std::unique_ptr<HandleLoan> Connection::lendHandle(std::function<void()> stop)
{
    if (!m_loans) {
        m_loans = std::make_shared<LoanBook>();
        m_loans->handle = handle();
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
    m_backend.reset();
}

QString Connection::errorMessage() const
{
    return m_backend ? m_backend->errorMessage() : QString();
}

void Connection::exec(const QString& sql)
{
    Statement statement(*this, sql);
    while (statement.step()) { }
}

qint64 Connection::lastInsertRowId() const
{
    return m_backend ? m_backend->lastInsertRowId() : 0;
}

void Connection::setLastInsertRowId(qint64 rowId)
{
    if (m_backend)
        m_backend->setLastInsertRowId(rowId);
}

int Connection::changes() const
{
    return m_backend ? m_backend->changes() : 0;
}

bool Connection::inTransaction() const
{
    return m_backend && m_backend->inTransaction();
}

bool Connection::isServer() const
{
    return m_backend && m_backend->isServer();
}

bool Connection::lost() const
{
    return m_backend && m_backend->lost();
}

qint64 Connection::dataVersion() const
{
    return m_backend ? m_backend->dataVersion() : 0;
}

std::optional<QSet<qint64>> Connection::takeSavedRows(const QString& table)
{
    if (!m_backend)
        return QSet<qint64>();
    return m_backend->takeSavedRows(table);
}

qint64 Connection::totalChanges() const
{
    return m_backend ? m_backend->totalChanges() : 0;
}

void Connection::noteWrite(const void* writer, qint64 changes)
{
    m_notedChanges += changes;
    ++m_writes[writer];
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
        m_connection.m_backend->rollback();
        m_connection.noteRollback();
    }
}

void Transaction::commit()
{
    if (!m_owner || !m_open)
        return;
    m_connection.exec(QStringLiteral("COMMIT"));
    m_open = false;
}

Statement::Statement(Connection& connection, const QString& sql)
{
    if (!connection.m_backend)
        throw DatabaseError(QStringLiteral("Database is not open"));
    m_backend = connection.m_backend->prepare(sql);
}

Statement::~Statement() = default;
Statement::Statement(Statement&&) noexcept = default;
Statement& Statement::operator=(Statement&&) noexcept = default;

bool Statement::hasParameter(const QString& name) const
{
    return m_backend->parameterIndex(name) > 0;
}

int Statement::parameterCount() const
{
    return m_backend->parameterCount();
}

int Statement::parameterIndex(const QString& name) const
{
    return m_backend->parameterIndex(name);
}

void Statement::bind(const QString& name, const QVariant& value)
{
    bind(parameterIndex(name), value);
}

void Statement::bind(int index, const QVariant& value)
{
    if (index > 0)
        m_backend->bind(index, value);
}

bool Statement::step()
{
    return m_backend->step();
}

void Statement::reset()
{
    m_backend->reset();
}

int Statement::columnCount() const
{
    return m_backend->columnCount();
}

QString Statement::columnName(int column) const
{
    return m_backend->columnName(column);
}

QString Statement::declaredType(int column) const
{
    return m_backend->declaredType(column);
}

QVariant Statement::value(int column) const
{
    return m_backend->value(column);
}

bool Statement::holdsInteger(int column) const
{
    return m_backend->holdsInteger(column);
}

qint64 Statement::integer(int column) const
{
    return m_backend->integer(column);
}

QString Statement::text(int column) const
{
    return m_backend->text(column);
}

QByteArrayView Statement::storedBytes(int column)
{
    return m_backend->storedBytes(column);
}

} // namespace itm
