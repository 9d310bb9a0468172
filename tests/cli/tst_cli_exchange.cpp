#include "CliTestDatabase.h"
#include "store/DatabaseLock.h"
#include "support/FileSizeLimit.h"
#include "support/SampleRecords.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace samples = itm::test::samples;

namespace {

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
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
        process.readAllStandardError() };
}

const char* payerFileColumns = "cui, prefix, denumire, sufix, codjudet, loc, sector, str, nr, bloc, scara, ap, "
                               "codpostal, telefon, email, banca, cont, numerep, prenumerep, funcrep";

QStringList storedRows(const QString& path, const char* columns = "*")
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, QByteArray("SELECT ") + columns + " FROM firme ORDER BY cui", -1, &statement, nullptr);
    QStringList rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        QStringList values;
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
            values << (text ? QString::fromUtf8(text) : QStringLiteral("<null>"));
        }
        rows << values.join(u'|');
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

// Three payers as the window stores them: a Bucharest company, a company in
// bankruptcy and a person without legal form, with a postal code that starts
// with 0 and a locality stored as one blank.
QByteArray registerRows()
{
    return samples::payerRow(1, "19", "ALFA") + samples::payerRow(2, "27", "BETA", true)
        + samples::insertOf("firme",
            samples::with(samples::payer(QStringLiteral("1900101000006"), QStringLiteral("POPESCU ION")),
                { { "prefix", qint64(0) }, { "sufix", qint64(0) }, { "codjudet", QStringLiteral("16") },
                    { "loc", QStringLiteral(" ") }, { "sector", qint64(0) }, { "str", QStringLiteral("UNIRII") },
                    { "nr", QStringLiteral("F.N.") }, { "bloc", QStringLiteral("B2") }, { "ap", QStringLiteral("4") },
                    { "codpostal", QStringLiteral("020304") }, { "telefon", QStringLiteral(" ") },
                    { "email", QStringLiteral(" ") }, { "banca", QStringLiteral("fara banca") },
                    { "cont", QStringLiteral("fara iban") }, { "funcrep", QStringLiteral("TITULAR") } }),
            3);
}

