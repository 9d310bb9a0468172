#include "month/MonthColumns.h"
#include "month/MonthTableModel.h"
#include "month/MonthTableView.h"
#include "month/TfSituatieLuna.h"
#include "output/TfSelDisck.h"
#include "payers/PayerPanel.h"
#include "payers/TVelaDBAutoCompletitionEdit.h"
#include "support/FakeDrives.h"
#include "support/FakeJobs.h"
#include "support/FakePrinting.h"
#include "support/GuiTestCase.h"
#include "support/MainWindowFixture.h"
#include "support/SampleRecords.h"

#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace itm;
using namespace itm::test;
using State = TDecl::WindowState;

namespace {

void addDeclaration(TestDatabase& db, int payerId, int month, int year)
{
    db.exec(QStringLiteral("INSERT INTO declaratii (idfirma, ln, an, rectificativ, com25, nrsal, fondlunsal, comdat, "
                           "comac, comdec, comdecac) VALUES (%1, %2, %3, 0, 0, 12, 2000, 15, 15, 0, 0)")
                .arg(payerId)
                .arg(month)
                .arg(year)
                .toUtf8());
}

// 27 declared in March 2006 only, 35 in March and April, 43 never; 230 and
// 19 declared in February 2007, the month before the one the clock gives. In
// payer-code order: 19, 230, 27, 35, 43.
void seedRegister(TestDatabase& db)
{
    for (const char* code : { "27", "35", "43", "230", "19" })
        samples::addPayer(db, QString::fromLatin1(code), QStringLiteral("PLATITOR %1").arg(QString::fromLatin1(code)));
    addDeclaration(db, 1, 3, 2006);
    addDeclaration(db, 2, 3, 2006);
    addDeclaration(db, 2, 4, 2006);
    addDeclaration(db, 4, 2, 2007);
    addDeclaration(db, 5, 2, 2007);
}

// Payers 10 .. 10 + count - 1, each declared in March 2006.
std::function<void(TestDatabase&)> declaredPayers(int count)
{
    return [count](TestDatabase& db) {
        for (int i = 0; i < count; ++i) {
            samples::addPayer(db, QString::number(10 + i), QStringLiteral("PLATITOR %1").arg(10 + i));
            addDeclaration(db, i + 1, 3, 2006);
        }
    };
}

QList<int> markedRows(const MonthTableModel& model)
{
    QList<int> rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.isMarked(row))
            rows << row;
    }
    return rows;
}

QStringList statuses(const MonthTableModel& model)
{
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row)
        shown << model.payerAt(row).cui + u' ' + StatusText(model.payerAt(row).status);
    return shown;
}

// Runs action on the month window once F4 has opened it, then makes sure it
// closes, so that a failed check cannot leave the test waiting.
void onMonthWindow(const std::function<void(TfSituatieLuna&)>& action)
{
    QTimer::singleShot(0, [action] {
        auto* window = qobject_cast<TfSituatieLuna*>(QApplication::activeModalWidget());
        if (!window)
            return;
        action(*window);
        if (window->isVisible())
            window->reject();
    });
}

} // namespace

class TestMonthWindow : public itm::test::GuiTestCase
{
    Q_OBJECT
private Q_SLOTS:
    void f4OpensTheMonthAndEscapeLeavesTheWindowAsItWas()
    {
        MainWindowFixture f(seedRegister);
        QVERIFY(f.window->lblF4->isVisible());
        QCOMPARE(f.window->lblF4->text(), QStringLiteral("F4 - situatia lunii"));
        QCOMPARE(f.focus(), f.window->leg);
        QString period;
        QStringList shown;
        bool escapeClosed = false;
        bool opensOnTheTable = false;
        onMonthWindow([&](TfSituatieLuna& window) {
            opensOnTheTable = QTest::qWaitFor([&] { return QApplication::focusWidget() == window.tabel; });
            period = window.luna->text() + u'/' + window.anul->text() + u' ' + window.lblLuna->text();
            window.model()->finishLoading();
            shown = statuses(*window.model());
            QTest::keyClick(window.tabel, Qt::Key_Escape);
            escapeClosed = !window.isVisible();
        });
        MainWindowFixture::key(f.window->leg, Qt::Key_F4);
        // Declarations are made for the month just ended.
        QCOMPARE(period, QStringLiteral("02/2007 Februarie 2007"));
        QVERIFY(opensOnTheTable);
        QCOMPARE(shown, QStringList({ "19 Initiala", "230 Initiala", "27 Lipsa", "35 Lipsa", "43 Lipsa" }));
        QVERIFY(escapeClosed);
        QCOMPARE(f.window->windowState(), State::PayerCode);
        QTRY_COMPARE(f.focus(), f.window->leg);
    }

