#include "CliTestDatabase.h"
#include "support/SampleRecords.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace samples = itm::test::samples;

using namespace clitest;

namespace {

const QByteArray kStandardAmounts = "0, 0, 12, 2000, 15, 15, 0, 0";
const QByteArray kReducedAmounts = "1, 1, 3, 50000, 125, 100, 0, 0";

QByteArray expectedLine(const char* month, const char* cui, const char* name, bool bankrupt = false,
    const QByteArray& amounts = kStandardAmounts)
{
    const QByteArray tail = bankrupt
        ? QByteArray(R"(1,1900101000006,"LICHIDATOR SPRL","12","CLUJ-NAPOCA",0,"HOREA","F.N.","B1","A","7",)"
                     R"("400001","lichidator@ex.ro","0264111222",5,3,2004)")
        : QByteArray(R"(0,0," "," "," ",0," "," "," "," "," "," "," "," ",0,0,0)");
    return QByteArray("\"") + month + "\",\"2006\"," + cui + ",1,\"" + name
        + "\",1,\"40\",\"BUCURESTI\",3,\"VICTORIEI\",\"10\",\" \",\" \",\" \",\"010101\",\"0211234567\","
          "\"office@alfa.ro\",\"BCR\",\"RO49AAAA1B31007593840000\","
        + QByteArray(amounts).replace(" ", "") + R"(,"POPESCU","ION","ADMINISTRATOR",)" + tail;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestCliDeclarations : public QObject
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

    Run runCli(QStringList arguments, bool withDb = true,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
    {
        if (withDb)
            arguments << QStringLiteral("--db") << m_db;
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(m_dir->path());
        process.start(QStringLiteral(ITM_CLI_PATH), arguments);
        process.waitForFinished(60000);
        return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError() };
    }

    QString folder(const QString& name)
    {
        const QString path = m_dir->filePath(name);
        QDir().mkpath(path);
        return path;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_db = m_dir->filePath(QStringLiteral("date.itm"));
        // Payer codes chosen so that byte order differs from numeric and from
        // case-blind order: "123456789" < "19" < "230" < "RO19" < "ro5".
        const QByteArray rows = samples::payerRow(1, "19", "ALFA") + samples::payerRow(2, "230", "BETA", true)
            + samples::payerRow(3, "ro5", "GAMA") + samples::payerRow(4, "RO19", "DELTA")
            + samples::payerRow(5, "123456789", "EPSILON") + samples::payerRow(6, "100000", "FARA DECLARATIE")
            + samples::payerRow(7, "1900101000006", "STRICAT") + samples::declarationRow(1, 3, 2006)
            + samples::declarationRow(1, 4, 2006) + samples::declarationRow(2, 3, 2006)
            + samples::declarationRow(3, 3, 2006) + samples::declarationRow(4, 3, 2006)
            + samples::declarationRow(5, 3, 2006, kReducedAmounts) + samples::declarationRow(6, 4, 2006)
            + samples::declarationRow(7, 5, 2006, "0, 0, 'doisprezece', 2000, 15, 15, 0, 0");
        QString error;
        QVERIFY2(createDatabase(m_db, rows, &error), qPrintable(error));
    }

    void lineOfAPayer_data()
    {
        QTest::addColumn<QString>("cui");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("not in bankruptcy") << "19"
                                           << "3" << expectedLine("03", "19", "ALFA");
        QTest::newRow("month with leading zero") << "19"
                                                 << "04" << expectedLine("04", "19", "ALFA");
        QTest::newRow("in bankruptcy") << "230"
                                       << "3" << expectedLine("03", "230", "BETA", true);
        QTest::newRow("reduced rate") << "123456789"
                                      << "3" << expectedLine("03", "123456789", "EPSILON", false, kReducedAmounts);
        QTest::newRow("code is exact: lower case") << "ro5"
                                                   << "3" << expectedLine("03", "ro5", "GAMA");
    }
    void lineOfAPayer()
    {
        QFETCH(QString, cui);
        QFETCH(QString, month);
        QFETCH(QByteArray, line);
        const Run run = runCli({ "line", "--cui", cui, "--month", month, "--year", "2006" });
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.out, line + '\n');
        QCOMPARE(run.exitCode, 0);
    }