QJsonObject readWorkbook(const QString& path)
{
    QProcess reader;
    reader.start(
        QStringLiteral("/usr/bin/python3"), { QStringLiteral(ITM_SOURCE_DIR "/tests/cli/read_workbook.py"), path });
    reader.waitForFinished(60000);
    if (reader.exitCode() != 0)
        qWarning("%s", reader.readAllStandardError().constData());
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestCliExchange : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_register;

private Q_SLOTS:
    void init()
    {
        m_register = m_dir.filePath(QStringLiteral("register-%1-%2.itm")
                                        .arg(QTest::currentTestFunction(), QTest::currentDataTag())
                                        .replace(u' ', u'-'));
        QString error;
        QVERIFY2(clitest::createDatabase(m_register, registerRows(), &error), qPrintable(error));
    }

    void anExportedRegisterImportsAgainUnchanged()
    {
        const QString csv = m_dir.filePath(QStringLiteral("payers.csv"));
        const Run exported = runCli({ "export", "--register", "--out", csv, "--db", m_register });
        QCOMPARE(exported.exitCode, 0);

        const QString empty = m_dir.filePath(QStringLiteral("empty.itm"));
        QVERIFY(clitest::createDatabase(empty, QByteArray()));
        const Run imported = runCli({ "import", "--csv", csv, "--db", empty });
        QCOMPARE(imported.err, QByteArray());
        QCOMPARE(imported.out, QByteArray("importati 3, actualizati 0, respinsi 0, existenti 0\n"));
        QCOMPARE(imported.exitCode, 0);
        QCOMPARE(storedRows(empty, payerFileColumns), storedRows(m_register, payerFileColumns));

        // Into the register it came from: every payer is there, and replacing
        // each with its own columns changes no column of any row.
        const QStringList before = storedRows(m_register);
        QCOMPARE(runCli({ "import", "--csv", csv, "--db", m_register }).out,
            QByteArray("importati 0, actualizati 0, respinsi 0, existenti 3\n"));
        QCOMPARE(runCli({ "import", "--csv", csv, "--update", "--db", m_register }).out,
            QByteArray("importati 0, actualizati 3, respinsi 0, existenti 0\n"));
        QCOMPARE(storedRows(m_register), before);
    }

    void theWorkbookKeepsTypesAndHeader()
    {
        const QString xlsx = m_dir.filePath(QStringLiteral("payers.xlsx"));
        QCOMPARE(runCli({ "export", "--register", "--out", xlsx, "--db", m_register }).exitCode, 0);
        QProcess reader;
        reader.start(
            QStringLiteral("/usr/bin/python3"), { QStringLiteral(ITM_SOURCE_DIR "/tests/cli/read_workbook.py"), xlsx });
        QVERIFY(reader.waitForFinished(60000));
        QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
        const QJsonObject book = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
        QCOMPARE(book["freeze"].toString(), QStringLiteral("A2"));
        QCOMPARE(book["filter"].toString(), QStringLiteral("A1:AL4"));
        const QJsonArray rows = book["rows"].toArray();
        QCOMPARE(rows.size(), 4);

        const QJsonArray header = rows.at(0).toArray();
        QStringList names;
        for (const QJsonValue& cell : header) {
            QVERIFY(cell["bold"].toBool());
            names << cell["value"].toString();
        }
        QCOMPARE(names.mid(0, 7),
            QStringList({ "cui", "prefix", "denumire", "sufix", "denumire completa", "judet", "loc" }));
        QCOMPARE(names.size(), 38);
        QCOMPARE(names.at(24), QStringLiteral("ljudet"));

        auto cell = [&](int row, const QString& column) {
            return rows.at(row).toArray().at(names.indexOf(column)).toObject();
        };
        // The person (third by code order: 19, 1900101000006, 27).
        QCOMPARE(cell(2, "cui")["type"].toString(), QStringLiteral("s"));
        QCOMPARE(cell(2, "cui")["value"].toString(), QStringLiteral("1900101000006"));
        QCOMPARE(cell(2, "codpostal")["value"].toString(), QStringLiteral("020304"));
        QCOMPARE(cell(2, "prefix")["type"].toString(), QStringLiteral("n"));
        QCOMPARE(cell(2, "prefix")["value"].toInt(), 0);
        QCOMPARE(cell(2, "denumire completa")["value"].toString(), QStringLiteral(" POPESCU ION "));
        QCOMPARE(cell(2, "judet")["value"].toString(), QStringLiteral("DOLJ"));
        QCOMPARE(cell(1, "denumire completa")["value"].toString(), QStringLiteral("S.C. ALFA S.R.L."));
        QCOMPARE(cell(1, "sector")["type"].toString(), QStringLiteral("n"));
        QCOMPARE(cell(1, "sector")["value"].toInt(), 3);
        QCOMPARE(cell(1, "judet")["value"].toString(), QStringLiteral("BUCURESTI"));
        QCOMPARE(cell(3, "faliment")["value"].toInt(), 1);
        QCOMPARE(cell(3, "lcui")["type"].toString(), QStringLiteral("s"));
        QCOMPARE(cell(3, "ljudet")["value"].toString(), QStringLiteral("CLUJ"));
        QCOMPARE(cell(3, "lan")["value"].toInt(), 2004);

        const QJsonObject widths = book["widths"].toObject();
        QVERIFY(widths["E"].toDouble() >= QStringLiteral("denumire completa").size());
    }

    void aMonthGoesOutWithItsTotalsAsFormulas()
    {
        const QString database = m_dir.filePath(QStringLiteral("month.itm"));
        QString error;
        QVERIFY2(clitest::createDatabase(database,
                     registerRows() + samples::declarationRow(1, 3, 2006)
                         + samples::declarationRow(2, 3, 2006, "1, 1, 3, 1000, 3, 1, 0, 0"),
                     &error),
            qPrintable(error));
        const QString xlsx = m_dir.filePath(QStringLiteral("month.xlsx"));
        QCOMPARE(runCli({ "export", "--month", "3", "--year", "2006", "--out", xlsx, "--db", database }).exitCode, 0);
        QProcess reader;
        reader.start(
            QStringLiteral("/usr/bin/python3"), { QStringLiteral(ITM_SOURCE_DIR "/tests/cli/read_workbook.py"), xlsx });
        QVERIFY(reader.waitForFinished(60000));
        QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
        const QJsonArray rows = QJsonDocument::fromJson(reader.readAllStandardOutput()).object()["rows"].toArray();
        QCOMPARE(rows.size(), 5); // the header, three payers, the totals
        auto cell = [&](int row, int column) { return rows.at(row).toArray().at(column).toObject(); };
        QCOMPARE(cell(1, 3)["value"].toString(), QStringLiteral("Initiala"));
        QCOMPARE(cell(1, 5)["type"].toString(), QStringLiteral("n"));
        QCOMPARE(cell(1, 5)["value"].toInt(), 2000);
        QCOMPARE(cell(2, 3)["value"].toString(), QStringLiteral("Lipsa"));
        QCOMPARE(cell(3, 3)["value"].toString(), QStringLiteral("Rectificativa"));
        QCOMPARE(cell(4, 1)["value"].toString(), QStringLiteral("declarati 2, lipsa 1"));
        QCOMPARE(cell(4, 5)["type"].toString(), QStringLiteral("f"));
        QCOMPARE(cell(4, 5)["value"].toString(), QStringLiteral("=SUM(F2:F4)"));
        QCOMPARE(cell(4, 8)["value"].toString(), QStringLiteral("=SUM(I2:I4)"));

        // The CSV is the month command's own.
        const QString csv = m_dir.filePath(QStringLiteral("month.csv"));
        QCOMPARE(runCli({ "export", "--month", "3", "--year", "2006", "--out", csv, "--db", database }).exitCode, 0);
        QFile written(csv);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(),
            runCli({ "month", "--month", "3", "--year", "2006", "--format", "csv", "--db", database }).out);
        QCOMPARE(runCli({ "export", "--register", "--month", "3", "--year", "2006", "--out", csv }).exitCode, 2);
    }

    void aRegisterOfAnOlderProgramGoesOutAsItsLettersAndComesBackByteForByte()
    {
        // Windows-1250 bytes stored as they are: S-cedilla AA, A-breve C3.
        const QString database = m_dir.filePath(QStringLiteral("older.itm"));
        QVERIFY(clitest::createDatabase(database,
            registerRows()
                + "UPDATE firme SET denumire = CAST(X'AA544546C34E45AA5449' AS TEXT), "
                  "str = CAST(X'C3' AS TEXT) WHERE id = 1;\n"
                + samples::declarationRow(1, 3, 2006)));
        const char* bytes = "hex(cui), hex(denumire), hex(str), hex(loc)";
        const QStringList before = storedRows(database, bytes);
        const QByteArray letters = QStringLiteral("\u015eTEF\u0102NE\u015eTI").toUtf8();

        const QString csv = m_dir.filePath(QStringLiteral("older.csv"));
        QCOMPARE(runCli({ "export", "--register", "--out", csv, "--db", database }).exitCode, 0);
        QVERIFY(fileBytes(csv).contains("," + letters + ","));
        QVERIFY(!fileBytes(csv).contains("?"));
        const Run updated = runCli({ "import", "--csv", csv, "--update", "--db", database });
        QCOMPARE(updated.out, QByteArray("importati 0, actualizati 3, respinsi 0, existenti 0\n"));
        QCOMPARE(storedRows(database, bytes), before);

        const QString month = m_dir.filePath(QStringLiteral("older-month.csv"));
        QCOMPARE(runCli({ "export", "--month", "3", "--year", "2006", "--out", month, "--db", database }).exitCode, 0);
        QVERIFY(fileBytes(month).contains("S.C. " + letters + " S.R.L."));
        QVERIFY(!fileBytes(month).contains("\xEF\xBF\xBD"));

        const QString xlsx = m_dir.filePath(QStringLiteral("older.xlsx"));
        QCOMPARE(runCli({ "export", "--register", "--out", xlsx, "--db", database }).exitCode, 0);
        const QJsonArray rows = readWorkbook(xlsx)["rows"].toArray();
        QCOMPARE(rows.at(1).toArray().at(2)["value"].toString(), QString::fromUtf8(letters));
    }

    void textsThatSpreadsheetsWouldRunStayTexts()
    {
        const QString database = m_dir.filePath(QStringLiteral("formulas.itm"));
        QVERIFY(clitest::createDatabase(database,
            registerRows()
                + "UPDATE firme SET denumire = '=1+1', str = '@SUM(A1)', telefon = '+40722' WHERE id = 1;\n"));
        const QStringList before = storedRows(database);
        const QString csv = m_dir.filePath(QStringLiteral("formulas.csv"));
        QCOMPARE(runCli({ "export", "--register", "--out", csv, "--db", database }).exitCode, 0);
        const QByteArray written = fileBytes(csv);
        QVERIFY(written.contains(",'=1+1,"));
        QVERIFY(written.contains(",'@SUM(A1),"));
        QVERIFY(written.contains(",'+40722,"));
        QCOMPARE(runCli({ "import", "--csv", csv, "--update", "--db", database }).exitCode, 0);
        QCOMPARE(storedRows(database), before);

        const QString xlsx = m_dir.filePath(QStringLiteral("formulas.xlsx"));
        QCOMPARE(runCli({ "export", "--register", "--out", xlsx, "--db", database }).exitCode, 0);
        const QJsonObject name = readWorkbook(xlsx)["rows"].toArray().at(1).toArray().at(2).toObject();
        QCOMPARE(name["type"].toString(), QStringLiteral("s"));
        QCOMPARE(name["value"].toString(), QStringLiteral("=1+1"));
    }

    void aFullMediumFailsTheExportAndKeepsTheOldFile_data()
    {
        QTest::addColumn<QStringList>("table");
        QTest::addColumn<QString>("name");
        QTest::newRow("register CSV") << QStringList { "--register" } << "r.csv";
        QTest::newRow("register workbook") << QStringList { "--register" } << "r.xlsx";
        QTest::newRow("month CSV") << QStringList { "--month", "3", "--year", "2006" } << "m.csv";
        QTest::newRow("month workbook") << QStringList { "--month", "3", "--year", "2006" } << "m.xlsx";
    }
    void aFullMediumFailsTheExportAndKeepsTheOldFile()
    {
        QFETCH(QStringList, table);
        QFETCH(QString, name);
        const QDir folder(m_dir.filePath(QStringLiteral("full")));
        QVERIFY(folder.mkpath(QStringLiteral(".")));
        const QString path = folder.filePath(name);
        const QByteArray old(3000, 'o');
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(old);
        }
        Run run;
        {
            // The child inherits the limit: its writes past 100 bytes fail.
            itm::test::FileSizeLimit limit(100);
            QVERIFY(limit.isActive());
            run = runCli(QStringList { "export" } + table + QStringList { "--out", path, "--db", m_register });
        }
        QVERIFY2(run.exitCode == 1, run.err.constData());
        QCOMPARE(run.out, QByteArray());
        // (The workbook library reports the fault on its own first.)
        QVERIFY2(run.err.contains("itm-cli export: " + path.toUtf8() + ": "), run.err.constData());
        QCOMPARE(fileBytes(path), old);
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), QStringList { name });
        QFile::remove(path);
    }

    void theMonthWorkbookSortsWithoutItsTotalsAndPrintsOnA4()
    {
        const QString database = m_dir.filePath(QStringLiteral("print.itm"));
        QVERIFY(clitest::createDatabase(
            database, registerRows() + samples::declarationRow(1, 3, 2006, "0, 0, 12, 1234567, 15, 15, 0, 0")));
        const QString xlsx = m_dir.filePath(QStringLiteral("print.xlsx"));
        QCOMPARE(runCli({ "export", "--month", "3", "--year", "2006", "--out", xlsx, "--db", database }).exitCode, 0);
        const QJsonObject book = readWorkbook(xlsx);
        QCOMPARE(book["filter"].toString(), QStringLiteral("A1:I4")); // the totals are row 5
        QCOMPARE(book["orientation"].toString(), QStringLiteral("landscape"));
        QCOMPARE(book["paper"].toInt(), 9); // A4
        QVERIFY(book["fitToPage"].toBool());
        QCOMPARE(book["fitToWidth"].toInt(), 1);
        QCOMPARE(book["fitToHeight"].toInt(), 0);
        QCOMPARE(book["titleRows"].toString(), QStringLiteral("$1:$1"));
        const QJsonArray rows = book["rows"].toArray();
        QStringList titles;
        for (const QJsonValue& cell : rows.at(0).toArray())
            titles << cell["value"].toString();
        QCOMPARE(titles,
            QStringList({ "Cod fiscal", "Denumire", "Judet", "Stare", "Salariati", "Fond salarii", "Comision datorat",
                "Achitat", "Diferenta" }));
        QCOMPARE(rows.at(1).toArray().at(5)["value"].toInt(), 1234567);
        QCOMPARE(rows.at(1).toArray().at(5)["format"].toString(), QStringLiteral("#,##0"));
        QCOMPARE(rows.at(4).toArray().at(5)["format"].toString(), QStringLiteral("#,##0"));
    }

    void aBadFileChangesNothing()
    {
        const QString csv = m_dir.filePath(QStringLiteral("bad.csv"));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("cui;denumire;judet;loc;str;numerep;prenumerep;funcrep\r\n"
                   "35;NOU;DOLJ;CRAIOVA;UNIRII;A;B;C\r\n"
                   "36;NOU;DOLJ;CRAIOVA;UNIRII;A;B;C\r\n");
        file.close();
        const QStringList before = storedRows(m_register);
        const Run run = runCli({ "import", "--csv", csv, "--db", m_register });
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out,
            QByteArray("linia 3: Atentie, cod fiscal eronat !!!\n"
                       "importati 0, actualizati 0, respinsi 1, existenti 0\n"));
        QVERIFY(run.err.contains("Nu s-a scris nimic"));
        QCOMPARE(storedRows(m_register), before);

        const Run trial = runCli({ "import", "--csv", csv, "--dry-run", "--db", m_register });
        QCOMPARE(trial.exitCode, 1);
    }

    void aTrialWritesNothingAndAHeldDatabaseIsNotWritten()
    {
        const QString csv = m_dir.filePath(QStringLiteral("good.csv"));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("cui,denumire,judet,loc,str,numerep,prenumerep,funcrep\n35,NOU,DOLJ,CRAIOVA,UNIRII,A,B,C\n");
        file.close();
        const QStringList before = storedRows(m_register);

        const Run trial = runCli({ "import", "--csv", csv, "--dry-run", "--db", m_register });
        QCOMPARE(trial.exitCode, 0);
        QCOMPARE(trial.out, QByteArray("importati 1, actualizati 0, respinsi 0, existenti 0\n"));
        QCOMPARE(storedRows(m_register), before);

        itm::DatabaseLock held(m_register);
        QCOMPARE(held.tryLock(), itm::DatabaseLock::Outcome::Acquired);
        const Run locked = runCli({ "import", "--csv", csv, "--db", m_register });
        QCOMPARE(locked.exitCode, 1);
        QVERIFY(locked.err.contains("Baza de date este deschisa de alt program"));
        QCOMPARE(storedRows(m_register), before);
        held.unlock();
        QCOMPARE(runCli({ "import", "--csv", csv, "--db", m_register }).exitCode, 0);
        QCOMPARE(storedRows(m_register).size(), before.size() + 1);
    }
};

QTEST_GUILESS_MAIN(TestCliExchange)
#include "tst_cli_exchange.moc"
