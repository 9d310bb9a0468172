#include "store/Connection.h"
#include "store/DatabaseBackend.h"
#include "store/Errors.h"

#include <QTest>

using namespace itm;

namespace {

// A database of another kind that keeps what it is told: every statement run
// (its text), a transaction opened by BEGIN and ended by COMMIT or rollback.
struct Journal
{
    QStringList statements;
    bool inTransaction = false;
    int rollbacks = 0;
};

class JournalStatement : public StatementBackend
{
public:
    JournalStatement(Journal& journal, const QString& sql)
        : m_journal(journal)
        , m_sql(sql)
    {
        if (sql.startsWith(QLatin1String("FAIL")))
            throw DatabaseError(QStringLiteral("syntax error"));
    }
    int parameterIndex(const QString& name) const override { return name == QLatin1String("code") ? 1 : 0; }
    int parameterCount() const override { return 1; }
    void bind(int, const QVariant& value) override { m_bound = value.toString(); }
    bool step() override
    {
        m_journal.statements.append(m_bound.isEmpty() ? m_sql : m_sql + u' ' + m_bound);
        if (m_sql == QLatin1String("BEGIN IMMEDIATE"))
            m_journal.inTransaction = true;
        if (m_sql == QLatin1String("COMMIT"))
            m_journal.inTransaction = false;
        return false;
    }
    void reset() override { }
    int columnCount() const override { return 0; }
    QString columnName(int) const override { return {}; }
    QString declaredType(int) const override { return {}; }
    QVariant value(int) const override { return {}; }
    qint64 integer(int) const override { return 0; }
    bool holdsInteger(int) const override { return false; }
    QString text(int) const override { return {}; }
    QByteArrayView storedBytes(int) override { return {}; }

private:
    Journal& m_journal;
    QString m_sql;
    QString m_bound;
};

class JournalConnection : public ConnectionBackend
{
public:
    explicit JournalConnection(Journal& journal)
        : m_journal(journal)
    {
    }
    std::unique_ptr<StatementBackend> prepare(const QString& sql) override
    {
        return std::make_unique<JournalStatement>(m_journal, sql);
    }
    QString errorMessage() const override { return {}; }
    QString filePath() const override { return {}; }
    qint64 lastInsertRowId() const override { return 0; }
    void setLastInsertRowId(qint64) override { }
    int changes() const override { return 0; }
    qint64 totalChanges() const override { return 0; }
    bool inTransaction() const override { return m_journal.inTransaction; }
    qint64 dataVersion() const override { return 0; }
    void rollback() override
    {
        m_journal.inTransaction = false;
        ++m_journal.rollbacks;
    }
    bool prepareForWrite() override { return false; }

private:
    Journal& m_journal;
};

} // namespace

// The connection over a database of another kind than SQLite: the same
// statements, transactions and loans, with no SQLite handle.
class TestConnectionBackend : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void statementsAndTransactionsGoThroughTheBackend()
    {
        Journal journal;
        Connection connection;
        connection.open(std::make_unique<JournalConnection>(journal));
        QVERIFY(connection.isOpen());
        QVERIFY(!connection.handle());
        {
            Transaction kept(connection);
            Statement insert(connection, QStringLiteral("INSERT"));
            insert.bind(QStringLiteral("code"), QStringLiteral("RO19"));
            insert.bind(QStringLiteral("absent"), QStringLiteral("X"));
            QVERIFY(!insert.step());
            kept.commit();
        }
        {
            Transaction dropped(connection);
            connection.exec(QStringLiteral("DELETE"));
        }
        QCOMPARE(journal.statements,
            (QStringList { "BEGIN IMMEDIATE", "INSERT RO19", "COMMIT", "BEGIN IMMEDIATE", "DELETE" }));
        QCOMPARE(journal.rollbacks, 1);
        QCOMPARE(connection.rollbacks(), qint64(1));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, Statement(connection, QStringLiteral("FAIL")));
    }

    void aLoanOfAnotherKindLendsNoHandleAndStillStops()
    {
        Journal journal;
        Connection connection;
        connection.open(std::make_unique<JournalConnection>(journal));
        int stops = 0;
        const auto loan = connection.lendHandle([&] { ++stops; });
        QVERIFY(!loan->handle());
        connection.close();
        QCOMPARE(stops, 1);
        QVERIFY(!connection.isOpen());
        QVERIFY_THROWS_EXCEPTION(DatabaseError, Statement(connection, QStringLiteral("SELECT")));
    }
};

QTEST_GUILESS_MAIN(TestConnectionBackend)
#include "tst_connectionbackend.moc"
