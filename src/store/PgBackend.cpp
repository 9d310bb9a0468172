#include "store/PgBackend.h"

#include "store/Errors.h"
#include "store/RecordReader.h"
#include "store/ServerSchema.h"
#include "store/StoredText.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <libpq-fe.h>
#include <utility>

namespace itm {

// What the connection and its statements share: the server's connection, the
// notes SQLite keeps itself (rows changed, the last key inserted) and which
// connection a statement was prepared on (a reconnect starts a new one).
struct PgSession
{
    PGconn* connection = nullptr;
    int epoch = 0;
    qint64 nextStatement = 0;
    qint64 lastInsertRowId = 0;
    int changes = 0;
    qint64 totalChanges = 0;
    QHash<QString, QByteArray> identityColumns; // by table; empty: none
    bool readOnly = false;
    qint64 othersCommits = 0; // saves of other connections told by the server
    // The rows others saved, by table, as the notices name them (see
    // RegisterChangeChannel); unknown: any row may have been.
    struct SavedRows
    {
        bool unknown = false;
        QSet<qint64> ids;
    };
    QHash<QString, SavedRows> savedRows;
    qint64 linksAgain = 0; // what was saved meanwhile was told to nobody
    QHash<QString, qint64> linksAgainTold; // by table
    // The statement whose rows are still coming, one at a time: nothing else
    // can be sent on the connection before they are all read (finishRows).
    PgStatement* streaming = nullptr;
    bool closing = false; // the connection was closed; its statements only end

    // Takes the rest of the streaming statement's rows off the connection,
    // for it to give later, so that another command can be sent.
    void finishRows();

    ~PgSession() { PQfinish(connection); }
};

namespace {

// Type identifiers of the server's built-in types (pg_type.h).
enum : Oid
{
    BoolOid = 16,
    Int8Oid = 20,
    Int2Oid = 21,
    Int4Oid = 23,
    TextOid = 25,
    Float4Oid = 700,
    Float8Oid = 701,
    BpcharOid = 1042,
    VarcharOid = 1043,
    NumericOid = 1700,
};

QString trimmed(const char* message)
{
    return QString::fromUtf8(message).simplified();
}

QString connectionLost(PGconn* connection)
{
    return QStringLiteral("Legatura cu serverul registrului s-a pierdut: %1").arg(trimmed(PQerrorMessage(connection)));
}

// The server's own message of a failed statement; a lost connection says so.
QString messageOf(PGconn* connection, const PGresult* result)
{
    if (PQstatus(connection) == CONNECTION_BAD)
        return connectionLost(connection);
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    return primary ? QString::fromUtf8(primary) : trimmed(PQerrorMessage(connection));
}

void ignoreNotice(void*, const char*) { }

PGconn* connect(const QByteArray& connectionString)
{
    PGconn* connection = PQconnectdb(connectionString.constData());
    if (!connection)
        throw DatabaseError(QStringLiteral("Nu se poate face legatura cu serverul registrului: memorie insuficienta"));
    if (PQstatus(connection) != CONNECTION_OK) {
        const QString reason = trimmed(PQerrorMessage(connection));
        PQfinish(connection);
        throw DatabaseError(QStringLiteral("Nu se poate face legatura cu serverul registrului: %1").arg(reason));
    }
    // "already exists, skipping" and the like are for a person at psql.
    PQsetNoticeProcessor(connection, ignoreNotice, nullptr);
    if (PQsetClientEncoding(connection, "UTF8") != 0) {
        const QString reason = trimmed(PQerrorMessage(connection));
        PQfinish(connection);
        throw DatabaseError(QStringLiteral("Nu se poate face legatura cu serverul registrului: %1").arg(reason));
    }
    return connection;
}

bool isIdentifierStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool isIdentifierPart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

QString firstWord(const QString& sql)
{
    qsizetype start = 0;
    while (start < sql.size() && sql.at(start).isSpace())
        ++start;
    qsizetype end = start;
    while (end < sql.size() && isIdentifierPart(sql.at(end)))
        ++end;
    return sql.mid(start, end - start).toUpper();
}

// Statements run as they are, without being prepared: those of the
// transaction itself and of the schema, which take no parameters.
bool runsUnprepared(const QString& word)
{
    static const QStringList words = { QStringLiteral("BEGIN"), QStringLiteral("COMMIT"), QStringLiteral("END"),
        QStringLiteral("ROLLBACK"), QStringLiteral("SAVEPOINT"), QStringLiteral("RELEASE"), QStringLiteral("CREATE"),
        QStringLiteral("DROP"), QStringLiteral("ALTER"), QStringLiteral("SET"), QStringLiteral("LOCK"),
        QStringLiteral("COMMENT"), QStringLiteral("GRANT"), QStringLiteral("REVOKE"), QStringLiteral("TRUNCATE") };
    return words.contains(word);
}

// The table an "INSERT INTO table" writes, when it returns nothing itself.
QString insertedTable(const QString& sql)
{
    static const QLatin1String insertInto("INSERT INTO ");
    const QString simplified = sql.simplified();
    if (!simplified.startsWith(insertInto, Qt::CaseInsensitive)
        || simplified.contains(QLatin1String("RETURNING"), Qt::CaseInsensitive))
        return {};
    qsizetype end = insertInto.size();
    while (end < simplified.size() && isIdentifierPart(simplified.at(end)))
        ++end;
    return simplified.mid(insertInto.size(), end - insertInto.size()).toLower();
}

QByteArray identityColumn(PgSession& session, const QString& table)
{
    const auto known = session.identityColumns.constFind(table);
    if (known != session.identityColumns.cend())
        return *known;
    session.finishRows();
    const QByteArray name = table.toUtf8();
    const char* values[] = { name.constData() };
    PGresult* result = PQexecParams(session.connection,
        "SELECT attname FROM pg_attribute WHERE attrelid = to_regclass($1) AND attidentity <> '' "
        "AND NOT attisdropped",
        1, nullptr, values, nullptr, nullptr, 0);
    QByteArray column;
    if (PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) == 1)
        column = QByteArray(PQgetvalue(result, 0, 0));
    PQclear(result);
    session.identityColumns.insert(table, column);
    return column;
}

} // namespace

