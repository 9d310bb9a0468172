#include "declaration/DeclarationPanel.h"
#include "declaration/PeriodPanel.h"
#include "output/OutputPanel.h"
#include "output/PageLayout.h"
#include "output/TfSelDisck.h"
#include "payers/PayerPanel.h"
#include "support/FakeDrives.h"
#include "support/FakeJobs.h"
#include "support/FakePrinting.h"
#include "support/GuiTestCase.h"
#include "support/MainWindowFixture.h"
#include "support/SampleRecords.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

using namespace itm;
using namespace itm::test;
using State = TDecl::WindowState;

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// Seeds a payer with its March 2006 declaration and walks the window to the
// output state for it.
struct OutputFixture
{
    OutputFixture()
        : f([](TestDatabase& db) {
            samples::addPayer(db, QStringLiteral("19"));
            db.exec("INSERT INTO declaratii (idfirma, ln, an, rectificativ, com25, nrsal, fondlunsal, comdat, comac, "
                    "comdec, comdecac) VALUES (1, 3, 2006, 0, 1, 4, 50000, 125, 100, 0, 0)");
        })
    {
        platform().drives = &drives;
        platform().printing = &printing;
    }

    void reachOutputState()
    {
        f.openPayer(QStringLiteral("19"));
        f.window->dcgb->Button3->click();
        QTRY_VERIFY(f.window->dcgb->Button5->isEnabled());
        f.window->dcgb->Button5->click();
        QTRY_COMPARE(f.window->windowState(), State::Period);
        f.window->PanelLuna->MaskEdit1->setText(QStringLiteral("03"));
        f.window->PanelLuna->MaskEdit2->setText(QStringLiteral("2006"));
        f.prompts.answerYes();
        MainWindowFixture::key(f.window->PanelLuna->MaskEdit2, Qt::Key_Return);
        f.window->ddgb->Button1->click();
        QTRY_COMPARE(f.window->windowState(), State::Output);
    }

    MainWindowFixture f;
    FakeDrives drives;
    FakePrinting printing;
    TfSelDisck* dialog = f.driveDialog.get();
};

// The medium goes at the given call: the first names it when it is listed,
// the next ones check it before and while the file is written.
class PulledOutDrives : public FakeDrives
{
public:
    int pullAtCall = 0;
    QString volumeAt(const QString& rootPath) override
    {
        if (++m_calls == pullAtCall)
            removeDrive(rootPath);
        return FakeDrives::volumeAt(rootPath);
    }

private:
    int m_calls = 0;
};

// The drive dialog over one listed drive, as the writer shows it.
struct DriveDialogFixture : GuiFixture
{
    PulledOutDrives drives;
    QTemporaryDir stick;
    TfSelDisck dialog;

    DriveDialogFixture()
    {
        platform().drives = &drives;
        dialog.Timer1->stop();
        drives.addDrive(root(), DriveKind::Removable);
        dialog.Timer1Timer();
        dialog.Luna = 3;
        dialog.An = 2006;
        dialog.Cui = QStringLiteral("19");
        dialog.Linie = QStringLiteral("\"03\",\"2006\",19,new");
    }

    QString root() const { return stick.path() + u'/'; }
    QString file() const { return stick.filePath(QStringLiteral("IM200603.txt")); }

    // Shows the dialog modally and runs the steps once it is up.
    int run(const std::function<void()>& steps)
    {
        QTimer::singleShot(0, &dialog, [&] {
            steps();
            if (dialog.isVisible())
                dialog.done(-1);
        });
        return dialog.exec();
    }
};

} // namespace

