// The copies of the register from inside the program: F6 lists them, F2
// makes one now, and a copy chosen and confirmed is restored in place of the
// open register, which opens again.
#include "app/RegisterRestore.h"
#include "app/Startup.h"
#include "app/TDecl.h"
#include "app/TfCopii.h"
#include "backup/BackupNames.h"
#include "backup/Backups.h"
#include "payers/TVelaDBAutoCompletitionEdit.h"
#include "platform/Platform.h"
#include "store/DatabaseLock.h"
#include "store/Tdm.h"

#include "backup/BackupFixture.h"
#include "support/FakeClock.h"
#include "support/FakeJobs.h"
#include "support/FakePrompts.h"
#include "support/GuiFixture.h"
#include "support/GuiTestCase.h"
#include "support/SampleRecords.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <optional>

using namespace itm;
using namespace itm::test;

namespace {

QStringList rowsOf(const QTableWidget& table)
{
    QStringList rows;
    for (int row = 0; row < table.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table.columnCount(); ++column)
            cells << table.item(row, column)->text();
        rows << cells.join(u'|');
    }
    return rows;
}

qint64 payersOf(Tdm& dm)
{
    Statement count(dm.con, QStringLiteral("SELECT count(*) FROM firme"));
    count.step();
    return count.integer(0);
}

} // namespace

class TestBackupWindow : public itm::test::GuiTestCase
{
    Q_OBJECT

    FakePrompts m_prompts;
    FakeClock m_clock;
    FakeJobs m_jobs;
    std::optional<PlatformScope> m_scope;

private Q_SLOTS:
    void init()
    {
        m_scope.emplace();
        m_prompts.clear();
        m_jobs = FakeJobs();
        platform().prompts = &m_prompts;
        platform().clock = &m_clock;
        platform().jobs = &m_jobs;
    }
    void cleanup()
    {
        GuiTestCase::cleanup();
        m_scope.reset();
    }