    void enterOnARowOpensThePayerOnTheRoad()
    {
        MainWindowFixture f(seedRegister);
        MainWindowFixture::enter(f.window->cui);
        QString monthShown;
        onMonthWindow([&](TfSituatieLuna& window) {
            // Another month, chosen in the window, is the one it opens with next time.
            window.luna->setText(QStringLiteral("4"));
            window.anul->setText(QStringLiteral("2006"));
            QTest::keyClick(window.anul, Qt::Key_Return);
            monthShown = window.lblLuna->text();
            QTest::keyClicks(window.filtru, QStringLiteral("3"));
            QTest::keyClick(window.filtru, Qt::Key_Down); // the table moves under the filter
            QTest::keyClick(window.filtru, Qt::Key_Return);
            QTest::keyClick(window.tabel, Qt::Key_Return);
        });
        MainWindowFixture::key(f.window->cui, Qt::Key_F4);
        QCOMPARE(monthShown, QStringLiteral("Aprilie 2006"));
        // Filter "3" shows 230, 35, 43; Down moved to the second.
        QCOMPARE(f.window->windowState(), State::PayerData);
        QCOMPARE(f.window->cui->text(), QStringLiteral("35"));
        QCOMPARE(f.dm->qryFirme->FieldByName(QStringLiteral("denumire")).AsString(), QStringLiteral("PLATITOR 35"));
        QCOMPARE(f.focus(), f.window->dcgb->den);

        // F4 belongs to the payer-code state only.
        MainWindowFixture::key(f.window->leg, Qt::Key_F4);
        QVERIFY(!QApplication::activeModalWidget());
        f.prompts.answerYes();
        MainWindowFixture::key(f.window->dcgb->den, Qt::Key_Escape);
        QCOMPARE(f.window->windowState(), State::PayerCode);
        QString again;
        onMonthWindow([&](TfSituatieLuna& window) { again = window.lblLuna->text(); });
        MainWindowFixture::key(f.window->cui, Qt::Key_F4);
        QCOMPARE(again, QStringLiteral("Aprilie 2006"));
    }

    void carryOverAsksWithTheCountAndReports()
    {
        MainWindowFixture f(seedRegister);
        TfSituatieLuna window(*f.dm, nullptr, f.window.get());
        window.showMonth({ 4, 2006 });
        window.model()->finishLoading();
        // None marked: every payer shown as "Lipsa".
        f.prompts.answerYes();
        f.prompts.answerOk();
        window.PreiaClick();
        QCOMPARE(f.prompts.texts(),
            QStringList({ "Preluati declaratiile din luna Martie 2006 pentru 4 platitori ?",
                "Declaratii preluate: 1\nPlatitori omisi: 3\n - fara declaratie in Martie 2006: 3" }));
        QCOMPARE(statuses(*window.model()),
            QStringList({ "19 Lipsa", "230 Lipsa", "27 Initiala", "35 Initiala", "43 Lipsa" }));
        // Only the marked ones.
        f.prompts.clear();
        window.model()->toggleMark(3);
        f.prompts.answerYes();
        f.prompts.answerOk();
        window.PreiaClick();
        QCOMPARE(f.prompts.texts(),
            QStringList({ "Preluati declaratiile din luna Martie 2006 pentru 1 platitor ?",
                "Declaratii preluate: 0\nPlatitori omisi: 1\n - deja declarati pentru Aprilie 2006: 1" }));
    }

