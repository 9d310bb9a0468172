#include "store/Dataset.h"
#include "store/Tdm.h"
#include "store/TextColumn.h"
#include "support/SampleRecords.h"
#include "support/TestDatabase.h"

#include <QTest>

namespace samples = itm::test::samples;

using namespace itm;
using itm::test::TestDatabase;

// The compact keyset of the register cursor: its binary search, and the rows
// a post changes, put in place by Refresh without reading the keys again.
class TestKeyset : public QObject
{
    Q_OBJECT

    static QStringList rows(Dataset& dataset)
    {
        const QVector<QString> ids = dataset.columnTexts(QStringLiteral("id"));
        const QVector<QString> codes = dataset.columnTexts(QStringLiteral("cui"));
        QStringList rows;
        for (int i = 0; i < ids.size(); ++i)
            rows.append(ids[i] + u':' + codes[i]);
        return rows;
    }

    static void appendPayer(Dataset& payers, const QString& cui)
    {
        payers.Append();
        payers.FieldByName(QStringLiteral("cui")).setAsString(cui);
        payers.FieldByName(QStringLiteral("denumire")).setAsString(QStringLiteral("NOUA"));
        payers.FieldByName(QStringLiteral("prefix")).setAsInteger(1);
        payers.FieldByName(QStringLiteral("sufix")).setAsInteger(1);
        payers.Post();
    }

private Q_SLOTS:
    void binarySearch_data()
    {
        QTest::addColumn<QByteArray>("needle");
        QTest::addColumn<int>("lower");
        QTest::addColumn<int>("prefixEnd");
        // rows: "", "1", "12", "123", "13", "2", "20"
        QTest::newRow("empty needle") << QByteArray() << 0 << 7;
        QTest::newRow("shared prefix") << QByteArray("1") << 1 << 5;
        QTest::newRow("longer prefix") << QByteArray("12") << 2 << 4;
        QTest::newRow("between rows") << QByteArray("14") << 5 << 5;
        QTest::newRow("past the end") << QByteArray("3") << 7 << 7;
    }
    void binarySearch()
    {
        QFETCH(QByteArray, needle);
        QFETCH(int, lower);
        QFETCH(int, prefixEnd);
        TextColumn texts;
        for (const char* text : { "", "1", "12", "123", "13", "2", "20" })
            texts.append(text);
        QVERIFY(texts.isSorted());
        const int from = texts.lowerBound(needle, 0, texts.size());
        QCOMPARE(from, lower);
        QCOMPARE(texts.prefixEnd(needle, from, texts.size()), prefixEnd);
    }

    void insertAndRemoveKeepTheOtherRows()
    {
        TextColumn texts;
        texts.append("10");
        texts.append("30");
        const TextColumn shared = texts;
        texts.insert(1, "2\xc8\x98");
        texts.replace(0, "100");
        texts.remove(2);
        texts.insert(2, "");
        QCOMPARE(texts.size(), 3);
        QCOMPARE(texts.textAt(0), QStringLiteral("100"));
        QCOMPARE(texts.textAt(1), QStringLiteral("2\u0218"));
        QCOMPARE(texts.textAt(2), QString());
        QCOMPARE(shared.textAt(1), QStringLiteral("30")); // a copy keeps what it had
    }

