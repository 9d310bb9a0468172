#include "app/TDecl.h"
#include "month/MonthTableModel.h"
#include "month/MonthTableView.h"
#include "month/TfSituatieLuna.h"
#include "records/PayerStatement.h"
#include "records/RecordsFixture.h"
#include "records/TfFisa.h"
#include "store/Connection.h"
#include "support/DeclarationRoad.h"
#include "support/FakeFileChooser.h"
#include "support/FakePrinting.h"
#include "support/GuiTestCase.h"
#include "support/SampleRecords.h"

#include <QFile>
#include <QPushButton>

#include <QLabel>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTimer>

using namespace itm;
using namespace itm::test;

namespace {

// Runs action on the statement once F5 has opened it, then makes sure it
// closes, so that a failed check cannot leave the test waiting.
void onStatement(const std::function<void(TfFisa&)>& action)
{
    QTimer::singleShot(0, [action] {
        auto* window = qobject_cast<TfFisa*>(QApplication::activeModalWidget());
        if (!window)
            return;
        action(*window);
        if (window->isVisible())
            window->reject();
    });
}

QString period(MainWindowFixture& f)
{
    return f.window->PanelLuna->MaskEdit1->text() + u'/' + f.window->PanelLuna->MaskEdit2->text();
}

// The payer 19's declaration for March 2007 saved: the output state.
void declareAndSave(MainWindowFixture& f)
{
    openDeclaration(f, QStringLiteral("03"), QStringLiteral("2007"));
    retype(f.window->ddgb->DBEdit12, QStringLiteral("2000"));
    save(f);
    QTEST_ASSERT(f.window->windowState() == State::Output);
}

} // namespace

class TestStatementRoad : public itm::test::GuiTestCase
{
    Q_OBJECT
private Q_SLOTS:
    void f5ShowsTheStatementAndEnterOpensTheMonth()
    {
        MainWindowFixture f([](TestDatabase& db) {
            seedPayer(db);
            AddDeclaration(db, 1, 3, 2006, QStringLiteral("0, 0, 3, 2000, 15, 10, 0, 0"));
            AddDeclaration(db, 1, 4, 2006, QStringLiteral("1, 0, 3, 2000, 15, 15, 0, 0"));
        });
        f.openPayer(kPayerCode);
        QCOMPARE(f.window->windowState(), State::PayerData);
        QVERIFY(f.window->dcgb->lblF5->isVisible());
        QCOMPARE(f.window->dcgb->lblF5->text(), QStringLiteral("F5 - fisa platitorului"));
        QStringList rows;
        QString balance;
        onStatement([&](TfFisa& window) {
            QTRY_COMPARE(QApplication::focusWidget(), window.tabel);
            for (int row = 0; row < window.tabel->rowCount(); ++row) {
                QStringList cells;
                for (int column = 0; column < window.tabel->columnCount(); ++column)
                    cells << window.tabel->item(row, column)->text();
                rows << cells.join(u'|');
            }
            balance = window.sold->text();
            // The latest month is current; Up moves to March, Enter opens it.
            QTest::keyClick(window.tabel, Qt::Key_Up);
            QTest::keyClick(window.tabel, Qt::Key_Return);
        });
        f.prompts.answerYes();
        MainWindowFixture::key(f.window->dcgb->den, Qt::Key_F5);
        QCOMPARE(rows,
            QStringList({ "03/2006|Initiala|0.75|3|2000|15|10|5|5", "04/2006|Rectificativa|0.75|3|2000|15|15|0|5",
                "Total 2006|||||30|25|5|5" }));
        QCOMPARE(balance, QStringLiteral("Sold datorat la zi: 5"));
        QCOMPARE(f.prompts.lastText(),
            QStringLiteral("Datele delaratiei pentru luna Martie exista deja. Modificati acum ?"));
        QCOMPARE(f.window->windowState(), State::Declaration);
        QCOMPARE(period(f), QStringLiteral("03/2006"));
        QCOMPARE(f.dm->qryDeclaratii->FieldByName(QStringLiteral("comac")).AsInteger(), qint64(10));
        QVERIFY2(f.prompts.verify().isEmpty(), qPrintable(f.prompts.verify()));
    }