    void aShiftRangeAddsToTheMarksAndTheMarksOutliveTheFilter()
    {
        MainWindowFixture f(declaredPayers(12));
        TfSituatieLuna window(*f.dm, nullptr, f.window.get());
        window.showMonth({ 4, 2006 });
        window.show();
        QApplication::setActiveWindow(&window);
        const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = { { Qt::Key_Home, {} }, { Qt::Key_Space, {} },
            { Qt::Key_Down, {} }, { Qt::Key_Down, {} }, { Qt::Key_Space, {} }, { Qt::Key_Down, {} },
            { Qt::Key_Down, {} }, { Qt::Key_Down, Qt::ShiftModifier }, { Qt::Key_Down, Qt::ShiftModifier },
            { Qt::Key_Down, {} }, { Qt::Key_Down, {} }, { Qt::Key_Space, {} } };
        for (const auto& [key, modifiers] : keys)
            QTest::keyClick(window.tabel, key, modifiers);
        QCOMPARE(markedRows(*window.model()), QList<int>({ 0, 2, 4, 5, 6, 8 }));
        // Typed and erased, sorted and back: the same payers stay marked.
        QTest::keyClicks(window.filtru, QStringLiteral("15"));
        QCOMPARE(window.model()->rowCount(), 1);
        QTest::keyClick(window.filtru, Qt::Key_Backspace);
        QTest::keyClick(window.filtru, Qt::Key_Backspace);
        window.tabel->sortByColumn(int(MonthColumn::Code), Qt::DescendingOrder);
        QCOMPARE(markedRows(*window.model()), QList<int>({ 3, 5, 6, 7, 9, 11 }));
        QTest::keyClicks(window.filtru, QStringLiteral("1"));
        // "Preia" proposes the six marked payers, not every payer shown as missing.
        f.prompts.answerNo();
        window.PreiaClick();
        QCOMPARE(
            f.prompts.lastText(), QStringLiteral("Preluati declaratiile din luna Martie 2006 pentru 6 platitori ?"));
    }

    void aCancelledCarryOverStoresNothing()
    {
        MainWindowFixture f(seedRegister);
        FakeJobs jobs;
        platform().jobs = &jobs;
        jobs.cancelWhenDone(1);
        TfSituatieLuna window(*f.dm, nullptr, f.window.get());
        window.showMonth({ 4, 2006 });
        f.prompts.answerYes();
        f.prompts.answerOk();
        window.PreiaClick();
        QCOMPARE(jobs.titles, QStringList { "Preia luna anterioara" });
        QCOMPARE(f.prompts.lastText(), QStringLiteral("Preluarea a fost oprita. Nu s-a preluat nicio declaratie."));
        window.showMonth({ 4, 2006 });
        window.model()->finishLoading();
        QCOMPARE(
            statuses(*window.model()), QStringList({ "19 Lipsa", "230 Lipsa", "27 Lipsa", "35 Initiala", "43 Lipsa" }));
    }

    void aTextAmountIsShownMarkedAndNamed()
    {
        if (qEnvironmentVariableIsSet("ITM_TEST_ON_SERVER"))
            QSKIP("a text in a number column is a register file's; a server refuses it");
        MainWindowFixture f([](TestDatabase& db) {
            seedRegister(db);
            db.exec("UPDATE declaratii SET fondlunsal = 'x1' WHERE idfirma = 2 AND ln = 3");
        });
        TfSituatieLuna window(*f.dm, nullptr, f.window.get());
        f.prompts.answerOk();
        window.showMonth({ 3, 2006 });
        window.model()->finishLoading();
        QTRY_COMPARE(f.prompts.texts().size(), 1);
        QCOMPARE(f.prompts.lastText(),
            QStringLiteral("Declaratia platitorului 35 pentru Martie 2006 are o suma care nu este un numar intreg "
                           "(Coloana 'fondlunsal': 'x1' is not a valid integer value).\nRandul este marcat cu rosu, "
                           "iar totalurile nu cuprind sumele lui."));
        QCOMPARE(window.model()->rowCount(), 5);
        const QModelIndex fund = window.model()->index(3, int(MonthColumn::Fund));
        QCOMPARE(fund.data().toString(), QStringLiteral("x1"));
        QVERIFY(fund.data(Qt::BackgroundRole).isValid());
        QVERIFY2(window.totaluri->text().contains(QStringLiteral("Totaluri incomplete: 1 declaratie")),
            qPrintable(window.totaluri->text()));
    }