class TestOutputCommands : public itm::test::GuiTestCase
{
    Q_OBJECT
private Q_SLOTS:
    void timerFollowsTheDrives()
    {
        PlatformScope scope;
        FakePrompts prompts;
        FakeDrives drives;
        platform().prompts = &prompts;
        platform().drives = &drives;
        TfSelDisck dialog;
        QCOMPARE(dialog.Timer1->interval(), 500);
        QVERIFY(dialog.Timer1->isActive());
        drives.addDrive(QStringLiteral("/media/a/"), DriveKind::Removable);
        drives.addDrive(QStringLiteral("/media/c/"), DriveKind::Optical);
        dialog.Timer1Timer();
        QCOMPARE(dialog.lv->count(), 2);
        // With several drives at once, the last one added is selected.
        QCOMPARE(dialog.lv->currentItem()->text(), QStringLiteral("/media/c/"));
        dialog.lv->setCurrentRow(0);
        dialog.Timer1Timer();
        QCOMPARE(dialog.lv->currentRow(), 0); // a drive already listed keeps the selection as it is
        drives.addDrive(QStringLiteral("/media/b/"), DriveKind::Removable);
        dialog.Timer1Timer();
        QCOMPARE(dialog.lv->count(), 3);
        QCOMPARE(dialog.lv->currentItem()->text(), QStringLiteral("/media/b/"));
        drives.removeDrive(QStringLiteral("/media/b/"));
        dialog.Timer1Timer();
        QCOMPARE(dialog.lv->count(), 2);
        QCOMPARE(dialog.lv->currentRow(), 0);
        drives.setDrives({});
        dialog.Timer1Timer();
        QCOMPARE(dialog.lv->count(), 0);
        QTRY_VERIFY(drives.scanCount() > 6); // the timer polls by itself as well
    }

    void escapeAsksBeforeGivingUp()
    {
        PlatformScope scope;
        FakePrompts prompts;
        FakeDrives drives;
        platform().prompts = &prompts;
        platform().drives = &drives;
        QTemporaryDir stick;
        drives.addDrive(stick.path() + u'/', DriveKind::Removable);
        TfSelDisck dialog;
        dialog.Timer1Timer();
        dialog.Luna = 3;
        dialog.An = 2006;
        dialog.Cui = QStringLiteral("19");
        dialog.Linie = QStringLiteral("\"03\",\"2006\",19");
        prompts.answerNo();
        prompts.answerYes();
        QTimer::singleShot(0, &dialog, [&] {
            QTest::keyClick(dialog.lv, Qt::Key_Escape);
            QVERIFY(dialog.isVisible());
            QTest::keyClick(dialog.lv, Qt::Key_Escape);
        });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(prompts.texts(),
            (QStringList { QStringLiteral("Renuntati la salvare ?"), QStringLiteral("Renuntati la salvare ?") }));
        QVERIFY(!QFile::exists(stick.filePath(QStringLiteral("IM200603.txt"))));
    }

