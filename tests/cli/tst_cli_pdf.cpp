#include "support/SampleRecords.h"
#include "support/TestDatabase.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

// itm-cli pdf as the user runs it: the built binary on a database file.
namespace samples = itm::test::samples;

class TestCliPdf : public QObject
{
    Q_OBJECT

    struct Run
    {
        int exitCode = -1;
        QString out;
        QString err;
    };

    // fileSizeLimit > 0: every write of the command past that many bytes fails,
    // as on a full medium.
    static Run runPdf(const QStringList& arguments, rlim_t fileSizeLimit = 0)
    {
        QProcess process;
        if (fileSizeLimit > 0) {
            process.setChildProcessModifier([fileSizeLimit] {
                std::signal(SIGXFSZ, SIG_IGN);
                struct rlimit limit
                {
                };
                ::getrlimit(RLIMIT_FSIZE, &limit);
                limit.rlim_cur = fileSizeLimit;
                ::setrlimit(RLIMIT_FSIZE, &limit);
            });
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(ITM_CLI_PATH), QStringList { QStringLiteral("pdf") } + arguments);
        if (!process.waitForStarted())
            return {};
        process.waitForFinished(60000);
        return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError()) };
    }

    // The text of each page of a PDF.
    static QStringList pdfPages(const QString& pdf)
    {
        QProcess tool;
        tool.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
        tool.waitForFinished(30000);
        QStringList pages = QString::fromUtf8(tool.readAllStandardOutput()).split(QLatin1Char('\f'));
        if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
            pages.removeLast();
        return pages;
    }

    static void addDeclaration(const itm::test::TestDatabase& db, int payerId, int month, int year, int comdec = 0)
    {
        db.exec(QStringLiteral("INSERT INTO declaratii (idfirma, ln, an, rectificativ, com25, nrsal, fondlunsal, "
                               "comdat, comac, comdec, comdecac) VALUES (%1, %2, %3, 0, 0, 12, 20000, 150, 100, %4, 0)")
                    .arg(payerId)
                    .arg(month)
                    .arg(year)
                    .arg(comdec)
                    .toUtf8());
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
    }

    void onePayer()
    {
        itm::test::TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"), QStringLiteral("ALFA"));
        addDeclaration(db, 1, 3, 2006);
        const QString pdf = db.folder() + QStringLiteral("/one.pdf");
        const Run run = runPdf({ QStringLiteral("--cui"), QStringLiteral("19"), QStringLiteral("--month"),
            QStringLiteral("3"), QStringLiteral("--year"), QStringLiteral("2006"), QStringLiteral("--db"), db.path(),
            QStringLiteral("--out"), pdf });
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY(run.out.contains(pdf));
        const QStringList pages = pdfPages(pdf);
        QCOMPARE(pages.size(), 1);
        QVERIFY(pages.first().contains(QStringLiteral("S.C. ALFA S.R.L.")));
        QVERIFY(pages.first().contains(QStringLiteral("luna Martie anul 2006")));
        QVERIFY(pages.first().contains(QStringLiteral("DOLJ"))); // county 16
        QVERIFY(pages.first().contains(QStringLiteral("Stare de faliment: Nu")));
    }

    // Every payer declared in the month, one page each, in payer-code order,
    // each on the form its declaration needs.
    void everyPayerOfTheMonth()
    {
        itm::test::TestDatabase db;
        samples::addPayer(db, QStringLiteral("30"), QStringLiteral("GAMA"), 1);
        samples::addPayer(db, QStringLiteral("19"), QStringLiteral("ALFA"));
        samples::addPayer(db, QStringLiteral("27"), QStringLiteral("BETA"));
        addDeclaration(db, 1, 1, 2006, 120);
        addDeclaration(db, 2, 1, 2006, 80);
        addDeclaration(db, 3, 2, 2006); // another month: not printed
        const QString pdf = db.folder() + QStringLiteral("/all.pdf");
        const Run run = runPdf({ QStringLiteral("--month=1"), QStringLiteral("--year=2006"), QStringLiteral("--db"),
            db.path(), QStringLiteral("--out=") + pdf });
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QStringList pages = pdfPages(pdf);
        QCOMPARE(pages.size(), 2);
        QVERIFY(pages.at(0).contains(QStringLiteral("ALFA")));
        QVERIFY(pages.at(1).contains(QStringLiteral("GAMA")));
        for (const QString& page : pages) {
            // January 2006: its own form, even for the payer in bankruptcy.
            QVERIFY(page.contains(QStringLiteral("Decembrie 2005")));
            QVERIFY(!page.contains(QStringLiteral("Stare de faliment")));
        }
        QVERIFY(pages.at(0).contains(QStringLiteral("80")));
        QVERIFY(pages.at(1).contains(QStringLiteral("120")));
    }

    void bankruptPayerAndOutOfRangeName()
    {
        itm::test::TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"), QStringLiteral("ALFA"), 2);
        samples::addPayer(db, QStringLiteral("27"), QStringLiteral("BETA"));
        db.exec("UPDATE firme SET prefix = 20 WHERE cui = '27'");
        addDeclaration(db, 1, 4, 2007);
        addDeclaration(db, 2, 4, 2007);
        const QString pdf = db.folder() + QStringLiteral("/b.pdf");
        const Run run = runPdf({ QStringLiteral("--month"), QStringLiteral("4"), QStringLiteral("--year"),
            QStringLiteral("2007"), QStringLiteral("--db"), db.path(), QStringLiteral("--out"), pdf });
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY(run.err.contains(QStringLiteral("'27'")));
        const QStringList pages = pdfPages(pdf);
        QCOMPARE(pages.size(), 2);
        QVERIFY(pages.at(0).contains(QStringLiteral("Stare de faliment: Da")));
        QVERIFY(pages.at(0).contains(QStringLiteral("Denumire lichidator")));
        // The second payer's page never shows the first payer's name.
        QVERIFY(!pages.at(1).contains(QStringLiteral("ALFA")));
        QVERIFY(pages.at(1).contains(QStringLiteral("Stare de faliment: Nu")));
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown payer") << QStringList { "--cui", "99", "--month", "3", "--year", "2006" } << 1
                                       << "no payer with code '99'";
        QTest::newRow("no declaration") << QStringList { "--cui", "19", "--month", "4", "--year", "2006" } << 1
                                        << "has no declaration for 04/2006";
        QTest::newRow("empty month") << QStringList { "--month", "5", "--year", "2006" } << 1
                                     << "no declarations for 05/2006";
        QTest::newRow("month 13") << QStringList { "--month", "13", "--year", "2006" } << 2 << "month";
    }
    void failures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        itm::test::TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"));
        addDeclaration(db, 1, 3, 2006);
        const QString pdf = db.folder() + QStringLiteral("/none.pdf");
        const Run run
            = runPdf(arguments + QStringList { QStringLiteral("--db"), db.path(), QStringLiteral("--out"), pdf });
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(!QFileInfo::exists(pdf));
    }

    // The medium fills up while the pages are written: an error, status 1,
    // and the old file whole.
    void aFullMediumLeavesTheOldFileWhole()
    {
        itm::test::TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"));
        addDeclaration(db, 1, 3, 2006);
        const QString pdf = db.folder() + QStringLiteral("/old.pdf");
        const QByteArray old(3000, 'o');
        {
            QFile file(pdf);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
        }
        const Run run
            = runPdf({ QStringLiteral("--month"), QStringLiteral("3"), QStringLiteral("--year"), QStringLiteral("2006"),
                         QStringLiteral("--db"), db.path(), QStringLiteral("--out"), pdf },
                4096);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(pdf), qPrintable(run.err));
        QVERIFY(!run.out.contains(QStringLiteral("wrote")));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), old);
    }

    void missingOutputOrDatabase()
    {
        itm::test::TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"));
        addDeclaration(db, 1, 3, 2006);
        Run run = runPdf({ QStringLiteral("--month"), QStringLiteral("3"), QStringLiteral("--year"),
            QStringLiteral("2006"), QStringLiteral("--db"), db.path() });
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains(QStringLiteral("--out")));
        run = runPdf({ QStringLiteral("--month"), QStringLiteral("3"), QStringLiteral("--year"), QStringLiteral("2006"),
            QStringLiteral("--db"), db.folder() + QStringLiteral("/missing.itm"), QStringLiteral("--out"),
            db.folder() + QStringLiteral("/x.pdf") });
        QCOMPARE(run.exitCode, 1);
        QVERIFY(!run.err.isEmpty());
        run = runPdf({ QStringLiteral("--month"), QStringLiteral("3"), QStringLiteral("--year"), QStringLiteral("2006"),
            QStringLiteral("--db"), db.path(), QStringLiteral("--out"), QStringLiteral("/nonexistent-folder/x.pdf") });
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains(QStringLiteral("/nonexistent-folder/x.pdf")));
    }
};

QTEST_GUILESS_MAIN(TestCliPdf)
#include "tst_cli_pdf.moc"
