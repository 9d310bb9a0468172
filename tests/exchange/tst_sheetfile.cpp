#include "exchange/CellText.h"
#include "exchange/MonthSheet.h"
#include "exchange/SheetFile.h"
#include "platform/AtomicFile.h"
#include "platform/Job.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace itm;
using namespace itm::exchange;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

SheetTable payers(int rows)
{
    SheetTable table(QStringLiteral("Contribuabili"), { QStringLiteral("cui"), QStringLiteral("denumire") });
    for (int i = 0; i < rows; ++i)
        table.append(
            { SheetCell::Text(QString::number(1000 + i)), SheetCell::Text(QStringLiteral("FIRMA %1").arg(i)) });
    return table;
}

// A table that says how long it is and counts the rows taken from it.
class CountedRows : public SheetSource
{
public:
    explicit CountedRows(qint64 rows)
        : m_rows(rows)
    {
    }
    QString title() const override { return QStringLiteral("Contribuabili"); }
    QStringList header() const override { return { QStringLiteral("cui") }; }
    qint64 rowCount() const override { return m_rows; }
    bool next(SheetRow& row) override
    {
        row = { SheetCell::Number(++m_taken) };
        return m_taken <= m_rows;
    }
    qint64 taken() const { return m_taken; }

private:
    qint64 m_rows;
    qint64 m_taken = 0;
};

} // namespace

class TestSheetFile : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void textsThatWouldRunAsFormulasAreMarkedAndReadBack_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::newRow("formula") << "=1+1"
                                 << "'=1+1";
        QTest::newRow("plus") << "+40722"
                              << "'+40722";
        QTest::newRow("minus") << "-2+3"
                               << "'-2+3";
        QTest::newRow("at") << "@SUM(A1)"
                            << "'@SUM(A1)";
        QTest::newRow("tab") << "\t=1"
                             << "'\t=1";
        QTest::newRow("CR") << "\r=1"
                            << "'\r=1";
        QTest::newRow("already marked") << "'=1"
                                        << "''=1";
        QTest::newRow("apostrophe alone") << "'ALFA"
                                          << "'ALFA";
        QTest::newRow("inside") << "A=1"
                                << "A=1";
        QTest::newRow("empty") << ""
                               << "";
    }
    void textsThatWouldRunAsFormulasAreMarkedAndReadBack()
    {
        QFETCH(QString, text);
        QFETCH(QString, written);
        QCOMPARE(CsvSafeText(text), written);
        QCOMPARE(CsvCellText(written), text);
    }

    void storedBytesOutsideUtf8AreTheirWindows1250Letters()
    {
        // The bytes AA and C3 of an older register: S-cedilla and A-breve.
        const QString stored = QStringLiteral("X") + QChar(0xDCAA) + QChar(0xDCC3) + QStringLiteral("Y");
        QCOMPARE(LettersOfStoredText(stored), QStringLiteral("X\u015e\u0102Y"));
    }

    void theMonthCsvMarksFormulas()
    {
        MonthRow row;
        row.cui = QStringLiteral("19");
        row.legalName = QStringLiteral("=HYPERLINK(\"http://x\")");
        row.county = QStringLiteral("DOLJ");
        const QString path = m_dir->filePath(QStringLiteral("month.csv"));
        QString error;
        QVERIFY2(WriteMonthFile({ row }, MonthPeriod { 3, 2006 }, path, &error), qPrintable(error));
        QVERIFY(readAll(path).contains("19,\"'=HYPERLINK(\"\"http://x\"\")\",DOLJ,"));
    }

    void aFullMediumLeavesTheOldFileWhole_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("CSV") << "full.csv";
        QTest::newRow("workbook") << "full.xlsx";
    }
    void aFullMediumLeavesTheOldFileWhole()
    {
        QFETCH(QString, name);
        const QString path = m_dir->filePath(name);
        const QByteArray old(10000, 'o');
        QVERIFY(WriteFileAtomically(path, old));
        SheetTable table = payers(2000);
        QString error;
        bool written = true;
        {
            test::FileSizeLimit limit(4096);
            QVERIFY(limit.isActive());
            written = WriteSheetFile(table, path, &error);
        }
        QVERIFY(!written);
        QVERIFY(!error.isEmpty());
        QCOMPARE(readAll(path), old);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList { name });
    }

    void aCancelledExportLeavesTheOldFile_data() { aFullMediumLeavesTheOldFileWhole_data(); }
    void aCancelledExportLeavesTheOldFile()
    {
        QFETCH(QString, name);
        const QString path = m_dir->filePath(name);
        QVERIFY(WriteFileAtomically(path, "old"));
        SheetTable table = payers(10);
        JobProgress progress;
        progress.requestCancel();
        QString error;
        QVERIFY_THROWS_EXCEPTION(JobCancelled, WriteSheetFile(table, path, &error, &progress));
        QCOMPARE(readAll(path), QByteArray("old"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList { name });
    }

    void aWorkbookTooLongIsRefusedBeforeARowIsRead()
    {
        const QString path = m_dir->filePath(QStringLiteral("registru.xlsx"));
        QVERIFY(WriteFileAtomically(path, "old"));
        CountedRows table(1048576); // with the header, one row past the sheet
        QString error;
        QVERIFY(!WriteSheetFile(table, path, &error));
        QCOMPARE(table.taken(), 0);
        QVERIFY(error.contains(QStringLiteral("1.048.576")));
        QVERIFY(error.contains(QStringLiteral(".csv")));
        QCOMPARE(readAll(path), QByteArray("old"));
    }
};

QTEST_GUILESS_MAIN(TestSheetFile)
#include "tst_sheetfile.moc"