    // Whatever was written, the rows after Refresh are those a new cursor reads.
    void refreshMatchesAFreshRead_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("insert") << "insert";
        QTest::newRow("inserts in both halves") << "inserts";
        QTest::newRow("code renamed") << "rename";
        QTest::newRow("row deleted") << "delete";
        QTest::newRow("another program inserts") << "other";
        QTest::newRow("a statement on the same connection") << "query";
        QTest::newRow("a rolled back post") << "rollback";
    }
    void refreshMatchesAFreshRead()
    {
        QFETCH(QString, change);
        TestDatabase db;
        for (const char* code : { "20", "40", "60", "80" })
            samples::addPayer(db, QString::fromLatin1(code));
        Tdm dm(db.path());
        Dataset& payers = *dm.qryFirme;
        QVERIFY(payers.Locate(QStringLiteral("cui"), QStringLiteral("60")));
        if (change == u"insert") {
            appendPayer(payers, QStringLiteral("50"));
        } else if (change == u"inserts") {
            appendPayer(payers, QStringLiteral("90"));
            appendPayer(payers, QStringLiteral("10"));
        } else if (change == u"rename") {
            payers.Edit();
            payers.FieldByName(QStringLiteral("cui")).setAsString(QStringLiteral("15"));
            payers.Post();
        } else if (change == u"delete") {
            payers.Delete();
        } else if (change == u"other") {
            samples::addPayer(db, QStringLiteral("30"));
        } else if (change == u"query") {
            Query query(dm.con);
            query.setSql(QStringLiteral("UPDATE firme SET cui = '99' WHERE cui = '20'"));
            query.ExecSQL();
        } else if (change == u"rollback") {
            Transaction transaction(dm.con);
            appendPayer(payers, QStringLiteral("55"));
        }
        const QString current = payers.FieldByName(QStringLiteral("id")).AsString();
        payers.Refresh();
        Tdm fresh(db.path());
        QCOMPARE(rows(payers), rows(*fresh.qryFirme));
        // The current row stays current wherever it went.
        // (a deleted row, or one whose insert was rolled back, leaves the first row current)
        if (change != u"delete" && change != u"rollback")
            QCOMPARE(payers.FieldByName(QStringLiteral("id")).AsString(), current);
        QVERIFY(payers.Locate(QStringLiteral("cui"), QStringLiteral("8"), LocatePartialKey));
        QCOMPARE(payers.FieldByName(QStringLiteral("cui")).AsString(), QStringLiteral("80"));
        // A lookup by the row key finds the row wherever a post put it.
        QVERIFY(payers.Locate(QStringLiteral("id"), QStringLiteral("2"), LocateCaseInsensitive));
        QCOMPARE(payers.FieldByName(QStringLiteral("cui")).AsString(), QStringLiteral("40"));
        QVERIFY(!payers.Locate(QStringLiteral("id"), QStringLiteral("2.5")));
    }

    // A search that ignores case finds by binary search the row a comparison of
    // every row finds, whatever the case of the letters and wherever the
    // capitals of other characters fall.
    void caseInsensitiveSearchFindsTheFirstMatch_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("partial");
        QTest::addColumn<bool>("withOtherCharacters");
        for (bool other : { false, true }) {
            const char* suffix = other ? " (with a dotless i)" : "";
            QTest::addRow("lower-case prefix%s", suffix) << "ro" << true << other;
            QTest::addRow("mixed prefix%s", suffix) << "rO1" << true << other;
            QTest::addRow("whole code in capitals%s", suffix) << "RO15" << false << other;
            QTest::addRow("letters found only beyond the digits%s", suffix) << "9x" << true << other;
            QTest::addRow("a prefix nobody has%s", suffix) << "rz" << true << other;
            QTest::addRow("an I%s", suffix) << "i" << true << other;
            QTest::addRow("an I before a letter only a dotless i has%s", suffix) << "ia" << true << other;
        }
    }
    void caseInsensitiveSearchFindsTheFirstMatch()
    {
        QFETCH(QString, typed);
        QFETCH(bool, partial);
        QFETCH(bool, withOtherCharacters);
        TestDatabase db;
        QStringList codes { "10", "RO15", "Ro16", "ro17", "rO18", "9X1", "9x2", "I5", "i6" };
        if (withOtherCharacters)
            codes << QStringLiteral("\u0131a") << QStringLiteral("R\u00d6");
        for (const QString& code : std::as_const(codes))
            samples::addPayer(db, code);
        Tdm dm(db.path());
        Dataset& payers = *dm.qryFirme;
        const QVector<QString> inOrder = payers.columnTexts(QStringLiteral("cui"));
        const QString upper = typed.toUpper();
        QString expected;
        for (const QString& code : inOrder) {
            if (partial ? code.toUpper().startsWith(upper) : code.toUpper() == upper) {
                expected = code;
                break;
            }
        }
        const LocateOptions options = partial ? LocateCaseInsensitive | LocatePartialKey : LocateCaseInsensitive;
        QCOMPARE(payers.Locate(QStringLiteral("cui"), typed, options), !expected.isEmpty());
        if (!expected.isEmpty())
            QCOMPARE(payers.FieldByName(QStringLiteral("cui")).AsString(), expected);
    }
};

QTEST_GUILESS_MAIN(TestKeyset)
#include "tst_keyset.moc"