PgStatementText TranslatePlaceholders(const QString& sql)
{
    PgStatementText translated;
    QString out;
    out.reserve(sql.size() + 8);
    const qsizetype size = sql.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = sql.at(i);
        // Quoted texts, quoted names and comments are copied as they are.
        if (c == u'\'' || c == u'"') {
            qsizetype end = i + 1;
            while (end < size && sql.at(end) != c)
                ++end;
            out += sql.mid(i, end - i + 1);
            i = end;
        } else if (c == u'-' && i + 1 < size && sql.at(i + 1) == u'-') {
            qsizetype end = sql.indexOf(u'\n', i);
            if (end < 0)
                end = size - 1;
            out += sql.mid(i, end - i + 1);
            i = end;
        } else if (c == u'?') {
            translated.names.append(QString());
            out += u'$' + QString::number(translated.names.size());
        } else if (c == u':' && i + 1 < size && isIdentifierStart(sql.at(i + 1)) && (i == 0 || sql.at(i - 1) != u':')) {
            qsizetype end = i + 1;
            while (end < size && isIdentifierPart(sql.at(end)))
                ++end;
            const QString name = sql.mid(i + 1, end - i - 1);
            qsizetype number = translated.names.indexOf(name);
            if (number < 0) {
                translated.names.append(name);
                number = translated.names.size() - 1;
            }
            out += u'$' + QString::number(number + 1);
            i = end - 1;
        } else {
            out += c;
        }
    }
    translated.sql = out.toUtf8();
    return translated;
}

PgConnection::PgConnection(const QString& connectionString, bool readOnly)
    : m_session(std::make_shared<PgSession>())
    , m_connectionString(connectionString)
{
    m_session->connection = connect(connectionString.toUtf8());
    m_session->readOnly = readOnly;
    setUp();
}

void PgConnection::setUp()
{
    if (m_session->readOnly)
        PQclear(PQexec(m_session->connection, "SET default_transaction_read_only = on"));
    // A register made before the server told of saves sends nothing here:
    // listening costs nothing then.
    PQclear(PQexec(m_session->connection, QByteArray("LISTEN ") + RegisterChangeChannel));
}

