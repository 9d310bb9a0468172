#include "CliTestDatabase.h"

#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

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

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_db = m_dir->filePath(QStringLiteral("date.itm"));
        // 19: March (corrective, 0.25 %); 230: March; ro5: never.
        const QByteArray rows = payerRow(1, "ro5", "GAMA") + payerRow(2, "230", "BETA, \"B\"")
            + payerRow(3, "19", "ALFA") + declarationRow(3, 3, 2006, "1, 1, 3, 50000, 125, 100, 0, 0")
            + declarationRow(2, 3, 2006);
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
    }

    void copyMonthRefusesAndLosesNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, message);
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
        QVERIFY2(run.err.contains("is in use by another program"), run.err.constData());
        QVERIFY(!runCli({ "month", "--month", "4", "--year", "2006" }).out.contains("Initiala"));
    }
};

QTEST_GUILESS_MAIN(TestCliMonth)
#include "tst_cli_month.moc"
