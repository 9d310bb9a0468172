#include "CliTestDatabase.h"
#include "cli/CliDatabase.h"
#include "store/Errors.h"
#include "support/SampleRecords.h"

#include <QTemporaryDir>
#include <QTest>

namespace samples = itm::test::samples;

using namespace clitest;
using itm::cli::CliDatabase;

class TestCliDatabase : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_db;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_db = m_dir.filePath(QStringLiteral("date.itm"));
        const QByteArray rows = samples::payerRow(1, "19", "ALFA") + samples::payerRow(2, "230", "BETA")
            + "UPDATE firme SET sector = NULL, nr = '7' WHERE id = 2;\n" + samples::declarationRow(1, 3, 2006)
            + samples::declarationRow(2, 3, 2006, "0, 0, 'abc', 2000.5, 15, 15, 0, 0")
            + samples::declarationRow(2, 4, 2006);
        QString error;
        QVERIFY2(createDatabase(m_db, rows, &error), qPrintable(error));
    }

    void valuesAreTypedByTheDeclaredColumnType()
    {
        const CliDatabase database(m_db);
        const auto payer = database.payerByCode(QStringLiteral("230"));
        QVERIFY(payer);
        QCOMPARE(payer->fieldValue(QStringLiteral("id")).typeId(), int(QMetaType::LongLong));
        QCOMPARE(payer->fieldValue(QStringLiteral("prefix")), QVariant(qint64(1)));
        QVERIFY(payer->fieldValue(QStringLiteral("sector")).isNull());
        // A number typed into a text column stays text.
        QCOMPARE(payer->fieldValue(QStringLiteral("nr")), QVariant(QStringLiteral("7")));
        QCOMPARE(payer->fieldValue(QStringLiteral("cui")), QVariant(QStringLiteral("230")));

        const auto declaration = database.declaration(2, 3, 2006);
        QVERIFY(declaration);
        // NUMERIC reads as a real, whatever SQLite stored.
        QCOMPARE(declaration->fieldValue(QStringLiteral("fondlunsal")), QVariant(2000.5));
        const auto whole = database.declaration(1, 3, 2006);
        QVERIFY(whole);
        QCOMPARE(whole->fieldValue(QStringLiteral("fondlunsal")), QVariant(2000.0));
        // A text in an INTEGER column is not silently 0.
        QCOMPARE(declaration->fieldValue(QStringLiteral("nrsal")), QVariant(QStringLiteral("abc")));
        QVERIFY_THROWS_EXCEPTION(itm::ConversionError, declaration->fieldInteger(QStringLiteral("nrsal")));
    }

    void lookups()
    {
        const CliDatabase database(m_db);
        QVERIFY(!database.payerByCode(QStringLiteral("18")));
        QVERIFY(!database.payerByCode(QStringLiteral("19 ")));
        QVERIFY(!database.declaration(1, 4, 2006));
        QCOMPARE(database.countyName(QStringLiteral("40")), std::optional<QString>(QStringLiteral("BUCURESTI")));
        QCOMPARE(database.countyName(QStringLiteral("12")), std::optional<QString>(QStringLiteral("CLUJ")));
        QVERIFY(!database.countyName(QStringLiteral("99")));
    }

    void declaredInAMonth()
    {
        const CliDatabase database(m_db);
        const auto march = database.declaredIn(3, 2006);
        QCOMPARE(march.size(), 2);
        QCOMPARE(march.at(0).payer.fieldText(QStringLiteral("cui")), QStringLiteral("19"));
        QCOMPARE(march.at(0).declaration.fieldInteger(QStringLiteral("idfirma")), qint64(1));
        QCOMPARE(march.at(1).payer.fieldText(QStringLiteral("cui")), QStringLiteral("230"));
        // The two records keep their own "id".
        QCOMPARE(march.at(1).payer.fieldInteger(QStringLiteral("id")), qint64(2));
        QCOMPARE(march.at(1).declaration.fieldInteger(QStringLiteral("id")), qint64(2));
        QCOMPARE(march.at(1).declaration.fieldValue(QStringLiteral("nrsal")), QVariant(QStringLiteral("abc")));
        QCOMPARE(database.declaredIn(4, 2006).size(), 1);
        QVERIFY(database.declaredIn(5, 2006).isEmpty());
    }

    void openFailuresCarrySQLitesMessage()
    {
        try {
            CliDatabase database(m_dir.filePath(QStringLiteral("missing.itm")));
            QFAIL("opened a missing file");
        } catch (const itm::DatabaseError& error) {
            QCOMPARE(error.message(), QStringLiteral("unable to open database file"));
        }
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("missing.itm"))));

        QFile notADatabase(m_dir.filePath(QStringLiteral("text.itm")));
        QVERIFY(notADatabase.open(QIODevice::WriteOnly));
        notADatabase.write(QByteArray(4096, 'x'));
        notADatabase.close();
        try {
            CliDatabase database(notADatabase.fileName());
            QFAIL("opened a text file");
        } catch (const itm::DatabaseError& error) {
            QCOMPARE(error.message(), QStringLiteral("file is not a database"));
        }
    }

    void aDatabaseWithoutTablesFailsOnUse()
    {
        const QString empty = m_dir.filePath(QStringLiteral("empty.itm"));
        QString error;
        // An empty but valid database: made, then emptied of its tables.
        QVERIFY2(createDatabase(empty, "DROP TABLE firme; DROP TABLE declaratii; DROP TABLE judete;", &error),
            qPrintable(error));
        const CliDatabase database(empty);
        try {
            database.payerByCode(QStringLiteral("19"));
            QFAIL("no error");
        } catch (const itm::DatabaseError& failure) {
            QCOMPARE(failure.message(), QStringLiteral("no such table: firme"));
        }
    }
};

QTEST_GUILESS_MAIN(TestCliDatabase)
#include "tst_clidatabase.moc"