qint64 PgConnection::dataVersion() const
{
    // The server's messages wait in the connection: read without waiting.
    PGconn* connection = m_session->connection;
    if (PQstatus(connection) == CONNECTION_OK && PQconsumeInput(connection) == 1) {
        const int own = PQbackendPID(connection);
        while (PGnotify* notice = PQnotifies(connection)) {
            if (notice->be_pid != own) {
                ++m_session->othersCommits;
                noteSavedRows(QByteArrayView(notice->extra));
            }
            PQfreemem(notice);
        }
    }
    return m_session->othersCommits;
}

void PgConnection::noteSavedRows(QByteArrayView message) const
{
    const qsizetype colon = message.indexOf(':');
    auto& saved = m_session->savedRows[QString::fromUtf8(colon < 0 ? message : message.first(colon))];
    if (colon < 0) {
        saved.unknown = true;
        return;
    }
    for (const QByteArray& id : message.sliced(colon + 1).toByteArray().split(',')) {
        bool number = false;
        const qint64 value = id.toLongLong(&number);
        if (number)
            saved.ids.insert(value);
        else if (!id.isEmpty())
            saved.unknown = true;
    }
}

std::optional<QSet<qint64>> PgConnection::takeSavedRows(const QString& table)
{
    dataVersion();
    const PgSession::SavedRows saved = m_session->savedRows.take(table);
    qint64& told = m_session->linksAgainTold[table];
    const bool linkedAgain = std::exchange(told, m_session->linksAgain) != m_session->linksAgain;
    if (saved.unknown || linkedAgain)
        return std::nullopt;
    return saved.ids;
}

bool PgConnection::lost() const
{
    return PQstatus(m_session->connection) == CONNECTION_BAD;
}

PgConnection::~PgConnection()
{
    // The statements that outlive their connection let it go as it is.
    m_session->closing = true;
}

std::unique_ptr<StatementBackend> PgConnection::prepare(const QString& sql)
{
    return std::make_unique<PgStatement>(m_session, sql);
}

QString PgConnection::errorMessage() const
{
    return trimmed(PQerrorMessage(m_session->connection));
}

qint64 PgConnection::lastInsertRowId() const
{
    return m_session->lastInsertRowId;
}

void PgConnection::setLastInsertRowId(qint64 rowId)
{
    m_session->lastInsertRowId = rowId;
}

int PgConnection::changes() const
{
    return m_session->changes;
}

qint64 PgConnection::totalChanges() const
{
    return m_session->totalChanges;
}

bool PgConnection::inTransaction() const
{
    // A statement whose rows are still coming shows as a command under way.
    m_session->finishRows();
    const PGTransactionStatusType status = PQtransactionStatus(m_session->connection);
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
}

void PgConnection::rollback()
{
    m_session->finishRows();
    PQclear(PQexec(m_session->connection, "ROLLBACK"));
}

bool PgConnection::prepareForWrite()
{
    if (PQstatus(m_session->connection) == CONNECTION_OK)
        return false;
    m_session->finishRows();
    PQreset(m_session->connection);
    if (PQstatus(m_session->connection) != CONNECTION_OK)
        throw DatabaseError(connectionLost(m_session->connection));
    PQsetClientEncoding(m_session->connection, "UTF8");
    setUp();
    // What colleagues saved while the connection was lost was told to nobody.
    ++m_session->othersCommits;
    ++m_session->linksAgain;
    // Statements prepared before were the old connection's.
    ++m_session->epoch;
    m_session->identityColumns.clear();
    return true;
}

