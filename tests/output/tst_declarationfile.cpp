#include "output/DeclarationFile.h"
#include "platform/Job.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace itm;

namespace {

QByteArray lineOf(const char* month, const char* year, const QByteArray& cui, const QByteArray& rest = "1")
{
    return QByteArray("\"") + month + "\",\"" + year + "\"," + cui + ',' + rest;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

class TestDeclarationFile : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root; // ends with "/", as the drive roots do

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_root = m_dir->path() + u'/';
    }

    void sameDeclaration_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<qint64>("luna");
        QTest::addColumn<qint64>("an");
        QTest::addColumn<QByteArray>("cui");
        QTest::addColumn<bool>("same");
        const QByteArray full = lineOf("03", "2006", "123456789", "1,\"ALFA\",1");
        QTest::newRow("empty line") << QByteArray() << qint64(3) << qint64(2006) << QByteArray("19") << true;
        QTest::newRow("no comma") << QByteArray("garbage") << qint64(3) << qint64(2006) << QByteArray("19") << true;
        QTest::newRow("one comma") << QByteArray(R"("03","2006")") << qint64(3) << qint64(2006) << QByteArray("19")
                                   << false;
        QTest::newRow("two commas") << QByteArray(R"("03","2006",19)") << qint64(3) << qint64(2006) << QByteArray("19")
                                    << false;
        QTest::newRow("three commas") << QByteArray(R"("03","2006",19,)") << qint64(3) << qint64(2006)
                                      << QByteArray("19") << true;
        QTest::newRow("whole line") << full << qint64(3) << qint64(2006) << QByteArray("123456789") << true;
        QTest::newRow("other month") << full << qint64(4) << qint64(2006) << QByteArray("123456789") << false;
        QTest::newRow("other year") << full << qint64(3) << qint64(2007) << QByteArray("123456789") << false;
        QTest::newRow("other payer") << full << qint64(3) << qint64(2006) << QByteArray("12345678") << false;
        QTest::newRow("code differs by case")
            << lineOf("03", "2006", "ro19") << qint64(3) << qint64(2006) << QByteArray("RO19") << false;
        QTest::newRow("code differs by a blank")
            << lineOf("03", "2006", "19 ") << qint64(3) << qint64(2006) << QByteArray("19") << false;
        QTest::newRow("code with a leading blank")
            << lineOf("03", "2006", " 19") << qint64(3) << qint64(2006) << QByteArray("19") << false;
        QTest::newRow("month not a number")
            << lineOf("0x", "2006", "19") << qint64(3) << qint64(2006) << QByteArray("19") << false;
        QTest::newRow("month with a blank")
            << lineOf(" 3", "2006", "19") << qint64(3) << qint64(2006) << QByteArray("19") << false;
        QTest::newRow("year not a number")
            << lineOf("03", "20O6", "19") << qint64(3) << qint64(2006) << QByteArray("19") << false;
        QTest::newRow("year too short") << lineOf("03", "06", "19") << qint64(3) << qint64(2006) << QByteArray("19")
                                        << false;
        QTest::newRow("unquoted fields") << QByteArray("03,2006,19,1") << qint64(3) << qint64(2006) << QByteArray("19")
                                         << false;
        QTest::newRow("commas only") << QByteArray(",,,") << qint64(3) << qint64(2006) << QByteArray("") << false;
        QTest::newRow("December") << lineOf("12", "2010", "19") << qint64(12) << qint64(2010) << QByteArray("19")
                                  << true;
        QTest::newRow("binary code bytes")
            << lineOf("03", "2006", "\xff\x80") << qint64(3) << qint64(2006) << QByteArray("\xff\x80") << true;
        QTest::newRow("high byte in the month")
            << lineOf("0\xb3", "2006", "19") << qint64(3) << qint64(2006) << QByteArray("19") << false;
    }
    void sameDeclaration()
    {
        QFETCH(QByteArray, line);
        QFETCH(qint64, luna);
        QFETCH(qint64, an);
        QFETCH(QByteArray, cui);
        QFETCH(bool, same);
        QCOMPARE(IsSameDeclaration(line, luna, an, cui), same);
    }

    void splitLines_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::newRow("empty") << QByteArray() << QByteArrayList {};
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QByteArrayList { "a", "b" };
        QTest::newRow("LF") << QByteArray("a\nb\n") << QByteArrayList { "a", "b" };
        QTest::newRow("CR only") << QByteArray("a\rb\r") << QByteArrayList { "a", "b" };
        QTest::newRow("last line unended") << QByteArray("a\r\nb") << QByteArrayList { "a", "b" };
        QTest::newRow("empty lines") << QByteArray("a\r\n\r\n\nb") << QByteArrayList { "a", "", "", "b" };
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QByteArrayList { "a", "", "b" };
        QTest::newRow("LF CR") << QByteArray("a\n\rb") << QByteArrayList { "a", "", "b" };
        QTest::newRow("lone line end") << QByteArray("\n") << QByteArrayList { "" };
        QTest::newRow("binary bytes") << QByteArray("\0\xff,x\r\n", 6) << QByteArrayList { QByteArray("\0\xff,x", 4) };
    }
    void splitLines()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArrayList, lines);
        QCOMPARE(SplitDeclarationLines(content), lines);
    }

    void firstDeclarationOfAMonthCreatesBothFiles()
    {
        const QByteArray line = lineOf("03", "2006", "19");
        QVERIFY(SaveDeclarationFile(m_root, 3, 2006, "19", line));
        QCOMPARE(readAll(m_root + "IM200603.txt"), line + "\r\n");
        QCOMPARE(readAll(m_root + "Rez/IM200603.txt"), line + "\r\n");
    }

    void merging_data()
    {
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray alfa = lineOf("03", "2006", "19");
        const QByteArray beta = lineOf("03", "2006", "230");
        const QByteArray gama = lineOf("03", "2006", "123456789");
        const QByteArray alfaOld = lineOf("03", "2006", "19", "\"OLD\"");
        const QByteArray fresh = lineOf("03", "2006", "19", "\"NEW\"");
        QTest::newRow("another payer's file") << beta + "\r\n" << beta + "\r\n" + fresh + "\r\n";
        QTest::newRow("same payer replaced") << alfaOld + "\r\n" << fresh + "\r\n";
        QTest::newRow("replaced among many") << beta + "\r\n" + alfaOld + "\r\n" + gama + "\r\n"
                                             << beta + "\r\n" + gama + "\r\n" + fresh + "\r\n";
        QTest::newRow("every earlier copy goes") << alfaOld + "\r\n" + beta + "\r\n" + alfa + "\r\n"
                                                 << beta + "\r\n" + fresh + "\r\n";
        QTest::newRow("empty lines and CR-only ends")
            << beta + "\r\r\n\n" + gama + "\r" << beta + "\r\n" + gama + "\r\n" + fresh + "\r\n";
        QTest::newRow("LF ends become CR LF") << beta + "\n" + gama << beta + "\r\n" + gama + "\r\n" + fresh + "\r\n";
        QTest::newRow("other month of the same payer stays") << lineOf("04", "2006", "19") + "\r\n"
                                                             << lineOf("04", "2006", "19") + "\r\n" + fresh + "\r\n";
        QTest::newRow("code differing by case stays") << lineOf("03", "2006", "ro19") + "\r\n"
                                                      << lineOf("03", "2006", "ro19") + "\r\n" + fresh + "\r\n";
        QTest::newRow("lines without comma dropped, one or two commas kept")
            << QByteArray("junk\r\na,b\r\na,b,c\r\n") << QByteArray("a,b\r\na,b,c\r\n") + fresh + "\r\n";
        const QByteArray binary = QByteArray("\"03\",\"2006\",999,\0\xff\x80\x1b,\xc3\xa9\t", 24);
        QTest::newRow("binary bytes kept") << binary + "\r\n" << binary + "\r\n" + fresh + "\r\n";
        const QByteArray longLine = lineOf("03", "2006", "230", QByteArray(100000, 'x'));
        QTest::newRow("very long line kept") << longLine + "\r\n" << longLine + "\r\n" + fresh + "\r\n";
    }
    void merging()
    {
        QFETCH(QByteArray, existing);
        QFETCH(QByteArray, expected);
        QVERIFY(writeFile(m_root + "IM200603.txt", existing));
        QVERIFY(SaveDeclarationFile(m_root, 3, 2006, "19", lineOf("03", "2006", "19", "\"NEW\"")));
        QCOMPARE(readAll(m_root + "IM200603.txt"), expected);
        QCOMPARE(readAll(m_root + "Rez/IM200603.txt"), expected);
    }

    void theRezCopyFollowsTheRootFileNotItsOwnOldContent()
    {
        QVERIFY(QDir(m_root).mkdir("Rez"));
        QVERIFY(writeFile(m_root + "Rez/IM200603.txt", lineOf("03", "2006", "230") + "\r\n"));
        const QByteArray line = lineOf("03", "2006", "19");
        QVERIFY(SaveDeclarationFile(m_root, 3, 2006, "19", line));
        QCOMPARE(readAll(m_root + "Rez/IM200603.txt"), line + "\r\n");
    }

    void anotherMonthLeavesTheFirstFileAlone()
    {
        const QByteArray march = lineOf("03", "2006", "19");
        QVERIFY(SaveDeclarationFile(m_root, 3, 2006, "19", march));
        QVERIFY(SaveDeclarationFile(m_root, 4, 2006, "19", lineOf("04", "2006", "19")));
        QCOMPARE(readAll(m_root + "IM200603.txt"), march + "\r\n");
        QCOMPARE(readAll(m_root + "IM200604.txt"), lineOf("04", "2006", "19") + "\r\n");
    }

    // The medium is checked once the lines are merged, not once per line: a
    // check per line made one payer's save into a large file take seconds.
    void theCheckBeforeWritingRunsOnce()
    {
        QVERIFY(writeFile(m_root + "IM200603.txt", "a,b\r\n\r\nc,d\r\n"));
        int calls = 0;
        QVERIFY(SaveDeclarationFile(m_root, 3, 2006, "19", lineOf("03", "2006", "19"), [&] { ++calls; }));
        QCOMPARE(calls, 1);
    }

    // The one-pass merge of a batch gives what merging its entries one by one
    // gives, for every kind of line the rule tells apart.
    void aBatchMergesAsEachEntryInTurn_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<QByteArrayList>("codes");
        const QByteArrayList existing = { lineOf("03", "2006", "230", "\"OLD\""), "", "no comma", "one,comma",
            "two,com,mas", lineOf("04", "2006", "230"), lineOf("03", "2007", "19"), lineOf("03", "2006", "19 "),
            lineOf("03", "2006", "999"), lineOf("03", "2006", "19", "\"OLD 19\""), lineOf("x3", "2006", "19") };
        QTest::newRow("distinct codes") << existing << QByteArrayList { "230", "19", "77" };
        QTest::newRow("a code twice") << existing << QByteArrayList { "230", "19", "230" };
        QTest::newRow("every entry the same code") << existing << QByteArrayList { "19", "19", "19" };
        QTest::newRow("no existing line") << QByteArrayList {} << QByteArrayList { "5", "5", "6" };
    }
    void aBatchMergesAsEachEntryInTurn()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(QByteArrayList, codes);
        QList<DeclarationEntry> entries;
        QByteArrayList oneByOne = lines;
        for (qsizetype i = 0; i < codes.size(); ++i) {
            const QByteArray linie = lineOf("03", "2006", codes.at(i), QByteArray::number(i));
            entries.append({ codes.at(i), linie });
            oneByOne = MergeDeclarationLine(oneByOne, 3, 2006, codes.at(i), linie);
        }
        QCOMPARE(MergeDeclarationLines(lines, 3, 2006, entries, nullptr), oneByOne);
    }

    // A cancel before the first file is renamed leaves the medium as it was.
    void aCancelledSaveWritesNothing()
    {
        const QByteArray existing = lineOf("03", "2006", "230") + "\r\n";
        QVERIFY(writeFile(m_root + "IM200603.txt", existing));
        JobProgress progress;
        progress.requestCancel();
        DeclarationSaveOptions options;
        options.progress = &progress;
        QVERIFY_THROWS_EXCEPTION(
            JobCancelled, SaveDeclarationLines(m_root, 3, 2006, { { "19", lineOf("03", "2006", "19") } }, options));
        QCOMPARE(readAll(m_root + "IM200603.txt"), existing);
        QCOMPARE(QDir(m_root).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { "IM200603.txt" });
    }

    // A Rez copy holding other payers' lines that the root file lacked is set
    // aside, and the save says so.
    void theReportNamesTheFileAndAKeptRezCopy()
    {
        QVERIFY(QDir(m_root).mkdir("Rez"));
        QVERIFY(writeFile(m_root + "Rez/IM200603.txt", lineOf("03", "2006", "230") + "\r\n"));
        DeclarationSaveReport report;
        DeclarationSaveOptions options;
        options.report = &report;
        QVERIFY(SaveDeclarationLines(m_root, 3, 2006, { { "19", lineOf("03", "2006", "19") } }, options));
        QCOMPARE(report.rootFile, m_root + "IM200603.txt");
        QCOMPARE(report.lineCount, 1);
        QVERIFY(report.keptRezCopy.startsWith(m_root + "Rez/IM200603-"));
        QCOMPARE(readAll(report.keptRezCopy), lineOf("03", "2006", "230") + "\r\n");
    }

    void aBatchEqualsSavingEachLineInTurn()
    {
        const QByteArray existing
            = lineOf("03", "2006", "230", "\"OLD\"") + "\r\n" + lineOf("03", "2006", "999") + "\r\n";
        const QList<DeclarationEntry> entries = {
            { "230", lineOf("03", "2006", "230", "\"NEW\"") },
            { "19", lineOf("03", "2006", "19") },
            { "230", lineOf("03", "2006", "230", "\"NEWER\"") },
        };
        QVERIFY(QDir(m_root).mkdir("one"));
        QVERIFY(QDir(m_root).mkdir("batch"));
        QVERIFY(writeFile(m_root + "one/IM200603.txt", existing));
        QVERIFY(writeFile(m_root + "batch/IM200603.txt", existing));
        for (const DeclarationEntry& entry : entries)
            QVERIFY(SaveDeclarationFile(m_root + "one/", 3, 2006, entry.cui, entry.linie));
        QVERIFY(SaveDeclarationLines(m_root + "batch/", 3, 2006, entries));
        QCOMPARE(readAll(m_root + "batch/IM200603.txt"), readAll(m_root + "one/IM200603.txt"));
        QCOMPARE(readAll(m_root + "batch/Rez/IM200603.txt"), readAll(m_root + "one/IM200603.txt"));
        QCOMPARE(readAll(m_root + "batch/IM200603.txt"),
            lineOf("03", "2006", "999") + "\r\n" + lineOf("03", "2006", "19") + "\r\n"
                + lineOf("03", "2006", "230", "\"NEWER\"") + "\r\n");
    }

    void anEmptyBatchWritesNothing()
    {
        QVERIFY(SaveDeclarationLines(m_root, 3, 2006, {}));
        QCOMPARE(QDir(m_root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }

    void aDestinationWhoseParentIsAFileFails()
    {
        QVERIFY(writeFile(m_root + "medium", "not a folder"));
        QString failure;
        QVERIFY(!SaveDeclarationFile(m_root + "medium/", 3, 2006, "19", lineOf("03", "2006", "19"), {}, &failure));
        QVERIFY(!failure.isEmpty());
        QCOMPARE(readAll(m_root + "medium"), QByteArray("not a folder"));
    }

    void aFailingRezCopyIsReportedAfterTheRootFile()
    {
        QVERIFY(writeFile(m_root + "Rez", "a file where the folder belongs"));
        const QByteArray line = lineOf("03", "2006", "19");
        QVERIFY(!SaveDeclarationFile(m_root, 3, 2006, "19", line));
        QCOMPARE(readAll(m_root + "IM200603.txt"), line + "\r\n");
        QCOMPARE(readAll(m_root + "Rez"), QByteArray("a file where the folder belongs"));
    }

    void anExistingFileThatCannotBeReadStopsTheSave()
    {
        // A folder in the file's place cannot be read, whoever runs the test.
        QVERIFY(QDir(m_root).mkdir("IM200603.txt"));
        QVERIFY(!SaveDeclarationFile(m_root, 3, 2006, "19", lineOf("03", "2006", "19")));
        QVERIFY(QFileInfo(m_root + "IM200603.txt").isDir());
        QVERIFY(!QFileInfo::exists(m_root + "Rez"));
    }

    void anUnreadableFileStopsTheSave()
    {
#ifdef Q_OS_UNIX
        if (::geteuid() == 0)
            QSKIP("root reads files whatever their permissions");
        const QByteArray other = lineOf("03", "2006", "230");
        QVERIFY(writeFile(m_root + "IM200603.txt", other + "\r\n"));
        QVERIFY(QFile::setPermissions(m_root + "IM200603.txt", QFileDevice::Permissions()));
        QVERIFY(!SaveDeclarationFile(m_root, 3, 2006, "19", lineOf("03", "2006", "19")));
        QVERIFY(QFile::setPermissions(m_root + "IM200603.txt", QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QCOMPARE(readAll(m_root + "IM200603.txt"), other + "\r\n");
#else
        QSKIP("permissions test for Unix");
#endif
    }

    void aFullMediumLeavesTheOldFileWhole()
    {
#ifdef Q_OS_UNIX
        // The file size limit makes every write past 4 KiB fail, as a full
        // medium would; the old file must survive it untouched and no
        // temporary file may be left beside it.
        QByteArray existing;
        for (int i = 0; i < 50; ++i)
            existing += lineOf("03", "2006", QByteArray::number(1000 + i), "\"OTHER PAYER\"") + "\r\n";
        QVERIFY(existing.size() < 4096);
        QVERIFY(writeFile(m_root + "IM200603.txt", existing));
        const QByteArray big = lineOf("03", "2006", "19", QByteArray(8000, 'x'));

        struct rlimit saved
        {
        };
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = saved;
        limited.rlim_cur = 4096;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        QString failure;
        const bool saved_ok = SaveDeclarationFile(m_root, 3, 2006, "19", big, {}, &failure);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        QVERIFY(!saved_ok);
        QVERIFY(!failure.isEmpty());
        QCOMPARE(readAll(m_root + "IM200603.txt"), existing);
        QCOMPARE(QDir(m_root).entryList(QDir::Files), QStringList { "IM200603.txt" });
#else
        QSKIP("file size limits are a Unix facility");
#endif
    }
};

QTEST_GUILESS_MAIN(TestDeclarationFile)
#include "tst_declarationfile.moc"
