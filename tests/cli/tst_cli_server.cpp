#include "CliTestDatabase.h"
#include "support/SampleRecords.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace samples = itm::test::samples;

using namespace clitest;

// itm-cli on a register on the run's throw-away PostgreSQL server: made,
// filled from a file, read as the file is, and what is refused.
class TestCliServer : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_file;
    const QString m_server = QStringLiteral("postgresql://");

    struct Run
    {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };

    Run runCli(const QStringList& arguments, const QString& folder = QString())
    {
        QProcess process;
        process.setWorkingDirectory(folder.isEmpty() ? m_dir.path() : folder);
        // The order of a PDF's fonts follows a hash seeded anew in every process.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_HASH_SEED"), QStringLiteral("0"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(ITM_CLI_PATH), arguments);
        process.waitForFinished(60000);
        return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError() };
    }

    // A PDF carries the time it was made and a document id of its own.
    static QByteArray withoutPdfStamps(QByteArray bytes)
    {
        static const QRegularExpression stamps(QStringLiteral("/CreationDate \\(D:[^)]*\\)|/ID \\[[^]]*\\]"));
        return QString::fromLatin1(bytes).replace(stamps, QString()).toLatin1();
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("PGPORT"))
            QSKIP("no PostgreSQL server: run under pg_virtualenv");
        m_file = m_dir.filePath(QStringLiteral("date.itm"));
        const QByteArray rows = samples::payerRow(1, "ro5", "GAMA") + samples::payerRow(2, "230", "BETA, \"B\"")
            + samples::payerRow(3, "19", "ALFA") + samples::payerRow(4, "Z9", "DELTA")
            + samples::declarationRow(3, 3, 2006, "1, 1, 3, 50000, 125, 100, 0, 0")
            + samples::declarationRow(2, 3, 2006);
        QString error;
        QVERIFY2(createDatabase(m_file, rows, &error), qPrintable(error));
        const Run init = runCli({ QStringLiteral("server"), QStringLiteral("init"), QStringLiteral("--db"), m_server });
        QCOMPARE(init.exitCode, 0);
        const Run again
            = runCli({ QStringLiteral("server"), QStringLiteral("init"), QStringLiteral("--db"), m_server });
        QCOMPARE(again.exitCode, 0);
        QVERIFY2(again.out.contains("nu s-a schimbat nimic"), again.out.constData());
        const Run copy = runCli({ QStringLiteral("server"), QStringLiteral("copy"), QStringLiteral("--from"), m_file,
            QStringLiteral("--to"), m_server });
        QCOMPARE(copy.exitCode, 0);
        QVERIFY2(
            copy.out.startsWith("firme: 4 randuri copiate si verificate\ndeclaratii: 2 randuri"), copy.out.constData());
    }

    void theMonthReadsTheSameOnBoth_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("month") << QStringList { "month", "--month", "3", "--year", "2006" };
        QTest::newRow("month csv") << QStringList { "month", "--month", "3", "--year", "2006", "--format", "csv" };
        QTest::newRow("year") << QStringList { "year", "--year", "2006" };
    }
    void theMonthReadsTheSameOnBoth()
    {
        QFETCH(QStringList, arguments);
        const Run file = runCli(arguments + QStringList { QStringLiteral("--db"), m_file });
        const Run server = runCli(arguments + QStringList { QStringLiteral("--db"), m_server });
        QCOMPARE(file.exitCode, 0);
        QCOMPARE(server.err, file.err);
        QCOMPARE(server.out, file.out);
        QCOMPARE(server.exitCode, 0);
    }

    void theWorkFolderNamesTheServer()
    {
        QTemporaryDir work;
        QVERIFY(QDir(work.path()).mkpath(QStringLiteral("data")));
        QFile server(work.filePath(QStringLiteral("data/server")));
        QVERIFY(server.open(QIODevice::WriteOnly));
        server.write("postgresql://\n");
        server.close();
        const QStringList month { "month", "--month", "3", "--year", "2006" };
        const Run there = runCli(month, work.path());
        QCOMPARE(there.exitCode, 0);
        QCOMPARE(there.out, runCli(month + QStringList { QStringLiteral("--db"), m_file }).out);
    }

    void aServerRegisterIsBackedUpIntoTheWorkFolder()
    {
        QTemporaryDir work;
        const Run nowhere = runCli({ "backup", "--db", m_server }, work.path());
        QCOMPARE(nowhere.exitCode, 1);
        QVERIFY2(nowhere.err.contains("nu exista"), nowhere.err.constData());
        QVERIFY(QDir(work.path()).mkpath(QStringLiteral("data")));
        const Run first = runCli({ "backup", "--db", m_server }, work.path());
        const Run second = runCli({ "backup", "--db", m_server }, work.path());
        QCOMPARE(first.exitCode, 0);
        QCOMPARE(second.exitCode, 0);
        QVERIFY2(first.out.startsWith("./data/copii/server-") || first.out.contains("data/copii/server-"),
            first.out.constData());
        QVERIFY(first.out != second.out);
        const Run listed = runCli({ "backups", "--db", m_server }, work.path());
        QCOMPARE(listed.exitCode, 0);
        QCOMPARE(listed.out.count("         4           2  "), 2);
        const Run fromFile = runCli({ "month", "--month", "3", "--year", "2006", "--db", m_file });
        const QString copy = QDir(work.path()).filePath(QString::fromUtf8(first.out.trimmed()));
        QCOMPARE(runCli({ "month", "--month", "3", "--year", "2006", "--db", copy }).out, fromFile.out);
    }

    void aServerFileThatNamesNoServerStopsTheCommand()
    {
        QTemporaryDir work;
        QVERIFY(QDir(work.path()).mkpath(QStringLiteral("data")));
        QVERIFY(QFile::copy(m_file, work.filePath(QStringLiteral("data/date.itm"))));
        QFile server(work.filePath(QStringLiteral("data/server")));
        QVERIFY(server.open(QIODevice::WriteOnly));
        server.write("birou:5432\n");
        server.close();
        const Run there = runCli({ "month", "--month", "3", "--year", "2006" }, work.path());
        QCOMPARE(there.exitCode, 1);
        QVERIFY(there.out.isEmpty());
        QVERIFY2(there.err.contains("dar contine \"birou:5432\""), there.err.constData());
    }

    void whatIsRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("copy onto a register with payers")
            << QStringList { "server", "copy", "--from", "date.itm", "--to", "postgresql://" } << 1
            << QByteArray("registrul de pe server nu este gol (tabelul firme are 4 randuri)");
        QTest::newRow("copy onto a file there") << QStringList { "server", "copy", "--from", "postgresql://", "--to",
            "date.itm" } << 1 << QByteArray("exista deja");
        QTest::newRow("restore into a server")
            << QStringList { "restore", "date.itm", "--db", "postgresql://" } << 1
            << QByteArray("Un registru de pe server nu se restaureaza; folositi itm-cli server copy");
        QTest::newRow("no server there") << QStringList { "server", "init", "--db",
            "postgresql://nimeni@127.0.0.1:1/itm" }
                                         << 1 << QByteArray("Nu se poate face legatura cu serverul registrului: ");
        QTest::newRow("init on a file") << QStringList { "server", "init", "--db", "date.itm" } << 2
                                        << QByteArray("--db must name a PostgreSQL server");
    }
    void whatIsRefused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, message);
        const QByteArray before = QFile(m_file).exists() ? QByteArray("there") : QByteArray();
        const Run run = runCli(arguments);
        QVERIFY2(run.err.contains(message), run.err.constData());
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(QFile(m_file).exists() ? QByteArray("there") : QByteArray(), before);
    }
    // Every command on a copy of the same register gives the same bytes on
    // the file and on the server: what it prints and every file it writes.
    // The rows run in order and those that change the register change both.
    void everyCommandGivesTheSameOnBoth_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("line") << QStringList { "line", "--cui", "19", "--month", "3", "--year", "2006" };
        QTest::newRow("history") << QStringList { "history", "--cui", "19", "--format", "csv" };
        QTest::newRow("write") << QStringList { "write", "--month", "3", "--year", "2006", "--to", "{out}" };
        QTest::newRow("pdf month") << QStringList { "pdf", "--month", "3", "--year", "2006", "--out", "{out}/l.pdf" };
        QTest::newRow("pdf history") << QStringList { "pdf", "--history", "--cui", "19", "--out", "{out}/h.pdf" };
        QTest::newRow("export register") << QStringList { "export", "--register", "--out", "{out}/firme.csv" };
        QTest::newRow("export month") << QStringList { "export", "--month", "3", "--year", "2006", "--out",
            "{out}/luna.csv" };
        QTest::newRow("year out") << QStringList { "year", "--year", "2006", "--out", "{out}/an.csv" };
        QTest::newRow("copy-month") << QStringList { "copy-month", "--from-month", "3", "--from-year", "2006",
            "--month", "4", "--year", "2006" };
        QTest::newRow("copied month") << QStringList { "month", "--month", "4", "--year", "2006" };
        QTest::newRow("import unchanged") << QStringList { "import", "--csv", "{import}" };
        QTest::newRow("import update") << QStringList { "import", "--csv", "{import}", "--update" };
        QTest::newRow("delete") << QStringList { "delete", "--cui", "19" };
        QTest::newRow("deleted") << QStringList { "deleted", "--format", "csv" };
        QTest::newRow("month without it") << QStringList { "month", "--month", "3", "--year", "2006" };
        QTest::newRow("undelete") << QStringList { "undelete", "19" };
        QTest::newRow("month with it again") << QStringList { "month", "--month", "3", "--year", "2006" };
        QTest::newRow("register after") << QStringList { "export", "--register", "--out", "{out}/dupa.csv" };
    }
    void everyCommandGivesTheSameOnBoth()
    {
        QFETCH(QStringList, arguments);
        const QString import = m_dir.filePath(QStringLiteral("import.csv"));
        if (!QFile::exists(import)) {
            QVERIFY(runCli({ "export", "--register", "--out", import, "--db", m_file }).exitCode == 0);
            QFile csv(import);
            QVERIFY(csv.open(QIODevice::ReadOnly));
            QByteArray bytes = csv.readAll();
            csv.close();
            // The rows with valid codes, one of them renamed.
            QList<QByteArray> lines = bytes.split('\n');
            lines.removeIf([](const QByteArray& line) {
                return !line.startsWith("cui,") && !line.startsWith("19,") && !line.startsWith("230,");
            });
            bytes = lines.join('\n').replace("ALFA", "ALFA NOUA");
            QVERIFY(bytes.contains("ALFA NOUA"));
            QVERIFY(csv.open(QIODevice::WriteOnly | QIODevice::Truncate));
            csv.write(bytes);
        }
        QTemporaryDir fileOut;
        QTemporaryDir serverOut;
        const auto run = [&](const QString& db, const QString& out) {
            QStringList filled = arguments;
            filled.replaceInStrings(QStringLiteral("{out}"), out);
            filled.replaceInStrings(QStringLiteral("{import}"), import);
            Run result = runCli(filled + QStringList { QStringLiteral("--db"), db });
            result.out.replace(out.toUtf8(), "{out}");
            result.err.replace(out.toUtf8(), "{out}");
            // When a payer was deleted differs by the moment each command ran.
            static const QRegularExpression moment(QStringLiteral("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d"));
            result.out = QString::fromUtf8(result.out).replace(moment, QStringLiteral("{moment}")).toUtf8();
            return result;
        };
        const Run file = run(m_file, fileOut.path());
        const Run server = run(m_server, serverOut.path());
        QVERIFY2(file.exitCode == 0, (file.out + file.err).constData());
        QCOMPARE(server.err, file.err);
        QCOMPARE(server.out, file.out);
        QCOMPARE(server.exitCode, 0);
        QDirIterator written(fileOut.path(), QDir::Files, QDirIterator::Subdirectories);
        while (written.hasNext()) {
            const QString path = written.next();
            QFile fromFile(path);
            QFile fromServer(serverOut.filePath(QDir(fileOut.path()).relativeFilePath(path)));
            QVERIFY2(fromServer.open(QIODevice::ReadOnly), qPrintable(fromServer.fileName()));
            QVERIFY(fromFile.open(QIODevice::ReadOnly));
            QCOMPARE(withoutPdfStamps(fromServer.readAll()), withoutPdfStamps(fromFile.readAll()));
        }
        QCOMPARE(QDir(serverOut.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
            QDir(fileOut.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot));
    }
};

QTEST_GUILESS_MAIN(TestCliServer)
#include "tst_cli_server.moc"