    void theWindowListsTheCopiesAndMakesOneNow()
    {
        TestDatabase database;
        fillRegister(database, 30000);
        const QString folder = BackupFolder(database.path());
        QDir().mkpath(folder);
        QVERIFY(QFile::copy(database.path(), folder + QStringLiteral("/date-20070301-080000.itm")));
        QFile broken(folder + QStringLiteral("/date-20070302-080000.itm"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("nu este o copie");
        broken.close();

        TfCopii window(database.path());
        window.reload();
        QCOMPARE(rowsOf(*window.tabel),
            QStringList({ "02.03.2007 08:00:00|15 B|?|?|fisierul nu este o baza de date valida: file is not a database",
                "01.03.2007 08:00:00|" + window.tabel->item(1, 1)->text() + "|30000|30000|corecta" }));

        // Stopped halfway, the copy leaves nothing behind.
        m_jobs.cancelWhenDone(1);
        window.copieClick();
        QCOMPARE(window.tabel->rowCount(), 2);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 2);

        m_jobs.cancelWhenDone(-1);
        window.copieClick();
        QCOMPARE(m_jobs.titles,
            QStringList({ "Copii de siguranta", "Copie de siguranta", "Copie de siguranta", "Copii de siguranta" }));
        QCOMPARE(window.tabel->rowCount(), 3);
        QCOMPARE(window.tabel->currentRow(), 0);
        QVERIFY(window.tabel->item(0, 0)->text().startsWith(QStringLiteral("15.03.2007 12:00:00")));
        QCOMPARE(window.tabel->item(0, 4)->text(), QStringLiteral("corecta"));
    }

    void f6OpensTheWindowAndEscapeClosesIt()
    {
        TestDatabase database;
        samples::addPayer(database, QStringLiteral("19"));
        QDir::setCurrent(QStringLiteral(ITM_SOURCE_DIR "/assets"));
        ProgramObjects program;
        QVERIFY(createProgram(program, database.path()));
        program.Decl->show();
        QApplication::setActiveWindow(program.Decl.get());
        QTRY_VERIFY(program.Decl->isActiveWindow());
        QCOMPARE(program.Decl->lblF6->text(), QStringLiteral("F6 - copii"));
        bool opened = false;
        bool closed = false;
        QTimer::singleShot(0, [&] {
            auto* window = qobject_cast<TfCopii*>(QApplication::activeModalWidget());
            opened = window != nullptr;
            if (!window)
                return;
            QTest::keyClick(window->tabel, Qt::Key_Escape);
            closed = !window->isVisible();
            if (!closed)
                window->reject();
        });
        QTest::keyClick(program.Decl->cui, Qt::Key_F6);
        QVERIFY(opened);
        QVERIFY(closed);
    }

    // Restoring from the program: the register closes, the copy takes its
    // place, and it opens again under the same lock, in a new window.
    void aRestoreReopensTheRegisterFromTheCopy()
    {
        TestDatabase database;
        fillRegister(database, 5);
        const BackupOutcome copy = MakeBackup(database.path(), BackupFolder(database.path()), m_clock.now());
        QVERIFY(copy.made());
        fillRegister(database, 3);
        QDir::setCurrent(QStringLiteral(ITM_SOURCE_DIR "/assets"));
        ProgramObjects program;
        QVERIFY(createProgram(program, database.path()));
        QCOMPARE(payersOf(*program.dm), 8);
        const QPointer<TDecl> before = program.Decl.get();

        m_prompts.answerOk();
        m_clock.time = m_clock.time.addSecs(60);
        QVERIFY(RestoreOpenRegister(program, database.path(), {}, copy.path));
        QVERIFY2(m_prompts.texts().value(0).startsWith(QStringLiteral("Registrul a fost restaurat din ")),
            qPrintable(m_prompts.texts().value(0)));
        QCOMPARE(m_jobs.titles, QStringList { "Restaurare" });
        // The old window closed with the register; a new one shows it.
        QVERIFY(before.isNull());
        QVERIFY(program.Decl && program.Decl->isVisible());
        QCOMPARE(payersOf(*program.dm), 5);
        // The register before the restore is one of the copies now.
        QCOMPARE(ListBackups(BackupFolder(database.path()), QStringLiteral("date")).size(), 2);
        // The lock holds the new file: without the lock file too.
        QVERIFY(QFile::remove(DatabaseLock::lockFilePath(database.path())));
        DatabaseLock other(database.path());
        QCOMPARE(other.tryLock(), DatabaseLock::Outcome::HeldByOther);
    }

    // A copy of another register is restored only after a Yes.
    void aCopyOfAnotherRegisterIsAskedAbout()
    {
        TestDatabase database;
        fillRegister(database, 5);
        TestDatabase other;
        fillRegister(other, 2);
        QVERIFY(MakeBackup(database.path(), BackupFolder(database.path()), m_clock.now()).made());
        const BackupOutcome foreign = MakeBackup(other.path(), BackupFolder(other.path()), m_clock.now());
        QVERIFY(foreign.made());
        QDir::setCurrent(QStringLiteral(ITM_SOURCE_DIR "/assets"));
        ProgramObjects program;
        QVERIFY(createProgram(program, database.path()));

        m_prompts.answerNo();
        QVERIFY(RestoreOpenRegister(program, database.path(), {}, foreign.path));
        QVERIFY2(m_prompts.texts().value(0).contains(QStringLiteral("este copia altui registru")),
            qPrintable(m_prompts.texts().value(0)));
        QCOMPARE(payersOf(*program.dm), 5);

        m_prompts.answerYes();
        m_prompts.answerOk();
        QVERIFY(RestoreOpenRegister(program, database.path(), {}, foreign.path));
        QCOMPARE(payersOf(*program.dm), 2);
    }
};

QTEST_MAIN(TestBackupWindow)
#include "tst_backupwindow.moc"
