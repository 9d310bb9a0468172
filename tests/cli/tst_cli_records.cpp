#include "CliTestDatabase.h"
#include "support/SampleRecords.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
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

    bool addRows(const char* sql)
    {
        sqlite3* db = nullptr;
        sqlite3_open(m_db.toUtf8().constData(), &db);
        const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(db);
        return ok;
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

    void aVersionIsWrittenAgain()
    {
        // June 2007 of 19 (declaration 3) was saved twice; the second is what is stored.
        QVERIFY(addRows("INSERT INTO versiuni_declaratii (iddeclaratie, versiune, salvat, idfirma, ln, an, "
                        "rectificativ, com25, nrsal, fondlunsal, comdat, comac, comdec, comdecac) VALUES "
                        "(3, 1, '2007-07-01 10:00:00', 1, 6, 2007, 0, 0, 2, 1000, 8, 0, 0, 0), "
                        "(3, 2, '2007-07-09 12:30:00', 1, 6, 2007, 0, 0, 3, 2000, 15, 0, 0, 0);"));
        const QStringList june { "--cui", "19", "--month", "6", "--year", "2007" };
        const Run current = runCli(QStringList { "line" } + june);
        QCOMPARE(current.exitCode, 0);
        const Run second = runCli(QStringList { "line" } + june + QStringList { "--version", "2" });
        QCOMPARE(second.out, current.out);
        const Run first = runCli(QStringList { "line" } + june + QStringList { "--version=1" });
        QCOMPARE(first.exitCode, 0);
        QVERIFY(first.out != current.out);
        // The first version's line is the line of the declaration as it was then.
        QVERIFY(addRows("UPDATE declaratii SET nrsal = 2, fondlunsal = 1000, comdat = 8 WHERE id = 3"));
        QCOMPARE(runCli(QStringList { "line" } + june).out, first.out);
        QVERIFY(addRows("UPDATE declaratii SET nrsal = 3, fondlunsal = 2000, comdat = 15 WHERE id = 3"));

        for (const char* command : { "line", "pdf" }) {
            QStringList arguments
                = QStringList { QString::fromLatin1(command) } + june + QStringList { "--version", "3" };
            if (QByteArray(command) == "pdf")
                arguments << "--out" << m_dir->filePath("v3.pdf");
            const Run none = runCli(arguments);
            QCOMPARE(none.exitCode, 1);
            QVERIFY2(none.err.contains("has no version 3 of its declaration for 6/2007 (versions: 1, 2)"), none.err);
            QCOMPARE(none.out, QByteArray());
        }
        QVERIFY(!QFile::exists(m_dir->filePath("v3.pdf")));
        QCOMPARE(runCli(QStringList { "line" } + june + QStringList { "--version", "0" }).exitCode, 2);
        const Run pdf = runCli(
            QStringList { "pdf" } + june + QStringList { "--version", "1", "--out", m_dir->filePath("v1.pdf") });
        QCOMPARE(pdf.exitCode, 0);
        QVERIFY(QFile::exists(m_dir->filePath("v1.pdf")));
    }

    void theStatementAsPdf()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QVERIFY(addRows("INSERT INTO versiuni_declaratii (iddeclaratie, versiune, salvat, idfirma, ln, an, "
                        "rectificativ, com25, nrsal, fondlunsal, comdat, comac, comdec, comdecac) VALUES "
                        "(3, 1, '2007-07-01 10:00:00', 1, 6, 2007, 0, 0, 2, 1000, 8, 0, 0, 0), "
                        "(3, 2, '2007-07-09 12:30:00', 1, 6, 2007, 0, 0, 3, 2000, 15, 0, 0, 0);"));
        const QString pdf = m_dir->filePath(QStringLiteral("fisa.pdf"));
        const Run run = runCli({ "pdf", "--history", "--cui", "19", "--out", pdf });
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, "wrote " + pdf.toUtf8() + " (1 page)\n");
        QProcess tool;
        tool.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
        tool.waitForFinished(30000);
        QStringList lines;
        for (const QString& line : QString::fromUtf8(tool.readAllStandardOutput()).split(u'\n'))
            lines << line.simplified();
        const QString text = lines.join(u'\n');
        for (const char* expected :
            { "Fisa platitorului", "C.U.I./C.N.P.: 19", "Perioada: 12/2005 - 06/2007", "Pagina 1 din 1",
                "12/2005 Sume dec. 2005 300 200 100 100", "02/2006 Rectificativa 0.25 3 4000 10 25 -15 90",
                "Total 2006 325 235 90 90", "06/2007 Initiala 0.75 3 2000 15 0 15 105",
                "v1 2007-07-01 10:00 Initiala 0.75 2 1000 8 0 8", "v2 2007-07-09 12:30 Initiala 0.75 3 2000 15 0 15",
                "Total 2007 15 0 15 105", "Sold datorat la zi: 105" })
            QVERIFY2(
                text.contains(QString::fromLatin1(expected)), qPrintable(QString::fromLatin1(expected) + u'\n' + text));
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("Data listarii: \\d\\d\\.\\d\\d\\.\\d{4}"))));

        const Run shared = runCli({ "pdf", "--history", "--cui", "230", "--out", m_dir->filePath("x.pdf") });
        QCOMPARE(shared.exitCode, 1);
        QVERIFY(!QFile::exists(m_dir->filePath("x.pdf")));
        QCOMPARE(runCli({ "pdf", "--history", "--out", m_dir->filePath("x.pdf") }).exitCode, 2);
    }

    void theYearIntoAFile()
    {
        const Run csv = runCli({ "year", "--year", "2006", "--out", m_dir->filePath("an.csv") });
        QCOMPARE(csv.exitCode, 0);
        QFile written(m_dir->filePath("an.csv"));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), runCli({ "year", "--year", "2006", "--format", "csv" }).out);

        const QString xlsx = m_dir->filePath(QStringLiteral("an.xlsx"));
        const Run book = runCli({ "year", "--year", "2006", "--out", xlsx });
        QCOMPARE(book.err, QByteArray());
        QCOMPARE(book.exitCode, 0);
        QProcess reader;
        reader.start(
            QStringLiteral("/usr/bin/python3"), { QStringLiteral(ITM_SOURCE_DIR "/tests/cli/read_workbook.py"), xlsx });
        reader.waitForFinished(60000);
        const QJsonObject sheet = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
        const QJsonArray rows = sheet.value("rows").toArray();
        // Header, three payers, the totals outside the filter.
        QCOMPARE(rows.size(), 5);
        QCOMPARE(sheet.value("filter").toString(), QStringLiteral("A1:AC4"));
        const QJsonArray totals = rows.at(4).toArray();
        QCOMPARE(totals.at(0).toObject().value("value").toString(), QStringLiteral("TOTAL"));
        // January's due: 15 of 19 only; the balance at the year's end.
        QCOMPARE(totals.at(2).toObject().value("value").toString(), QStringLiteral("=SUM(C2:C4)"));
        QCOMPARE(totals.at(28).toObject().value("value").toString(), QStringLiteral("=SUM(AC2:AC4)"));
        QCOMPARE(rows.at(1).toArray().at(2).toObject().value("value").toInt(), 15);
        QCOMPARE(rows.at(1).toArray().at(28).toObject().value("value").toInt(), 90);

        QCOMPARE(runCli({ "year", "--year", "2006", "--out", m_dir->filePath("an.txt") }).exitCode, 2);
        QCOMPARE(runCli({ "year", "--year", "2006", "--format", "csv", "--out", xlsx }).exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(TestCliRecords)
#include "tst_cli_records.moc"
