#include "month/MonthColumns.h"
#include "month/MonthFilter.h"
#include "month/MonthListing.h"
#include "month/MonthPayerTable.h"
#include "month/MonthReport.h"
#include "month/MonthTableModel.h"
#include "store/Connection.h"
#include "support/SampleRecords.h"
#include "support/TestDatabase.h"

#include <QTest>
#include <QTextStream>
#include <numeric>

using namespace itm;
using namespace itm::test;

namespace {

void addDeclaration(const TestDatabase& db, int payerId, int month, int year, const char* amounts)
{
    db.exec(QStringLiteral("INSERT INTO declaratii (idfirma, ln, an, rectificativ, com25, nrsal, fondlunsal, "
                           "comdat, comac, comdec, comdecac) VALUES (%1, %2, %3, %4)")
                .arg(payerId)
                .arg(month)
                .arg(year)
                .arg(QString::fromLatin1(amounts))
                .toUtf8());
}

// Codes whose byte order differs from numeric and case-blind order:
// "19" < "230" < "RO19" < "ro5". Declared in March 2006: 19 (initial),
// 230 (corrective); RO19 only in April; ro5 never.
void seedMonth(const TestDatabase& db)
{
    samples::addPayer(db, QStringLiteral("ro5"), QStringLiteral("GAMA"));
    samples::addPayer(db, QStringLiteral("230"), QStringLiteral("BETA"));
    samples::addPayer(db, QStringLiteral("19"), QStringLiteral("ALFA"));
    samples::addPayer(db, QStringLiteral("RO19"), QStringLiteral("DELTA, \"D\""));
    addDeclaration(db, 3, 3, 2006, "0, 0, 12, 2000, 15, 10, 0, 0");
    addDeclaration(db, 2, 3, 2006, "1, 1, 3, 50000, 125, 125, 0, 0");
    addDeclaration(db, 4, 4, 2006, "0, 0, 1, 100, 1, 1, 0, 0");
}

MonthRow row(const QString& cui, const QString& name, DeclarationStatus status)
{
    MonthRow entry;
    entry.cui = cui;
    entry.legalName = name;
    entry.status = status;
    entry.searchCode = FoldForSearch(cui);
    entry.searchName = FoldForSearch(name);
    return entry;
}

// What a row shows, in one line, to compare two readings.
QString shown(const MonthRow& row)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9")
        .arg(row.payerId)
        .arg(row.cui, row.legalName, row.county, StatusText(row.status))
        .arg(row.employees)
        .arg(row.fund)
        .arg(row.paid)
        .arg(row.faults.size());
}

MonthTotals TotalsOfTable(const MonthPayerTable& table)
{
    MonthTotals totals;
    for (qsizetype i = 0; i < table.size(); ++i)
        table.addTo(totals, i);
    return totals;
}

} // namespace