    void f6GoesOnToTheNextPayerWithoutADeclaration()
    {
        MainWindowFixture f([](TestDatabase& db) {
            for (const char* code : { "19", "230", "27", "35" })
                samples::addPayer(
                    db, QString::fromLatin1(code), QStringLiteral("PLATITOR %1").arg(QString::fromLatin1(code)));
            AddDeclaration(db, 2, 3, 2007, QStringLiteral("0, 0, 3, 2000, 15, 10, 0, 0"));
        });
        declareAndSave(f);
        QVERIFY(f.window->butpan->findChild<QLabel*>(QStringLiteral("lblF6"))->isVisible());
        // 230 has its March already: 27 is next in code order.
        f.prompts.answerYes();
        MainWindowFixture::key(f.window->butpan->Button4, Qt::Key_F6);
        QCOMPARE(
            f.prompts.lastText(), QStringLiteral("Datele delaratiei pentru luna Martie nu exista. Adaugati acum ?"));
        QCOMPARE(f.window->windowState(), State::Declaration);
        QCOMPARE(f.window->cui->text(), QStringLiteral("27"));
        QCOMPARE(period(f), QStringLiteral("03/2007"));
        QVERIFY2(f.prompts.verify().isEmpty(), qPrintable(f.prompts.verify()));
    }

    void f6WithNoPayerLeftSaysSo()
    {
        MainWindowFixture f([](TestDatabase& db) {
            samples::addPayer(db, QStringLiteral("19"));
            samples::addPayer(db, QStringLiteral("230"));
            AddDeclaration(db, 2, 3, 2007, QStringLiteral("0, 0, 3, 2000, 15, 10, 0, 0"));
        });
        declareAndSave(f);
        f.prompts.answerOk();
        MainWindowFixture::key(f.window->butpan->Button4, Qt::Key_F6);
        QCOMPARE(f.prompts.lastText(), QStringLiteral("Nu mai sunt platitori fara declaratie pentru Martie 2007."));
        QCOMPARE(f.window->windowState(), State::Output);
        QCOMPARE(f.window->cui->text(), QStringLiteral("19"));
        QVERIFY2(f.prompts.verify().isEmpty(), qPrintable(f.prompts.verify()));
    }