    // Each payer's balance up to the month shown, read behind the first
    // screen; "Cu restante" keeps the payers that owe, with their total, and
    // follows the month typed.
    void theBalanceColumnAndThePayersInArrears()
    {
        MainWindowFixture f([](TestDatabase& db) {
            seedRegister(db);
            db.exec("UPDATE declaratii SET comac = 20 WHERE idfirma = 1; "
                    "UPDATE declaratii SET comac = 5 WHERE idfirma = 2 AND ln = 4");
        });
        TfSituatieLuna window(*f.dm, nullptr, f.window.get());
        window.showMonth({ 4, 2006 });
        window.model()->finishLoading();
        QTRY_VERIFY(window.model()->balancesRead());
        const auto balances = [&window] {
            QStringList shown;
            for (int row = 0; row < window.model()->rowCount(); ++row)
                shown << window.model()->payerAt(row).cui + u' '
                        + window.model()->index(row, MonthTableModel::kBalanceColumn).data().toString();
            return shown;
        };
        QCOMPARE(balances(), QStringList({ "19 0", "230 0", "27 -5", "35 10", "43 0" }));
        window.afisare->setCurrentIndex(3);
        QCOMPARE(balances(), QStringList({ "35 10" }));
        QVERIFY2(window.totaluri->text().contains(QStringLiteral("Restante: 10")), qPrintable(window.totaluri->text()));

        window.luna->setText(QStringLiteral("03"));
        QTest::keyClick(window.anul, Qt::Key_Return);
        QCOMPARE(balances(), QStringList());
        window.afisare->setCurrentIndex(0);
        QCOMPARE(balances(), QStringList({ "19 0", "230 0", "27 -5", "35 0", "43 0" }));
    }

    void theWindowFitsASmallScreen()
    {
        MainWindowFixture f([](TestDatabase& db) {
            seedRegister(db);
            db.exec("UPDATE declaratii SET nrsal = 99999, fondlunsal = 999999999999, comdat = 7499999999, "
                    "comac = 1");
        });
        TfSituatieLuna window(*f.dm, nullptr, f.window.get());
        window.showMonth({ 3, 2006 });
        window.model()->finishLoading();
        window.resize(1024, 768);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY2(window.width() <= 1024, qPrintable(QString::number(window.width())));
        for (QPushButton* button : { window.btnPreia, window.btnDischeta, window.btnListare, window.btnImport,
                 window.btnExport, window.btnInchide }) {
            const int right = button->mapTo(&window, QPoint(button->width(), 0)).x();
            QVERIFY2(right <= window.width(), qPrintable(button->text()));
        }
        // The name takes the free width; an amount is as wide as its largest value.
        const QHeaderView* header = window.tabel->horizontalHeader();
        const QFontMetrics cells = window.tabel->fontMetrics();
        QVERIFY(header->sectionSize(int(MonthColumn::Name))
            >= cells.horizontalAdvance(QStringLiteral("S.C. PLATITOR 27 S.R.L. CU NUME")));
        QVERIFY(header->sectionSize(int(MonthColumn::Fund)) >= cells.horizontalAdvance(QStringLiteral("999999999999")));
        QVERIFY(header->sectionSize(int(MonthColumn::Paid)) < header->sectionSize(int(MonthColumn::Fund)));
    }

    void listingPreparesManyPagesAsAJob()
    {
        MainWindowFixture f(declaredPayers(25));
        FakePrinting printing;
        platform().printing = &printing;
        FakeJobs jobs;
        platform().jobs = &jobs;
        TfSituatieLuna window(*f.dm, nullptr, f.window.get());
        window.showMonth({ 3, 2006 });
        jobs.cancelWhenDone(3);
        window.ListareClick();
        QCOMPARE(jobs.titles, QStringList { "Listare" });
        QCOMPARE(printing.requests, 0); // stopped: no preview
        jobs.cancelWhenDone(-1);
        window.ListareClick();
        QCOMPARE(jobs.lastTotal, qint64(25));
        QCOMPARE(printing.pageCounts, QList<int> { 25 });
        QVERIFY(printing.layouts.at(24).texts().contains(QStringLiteral("S.C. PLATITOR 34 S.R.L.")));
    }