    void lineFailures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown payer") << QStringList { "--cui", "18", "--month", "3", "--year", "2006" } << 1
                                       << "no payer with code '18'";
        QTest::newRow("code differs by case")
            << QStringList { "--cui", "RO5", "--month", "3", "--year", "2006" } << 1 << "no payer with code 'RO5'";
        QTest::newRow("code differs by a blank")
            << QStringList { "--cui", "19 ", "--month", "3", "--year", "2006" } << 1 << "no payer with code '19 '";
        QTest::newRow("no declaration that month") << QStringList { "--cui", "19", "--month", "5", "--year", "2006" }
                                                   << 1 << "payer '19' has no declaration for 05/2006";
        QTest::newRow("stored amount is no number") << QStringList { "--cui", "1900101000006", "--month", "5", "--year",
            "2006" } << 1 << "'doisprezece' is not a valid integer value";
        QTest::newRow("month not a number") << QStringList { "--cui", "19", "--month", "III", "--year", "2006" } << 2
                                            << "the month must be a whole number from 1 to 12";
        QTest::newRow("month 13") << QStringList { "--cui", "19", "--month", "13", "--year", "2006" } << 2
                                  << "the month must be a whole number from 1 to 12";
        QTest::newRow("year missing") << QStringList { "--cui", "19", "--month", "3" } << 2 << "missing --year";
        QTest::newRow("code missing") << QStringList { "--month", "3", "--year", "2006" } << 2 << "missing --cui";
        QTest::newRow("unknown option") << QStringList { "--cui", "19", "--month", "3", "--year", "2006", "--x" } << 2
                                        << "Unknown option 'x'";
        QTest::newRow("a destination") << QStringList { "--cui", "19", "--month", "3", "--year", "2006", "--to", "." }
                                       << 2 << "unknown option --to";
    }
    void lineFailures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const Run run = runCli(QStringList { "line" } + arguments);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
        QCOMPARE(run.exitCode, exitCode);
    }

    void aMissingDatabaseIsNotCreated()
    {
        const QString missing = m_dir->filePath(QStringLiteral("nowhere.itm"));
        const Run run = runCli({ "line", "--cui", "19", "--month", "3", "--year", "2006", "--db", missing }, false);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("unable to open database file"), run.err.constData());
        QVERIFY(!QFileInfo::exists(missing));
    }

    void theDefaultDatabaseIsInTheWorkingFolder()
    {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("data")));
        QVERIFY(QFile::rename(m_db, m_dir->filePath(QStringLiteral("data/date.itm"))));
        const Run run = runCli({ "line", "--cui", "19", "--month", "3", "--year", "2006" }, false);
        QCOMPARE(run.out, expectedLine("03", "19", "ALFA") + '\n');
    }

    void outsideTheWorkFolderTheUserWorkFolderIsUsed_data()
    {
        QTest::addColumn<bool>("viaXdgDataHome");
        QTest::newRow("XDG_DATA_HOME") << true;
        QTest::newRow("HOME/.local/share") << false;
    }
    void outsideTheWorkFolderTheUserWorkFolderIsUsed()
    {
        QFETCH(bool, viaXdgDataHome);
        const QString home = m_dir->filePath(QStringLiteral("home"));
        const QString dataHome = viaXdgDataHome ? m_dir->filePath(QStringLiteral("xdg")) : home + "/.local/share";
        const QString userDatabase = dataHome + "/itm-declaratie/data/date.itm";
        QVERIFY(QDir().mkpath(QFileInfo(userDatabase).path()));
        QVERIFY(QFile::rename(m_db, userDatabase));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home);
        if (viaXdgDataHome)
            environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        else
            environment.remove(QStringLiteral("XDG_DATA_HOME"));
        const QStringList line { "line", "--cui", "19", "--month", "3", "--year", "2006" };

        // The test's folder has no data/date.itm.
        Run run = runCli(line, false, environment);
        QCOMPARE(run.out, expectedLine("03", "19", "ALFA") + '\n');
        QCOMPARE(run.err, "itm-cli line: no ./data/date.itm here; using " + userDatabase.toUtf8() + '\n');

        // One in the current folder comes first, without a word.
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("data")));
        QVERIFY(QFile::rename(userDatabase, m_dir->filePath(QStringLiteral("data/date.itm"))));
        run = runCli(line, false, environment);
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.out, expectedLine("03", "19", "ALFA") + '\n');
    }

    void writeEveryPayerOfTheMonthInCodeOrder()
    {
        const QString destination = folder(QStringLiteral("stick")); // no trailing "/"
        const Run run = runCli({ "write", "--month", "3", "--year", "2006", "--to", destination });
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.exitCode, 0);
        const QByteArray expected = expectedLine("03", "123456789", "EPSILON", false, kReducedAmounts) + "\r\n"
            + expectedLine("03", "19", "ALFA") + "\r\n" + expectedLine("03", "230", "BETA", true) + "\r\n"
            + expectedLine("03", "RO19", "DELTA") + "\r\n" + expectedLine("03", "ro5", "GAMA") + "\r\n";
        QCOMPARE(readAll(destination + "/IM200603.txt"), expected);
        QCOMPARE(readAll(destination + "/Rez/IM200603.txt"), expected);
        const QByteArray report = "payer 123456789\tEPSILON\npayer 19\tALFA\npayer 230\tBETA\npayer RO19\tDELTA\n"
                                  "payer ro5\tGAMA\nwrote "
            + destination.toUtf8() + "/IM200603.txt\nwrote " + destination.toUtf8() + "/Rez/IM200603.txt\n";
        QCOMPARE(run.out, report);

        // Writing the month again replaces every line by itself.
        QCOMPARE(runCli({ "write", "--month", "3", "--year", "2006", "--to", destination + "/" }).exitCode, 0);
        QCOMPARE(readAll(destination + "/IM200603.txt"), expected);
    }

    void writeOnePayerIntoAnExistingFile()
    {
        const QString destination = folder(QStringLiteral("stick"));
        const QByteArray other = R"("03","2006",999,1,"ALTUL")";
        const QByteArray stale = R"("03","2006",19,1,"VECHI")";
        QFile existing(destination + "/IM200603.txt");
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write(stale + "\r\n" + other + "\n\n");
        existing.close();
        const Run run = runCli({ "write", "--month", "3", "--year", "2006", "--to", destination, "--cui", "19" });
        QCOMPARE(run.exitCode, 0);
        const QByteArray expected = other + "\r\n" + expectedLine("03", "19", "ALFA") + "\r\n";
        QCOMPARE(readAll(destination + "/IM200603.txt"), expected);
        QCOMPARE(readAll(destination + "/Rez/IM200603.txt"), expected);
        QVERIFY(run.out.startsWith("payer 19\tALFA\nwrote "));
    }

    void theWrittenLineIsThePrintedLine()
    {
        const QString destination = folder(QStringLiteral("stick"));
        QCOMPARE(runCli({ "write", "--month", "4", "--year", "2006", "--to", destination, "--cui", "19" }).exitCode, 0);
        const Run line = runCli({ "line", "--cui", "19", "--month", "4", "--year", "2006" });
        QCOMPARE(readAll(destination + "/IM200604.txt"), line.out.chopped(1) + "\r\n");
    }

    void writeFailures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("withDestination");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("no declaration that month")
            << QStringList { "--month", "6", "--year", "2006" } << true << 1 << "no declarations for 06/2006";
        QTest::newRow("one record cannot make its line") << QStringList { "--month", "5", "--year", "2006" } << true
                                                         << 1 << "'doisprezece' is not a valid integer value";
        QTest::newRow("payer without that declaration") << QStringList { "--month", "3", "--year", "2006", "--cui",
            "100000" } << true << 1 << "payer '100000' has no declaration for 03/2006";
        QTest::newRow("destination missing")
            << QStringList { "--month", "3", "--year", "2006" } << false << 2 << "missing --to";
    }
    void writeFailures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, withDestination);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const QString destination = folder(QStringLiteral("stick"));
        if (withDestination)
            arguments << QStringLiteral("--to") << destination;
        const Run run = runCli(QStringList { "write" } + arguments);
        QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(QDir(destination).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }

    void anUnreadableFileStopsTheWrite()
    {
        const QString destination = folder(QStringLiteral("stick"));
        QVERIFY(QDir(destination).mkdir(QStringLiteral("IM200603.txt")));
        const Run run = runCli({ "write", "--month", "3", "--year", "2006", "--to", destination });
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("Salvarea nu poate fi efectuata!."), run.err.constData());
        QVERIFY(!QFileInfo::exists(destination + "/Rez"));
    }

    void aDestinationThatIsAFileFails()
    {
        QFile file(m_dir->filePath(QStringLiteral("plain")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const Run run = runCli({ "write", "--month", "3", "--year", "2006", "--to", file.fileName() });
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("Salvarea nu poate fi efectuata!."), run.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestCliDeclarations)
#include "tst_cli_declarations.moc"
