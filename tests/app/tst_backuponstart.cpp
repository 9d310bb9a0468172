#include "app/BackupOnStart.h"
#include "backup/AutomaticBackup.h"
#include "backup/BackupNames.h"
#include "backup/Backups.h"
#include "platform/Platform.h"

#include "support/FakeClock.h"
#include "support/FakePrompts.h"
#include "support/GuiTestCase.h"
#include "support/SampleRecords.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QDialog>
#include <QSignalSpy>
#include <QTest>

using namespace itm;
using namespace itm::test;

class TestBackupOnStart : public itm::test::GuiTestCase
{
    Q_OBJECT

    FakePrompts m_prompts;
    FakeClock m_clock;

private Q_SLOTS:
    void init()
    {
        m_prompts.clear();
        platform().prompts = &m_prompts;
        platform().clock = &m_clock;
    }

    void aDueBackupIsMadeWithoutABox()
    {
        TestDatabase database;
        samples::addPayer(database, QStringLiteral("13548146"));
        QObject window;
        StartAutomaticBackup(&window, database.path(), nullptr);
        const QString expected = BackupFolder(database.path()) + u'/'
            + BackupFileName(QStringLiteral("date"), QDateTime(m_clock.date, m_clock.time));
        // A backup that ends with a copy has not failed: no box can follow.
        QSignalSpy finished(window.findChild<AutomaticBackup*>(), &AutomaticBackup::finished);
        QTRY_COMPARE(finished.size(), 1);
        QVERIFY(QFileInfo::exists(expected));
        QCOMPARE(m_prompts.verify(), QString());
        QCOMPARE(m_prompts.shown().size(), 0);
    }

    void aFailureIsShownOnceWhenNoDialogIsOpen()
    {
        TestDatabase database;
        QFile blocker(BackupFolder(database.path())); // a file where the folder should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QDialog dialog;
        dialog.setModal(true);
        dialog.show();
        QTRY_VERIFY(QApplication::activeModalWidget() == &dialog);

        m_prompts.answerOk();
        QObject window;
        StartAutomaticBackup(&window, database.path(), nullptr);
        QSignalSpy failed(window.findChild<AutomaticBackup*>(), &AutomaticBackup::failed);
        QTRY_COMPARE(failed.size(), 1);
        // The box is tried again every half second while a dialog is open;
        // one try more passes with the dialog still there, and no box over it.
        QVERIFY(!QTest::qWaitFor([&] { return !m_prompts.shown().isEmpty(); }, 600));
        dialog.close();
        QTRY_COMPARE(m_prompts.shown().size(), 1);
        const FakePrompts::Shown& box = m_prompts.shown().constFirst();
        QCOMPARE(box.kind, FakePrompts::Kind::Message);
        QVERIFY2(box.text.startsWith(QStringLiteral("Copia de siguranta a bazei de date nu a putut fi facuta: ")),
            qPrintable(box.text));
        // Once shown it is not tried again: a try would come within half a
        // second, so a while longer without a second box is the proof.
        QVERIFY(!QTest::qWaitFor([&] { return m_prompts.shown().size() > 1; }, 600));
    }
};

QTEST_MAIN(TestBackupOnStart)
#include "tst_backuponstart.moc"
