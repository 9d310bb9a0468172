#include "CliTestDatabase.h"
#include "support/SampleRecords.h"

#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace samples = itm::test::samples;

using namespace clitest;

class TestCliMonth : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_db;

    struct Run
    {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };

    Run runCli(QStringList arguments)
    {
        arguments << QStringLiteral("--db") << m_db;
        QProcess process;
        process.setWorkingDirectory(m_dir->path());
        process.start(QStringLiteral(ITM_CLI_PATH), arguments);
        process.waitForFinished(60000);
        return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError() };
    }

    // Rows added as another program would write them.
    bool addRows(const QByteArray& sql, QString* error)
    {
        sqlite3* db = nullptr;
        if (sqlite3_open(m_db.toUtf8().constData(), &db) != SQLITE_OK) {
            sqlite3_close(db);
            return false;
        }
        const bool ok = execute(db, sql, error);
        sqlite3_close(db);
        return ok;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_db = m_dir->filePath(QStringLiteral("date.itm"));
        // 19: March (corrective, 0.25 %); 230: March; ro5: never.
        const QByteArray rows = samples::payerRow(1, "ro5", "GAMA") + samples::payerRow(2, "230", "BETA, \"B\"")
            + samples::payerRow(3, "19", "ALFA") + samples::declarationRow(3, 3, 2006, "1, 1, 3, 50000, 125, 100, 0, 0")
            + samples::declarationRow(2, 3, 2006);
        QString error;
        QVERIFY2(createDatabase(m_db, rows, &error), qPrintable(error));
    }

    void monthAsCsv()
    {
        const Run run = runCli({ "month", "--month", "3", "--year", "2006", "--format", "csv" });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out,
            QByteArray("cui,denumire,judet,stare,nrsal,fondlunsal,comdat,comac\n"
                       "19,S.C. ALFA S.R.L.,BUCURESTI,rectificativa,3,50000,125,100\n"
                       "230,\"S.C. BETA, \"\"B\"\" S.R.L.\",BUCURESTI,initiala,12,2000,15,15\n"
                       "ro5,S.C. GAMA S.R.L.,BUCURESTI,lipsa,,,,\n"));
    }

    void monthAsTextEndsWithTheTotals()
    {
        const Run run = runCli({ "month", "--month", "03", "--year", "2006" });
        QCOMPARE(run.exitCode, 0);
        const QList<QByteArray> lines = run.out.split('\n');
        QCOMPARE(lines.size(), 6); // header, three payers, totals, end of the last line
        QCOMPARE(lines.at(4).simplified(), QByteArray("Total 2 declarati, 1 lipsa 15 52000 140 115 25"));
        QCOMPARE(runCli({ "month", "--month", "3", "--year", "2006", "--format", "xls" }).exitCode, 2);
        QCOMPARE(runCli({ "month", "--month", "3", "--year", "2006", "--cui", "19" }).exitCode, 2);
        const Run twice = runCli({ "month", "--month", "3", "--year", "2006", "--format", "csv", "--format", "text" });
        QCOMPARE(twice.exitCode, 2);
        QVERIFY2(twice.err.contains("--format given more than once"), twice.err.constData());
    }

    void monthNamesADeclarationWithATextAmount()
    {
        // A register made elsewhere: payer 116's salary fund is a text.
        QString error;
        QVERIFY2(addRows(samples::payerRow(4, "116", "DELTA")
                         + samples::declarationRow(4, 3, 2006, "0, 0, 2, 'x1', 15, 15, 0, 0"),
                     &error),
            qPrintable(error));
        Run run = runCli({ "month", "--month", "3", "--year", "2006" });
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("payer '116': Coloana 'fondlunsal': 'x1' is not a valid integer value"),
            run.err.constData());
        // Every payer listed, after the faulty one as well; the totals leave it out and say so.
        const QList<QByteArray> lines = run.out.split('\n');
        QCOMPARE(lines.size(), 8);
        QVERIFY(lines.at(2).simplified().startsWith("19 "));
        QCOMPARE(lines.at(5).simplified(), QByteArray("Total 3 declarati, 1 lipsa 15 52000 140 115 25"));
        QVERIFY(lines.at(6).startsWith("Totaluri incomplete: 1 declaratie"));

        run = runCli({ "copy-month", "--from-month", "3", "--from-year", "2006", "--month", "4", "--year", "2006" });
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(
            run.err.contains("payer '116': Coloana 'fondlunsal': 'x1' is not a valid integer value; nothing copied"),
            run.err.constData());
        QVERIFY(!runCli({ "month", "--month", "4", "--year", "2006" }).out.contains("Initiala"));
    }

    void monthTextKeepsItsColumnsWithControlCharacters()
    {
        QString error;
        QVERIFY2(
            addRows("UPDATE firme SET denumire = 'BETA' || char(10) || 'NOU' || char(9) || 'X' WHERE id = 2;", &error),
            qPrintable(error));
        const Run run = runCli({ "month", "--month", "3", "--year", "2006" });
        QCOMPARE(run.exitCode, 0);
        const QList<QByteArray> lines = run.out.split('\n');
        QCOMPARE(lines.size(), 6);
        QVERIFY2(lines.at(2).contains("S.C. BETA NOU X S.R.L."), lines.at(2).constData());
        QCOMPARE(lines.at(2).size(), lines.at(4).size()); // amounts end in one column
    }

    void copyMonth()
    {
        Run run = runCli({ "copy-month", "--from-month", "3", "--from-year", "2006", "--month", "4", "--year", "2006",
            "--cui", "19", "--cui", "ro5" });
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.out, QByteArray("copied 1, skipped 1\n"));
        QCOMPARE(run.exitCode, 0);
        run = runCli({ "copy-month", "--from-month=3", "--from-year=2006", "--month", "4", "--year", "2006" });
        QCOMPARE(run.out, QByteArray("copied 1, skipped 2\n"));
        run = runCli({ "month", "--month", "4", "--year", "2006", "--format", "csv" });
        QVERIFY(run.out.contains("19,S.C. ALFA S.R.L.,BUCURESTI,initiala,3,50000,125,100\n"));
        QVERIFY(run.out.contains(",BUCURESTI,initiala,12,2000,15,15\n"));
    }

    void copyMonthRefusesAndLosesNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("message");
        const QStringList into = { "--month", "4", "--year", "2006" };
        QTest::newRow("same month") << (QStringList { "--from-month", "4", "--from-year", "2006" } + into) << 2
                                    << QByteArray("the target month 04/2006 is the source month");
        QTest::newRow("no source") << into << 2 << QByteArray("missing --from-month, --from-year");
        QTest::newRow("before 2006") << QStringList { "--from-month", "1", "--from-year", "2006", "--month", "12",
            "--year", "2005" } << 2 << QByteArray("declarations start in January 2006");
        QTest::newRow("unknown payer") << (QStringList { "--from-month", "3", "--from-year", "2006", "--cui", "19",
                                               "--cui", "RO5" }
            + into) << 1 << QByteArray("no payer with code 'RO5'");
        QTest::newRow("source month twice")
            << (QStringList { "--from-month", "11", "--from-month", "3", "--from-year", "2006" } + into) << 2
            << QByteArray("--from-month given more than once");
        QTest::newRow("source year twice")
            << (QStringList { "--from-month", "3", "--from-year=2005", "--from-year", "2006" } + into) << 2
            << QByteArray("--from-year given more than once");
        QTest::newRow("empty code") << (QStringList { "--from-month", "3", "--from-year", "2006", "--cui", "" } + into)
                                    << 2 << QByteArray("--cui is empty");
        QTest::newRow("code held twice") << (QStringList { "--from-month", "3", "--from-year", "2006", "--cui", "230" }
            + into) << 1 << QByteArray("the code '230' belongs to 2 payers");
    }

    void copyMonthRefusesAndLosesNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, message);
        // A second payer holding 230, declared in March as well.
        QString error;
        QVERIFY2(addRows(samples::payerRow(4, "230", "BETA BIS") + samples::declarationRow(4, 3, 2006), &error),
            qPrintable(error));
        const Run run = runCli(QStringList { "copy-month" } + arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message), run.err.constData());
        QVERIFY(!runCli({ "month", "--month", "4", "--year", "2006" }).out.contains("Initiala"));
    }

    void copyMonthWaitsForNobody()
    {
        QLockFile held(m_db + QStringLiteral(".lock"));
        QVERIFY(held.tryLock(0));
        const Run run
            = runCli({ "copy-month", "--from-month", "3", "--from-year", "2006", "--month", "4", "--year", "2006" });
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("Baza de date este deschisa de alt program"), run.err.constData());
        QVERIFY(!runCli({ "month", "--month", "4", "--year", "2006" }).out.contains("Initiala"));
    }
};

QTEST_GUILESS_MAIN(TestCliMonth)
#include "tst_cli_month.moc"