PgStatement::PgStatement(std::shared_ptr<PgSession> session, const QString& sql)
    : m_session(std::move(session))
{
    QString text = sql;
    const QString word = firstWord(sql);
    // A transaction on the server takes no lock on the whole register.
    static const QRegularExpression sqliteBegin(
        QStringLiteral("^\\s*BEGIN\\s+(IMMEDIATE|EXCLUSIVE|DEFERRED)\\b"), QRegularExpression::CaseInsensitiveOption);
    text.replace(sqliteBegin, QStringLiteral("BEGIN"));
    // SQLite's spelling of what the server says otherwise: texts compared
    // byte by byte, and the statement that only names a table's columns.
    static const QRegularExpression binary(
        QStringLiteral("\\bCOLLATE\\s+BINARY\\b"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression never(
        QStringLiteral("\\bWHERE\\s+0\\s*$"), QRegularExpression::CaseInsensitiveOption);
    text.replace(binary, QStringLiteral("COLLATE \"C\""));
    text.replace(never, QStringLiteral("WHERE false"));
    m_text = TranslatePlaceholders(text);
    if (runsUnprepared(word) && m_text.names.isEmpty())
        return;
    const QString table = insertedTable(text);
    if (!table.isEmpty()) {
        m_returning = identityColumn(*m_session, table);
        if (!m_returning.isEmpty())
            m_text.sql += " RETURNING " + m_returning;
    }
    m_values.resize(size_t(m_text.names.size()));
    m_nulls.assign(size_t(m_text.names.size()), true);
    // Rows are read as they come rather than all at once: a listing of the
    // whole register shows its first rows at once and holds only those.
    m_streams = word == u"SELECT" && m_returning.isEmpty();
    m_session->finishRows();
    m_name = "itm" + QByteArray::number(++m_session->nextStatement) + '_' + QByteArray::number(m_session->epoch);
    PGresult* result
        = PQprepare(m_session->connection, m_name.constData(), m_text.sql.constData(), int(m_values.size()), nullptr);
    const bool prepared = PQresultStatus(result) == PGRES_COMMAND_OK;
    const QString message = prepared ? QString() : messageOf(m_session->connection, result);
    PQclear(result);
    if (!prepared)
        throw DatabaseError(message);
}

PgStatement::~PgStatement()
{
    dropRows();
    PQclear(m_result);
    PQclear(m_description);
    // A statement of an older connection is gone with it; one inside a failed
    // transaction stays until the connection closes.
    if (!m_name.isEmpty() && !m_session->closing && m_name.endsWith('_' + QByteArray::number(m_session->epoch))
        && PQstatus(m_session->connection) == CONNECTION_OK) {
        m_session->finishRows();
        if (PQtransactionStatus(m_session->connection) != PQTRANS_INERROR)
            PQclear(PQexec(m_session->connection, "DEALLOCATE " + m_name));
    }
}

void PgSession::finishRows()
{
    if (streaming)
        streaming->takeRestOfRows();
}

pg_result* PgStatement::nextRowFromServer()
{
    PGconn* connection = m_session->connection;
    PGresult* result = PQgetResult(connection);
    if (result && PQresultStatus(result) == PGRES_SINGLE_TUPLE)
        return result;
    // The end: the last, empty result or an error, then nothing more.
    if (result && PQresultStatus(result) != PGRES_TUPLES_OK)
        m_rowError = messageOf(connection, result);
    else if (!result && PQstatus(connection) == CONNECTION_BAD)
        m_rowError = connectionLost(connection);
    PQclear(result);
    while (PGresult* rest = PQgetResult(connection))
        PQclear(rest);
    m_session->streaming = nullptr;
    return nullptr;
}

void PgStatement::takeRestOfRows()
{
    while (m_session->streaming == this) {
        if (PGresult* row = nextRowFromServer())
            m_waitingRows.push_back(row);
    }
}

namespace {

// Whether the rest of a query's rows has come already (what has come is let
// go); what the link holds is read once, so that rows that keep coming are
// not read for ever.
bool restHasCome(PGconn* connection)
{
    if (PQconsumeInput(connection) == 0)
        return true; // a broken link: nothing is coming
    while (PQisBusy(connection) == 0) {
        PGresult* rest = PQgetResult(connection);
        if (!rest)
            return true;
        PQclear(rest);
    }
    return false;
}

} // namespace

void PgStatement::dropRows()
{
    if (m_session->streaming == this) {
        PGconn* connection = m_session->connection;
        // Outside a transaction the server is asked to stop sending the rows
        // left (a register of millions would come whole, to be thrown away),
        // unless they have all come already (a row asked for by its key);
        // inside one a cancel would end the transaction: the rows are read.
        if (!m_session->closing && !m_streamsInTransaction && !restHasCome(connection)) {
            if (PGcancel* cancel = PQgetCancel(connection)) {
                char error[256];
                PQcancel(cancel, error, int(sizeof error));
                PQfreeCancel(cancel);
            }
        }
        while (!m_session->closing) {
            PGresult* rest = PQgetResult(connection);
            if (!rest)
                break;
            PQclear(rest);
        }
        m_session->streaming = nullptr;
    }
    for (PGresult* row : m_waitingRows)
        PQclear(row);
    m_waitingRows.clear();
    m_rowError.clear();
}

int PgStatement::parameterIndex(const QString& name) const
{
    return int(m_text.names.indexOf(name) + 1);
}

void PgStatement::bind(int index, const QVariant& value)
{
    if (index < 1 || size_t(index) > m_values.size())
        throw DatabaseError(QStringLiteral("column index out of range"));
    const size_t at = size_t(index - 1);
    m_nulls[at] = false;
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        m_nulls[at] = true;
        break;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Bool:
        m_values[at] = QByteArray::number(value.toLongLong());
        break;
    case QMetaType::Double:
        // The shortest text that reads back as the same number.
        m_values[at] = QByteArray::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        break;
    default:
        m_values[at] = StoredTextBytes(value.toString());
        break;
    }
}

void PgStatement::execute()
{
    m_session->finishRows();
    PGconn* connection = m_session->connection;
    PGresult* result = nullptr;
    if (m_name.isEmpty()) {
        result = PQexec(connection, m_text.sql.constData());
    } else {
        // Prepared on a connection since lost: prepared again on this one.
        const QByteArray epoch = '_' + QByteArray::number(m_session->epoch);
        if (!m_name.endsWith(epoch)) {
            m_name = "itm" + QByteArray::number(++m_session->nextStatement) + epoch;
            PGresult* prepared
                = PQprepare(connection, m_name.constData(), m_text.sql.constData(), int(m_values.size()), nullptr);
            const bool ok = PQresultStatus(prepared) == PGRES_COMMAND_OK;
            const QString message = ok ? QString() : messageOf(connection, prepared);
            PQclear(prepared);
            if (!ok)
                throw DatabaseError(message);
            PQclear(std::exchange(m_description, nullptr));
        }
        std::vector<const char*> values(m_values.size());
        std::vector<int> lengths(m_values.size());
        for (size_t i = 0; i < m_values.size(); ++i) {
            values[i] = m_nulls[i] ? nullptr : m_values[i].constData();
            lengths[i] = int(m_values[i].size());
        }
        if (m_streams) {
            m_streamsInTransaction = PQtransactionStatus(connection) != PQTRANS_IDLE;
            if (!PQsendQueryPrepared(
                    connection, m_name.constData(), int(values.size()), values.data(), lengths.data(), nullptr, 0))
                throw DatabaseError(messageOf(connection, nullptr));
            PQsetSingleRowMode(connection);
            m_session->streaming = this;
            m_streaming = true;
            m_result = nullptr;
            m_row = -1;
            m_done = false;
            return;
        }
        result = PQexecPrepared(
            connection, m_name.constData(), int(values.size()), values.data(), lengths.data(), nullptr, 0);
    }
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const QString message = messageOf(connection, result);
        const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
        const bool duplicate = state && qstrcmp(state, "23505") == 0;
        PQclear(result);
        if (duplicate)
            throw UniqueViolation(message);
        throw DatabaseError(message);
    }
    const QByteArray command(PQcmdStatus(result));
    if (command.startsWith("INSERT") || command.startsWith("UPDATE") || command.startsWith("DELETE")) {
        m_session->changes = QByteArray(PQcmdTuples(result)).toInt();
        m_session->totalChanges += m_session->changes;
    }
    if (!m_returning.isEmpty()) {
        const int rows = PQntuples(result);
        if (rows > 0)
            m_session->lastInsertRowId = QByteArray(PQgetvalue(result, rows - 1, 0)).toLongLong();
        // An insert gives no rows, as on SQLite.
        PQclear(result);
        result = nullptr;
    }
    m_result = result;
    m_row = -1;
    m_done = false;
}