class TestMonthListing : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The rest of the register gathered in file order and sorted in memory
    // gives what walking the index gives, whatever the slices.
    void aGatheredReadingGivesTheIndexOrder_data()
    {
        QTest::addColumn<int>("firstSlice");
        QTest::addColumn<int>("slice");
        QTest::addColumn<bool>("compact");
        for (const bool compact : { false, true }) {
            for (const int first : { 1, 3, 100 })
                QTest::addRow("first slice %d%s", first, compact ? ", compact" : "") << first << 2 << compact;
        }
    }
    void aGatheredReadingGivesTheIndexOrder()
    {
        QFETCH(int, firstSlice);
        QFETCH(int, slice);
        QFETCH(bool, compact);
        TestDatabase db;
        seedMonth(db);
        // Codes held twice, a missing code, bytes above ASCII, a payer with two
        // declarations of the month (the first saved shows), an amount stored
        // as a text, a declaration of no payer.
        samples::addPayer(db, QStringLiteral("230"), QStringLiteral("BETA BIS"));
        samples::addPayer(db, QStringLiteral("\u00C819"), QStringLiteral("EPSILON"));
        samples::addPayer(db, QStringLiteral("Z9"), QStringLiteral("ZETA"));
        samples::addPayer(db, QStringLiteral("19"), QStringLiteral("ALFA BIS"));
        db.exec("INSERT INTO firme (cui, denumire, prefix, sufix) VALUES (NULL, 'FARA COD', 1, 1)");
        // Names read as rows, not as plain bytes: lower case, two blanks, a
        // prefix stored with its sign, one out of the list.
        db.exec("INSERT INTO firme (cui, denumire, prefix, sufix) VALUES ('77', 'eta mica', 1, 1), "
                "('78', 'ETA  DUBLU', 1, 1), ('79', 'ETA SEMN', '+1', 1), ('80', 'ETA AFARA', 99, 1)");
        addDeclaration(db, 7, 3, 2006, "0, 0, 5, 'MULT', 1, 1, 0, 0");
        addDeclaration(db, 8, 3, 2006, "0, 0, 1, 10, 1, 1, 0, 0");
        addDeclaration(db, 8, 3, 2006, "1, 0, 2, 20, 2, 2, 0, 0");
        addDeclaration(db, 99, 3, 2006, "0, 0, 1, 10, 1, 1, 0, 0");
        Connection connection;
        connection.open(db.path(), true);
        QStringList expected;
        ForEachMonthRow(connection, { 3, 2006 }, [&](const MonthRow& row) { expected.append(shown(row)); });
        QCOMPARE(expected.size(), 13);
        MonthListingReader reader(connection, { 3, 2006 }, MonthListingReader::Mode::Gathered, 0);
        QStringList gathered;
        if (compact) {
            MonthPayerTable rows;
            bool more = reader.readMore(rows, firstSlice);
            while (more)
                more = reader.readMore(rows, slice);
            for (qsizetype i = 0; i < rows.size(); ++i)
                gathered.append(shown(rows.at(i)));
        } else {
            QVector<MonthRow> rows;
            bool more = reader.readMore(rows, firstSlice);
            while (more)
                more = reader.readMore(rows, slice);
            for (const MonthRow& row : std::as_const(rows))
                gathered.append(shown(row));
        }
        QCOMPARE(gathered, expected);
    }

    // What the compact table is given comes back whole, in the order asked,
    // and the filter and the sorts find in it what they find in the rows.
    void aCompactTableKeepsItsRows()
    {
        QVector<MonthRow> rows { row("ro5", QStringLiteral("\u015etefan  Mic"), DeclarationStatus::Missing),
            row("RO19", "DELTA", DeclarationStatus::Initial), row("230", "beta", DeclarationStatus::Corrective),
            row("19", QString(), DeclarationStatus::Initial) };
        rows[0].county = QStringLiteral("DOLJ");
        rows[1].county = QStringLiteral("ALBA");
        rows[1].fund = 7;
        rows[2].paid = -3;
        rows[3].faults.append({ QStringLiteral("comac"), QStringLiteral("x"), QStringLiteral("eroare") });
        for (int i = 0; i < rows.size(); ++i)
            rows[i].payerId = 10 - i;
        MonthPayerTable given;
        for (const MonthRow& entry : std::as_const(rows))
            given.append(entry);
        MonthPayerTable table;
        table.append(rows.at(3));
        table.appendInOrder(std::move(given), { 2, 1, 0 });
        const QVector<MonthRow> expected { rows.at(3), rows.at(2), rows.at(1), rows.at(0) };
        QCOMPARE(table.size(), 4);
        for (int i = 0; i < 4; ++i) {
            const MonthRow back = table.at(i);
            QCOMPARE(shown(back), shown(expected.at(i)));
            QCOMPARE(back.searchName, expected.at(i).searchName);
            QCOMPARE(back.commission, expected.at(i).commission);
            QCOMPARE(back.faults.size(), expected.at(i).faults.size());
        }
        for (int column = 0; column < kMonthColumnCount; ++column)
            QCOMPARE(TotalsCellText(TotalsOfTable(table), MonthColumn(column)),
                TotalsCellText(TotalsOf(expected), MonthColumn(column)));
        QCOMPARE(TotalsOfTable(table).faulty, 1);
        for (const char* text : { "stefan m", "ST", "ta", "1", "" }) {
            for (const StatusFilter status : { StatusFilter::All, StatusFilter::Declared, StatusFilter::NotDeclared }) {
                const MonthFilter filter(text, status);
                for (int i = 0; i < 4; ++i)
                    QCOMPARE(filter.matches(table, i), filter.matches(expected.at(i)));
            }
        }
        for (int column = 0; column < kMonthColumnCount; ++column) {
            for (const bool descending : { false, true }) {
                QVector<int> fromTable { 0, 1, 2, 3 };
                QVector<int> fromRows = fromTable;
                SortMonthRows(fromTable, table, MonthColumn(column), descending);
                SortMonthRows(fromRows, expected, MonthColumn(column), descending);
                QCOMPARE(fromTable, fromRows);
            }
        }
    }

    // Sorted by name or county, the table keeps the order of a whole
    // comparison of its folded names (then of positions), whatever the names
    // share: long common beginnings, one name the beginning of another,
    // letters beyond plain ASCII, equal names.
    void aSortByNameOrCountyKeepsTheWholeComparison()
    {
        const QStringList names { QStringLiteral("FIRMA DE CONSTRUCTII 2"), QStringLiteral("FIRMA DE CONSTRUCTII 10"),
            QStringLiteral("FIRMA DE CONSTRUCTII"), QStringLiteral("FIRMA DE CONSTRUCTI"), QStringLiteral("FIRMA"),
            QStringLiteral("\u015eTEFAN"), QStringLiteral("STEFAN"), QString(), QStringLiteral("firma"),
            QStringLiteral("FIRMA DE CONSTRUCTII 2"), QStringLiteral("\u00c9CRAN"), QStringLiteral("A") };
        const QStringList counties { QStringLiteral("DOLJ"), QStringLiteral("ALBA"), QStringLiteral("OLT") };
        MonthPayerTable table;
        for (int i = 0; i < names.size(); ++i) {
            MonthRow entry = row(QString::number(100 + i), names.at(i), DeclarationStatus::Initial);
            entry.county = counties.at(i % counties.size());
            entry.payerId = i + 1;
            table.append(entry);
        }
        const QVector<int> ranks = table.countyRanks();
        for (const bool descending : { false, true }) {
            QVector<int> all(names.size());
            std::iota(all.begin(), all.end(), 0);
            const auto byWhole = [&](auto order) {
                QVector<int> expected = all;
                std::sort(expected.begin(), expected.end(), [&](int a, int b) {
                    const int difference = order(a, b);
                    return difference != 0 ? (descending ? difference > 0 : difference < 0) : a < b;
                });
                return expected;
            };
            QVector<int> byName = all;
            SortMonthRows(byName, table, MonthColumn::Name, descending);
            QCOMPARE(byName, byWhole([&](int a, int b) { return table.searchName(a).compare(table.searchName(b)); }));
            QVector<int> byCounty = all;
            SortMonthRows(byCounty, table, MonthColumn::County, descending);
            QCOMPARE(
                byCounty, byWhole([&](int a, int b) { return ranks.at(table.county(a)) - ranks.at(table.county(b)); }));
        }
    }

    // Another month over the register read: the payers stay, the month's
    // declarations are read again, as a new reading shows them.
    void anotherMonthReadsOnlyItsDeclarations()
    {
        TestDatabase db;
        seedMonth(db);
        Connection connection;
        connection.open(db.path(), true);
        MonthTableModel model;
        model.open(connection, { 3, 2006 }, 10);
        model.sort(int(MonthColumn::Fund), Qt::DescendingOrder);
        const auto rowsOf = [](const MonthTableModel& shownModel) {
            QStringList rows;
            for (int row = 0; row < shownModel.rowCount(); ++row)
                rows << shown(shownModel.payerAt(row));
            return rows;
        };
        for (const MonthPeriod period : { MonthPeriod { 4, 2006 }, MonthPeriod { 3, 2006 }, MonthPeriod { 5, 2006 } }) {
            model.changeMonth(connection, period, 10);
            MonthTableModel fresh;
            fresh.open(connection, period, 10);
            fresh.sort(int(MonthColumn::Fund), Qt::DescendingOrder);
            QCOMPARE(rowsOf(model), rowsOf(fresh));
            QCOMPARE(model.totals().declared, fresh.totals().declared);
            QCOMPARE(model.widestText(MonthColumn::Fund), fresh.widestText(MonthColumn::Fund));
        }
    }

    void everyPayerInCodeOrderWithItsStatusAndTotals()
    {
        TestDatabase db;
        seedMonth(db);
        Connection connection;
        connection.open(db.path(), true);
        const QVector<MonthRow> rows = ReadMonthListing(connection, { 3, 2006 });
        QStringList seen;
        for (const MonthRow& entry : rows)
            seen << entry.cui + u' ' + StatusText(entry.status);
        QCOMPARE(seen, QStringList({ "19 Initiala", "230 Rectificativa", "RO19 Lipsa", "ro5 Lipsa" }));
        QCOMPARE(rows.at(0).legalName, QStringLiteral("S.C. ALFA S.R.L."));
        QCOMPARE(rows.at(0).county, QStringLiteral("DOLJ"));
        QCOMPARE(rows.at(0).difference(), qint64(5));
        QCOMPARE(rows.at(1).commission, qint64(125));
        QCOMPARE(rows.at(2).fund, qint64(0)); // April's amounts are not March's

        const MonthTotals totals = TotalsOf(rows);
        QCOMPARE(totals.declared, 2);
        QCOMPARE(totals.missing, 2);
        QCOMPARE(totals.employees, qint64(15));
        QCOMPARE(totals.fund, qint64(52000));
        QCOMPARE(totals.commission, qint64(140));
        QCOMPARE(totals.paid, qint64(135));
    }

    void filter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("everything") << "" << int(StatusFilter::All) << QStringList { "19", "230", "RO19", "ro5" };
        QTest::newRow("code, either case") << "ro" << int(StatusFilter::All) << QStringList { "RO19", "ro5" };
        QTest::newRow("inside the code") << "9" << int(StatusFilter::All) << QStringList { "19", "RO19" };
        QTest::newRow("diacritics ignored") << "stefan" << int(StatusFilter::All) << QStringList { "230" };
        QTest::newRow("diacritics typed") << "ŞTEF" << int(StatusFilter::All) << QStringList { "230" };
        QTest::newRow("t with comma below") << "tara" << int(StatusFilter::All) << QStringList { "RO19" };
        QTest::newRow("composed name") << "s.c. alfa" << int(StatusFilter::All) << QStringList { "19" };
        QTest::newRow("declared") << "" << int(StatusFilter::Declared) << QStringList { "19", "230" };
        QTest::newRow("not declared") << "" << int(StatusFilter::NotDeclared) << QStringList { "RO19", "ro5" };
        QTest::newRow("text and status") << "ro" << int(StatusFilter::Declared) << QStringList {};
        QTest::newRow("runs of blanks") << "gama  s.r.l" << int(StatusFilter::All) << QStringList { "ro5" };
    }

    void filter()
    {
        QFETCH(QString, text);
        QFETCH(int, status);
        QFETCH(QStringList, shown);
        const QVector<MonthRow> rows { row("19", "S.C. ALFA S.R.L.", DeclarationStatus::Initial),
            row("230", "ŞTEFAN IONESCU P.F.A.", DeclarationStatus::Corrective),
            row("RO19", "S.C. ȚARA S.A.", DeclarationStatus::Missing),
            row("ro5", "S.C. GAMA   S.R.L.", DeclarationStatus::Missing) };
        QVector<int> positions;
        AppendMatching(positions, rows, 0, MonthFilter(text, StatusFilter(status)));
        QStringList codes;
        for (const int position : positions)
            codes << rows.at(position).cui;
        QCOMPARE(codes, shown);
    }

    void sortKeepsPayerCodeOrderAmongEquals()
    {
        QVector<MonthRow> rows { row("1", "B", DeclarationStatus::Initial), row("2", "A", DeclarationStatus::Missing),
            row("3", "C", DeclarationStatus::Initial), row("4", "D", DeclarationStatus::Initial) };
        rows[0].fund = 500;
        rows[2].fund = 100;
        rows[3].fund = 500;
        QVector<int> positions { 0, 1, 2, 3 };
        SortMonthRows(positions, rows, MonthColumn::Fund, false);
        // No declaration, no amount: first.
        QCOMPARE(positions, QVector<int>({ 1, 2, 0, 3 }));
        SortMonthRows(positions, rows, MonthColumn::Fund, true);
        QCOMPARE(positions, QVector<int>({ 0, 3, 2, 1 }));
        SortMonthRows(positions, rows, MonthColumn::Name, false);
        QCOMPARE(positions, QVector<int>({ 1, 0, 2, 3 }));
    }

    void aTextAmountMarksItsRowAndLeavesTheTotalsIncomplete()
    {
        TestDatabase db;
        seedMonth(db);
        // A register made elsewhere: 230's salary fund is a text.
        db.exec("UPDATE declaratii SET fondlunsal = 'x1' WHERE idfirma = 2");
        Connection connection;
        connection.open(db.path(), true);
        const QVector<MonthRow> rows = ReadMonthListing(connection, { 3, 2006 });
        QCOMPARE(rows.size(), 4); // the rows after it are read as well
        const MonthRow& faulty = rows.at(1);
        QCOMPARE(faulty.cui, QStringLiteral("230"));
        QVERIFY(faulty.faulty());
        QCOMPARE(faulty.faults.constFirst().message,
            QStringLiteral("Coloana 'fondlunsal': 'x1' is not a valid integer value"));
        QCOMPARE(MonthCellText(faulty, MonthColumn::Fund), QStringLiteral("x1"));
        QCOMPARE(MonthCellText(faulty, MonthColumn::Commission), QStringLiteral("125"));
        QVERIFY(IsFaultyCell(faulty, MonthColumn::Fund));
        QVERIFY(!IsFaultyCell(faulty, MonthColumn::Difference));
        const MonthTotals totals = TotalsOf(rows);
        QVERIFY(!totals.complete());
        QCOMPARE(totals.declared, 2);
        QCOMPARE(totals.fund, qint64(2000)); // 19's only
        QCOMPARE(FaultyRows(rows).size(), 1);

        MonthTableModel model;
        model.open(connection, { 3, 2006 }, 1);
        model.finishLoading();
        QCOMPARE(model.rowCount(), 4);
        QVERIFY(!model.totals().complete());
    }

    // The total of the balances follows the rows a filter shows, narrowed or
    // widened, whether the balances arrive before the later slices or not,
    // and in another order than the codes'.
    void theBalanceTotalFollowsTheRowsShown_data()
    {
        QTest::addColumn<int>("firstSlice");
        QTest::addColumn<int>("sortColumn");
        QTest::newRow("balances before the later slices") << 1 << int(MonthColumn::Code);
        QTest::newRow("balances after every slice") << 10 << int(MonthColumn::Code);
        QTest::newRow("sorted by name") << 1 << int(MonthColumn::Name);
    }

    void theBalanceTotalFollowsTheRowsShown()
    {
        QFETCH(int, firstSlice);
        QFETCH(int, sortColumn);
        TestDatabase db;
        // Balances: 11 owes 7, 12 has paid 3 ahead, 13's is unknown (a text
        // amount), 24 owes 20, 25 never declared.
        for (const char* code : { "11", "12", "13", "24", "25" })
            samples::addPayer(db, QString::fromLatin1(code), QStringLiteral("PLATITOR"));
        addDeclaration(db, 1, 3, 2006, "0, 0, 1, 100, 10, 3, 0, 0");
        addDeclaration(db, 2, 3, 2006, "0, 0, 1, 100, 2, 5, 0, 0");
        addDeclaration(db, 3, 3, 2006, "0, 0, 1, 100, 'x', 0, 0, 0");
        addDeclaration(db, 4, 2, 2006, "0, 0, 1, 100, 20, 0, 0, 0");
        Connection connection;
        connection.open(db.path(), true);
        MonthTableModel model;
        model.open(connection, { 3, 2006 }, firstSlice);
        model.waitForBalances();
        model.sort(sortColumn, Qt::DescendingOrder);
        model.finishLoading();
        QCOMPARE(model.rowCount(), 5);
        QCOMPARE(model.balanceTotal(), qint64(24));
        const int unknownRow = model.rowOfPayer(3);
        QVERIFY(!model.balanceAt(unknownRow));
        QCOMPARE(model.index(unknownRow, MonthTableModel::kBalanceColumn).data().toString(), QStringLiteral("?"));
        QCOMPARE(model.balanceAt(model.rowOfPayer(4)), std::optional<qint64>(20));

        const auto filtered = [&model](const char* text) {
            model.setFilter(MonthFilter(QString::fromLatin1(text), StatusFilter::All));
            return model.balanceTotal();
        };
        QCOMPARE(filtered("1"), qint64(4));
        QCOMPARE(filtered("12"), qint64(-3));
        QCOMPARE(filtered("2"), qint64(17));
        QCOMPARE(filtered(""), qint64(24));
    }

    void marksStayOnTheirPayers()
    {
        TestDatabase db;
        seedMonth(db);
        Connection connection;
        connection.open(db.path(), true);
        MonthTableModel model;
        model.open(connection, { 3, 2006 }, 10);
        const auto marked = [&model] {
            QStringList codes;
            for (int row = 0; row < model.rowCount(); ++row) {
                if (model.isMarked(row))
                    codes << model.payerAt(row).cui;
            }
            return codes;
        };
        model.toggleMark(0); // 19
        model.toggleMark(3); // ro5
        // Typed and erased: nothing is lost.
        model.setFilter(MonthFilter(QStringLiteral("be"), StatusFilter::All));
        QCOMPARE(marked(), QStringList());
        model.setFilter(MonthFilter());
        QCOMPARE(marked(), QStringList({ "19", "ro5" }));
        // A range joins the marks made before it; shortened, it gives back its rows.
        const QSet<qint64> before = model.marks();
        model.markRange(before, 1, 2);
        QCOMPARE(marked(), QStringList({ "19", "230", "RO19", "ro5" }));
        model.markRange(before, 1, 1);
        QCOMPARE(marked(), QStringList({ "19", "230", "ro5" }));
        // Sorted by name descending: the same payers, in payer-code order when asked.
        model.sort(int(MonthColumn::Name), Qt::DescendingOrder);
        QCOMPARE(marked(), QStringList({ "ro5", "230", "19" }));
        model.setFilter(MonthFilter(QStringLiteral("a"), StatusFilter::NotDeclared));
        QCOMPARE(model.markedPayers(), QList<qint64>({ 3, 2, 1 })); // 19, 230, ro5 by id
    }

    void aWiderFilterKeepsTheOrderChosen()
    {
        TestDatabase db;
        seedMonth(db);
        Connection connection;
        connection.open(db.path(), true);
        MonthTableModel model;
        model.open(connection, { 3, 2006 }, 10);
        model.sort(int(MonthColumn::Name), Qt::DescendingOrder);
        const auto codes = [&model] {
            QStringList shown;
            for (int row = 0; row < model.rowCount(); ++row)
                shown << model.payerAt(row).cui;
            return shown;
        };
        const QStringList byName { "ro5", "RO19", "230", "19" }; // GAMA, DELTA, BETA, ALFA
        QCOMPARE(codes(), byName);
        model.setFilter(MonthFilter(QStringLiteral("ta"), StatusFilter::All));
        QCOMPARE(codes(), QStringList({ "RO19", "230" }));
        model.setFilter(MonthFilter(QStringLiteral("t"), StatusFilter::All));
        QCOMPARE(codes(), QStringList({ "RO19", "230" }));
        model.setFilter(MonthFilter());
        QCOMPARE(codes(), byName);
    }

    void textReportBlanksControlCharacters()
    {
        QVector<MonthRow> rows { row("19", "S.C. ALFA\nBETA\tNOU S.R.L.", DeclarationStatus::Initial),
            row("230", QStringLiteral("GAMA") + QChar(0x85) + QStringLiteral("DELTA"), DeclarationStatus::Initial) };
        rows[0].fund = 100;
        QString text;
        QTextStream out(&text);
        WriteMonthText(out, rows);
        out.flush();
        const QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines.at(1).contains(QStringLiteral("S.C. ALFA BETA NOU S.R.L.")));
        QVERIFY(lines.at(2).contains(QStringLiteral("GAMA DELTA")));
        QCOMPARE(lines.at(1).size(), lines.at(3).size());
    }

    void modelReadsInSlicesThroughTheFilter()
    {
        TestDatabase db;
        seedMonth(db);
        Connection connection;
        connection.open(db.path(), true);
        MonthTableModel model;
        model.setFilter(MonthFilter(QStringLiteral("ro"), StatusFilter::All));
        model.open(connection, { 3, 2006 }, 2);
        QVERIFY(model.loading());
        QCOMPARE(model.rowCount(), 0); // 19 and 230 read, neither matches
        QVERIFY(!model.loadMore(5));
        QVERIFY(!model.loading());
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.data(model.index(0, int(MonthColumn::Code))).toString(), QStringLiteral("RO19"));
        QCOMPARE(model.data(model.index(1, int(MonthColumn::Fund))).toString(), QString()); // no amounts for Lipsa
        QCOMPARE(model.totals().missing, 2);
        model.setFilter(MonthFilter());
        QCOMPARE(model.rowCount(), 4);
        model.sort(int(MonthColumn::Paid), Qt::DescendingOrder);
        QCOMPARE(model.payerAt(0).cui, QStringLiteral("230"));
        QCOMPARE(model.totals().declared, 2);
    }

    void reports()
    {
        TestDatabase db;
        seedMonth(db);
        Connection connection;
        connection.open(db.path(), true);
        const QVector<MonthRow> rows = ReadMonthListing(connection, { 3, 2006 });
        QString csv;
        QTextStream csvOut(&csv);
        WriteMonthCsv(csvOut, rows);
        csvOut.flush();
        QCOMPARE(csv,
            QStringLiteral("cui,denumire,judet,stare,nrsal,fondlunsal,comdat,comac\n"
                           "19,S.C. ALFA S.R.L.,DOLJ,initiala,12,2000,15,10\n"
                           "230,S.C. BETA S.R.L.,DOLJ,rectificativa,3,50000,125,125\n"
                           "RO19,\"S.C. DELTA, \"\"D\"\" S.R.L.\",DOLJ,lipsa,,,,\n"
                           "ro5,S.C. GAMA S.R.L.,DOLJ,lipsa,,,,\n"));
        QString text;
        QTextStream textOut(&text);
        WriteMonthText(textOut, rows);
        textOut.flush();
        const QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 6);
        QVERIFY(lines.first().startsWith(QStringLiteral("Cod fiscal  Denumire")));
        QCOMPARE(lines.at(3).simplified(), QStringLiteral("RO19 S.C. DELTA, \"D\" S.R.L. DOLJ Lipsa"));
        QCOMPARE(lines.last().simplified(), QStringLiteral("Total 2 declarati, 2 lipsa 15 52000 140 135 5"));
        // Amounts end in one column.
        QCOMPARE(lines.at(1).size(), lines.last().size());
    }
};

QTEST_GUILESS_MAIN(TestMonthListing)
#include "tst_monthlisting.moc"
