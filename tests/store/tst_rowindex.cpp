#include "store/RowIndex.h"

#include <QTest>
#include <tuple>

using namespace itm;

namespace {

constexpr int codeColumn = 1;
constexpr int nameColumn = 2;

// Rows of (key, code, name), the codes in the database's byte order.
Keyset keysetOf(const QList<std::tuple<qint64, QByteArray, QByteArray>>& rows)
{
    Keyset keyset;
    keyset.texts.resize(2);
    for (const auto& [key, code, name] : rows) {
        keyset.keys.append(key);
        keyset.texts[0].append(code);
        keyset.texts[1].append(name);
    }
    keyset.orderSorted = keyset.texts[0].isSorted();
    return keyset;
}

// An index sorted by code: 1:"10", 2:"RO19", 3:"RO19", 4:"ro2", 5:"\xc4\xb1" (a dotless i).
void fillRegister(RowIndex& index)
{
    index.setOrderColumn(codeColumn);
    index.adopt(keysetOf({ { 1, "10", "ALFA" }, { 2, "RO19", "BETA" }, { 3, "RO19", "GAMA" }, { 4, "ro2", "DELTA" },
                    { 5, "\xc4\xb1", "EPSILON" } }),
        { codeColumn, nameColumn });
}

QStringList codesOf(const RowIndex& index)
{
    QStringList rows;
    for (int row = 0; row < index.size(); ++row)
        rows.append(QString::number(index.keyAt(row)) + u':' + index.texts(codeColumn).textAt(row));
    return rows;
}

std::function<QByteArray(int)> row(const QByteArray& code, const QByteArray& name)
{
    return [=](int column) { return column == codeColumn ? code : name; };
}

class FakeKeyset : public PendingKeyset
{
public:
    bool isFinished() const override { return finished; }
    void wait() override { ++*waits; }
    const std::optional<QString>& error() const override { return failure; }
    Keyset takeKeyset() override { return std::move(keyset); }

    bool finished = false;
    int* waits = nullptr; // outlives the read, which the index drops once taken
    std::optional<QString> failure;
    Keyset keyset;
};

} // namespace

