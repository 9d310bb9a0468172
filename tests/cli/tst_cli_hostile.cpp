// itm-cli beside another writer of the same declaration file, on registers
// made by hand, and with command lines that are wrong.
#include "CliTestDatabase.h"
#include "output/DeclarationDestination.h"
#include "support/SampleRecords.h"

#include <QDir>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace samples = itm::test::samples;

using namespace clitest;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestCliHostile : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_db;
    QString m_stick;

    struct Run
    {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };

    Run runCli(const QStringList& arguments)
    {
        QProcess process;
        process.start(QStringLiteral(ITM_CLI_PATH), arguments);
        process.waitForFinished(60000);
        return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError() };
    }

    void createRegister(const QByteArray& rows)
    {
        QString error;
        QVERIFY2(createDatabase(m_db, rows, &error), qPrintable(error));
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_db = m_dir->filePath(QStringLiteral("date.itm"));
        m_stick = m_dir->filePath(QStringLiteral("stick"));
        QVERIFY(QDir().mkpath(m_stick));
    }

    // The program is merging its line into the file (it holds the file's
    // lock) when itm-cli is asked to write another payer's line there.
    void aWriteWaitsForTheSaveInProgressAndKeepsItsLine()
    {
        createRegister(samples::payerRow(1, "19", "ALFA") + samples::declarationRow(1, 3, 2006));
        const QString root = m_stick + u'/';
        QLockFile programSave(itm::DeclarationLockPath(root, QStringLiteral("IM200603.txt")));
        QVERIFY(programSave.tryLock(0));

        QProcess cli;
        cli.start(QStringLiteral(ITM_CLI_PATH),
            { "write", "--month", "3", "--year", "2006", "--cui", "19", "--to", m_stick, "--db", m_db });
        QVERIFY(cli.waitForStarted());
        QVERIFY2(!cli.waitForFinished(700), "itm-cli must wait while another save holds the file");
        QCOMPARE(readAll(root + "IM200603.txt"), QByteArray("<missing>"));

        const QByteArray programLine = R"("03","2006",230,1,"BETA")";
        QFile file(root + "IM200603.txt");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(programLine + "\r\n");
        file.close();
        programSave.unlock();

        QVERIFY(cli.waitForFinished(10000));
        QCOMPARE(cli.exitCode(), 0);
        const QList<QByteArray> lines = readAll(root + "IM200603.txt").split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0), programLine + '\r');
        QVERIFY(lines.at(1).startsWith(R"("03","2006",19,1,"ALFA")"));
        QVERIFY(!QFileInfo::exists(root + "IM200603.txt.lock"));
    }

    void aCodeHeldByTwoPayersIsRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("write the month") << QStringList { "write", "--month", "3", "--year", "2006", "--to" };
        QTest::newRow("write the code") << QStringList { "write", "--month", "3", "--year", "2006", "--cui", "19",
            "--to" };
        QTest::newRow("line of the code") << QStringList { "line", "--month", "3", "--year", "2006", "--cui", "19" };
    }
    void aCodeHeldByTwoPayersIsRefused()
    {
        QFETCH(QStringList, arguments);
        createRegister(samples::payerRow(1, "19", "ALFA") + samples::payerRow(2, "19", "ALFA DUBLURA")
            + samples::payerRow(3, "230", "BETA") + samples::declarationRow(1, 3, 2006)
            + samples::declarationRow(2, 3, 2006) + samples::declarationRow(3, 3, 2006));
        if (arguments.last() == u"--to")
            arguments << m_stick;
        const Run run = runCli(arguments + QStringList { "--db", m_db });
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("the code '19' belongs to"), run.err.constData());
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(QDir(m_stick).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }

    void bytesThatAreNoUtf8ReachTheFileAsStored()
    {
        const QByteArray name("\xaa"
                              "ARA \xc3 ALFA");
        createRegister(samples::payerRow(1, "19", "X") + samples::declarationRow(1, 3, 2006)
            + "UPDATE firme SET denumire = CAST(X'" + name.toHex() + "' AS TEXT);");
        const Run line = runCli({ "line", "--month", "3", "--year", "2006", "--cui", "19", "--db", m_db });
        QCOMPARE(line.exitCode, 0);
        QVERIFY2(line.out.contains(",1,\"" + name + "\",1,"), line.out.constData());
        QCOMPARE(runCli({ "write", "--month", "3", "--year", "2006", "--to", m_stick, "--db", m_db }).exitCode, 0);
        QCOMPARE(readAll(m_stick + "/IM200603.txt"), line.out.chopped(1) + "\r\n");
    }

    void controlCharactersMadeByHandStayInsideTheirLine()
    {
        createRegister(samples::payerRow(1, "19", "ALFA") + samples::declarationRow(1, 3, 2006)
            + "UPDATE firme SET denumire = 'ALFA' || char(13, 10) || 'BETA, \"X\"' || char(9, 127);");
        QCOMPARE(runCli({ "write", "--month", "3", "--year", "2006", "--to", m_stick, "--db", m_db }).exitCode, 0);
        const QByteArray file = readAll(m_stick + "/IM200603.txt");
        QCOMPARE(file.count('\n'), 1);
        QCOMPARE(file.count(','), 46);
        QVERIFY2(file.contains(R"(,1,"ALFA  BETA   X   ",1,)"), file.constData());
    }

    // A salary fund stored with a fraction by another tool is neither rounded
    // into the file nor printed as it is: refused, naming the payer.
    void aFundThatIsNoWholeNumberIsRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("line") << QStringList { "line", "--cui", "230" };
        QTest::newRow("write") << QStringList { "write", "--to", "<stick>" };
        QTest::newRow("pdf") << QStringList { "pdf", "--out", "<stick>/d.pdf" };
    }
    void aFundThatIsNoWholeNumberIsRefused()
    {
        QFETCH(QStringList, arguments);
        createRegister(samples::payerRow(1, "19", "ALFA") + samples::payerRow(2, "230", "BETA")
            + samples::declarationRow(1, 3, 2006)
            + samples::declarationRow(2, 3, 2006, "0, 0, 12, 12345.5, 93, 93, 0, 0"));
        arguments.replaceInStrings(QStringLiteral("<stick>"), m_stick);
        const Run run = runCli(arguments + QStringList { "--month", "3", "--year", "2006", "--db", m_db });
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("payer '230': Coloana 'fondlunsal': '12345.5' is not a valid integer value"),
            run.err.constData());
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(QDir(m_stick).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }

    void messagesNameWhatIsWrong_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QStringList period { "--month", "3", "--year", "2006" };
        QTest::newRow("empty destination") << QStringList { "write", "--to", "" } + period << 2 << "--to is empty";
        QTest::newRow("destination given twice")
            << QStringList { "write", "--to", "a", "--to", "b" } + period << 2 << "--to given more than once";
        QTest::newRow("code given twice")
            << QStringList { "line", "--cui", "19", "--cui", "230" } + period << 2 << "--cui given more than once";
        QTest::newRow("output given twice")
            << QStringList { "pdf", "--out", "a.pdf", "--out=b.pdf" } + period << 2 << "--out given more than once";
        QTest::newRow("database that is a folder")
            << QStringList { "line", "--cui", "19", "--db", "<folder>" } + period << 1 << "is a folder";
        QTest::newRow("batch record that cannot make its line") << QStringList { "write", "--to", "<stick>" }
                + period << 1 << "payer '230': Coloana 'faliment': 'DA' is not a valid integer value";
    }
    void messagesNameWhatIsWrong()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        createRegister(samples::payerRow(1, "19", "ALFA") + samples::payerRow(2, "230", "BETA")
            + samples::declarationRow(1, 3, 2006) + samples::declarationRow(2, 3, 2006)
            + "UPDATE firme SET faliment = 'DA' WHERE cui = '230';");
        arguments.replaceInStrings(QStringLiteral("<folder>"), m_dir->path());
        arguments.replaceInStrings(QStringLiteral("<stick>"), m_stick);
        if (!arguments.contains(QStringLiteral("--db")))
            arguments << QStringLiteral("--db") << m_db;
        const Run run = runCli(arguments);
        QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(QDir(m_stick).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        QVERIFY(!QFileInfo::exists(QStringLiteral("/IM200603.txt")));
    }
};

QTEST_GUILESS_MAIN(TestCliHostile)
#include "tst_cli_hostile.moc"
