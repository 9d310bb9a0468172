#include "CliTestDatabase.h"
#include "support/SampleRecords.h"

#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace samples = itm::test::samples;

using namespace clitest;

// itm-cli history, delete, deleted and undelete as a script runs them.
class TestCliRecords : public QObject
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
        // 19: January and February 2006 (corrective, 0.25 %, paid too much), June 2007.
        // 230 twice: a register changed outside the program.
        const QByteArray rows = samples::payerRow(1, "19", "=ALFA, \"A\"") + samples::payerRow(2, "230", "BETA")
            + samples::payerRow(3, "230", "GAMA")
            + samples::declarationRow(1, 1, 2006, "0, 0, 3, 2000, 15, 10, 300, 200")
            + samples::declarationRow(1, 2, 2006, "1, 1, 3, 4000, 10, 25, 0, 0")
            + samples::declarationRow(1, 6, 2007, "0, 0, 3, 2000, 15, 0, 0, 0");
        QString error;
        QVERIFY2(createDatabase(m_db, rows, &error), qPrintable(error));
    }

    void theHistoryAsCsv_data()
    {
        QTest::addColumn<QStringList>("years");
        QTest::addColumn<QByteArray>("rows");
        QTest::newRow("every year") << QStringList()
                                    << QByteArray("2005,12,decembrie2005,,,,300,200,100,100\n"
                                                  "2006,1,initiala,0.75,3,2000,15,10,5,105\n"
                                                  "2006,2,rectificativa,0.25,3,4000,10,25,-15,90\n"
                                                  "2007,6,initiala,0.75,3,2000,15,0,15,105\n");
        QTest::newRow("2007 with the balance before it") << QStringList { "--from-year", "2007", "--to-year", "2007" }
                                                         << QByteArray("2007,6,initiala,0.75,3,2000,15,0,15,105\n");
    }
    void theHistoryAsCsv()
    {
        QFETCH(QStringList, years);
        QFETCH(QByteArray, rows);
        const Run run = runCli(QStringList { "history", "--cui", "19", "--format", "csv" } + years);
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, "an,luna,stare,procent,nrsal,fondlunsal,comdat,comac,diferenta,sold\n" + rows);
    }

    void theYearAsCsv()
    {
        const Run run = runCli({ "year", "--year", "2006", "--format", "csv" });
        QCOMPARE(run.exitCode, 0);
        QByteArray header = "cui,denumire";
        for (int month = 1; month <= 12; ++month)
            header += QString::asprintf(",datorat_%02d,achitat_%02d", month, month).toLatin1();
        // Payer-code order; a name that holds the separator quoted; 20 and 24
        // months without a declaration, empty cells.
        QCOMPARE(run.out,
            header + ",datorat_an,achitat_an,sold\n19,\"S.C. =ALFA, \"\"A\"\" S.R.L.\",15,10,10,25"
                + QByteArray(20, ',') + ",25,35,90\n230,S.C. BETA S.R.L." + QByteArray(24, ',')
                + ",0,0,0\n230,S.C. GAMA S.R.L." + QByteArray(24, ',') + ",0,0,0\n");
    }

    void aCodeThatNamesNoPayerOrTwoIsRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("history, two payers") << QStringList { "history", "--cui", "230" } << QByteArray("2 payers");
        QTest::newRow("history, none") << QStringList { "history", "--cui", "35" } << QByteArray("no payer");
        QTest::newRow("delete, two payers") << QStringList { "delete", "--cui", "230" } << QByteArray("2 payers");
        QTest::newRow("delete, none") << QStringList { "delete", "--cui", "35" } << QByteArray("no payer");
        QTest::newRow("undelete, none deleted") << QStringList { "undelete", "35" } << QByteArray("no deleted payer");
    }
    void aCodeThatNamesNoPayerOrTwoIsRefused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, message);
        const Run run = runCli(arguments);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(message), run.err.constData());
        QCOMPARE(runCli({ "deleted", "--format", "csv" }).out, QByteArray("cui,denumire,sters,declaratii\n"));
    }

    void deletedAndBroughtBack()
    {
        Run run = runCli({ "delete", "--cui", "19" });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(runCli({ "history", "--cui", "19" }).exitCode, 1);
        run = runCli({ "deleted", "--format", "csv" });
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(QRegularExpression(QStringLiteral("^cui,denumire,sters,declaratii\n19,\"S\\.C\\. =ALFA, \"\"A\"\" "
                                                   "S\\.R\\.L\\.\",\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d,3\n$"))
                     .match(QString::fromUtf8(run.out))
                     .hasMatch(),
            run.out.constData());
        QCOMPARE(runCli({ "undelete", "19" }).exitCode, 0);
        QCOMPARE(runCli({ "history", "--cui", "19", "--format", "csv" }).out.count('\n'), 5);
        // Brought back once: nothing of it is left deleted.
        run = runCli({ "undelete", "19" });
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("is in"), run.err.constData());
    }

    void deleteWaitsForNobody()
    {
        QLockFile held(m_db + QStringLiteral(".lock"));
        QVERIFY(held.tryLock(0));
        const Run run = runCli({ "delete", "--cui", "19" });
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("Baza de date este deschisa de alt program"), run.err.constData());
        held.unlock();
        QCOMPARE(runCli({ "history", "--cui", "19" }).exitCode, 0);
    }

    void anOlderRegisterGetsItsHistoryOnTheFirstDelete()
    {
        QString error;
        sqlite3* db = nullptr;
        sqlite3_open(m_db.toUtf8().constData(), &db);
        QVERIFY(execute(db,
            "DROP TABLE versiuni_declaratii; DROP TABLE firme_sterse; DROP TABLE declaratii_sterse; "
            "PRAGMA user_version = 0;",
            &error));
        sqlite3_close(db);
        QCOMPARE(runCli({ "deleted" }).out, QByteArray("no deleted payers\n"));
        QCOMPARE(runCli({ "delete", "--cui", "19" }).exitCode, 0);
        QVERIFY(runCli({ "deleted" }).out.contains("S.C. =ALFA"));
        QCOMPARE(runCli({ "backups" }).out.count(".itm"), 1);
    }
};

QTEST_GUILESS_MAIN(TestCliRecords)
#include "tst_cli_records.moc"