    void enterOnTheSaveButtonPressesIt()
    {
        DriveDialogFixture d;
        const int result = d.run([&] {
            d.dialog.Button1->setFocus(Qt::TabFocusReason);
            QTest::keyClick(d.dialog.Button1, Qt::Key_Return);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(readFile(d.file()), QByteArray("\"03\",\"2006\",19,new\r\n"));
    }

    void aDoubleClickBesideTheIconsClosesWithoutWriting()
    {
        DriveDialogFixture d;
        const int result = d.run([&] {
            QWidget* area = d.dialog.lv->viewport();
            const QPoint empty(area->width() - 4, area->height() - 4);
            QVERIFY(!d.dialog.lv->itemAt(empty));
            QTest::mouseDClick(area, Qt::LeftButton, {}, empty);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(!QFile::exists(d.file()));
    }

    // The mount point of a medium pulled out stays behind as a folder of the
    // computer's own disk: nothing may be written into it.
    void aMediumPulledOutAfterItWasListedGetsNothing_data()
    {
        QTest::addColumn<int>("pullAtCall");
        QTest::addColumn<QByteArray>("existing");
        QTest::newRow("before Enter, in the last half second") << 2 << QByteArray();
        QTest::newRow("while the existing file is merged")
            << 3 << QByteArray("\"03\",\"2006\",230,a\r\n\"03\",\"2006\",31,b\r\n");
    }
    void aMediumPulledOutAfterItWasListedGetsNothing()
    {
        QFETCH(int, pullAtCall);
        QFETCH(QByteArray, existing);
        DriveDialogFixture d;
        if (!existing.isEmpty())
            writeFile(d.file(), existing);
        d.drives.pullAtCall = pullAtCall;
        d.prompts.answerOk();
        d.run([&] { QTest::keyClick(d.dialog.lv, Qt::Key_Return); });
        QCOMPARE(d.prompts.texts(), QStringList { QStringLiteral("Salvarea nu poate fi efectuata!.") });
        QCOMPARE(readFile(d.file()), existing);
        QVERIFY(!QFile::exists(d.stick.filePath(QStringLiteral("Rez"))));
        QVERIFY(!d.dialog.isVisible());
    }

    // Stopped before the first file is put in place, the save leaves the
    // medium as it was and says so; the drive dialog closes.
    void aStoppedSaveWritesNothing()
    {
        DriveDialogFixture d;
        const QByteArray existing("\"03\",\"2006\",230,a\r\n");
        writeFile(d.file(), existing);
        FakeJobs jobs;
        jobs.cancelWhenDone(0);
        platform().jobs = &jobs;
        d.prompts.answerOk();
        d.run([&] { QTest::keyClick(d.dialog.lv, Qt::Key_Return); });
        QCOMPARE(
            d.prompts.texts(), QStringList { QStringLiteral("Salvarea a fost oprita; pe disc nu s-a scris nimic.") });
        QCOMPARE(readFile(d.file()), existing);
        QCOMPARE(QDir(d.stick.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { "IM200603.txt" });
        QVERIFY(!d.dialog.lastSave());
        QVERIFY(!d.dialog.isVisible());
    }

    void generateWritesTheStoredLineAndKeepsEditing()
    {
        OutputFixture o;
        o.reachOutputState();
        QTemporaryDir stick;
        o.drives.addDrive(stick.path() + u'/', DriveKind::Removable);
        o.dialog->Timer1Timer();
        writeFile(stick.filePath(QStringLiteral("IM200603.txt")),
            "\"03\",\"2006\",230,other payer\r\n\"03\",\"2006\",19,old line\r\n");
        // An edit left unsaved on the window is not in the line.
        o.f.dm->qryFirme->FieldByName(QStringLiteral("loc")).setAsString(QStringLiteral("UNSAVED"));
        QTimer::singleShot(0, o.dialog, [&] { QTest::keyClick(o.dialog->lv, Qt::Key_Return); });
        MainWindowFixture::key(o.f.window->butpan->Button4, Qt::Key_Return);
        const QByteArray written = readFile(stick.filePath(QStringLiteral("IM200603.txt")));
        const QList<QByteArray> lines = written.split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QByteArray("\"03\",\"2006\",230,other payer\r"));
        QVERIFY(lines[1].startsWith("\"03\",\"2006\",19,1,\"ALFA\",1,\"16\",\"CRAIOVA\",0,"));
        QVERIFY(lines[1].contains(",0,1,4,50000,125,100,0,0,"));
        QVERIFY(written.endsWith("0,0,0\r\n"));
        QCOMPARE(readFile(stick.filePath(QStringLiteral("Rez/IM200603.txt"))), written);
        QCOMPARE(o.f.window->butpan->lblSalvare->text(),
            QStringLiteral("Scris %1 (2 linii) si copia din Rez, pe %2")
                .arg(stick.filePath(QStringLiteral("IM200603.txt")), stick.path() + u'/'));
        QCOMPARE(o.f.dm->qryFirme->State(), DatasetState::Edit);
        QCOMPARE(o.f.dm->qryDeclaratii->State(), DatasetState::Edit);
        QCOMPARE(o.f.dm->qryFirme->FieldByName(QStringLiteral("loc")).AsString(), QStringLiteral("CRAIOVA"));
        QCOMPARE(o.f.window->windowState(), State::Output);
    }

    void aFailedSaveIsReportedAndKeepsTheOldFile()
    {
        OutputFixture o;
        o.reachOutputState();
        QTemporaryDir stick;
        // The copy's folder is a file: the root file is written, the copy fails.
        writeFile(stick.filePath(QStringLiteral("Rez")), "not a folder");
        o.drives.addDrive(stick.path() + u'/', DriveKind::Removable);
        o.dialog->Timer1Timer();
        o.f.prompts.answerOk();
        QTimer::singleShot(0, o.dialog, [&] { o.dialog->Button1->click(); });
        o.f.window->butpan->Button4->click();
        QTRY_COMPARE(o.f.prompts.lastText(), QStringLiteral("Salvarea nu poate fi efectuata!."));
        QCOMPARE(readFile(stick.filePath(QStringLiteral("Rez"))), QByteArray("not a folder"));
        QVERIFY(!o.dialog->isVisible());
    }

    void printShowsTheStoredPayerAndKeepsEditing()
    {
        OutputFixture o;
        o.reachOutputState();
        o.f.dm->qryFirme->FieldByName(QStringLiteral("denumire")).setAsString(QStringLiteral("UNSAVED"));
        MainWindowFixture::key(o.f.window->butpan->Button6, Qt::Key_Return);
        QCOMPARE(o.printing.requests, 1);
        QCOMPARE(o.printing.lastParent, o.f.window.get());
        QCOMPARE(o.printing.lastJobTitle, QStringLiteral("Declaratie ITM 19 03/2006"));
        QCOMPARE(o.printing.layouts.size(), 2);
        const PageLayout& page = o.printing.layouts.first();
        QCOMPARE(page.formName, QStringLiteral("TrLunff"));
        const QStringList texts = page.texts();
        QVERIFY(texts.contains(QStringLiteral("S.C. ALFA S.R.L.")));
        QVERIFY(!texts.join(u' ').contains(QStringLiteral("UNSAVED")));
        QVERIFY(texts.contains(QStringLiteral("luna Martie anul 2006")));
        QCOMPARE(o.f.dm->qryFirme->State(), DatasetState::Edit);
        QCOMPARE(o.f.dm->qryDeclaratii->State(), DatasetState::Edit);
        QCOMPARE(o.f.window->windowState(), State::Output);
        // Printing again gives the same page.
        MainWindowFixture::key(o.f.window->butpan->Button6, Qt::Key_Return);
        QCOMPARE(o.printing.layouts.last().texts(), texts);
    }

    // A salary fund stored with a fraction by another tool is not printed as
    // it is: the error names the payer, and the records stay in editing.
    void aFundThatIsNoWholeNumberIsNotPrinted()
    {
        OutputFixture o;
        o.reachOutputState();
        // As another tool stored it: the window's own rules never let it in.
        o.f.dm->qryDeclaratii->Edit();
        o.f.dm->qryDeclaratii->FieldByName(QStringLiteral("fondlunsal")).setAsFloat(12345.5);
        o.f.prompts.answerOk();
        MainWindowFixture::key(o.f.window->butpan->Button6, Qt::Key_Return);
        QCOMPARE(o.printing.requests, 0);
        QCOMPARE(o.f.prompts.lastText(),
            QStringLiteral(
                "Platitorul cu codul fiscal 19: Coloana 'fondlunsal': '12345.5' is not a valid integer value."));
        QCOMPARE(o.f.dm->qryFirme->State(), DatasetState::Edit);
        QCOMPARE(o.f.dm->qryDeclaratii->State(), DatasetState::Edit);
    }

    void aStoredFundThatIsNoWholeNumberIsNotWritten()
    {
        OutputFixture o;
        o.reachOutputState();
        o.f.database.exec("UPDATE declaratii SET fondlunsal = 12345.5");
        o.f.dm->qryDeclaratii->Cancel();
        o.f.dm->qryDeclaratii->Refresh();
        o.f.dm->qryDeclaratii->Edit();
        o.f.prompts.answerOk();
        MainWindowFixture::key(o.f.window->butpan->Button4, Qt::Key_Return);
        QCOMPARE(o.f.prompts.lastText(),
            QStringLiteral(
                "Platitorul cu codul fiscal 19: Coloana 'fondlunsal': '12345.5' is not a valid integer value."));
        QVERIFY(!o.dialog->isVisible());
        QCOMPARE(o.f.dm->qryDeclaratii->State(), DatasetState::Edit);
    }
};

QTEST_MAIN(TestOutputCommands)
#include "tst_outputcommands.moc"