    void listareAndExportFromTheStatement()
    {
        // Six years of months: more rows than one page holds.
        TestDatabase db;
        samples::addPayer(db, kPayerCode);
        for (int year = 2006; year <= 2011; ++year)
            for (int month = 1; month <= 12; ++month)
                AddDeclaration(db, 1, month, year, QStringLiteral("0, 0, 3, 2000, 15, 10, 0, 0"));
        FakePrompts prompts;
        FakeClock clock;
        FakePrinting printing;
        FakeFileChooser files;
        // Destroyed before the fakes, whatever check fails.
        struct ResetPlatform
        {
            ~ResetPlatform() { platform() = Platform {}; }
        } reset;
        platform().prompts = &prompts;
        platform().clock = &clock;
        platform().printing = &printing;
        platform().files = &files;
        Connection connection;
        connection.open(db.path());
        TfFisa window(connection, 1);
        window.btnListare->click();
        QCOMPARE(printing.pageCounts, QList<int>({ 2 }));
        QCOMPARE(printing.lastJobTitle, QStringLiteral("Fisa platitorului 19"));
        const QStringList first = printing.layouts.at(0).texts();
        const QStringList last = printing.layouts.at(1).texts();
        for (const char* text : { "Fisa platitorului", "S.C. ALFA S.R.L.", "C.U.I./C.N.P.: 19",
                 "Perioada: 12/2005 - 12/2011", "Data listarii: 15.03.2007", "Pagina 1 din 2" })
            QVERIFY2(first.contains(QString::fromLatin1(text)), text);
        QVERIFY(last.contains(QStringLiteral("Pagina 2 din 2")));
        // The balance at the foot of the last page only; every row printed once.
        QVERIFY(!first.contains(QStringLiteral("Sold datorat la zi: 360")));
        QVERIFY(last.contains(QStringLiteral("Sold datorat la zi: 360")));
        QCOMPARE((first + last).filter(QRegularExpression(QStringLiteral("^\\d\\d/20\\d\\d$"))).size(), 73);
        QCOMPARE((first + last).filter(QStringLiteral("Total ")).size(), 6);

        const QString csv = db.folder() + QStringLiteral("/fisa.csv");
        files.names = { csv };
        prompts.answerOk();
        window.btnExport->click();
        QCOMPARE(prompts.lastText(), QStringLiteral("Fisa platitorului a fost scrisa in ") + csv);
        QFile written(csv);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), HistoryCsvText(ReadPayerHistory(connection, 1)).toUtf8());
        const QString xlsx = db.folder() + QStringLiteral("/fisa.xlsx");
        files.names = { xlsx };
        prompts.answerOk();
        window.btnExport->click();
        QFile workbook(xlsx);
        QVERIFY(workbook.open(QIODevice::ReadOnly));
        QCOMPARE(workbook.read(2), QByteArray("PK"));
        QVERIFY2(prompts.verify().isEmpty(), qPrintable(prompts.verify()));
    }

    void fromTheMonthWindowF5AndF6FollowItsOrder()
    {
        MainWindowFixture f([](TestDatabase& db) {
            for (const char* code : { "19", "230", "27", "35", "43" })
                samples::addPayer(
                    db, QString::fromLatin1(code), QStringLiteral("PLATITOR %1").arg(QString::fromLatin1(code)));
            AddDeclaration(db, 1, 2, 2006, QStringLiteral("0, 0, 3, 2000, 15, 10, 0, 0"));
            AddDeclaration(db, 4, 2, 2006, QStringLiteral("0, 0, 3, 2000, 15, 10, 0, 0"));
        });
        QString chosen;
        QTimer::singleShot(0, [&] {
            auto* month = qobject_cast<TfSituatieLuna*>(QApplication::activeModalWidget());
            if (!month)
                return;
            // Without a window manager the test makes the window active.
            QApplication::setActiveWindow(month);
            month->showMonth({ 2, 2006 });
            month->model()->finishLoading();
            // 43, 35, 27, 230, 19: 35 is the second row.
            month->tabel->sortByColumn(0, Qt::DescendingOrder);
            month->tabel->setCurrentIndex(month->model()->index(1, 0));
            chosen = month->model()->payerAt(1).cui;
            onStatement([](TfFisa& statement) { QTest::keyClick(statement.tabel, Qt::Key_Return); });
            QTest::keyClick(month->tabel, Qt::Key_F5);
            if (month->isVisible())
                month->reject();
        });
        f.prompts.answerYes();
        MainWindowFixture::key(f.window->cui, Qt::Key_F4);
        QCOMPARE(chosen, QStringLiteral("35"));
        QCOMPARE(f.window->windowState(), State::Declaration);
        QCOMPARE(f.window->cui->text(), QStringLiteral("35"));
        QCOMPARE(period(f), QStringLiteral("02/2006"));
        save(f);
        QCOMPARE(f.window->windowState(), State::Output);
        // In the month window's order 27 comes after 35; in code order 43 would.
        f.prompts.answerYes();
        MainWindowFixture::key(f.window->butpan->Button4, Qt::Key_F6);
        QCOMPARE(f.window->windowState(), State::Declaration);
        QCOMPARE(f.window->cui->text(), QStringLiteral("27"));
        QCOMPARE(period(f), QStringLiteral("02/2006"));
        QVERIFY2(f.prompts.verify().isEmpty(), qPrintable(f.prompts.verify()));
    }

    void theMonthWindowExportsTheYearOfItsMonth()
    {
        MainWindowFixture f([](TestDatabase& db) {
            samples::addPayer(db, QStringLiteral("19"));
            samples::addPayer(db, QStringLiteral("27"));
            AddDeclaration(db, 1, 3, 2006, QStringLiteral("0, 0, 3, 2000, 15, 10, 0, 0"));
            AddDeclaration(db, 2, 1, 2007, QStringLiteral("0, 0, 3, 2000, 15, 10, 0, 0"));
        });
        FakeFileChooser files;
        platform().files = &files;
        TfSituatieLuna window(*f.dm, nullptr, f.window.get());
        window.showMonth({ 3, 2006 });
        auto* exportYear = window.findChild<QPushButton*>(QStringLiteral("btnExportAn"));
        QVERIFY(exportYear);
        const QString csv = f.database.folder() + QStringLiteral("/an.csv");
        files.names = { csv };
        f.prompts.answerOk();
        exportYear->click();
        QCOMPARE(f.prompts.lastText(), QStringLiteral("Situatia anului 2006 a fost scrisa in ") + csv);
        QFile written(csv);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = written.readAll().split('\n');
        QCOMPARE(lines.size(), 4); // the header, two payers, the end of the last line
        QVERIFY(lines.at(0).startsWith("cui,denumire,datorat_01,achitat_01,"));
        QCOMPARE(lines.at(1), QByteArray("19,S.C. ALFA S.R.L.,,,,,15,10,,,,,,,,,,,,,,,,,,,15,10,5"));
        QCOMPARE(lines.at(2), QByteArray("27,S.C. ALFA S.R.L.,,,,,,,,,,,,,,,,,,,,,,,,,0,0,0"));
        QVERIFY2(f.prompts.verify().isEmpty(), qPrintable(f.prompts.verify()));
    }
};

QTEST_MAIN(TestStatementRoad)
#include "tst_statementroad.moc"