bool PgStatement::step()
{
    if (m_done)
        reset();
    if (!m_executed) {
        execute();
        m_executed = true;
        if (!m_streaming && !m_result) {
            m_done = true;
            return false;
        }
    }
    if (m_streaming) {
        PQclear(std::exchange(m_result, nullptr));
        if (!m_waitingRows.empty()) {
            m_result = m_waitingRows.front();
            m_waitingRows.pop_front();
        } else if (m_session->streaming == this) {
            m_result = nextRowFromServer();
        }
        if (m_result) {
            m_row = 0;
            return true;
        }
        m_done = true;
        if (!m_rowError.isEmpty())
            throw DatabaseError(std::exchange(m_rowError, QString()));
        return false;
    }
    ++m_row;
    if (m_result && m_row < PQntuples(m_result))
        return true;
    m_done = true;
    return false;
}

void PgStatement::reset()
{
    // Rows not read are read and let go: the next command needs the connection.
    dropRows();
    PQclear(std::exchange(m_result, nullptr));
    m_row = -1;
    m_done = false;
    m_executed = false;
    m_streaming = false;
}

pg_result* PgStatement::described() const
{
    if (m_result)
        return m_result;
    if (!m_description && !m_name.isEmpty()) {
        m_session->finishRows();
        PGresult* description = PQdescribePrepared(m_session->connection, m_name.constData());
        if (PQresultStatus(description) != PGRES_COMMAND_OK) {
            const QString message = messageOf(m_session->connection, description);
            PQclear(description);
            throw DatabaseError(message);
        }
        m_description = description;
    }
    return m_description;
}