// The index of a cursor's rows on its own: searches, posted rows and the
// keyset read in the background, with no database.
class TestRowIndex : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void find_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("caseInsensitive");
        QTest::addColumn<bool>("partial");
        QTest::addColumn<int>("found");
        QTest::newRow("exact") << "RO19"
                               << "" << false << false << 1;
        QTest::newRow("exact is case-sensitive") << "RO2"
                                                 << "" << false << false << -1;
        QTest::newRow("either case") << "RO2"
                                     << "" << true << false << 3;
        QTest::newRow("prefix, first in order") << "RO"
                                                << "" << true << true << 1;
        QTest::newRow("second criterion narrows a run") << "RO19"
                                                        << "GAMA" << false << false << 2;
        QTest::newRow("dotless i is an I in capitals") << "I"
                                                       << "" << true << false << 4;
        QTest::newRow("no such code") << "RO3"
                                      << "" << true << true << -1;
    }
    void find()
    {
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(bool, caseInsensitive);
        QFETCH(bool, partial);
        QFETCH(int, found);
        RowIndex index;
        fillRegister(index);
        QVector<RowCriterion> criteria { { codeColumn, caseInsensitive ? code.toUpper() : code, std::nullopt } };
        if (!name.isEmpty())
            criteria.append({ nameColumn, name, std::nullopt });
        QCOMPARE(index.find(criteria, caseInsensitive, partial), found);
        // The same answer row by row, once a posted row is out of its place.
        index.appendRow(9, row("ZZ", "OMEGA"));
        QVERIFY(!index.findsByOrder());
        QCOMPARE(index.find(criteria, caseInsensitive, partial), found);
    }

    void numbersCompareAsNumbers()
    {
        RowIndex index;
        index.adopt(keysetOf({ { 1, "3", "A" }, { 2, "03", "B" } }), { codeColumn, nameColumn });
        QCOMPARE(index.find({ { codeColumn, QStringLiteral("3.0"), 3.0 }, { nameColumn, QStringLiteral("B"), {} } },
                     false, false),
            1);
    }

    void postedRowsTakeTheirPlaceInOrder()
    {
        RowIndex index;
        fillRegister(index);
        index.appendRow(6, row("RO19", "ZETA"));
        index.replaceRow(0, row("RO3", "ALFA"));
        // A name changed leaves a row in its place.
        index.replaceRow(3, row("ro2", "DELTA NOUA"));
        QCOMPARE(codesOf(index), (QStringList { "1:RO3", "2:RO19", "3:RO19", "4:ro2", "5:\u0131", "6:RO19" }));
        QVERIFY(!index.findsByOrder());
        index.placeDisplacedRows();
        QVERIFY(index.findsByOrder());
        // Equal codes by key, as the database reads them.
        QCOMPARE(codesOf(index), (QStringList { "2:RO19", "3:RO19", "6:RO19", "1:RO3", "4:ro2", "5:\u0131" }));
        QCOMPARE(index.texts(nameColumn).textAt(2), QStringLiteral("ZETA"));
        QCOMPARE(index.texts(nameColumn).textAt(4), QStringLiteral("DELTA NOUA"));
    }

    void aRemovedRowIsNoLongerOutOfPlace()
    {
        RowIndex index;
        fillRegister(index);
        index.appendRow(6, row("11", "ZETA"));
        index.removeRow(5);
        QVERIFY(index.findsByOrder());
        QCOMPARE(index.size(), 5);
        QCOMPARE(index.texts(nameColumn).size(), 5);
    }

    void findKey_data()
    {
        QTest::addColumn<qint64>("key");
        QTest::addColumn<QByteArray>("orderText");
        QTest::addColumn<int>("row");
        QTest::newRow("by its text") << qint64(3) << QByteArray("RO19") << 2;
        QTest::newRow("text changed since the read") << qint64(3) << QByteArray("RO20") << 2;
        QTest::newRow("no such key") << qint64(8) << QByteArray("RO19") << -1;
    }
    void findKey()
    {
        QFETCH(qint64, key);
        QFETCH(QByteArray, orderText);
        QFETCH(int, row);
        RowIndex index;
        fillRegister(index);
        QCOMPARE(index.findKey(key, &orderText), row);
        QCOMPARE(index.findKey(key), row);
    }

    void codesOutOfByteOrderAreSearchedRowByRow()
    {
        RowIndex index;
        index.setOrderColumn(codeColumn);
        index.adopt(keysetOf({ { 1, "B", "X" }, { 2, "A", "Y" } }), { codeColumn, nameColumn });
        QCOMPARE(index.orderColumn(), -1);
        QCOMPARE(index.find({ { codeColumn, QStringLiteral("A"), {} } }, false, false), 1);
    }

    void aKeysetReadInTheBackground()
    {
        RowIndex index;
        index.setOrderColumn(codeColumn);
        auto load = std::make_unique<FakeKeyset>();
        FakeKeyset& reading = *load;
        int waits = 0;
        reading.waits = &waits;
        reading.keyset = keysetOf({ { 1, "10", "ALFA" }, { 7, "20", "BETA" } });
        const int serial = index.beginLoad(std::move(load), 7, { codeColumn, nameColumn });
        // Only the first row meanwhile.
        QCOMPARE(index.size(), 1);
        QCOMPARE(index.loadFirstKey(), qint64(7));
        QVERIFY(index.loading());
        QVERIFY(!index.loadFinished());
        reading.finished = true;
        QVERIFY(index.loadFinished());
        QCOMPARE(index.loadSerial(), serial);
        QVERIFY(index.settleLoad());
        QCOMPARE(waits, 1);
        QVERIFY(!index.loading());
        QCOMPARE(codesOf(index), (QStringList { "1:10", "7:20" }));
        QVERIFY(!index.settleLoad());
    }

    void aFailedReadKeepsItsErrorUntilCleared()
    {
        RowIndex index;
        auto load = std::make_unique<FakeKeyset>();
        int waits = 0;
        load->waits = &waits;
        load->failure = QStringLiteral("database is locked");
        const int serial = index.beginLoad(std::move(load), std::nullopt, {});
        QVERIFY(index.isEmpty());
        QVERIFY(!index.settleLoad());
        QCOMPARE(index.loadError(), std::optional<QString>(QStringLiteral("database is locked")));
        index.clearLoadError();
        QVERIFY(!index.loadError());
        // A stopped read is told apart from the next one.
        index.stopLoad();
        QVERIFY(index.loadSerial() != serial);
    }
};

QTEST_GUILESS_MAIN(TestRowIndex)
#include "tst_rowindex.moc"