    void listingShowsEveryDeclarationOfTheMonthInOnePreview()
    {
        MainWindowFixture f(seedRegister);
        FakePrinting printing;
        platform().printing = &printing;
        TfSituatieLuna window(*f.dm, nullptr, f.window.get());
        window.showMonth({ 3, 2006 });
        window.show();
        QApplication::setActiveWindow(&window);
        QTest::keyClick(window.tabel, Qt::Key_L, Qt::AltModifier);
        // The accelerator presses the button, which clicks once it comes up again.
        QTRY_COMPARE(printing.pageCounts, QList<int> { 2 });
        QCOMPARE(printing.layouts.size(), 2);
        QVERIFY(printing.layouts.at(0).texts().contains(QStringLiteral("S.C. PLATITOR 27 S.R.L.")));
        QVERIFY(printing.layouts.at(1).texts().contains(QStringLiteral("S.C. PLATITOR 35 S.R.L.")));
        window.showMonth({ 5, 2006 });
        f.prompts.answerOk();
        window.ListareClick();
        QCOMPARE(f.prompts.lastText(), QStringLiteral("Nu exista declaratii pentru luna Mai 2006."));
        QCOMPARE(printing.requests, 1);
    }

    void theMonthGoesToTheDriveInOneMerge()
    {
        MainWindowFixture f(seedRegister);
        FakeDrives drives;
        platform().drives = &drives;
        QTemporaryDir stick;
        drives.addDrive(stick.path() + u'/', DriveKind::Removable);
        TfSelDisck& driveDialog = *f.driveDialog;
        driveDialog.Timer1Timer();
        // An earlier line of payer 27 gives way; another payer's line stays.
        QFile earlier(stick.filePath(QStringLiteral("IM200603.txt")));
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("\"03\",\"2006\",27,OLD\r\n\"03\",\"2006\",77,OTHER\r\n");
        earlier.close();
        TfSituatieLuna window(*f.dm, &driveDialog, f.window.get());
        window.showMonth({ 3, 2006 });
        QTimer::singleShot(0, &driveDialog, [&] { QTest::keyClick(driveDialog.lv, Qt::Key_Return); });
        f.prompts.answerOk();
        window.DischetaClick();
        QCOMPARE(f.prompts.lastText(),
            QStringLiteral("Scris %1 (3 linii) si copia din Rez, pe %2.")
                .arg(stick.filePath(QStringLiteral("IM200603.txt")), stick.path() + u'/'));
        QFile written(stick.filePath(QStringLiteral("IM200603.txt")));
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = written.readAll().split('\n');
        QCOMPARE(lines.size(), 4); // three lines and the end of the last
        QCOMPARE(lines.at(0), QByteArray("\"03\",\"2006\",77,OTHER\r"));
        QVERIFY(lines.at(1).startsWith("\"03\",\"2006\",27,1,\"PLATITOR 27\""));
        QVERIFY(lines.at(2).startsWith("\"03\",\"2006\",35,1,\"PLATITOR 35\""));
        QFile copy(stick.filePath(QStringLiteral("Rez/IM200603.txt")));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll().split('\n'), lines);
    }

    // The file keeps one line per code: two declared payers with one code
    // would lose one of them, so the month is refused with the code named.
    void aCodeHeldByTwoDeclaredPayersStopsTheMonth()
    {
        if (qEnvironmentVariableIsSet("ITM_TEST_ON_SERVER"))
            QSKIP("a server register holds each code once");
        MainWindowFixture f([](TestDatabase& db) {
            seedRegister(db);
            db.exec("UPDATE firme SET cui = '27' WHERE cui = '35'");
        });
        FakeDrives drives;
        platform().drives = &drives;
        QTemporaryDir stick;
        drives.addDrive(stick.path() + u'/', DriveKind::Removable);
        f.driveDialog->Timer1Timer();
        TfSituatieLuna window(*f.dm, f.driveDialog.get(), f.window.get());
        window.showMonth({ 3, 2006 });
        f.prompts.answerOk();
        window.DischetaClick();
        QVERIFY(f.prompts.lastText().startsWith(
            QStringLiteral("Codul 27 apartine mai multor platitori declarati pentru luna Martie 2006.")));
        QVERIFY(QDir(stick.path()).isEmpty());
    }
};

QTEST_MAIN(TestMonthWindow)
#include "tst_monthwindow.moc"