int PgStatement::columnCount() const
{
    if (!m_returning.isEmpty())
        return 0;
    const PGresult* result = described();
    return result ? PQnfields(result) : 0;
}

QString PgStatement::columnName(int column) const
{
    return QString::fromUtf8(PQfname(described(), column));
}

QString PgStatement::declaredType(int column) const
{
    const PGresult* result = described();
    switch (PQftype(result, column)) {
    case BoolOid:
    case Int2Oid:
    case Int4Oid:
    case Int8Oid:
        return QStringLiteral("INTEGER");
    case Float4Oid:
    case Float8Oid:
        return QStringLiteral("REAL");
    case NumericOid:
        return QStringLiteral("NUMERIC");
    case VarcharOid:
    case BpcharOid: {
        const int modifier = PQfmod(result, column);
        return modifier >= 4 ? QStringLiteral("VARCHAR(%1)").arg(modifier - 4) : QStringLiteral("VARCHAR");
    }
    case TextOid:
        return QStringLiteral("TEXT");
    default:
        return {};
    }
}

bool PgStatement::isNull(int column) const
{
    return PQgetisnull(m_result, m_row, column) != 0;
}

QVariant PgStatement::value(int column) const
{
    if (isNull(column))
        return QVariant();
    const char* bytes = PQgetvalue(m_result, m_row, column);
    switch (PQftype(m_result, column)) {
    case BoolOid:
        return QVariant(qint64(bytes[0] == 't' ? 1 : 0));
    case Int2Oid:
    case Int4Oid:
    case Int8Oid:
        return QVariant(QByteArray(bytes).toLongLong());
    case Float4Oid:
    case Float8Oid:
        return QVariant(QByteArray(bytes).toDouble());
    case NumericOid: {
        // As a number column of SQLite holds it: a whole number as such.
        const QByteArray number(bytes);
        bool whole = false;
        const qint64 integer = number.toLongLong(&whole);
        if (whole)
            return QVariant(integer);
        const double real = number.toDouble();
        if (std::isfinite(real) && real == std::trunc(real) && std::fabs(real) < 9.2e18)
            return QVariant(qint64(real));
        return QVariant(real);
    }
    default:
        return QVariant(text(column));
    }
}

bool PgStatement::holdsInteger(int column) const
{
    return value(column).typeId() == QMetaType::LongLong;
}

qint64 PgStatement::integer(int column) const
{
    const QVariant held = value(column);
    if (held.typeId() == QMetaType::QString)
        return held.toString().trimmed().toLongLong();
    return held.toLongLong();
}

QString PgStatement::text(int column) const
{
    if (isNull(column))
        return QString();
    return StoredTextFromBytes(PQgetvalue(m_result, m_row, column), PQgetlength(m_result, m_row, column));
}

QByteArrayView PgStatement::storedBytes(int column)
{
    if (isNull(column))
        return QByteArrayView();
    switch (PQftype(m_result, column)) {
    case TextOid:
    case VarcharOid:
    case BpcharOid:
        return QByteArrayView(PQgetvalue(m_result, m_row, column), PQgetlength(m_result, m_row, column));
    default:
        m_converted = StoredTextBytes(valueText(value(column)));
        return m_converted;
    }
}

} // namespace itm
