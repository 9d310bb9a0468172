#include "backup/AutomaticBackup.h"
#include "backup/BackupNames.h"
#include "backup/Backups.h"
#include "backup/DatabaseCheck.h"
#include "backup/Restore.h"
#include "store/Connection.h"
#include "support/FileSizeLimit.h"

#include "BackupFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <memory>
#include <sqlite3.h>
#include <sys/mount.h>
#include <thread>

using namespace itm;
using namespace itm::test;

namespace {
const QDateTime noon(QDate(2007, 3, 15), QTime(12, 0));

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// Every file named like a backup is a whole copy that passes its check.
bool backupsAreWhole(const QString& folder, QString* problem)
{
    for (const BackupEntry& backup : ListBackups(folder, QStringLiteral("date"))) {
        const DatabaseCheck check = CheckDatabaseFile(backup.path, CheckDepth::Tables);
        if (!check.passed) {
            *problem = backup.path + QStringLiteral(": ") + check.problem;
            return false;
        }
    }
    return true;
}

void touch(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
}

// Starts the backup until its copy is seen under way: its partial file is
// looked for without pause (QTRY's beat could miss a copy of some tens of
// milliseconds, which needs no event loop). A busy machine may let a copy
// end before it is seen: it is removed and made again, a few times.
bool startUntilUnderWay(AutomaticBackup& backup, const QString& folder)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        QElapsedTimer waited;
        waited.start();
        while (backup.isRunning() && waited.elapsed() < 10000)
            QThread::yieldCurrentThread();
        for (const QString& name : filesIn(folder))
            QFile::remove(folder + u'/' + name);
        backup.start(noon);
        while (waited.elapsed() < 20000) {
            if (std::ranges::any_of(
                    filesIn(folder), [](const QString& name) { return ParsePartialFileName(name).has_value(); }))
                return true;
            if (!backup.isRunning())
                break;
        }
    }
    return false;
}
} // namespace

class TestBackups : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void aBackupIsAWholeCheckedCopyNamedForItsTime()
    {
        TestDatabase database;
        fillRegister(database, 500);
        const QString folder = BackupFolder(database.path());
        QCOMPARE(folder, database.folder() + QStringLiteral("/copii"));

        const BackupOutcome first = MakeBackup(database.path(), folder, noon);
        QVERIFY2(first.made(), qPrintable(first.problem));
        QCOMPARE(first.path, folder + QStringLiteral("/date-20070315-120000.itm"));
        const DatabaseCheck check = CheckDatabaseFile(first.path, CheckDepth::Columns);
        QVERIFY2(check.passed, qPrintable(check.problem));
        QCOMPARE(check.payers, 500);
        QCOMPARE(check.declarations, 500);

        const BackupOutcome second = MakeBackup(database.path(), folder, noon);
        QVERIFY(second.made());
        QCOMPARE(second.path, folder + QStringLiteral("/date-20070315-120000-2.itm"));
        QCOMPARE(filesIn(folder), (QStringList { "date-20070315-120000-2.itm", "date-20070315-120000.itm" }));
    }

    void aCopyMadeWhileTheDatabaseIsWrittenIsConsistent_data()
    {
        QTest::addColumn<bool>("throughTheWritersConnection");
        QTest::addColumn<int>("pauseMs");
        QTest::newRow("the program posts through the connection copied") << true << 1;
        QTest::newRow("another process writes") << false << 20;
    }
    void aCopyMadeWhileTheDatabaseIsWrittenIsConsistent()
    {
        QFETCH(bool, throughTheWritersConnection);
        QFETCH(int, pauseMs);
        TestDatabase database;
        fillRegister(database, 20000);
        sqlite3* db = nullptr;
        sqlite3_open(database.path().toUtf8().constData(), &db);
        sqlite3_busy_timeout(db, 2000);
        std::atomic_bool stop { false };
        std::atomic_int written { 0 };
        // Each payer comes with its declaration in one transaction: a copy
        // that mixed two moments of the file would count them apart.
        std::thread writer([&] {
            while (!stop) {
                if (sqlite3_exec(db,
                        "BEGIN; INSERT INTO firme (cui) VALUES ('9'); INSERT INTO declaratii (idfirma) VALUES "
                        "(last_insert_rowid()); COMMIT;",
                        nullptr, nullptr, nullptr)
                    == SQLITE_OK)
                    ++written;
                else
                    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
                std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
            }
        });
        const CopySource source(database.path(), SourceAccess::ReadOnly, throughTheWritersConnection ? db : nullptr);
        const BackupOutcome outcome = MakeBackup(source, BackupFolder(database.path()), noon);
        stop = true;
        writer.join();
        sqlite3_close(db);
        QVERIFY2(outcome.made(), qPrintable(outcome.problem));
        QVERIFY(written > 0);
        const DatabaseCheck check = CheckDatabaseFile(outcome.path, CheckDepth::Tables);
        QVERIFY2(check.passed, qPrintable(check.problem));
        QCOMPARE(check.payers, check.declarations);
    }

    void aDestinationThatCannotBeWrittenGivesNoBackup_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder under a regular file") << "file";
        QTest::newRow("folder in /proc") << "proc";
        QTest::newRow("full disk") << "tmpfs";
    }
    void aDestinationThatCannotBeWrittenGivesNoBackup()
    {
        QFETCH(QString, kind);
        TestDatabase database;
        fillRegister(database, 2000);
        const QByteArray before = fileDigest(database.path());
        QTemporaryDir place;
        QString folder;
        if (kind == QLatin1String("file")) {
            touch(place.filePath(QStringLiteral("stick")));
            folder = place.filePath(QStringLiteral("stick/copii"));
        } else if (kind == QLatin1String("proc")) {
            folder = QStringLiteral("/proc/itm-copii");
        } else {
            folder = place.filePath(QStringLiteral("full"));
            QDir().mkpath(folder);
            if (::mount("tmpfs", folder.toUtf8().constData(), "tmpfs", 0, "size=64k") != 0)
                QSKIP("mounting a small tmpfs needs root");
        }
        const BackupOutcome outcome = MakeBackup(database.path(), folder, noon);
        const QStringList left = kind == QLatin1String("tmpfs") ? filesIn(folder) : QStringList();
        if (kind == QLatin1String("tmpfs"))
            ::umount(folder.toUtf8().constData());
        QVERIFY(!outcome.made());
        QCOMPARE(outcome.status, CopyOutcome::TargetFailed);
        QVERIFY2(outcome.problem.contains(folder), qPrintable(outcome.problem));
        QCOMPARE(left, QStringList());
        QCOMPARE(fileDigest(database.path()), before);
    }

    // The medium fills up during the copy, without root's small tmpfs: no
    // backup, nothing left in the folder, and a restore that cannot write the
    // new database leaves the old one as it was.
    void aFullMediumLeavesNoBackupAndTheDatabaseWhole()
    {
        TestDatabase database;
        fillRegister(database, 10);
        TestDatabase offered;
        fillRegister(offered, 3000);
        const qint64 limit = QFileInfo(offered.path()).size() / 2;
        QVERIFY(QFileInfo(database.path()).size() * 2 < limit);
        const QByteArray before = fileDigest(offered.path());
        const QString folder = BackupFolder(offered.path());
        const QByteArray current = fileDigest(database.path());
        BackupOutcome backup;
        RestoreOutcome restore;
        {
            FileSizeLimit full(limit);
            QVERIFY(full.isActive());
            backup = MakeBackup(offered.path(), folder, noon);
            restore = RestoreDatabase(offered.path(), database.path(), noon);
        }
        QCOMPARE(backup.status, CopyOutcome::TargetFailed);
        QVERIFY2(backup.problem.contains(folder), qPrintable(backup.problem));
        QCOMPARE(filesIn(folder), QStringList());
        QCOMPARE(fileDigest(offered.path()), before);

        QCOMPARE(restore.status, RestoreOutcome::Failed);
        // The current database was kept; writing the new one is what failed.
        QVERIFY2(restore.problem.startsWith(database.folder() + u':'), qPrintable(restore.problem));
        QCOMPARE(ListBackups(BackupFolder(database.path()), QStringLiteral("date")).size(), 1);
        QCOMPARE(fileDigest(database.path()), current);
        const QStringList left = filesIn(database.folder());
        QVERIFY2(std::none_of(left.begin(), left.end(),
                     [](const QString& name) { return ParsePartialFileName(name).has_value(); }),
            qPrintable(left.join(u' ')));
    }

    void aDamagedDatabaseGivesNoBackup()
    {
        TestDatabase database;
        fillRegister(database, 2000);
        QVERIFY(damageFile(database.path()));
        const QString folder = BackupFolder(database.path());
        const BackupOutcome outcome = MakeBackup(database.path(), folder, noon);
        QVERIFY(!outcome.made());
        QCOMPARE(outcome.status, CopyOutcome::SourceDamaged);
        QCOMPARE(filesIn(folder), QStringList());
    }

    // A database that a writer killed mid-write left half-written (a hot
    // journal beside it) is copied by nobody who cannot mend it first; the
    // message says what is wrong, and the database and its journal stay.
    void aHalfWrittenDatabaseIsSaidToBeSo()
    {
        TestDatabase database;
        fillRegister(database, 3000);
        QTemporaryDir elsewhere;
        const QString copy = elsewhere.filePath(QStringLiteral("date.itm"));
        sqlite3* writer = nullptr;
        QCOMPARE(sqlite3_open(database.path().toUtf8().constData(), &writer), SQLITE_OK);
        // A small cache makes the writer put changed pages into the file
        // before its commit, as a large transaction does.
        QCOMPARE(sqlite3_exec(writer, "PRAGMA cache_size=5; BEGIN; UPDATE firme SET denumire = denumire || 'X'",
                     nullptr, nullptr, nullptr),
            SQLITE_OK);
        QVERIFY(QFile::copy(database.path(), copy));
        QVERIFY(QFile::copy(database.path() + QStringLiteral("-journal"), copy + QStringLiteral("-journal")));
        sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(writer);
        const QByteArray before = fileDigest(copy);

        const BackupOutcome outcome = MakeBackup(copy, BackupFolder(copy), noon);
        QVERIFY(!outcome.made());
        QVERIFY2(outcome.problem.contains(QStringLiteral("a ramas scrisa pe jumatate")), qPrintable(outcome.problem));
        QCOMPARE(fileDigest(copy), before);
        QVERIFY(QFileInfo(copy + QStringLiteral("-journal")).size() > 0);
        QCOMPARE(filesIn(BackupFolder(copy)), QStringList());
    }

    // A restore into a read-only folder says why in one sentence.
    void aRestoreIntoAReadOnlyFolderSaysWhy()
    {
        TestDatabase offered;
        fillRegister(offered, 10);
        QTemporaryDir place;
        const QString folder = place.filePath(QStringLiteral("ro"));
        QDir().mkpath(folder);
        if (::mount("tmpfs", folder.toUtf8().constData(), "tmpfs", 0, "size=1m") != 0)
            QSKIP("mounting a tmpfs needs root");
        const QString database = folder + QStringLiteral("/date.itm");
        QVERIFY(QFile::copy(offered.path(), database));
        const bool readOnly
            = ::mount("tmpfs", folder.toUtf8().constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=1m") == 0;
        const RestoreOutcome outcome = readOnly ? RestoreDatabase(offered.path(), database, noon) : RestoreOutcome {};
        ::umount(folder.toUtf8().constData());
        QVERIFY(readOnly);
        QCOMPARE(outcome.status, RestoreOutcome::Failed);
        QVERIFY2(outcome.problem.contains(QStringLiteral("(acces interzis)")), qPrintable(outcome.problem));
        QVERIFY2(!outcome.problem.endsWith(u'.'), qPrintable(outcome.problem));
    }

    void partialCopiesOfDeadProcessesAreCleared()
    {
        QTemporaryDir folder;
        QProcess finished;
        finished.start(QStringLiteral("true"));
        QVERIFY(finished.waitForFinished());
        const QString dead = PartialFileName(finished.processId(), 1);
        const QString running = PartialFileName(QCoreApplication::applicationPid(), 999);
        for (const QString& name : { dead, running, QStringLiteral("notite.txt"), dead + QStringLiteral("-wal"),
                 dead + QStringLiteral("-shm"), dead + QStringLiteral("-journal") })
            touch(folder.filePath(name));
        RemoveAbandonedPartials(folder.path());
        QCOMPARE(filesIn(folder.path()), (QStringList { running, QStringLiteral("notite.txt") }));
    }

    void theAutomaticBackupCopiesOnlyWhenDueAndThenPrunes()
    {
        TestDatabase database;
        fillRegister(database, 100);
        const QString folder = BackupFolder(database.path());
        QDir().mkpath(folder);
        for (int day = 1; day <= 12; ++day)
            touch(folder + u'/' + BackupFileName(QStringLiteral("date"), noon.addDays(-day)));
        touch(folder + QStringLiteral("/deteriorata-20070101-120000.itm"));

        AutomaticBackup backup(database.path());
        QSignalSpy finished(&backup, &AutomaticBackup::finished);
        QSignalSpy failed(&backup, &AutomaticBackup::failed);
        backup.start(noon);
        QTRY_COMPARE(finished.size(), 1);
        const QString made = finished.at(0).at(0).toString();
        QCOMPARE(made, folder + QStringLiteral("/date-20070315-120000.itm"));
        QVERIFY(CheckDatabaseFile(made, CheckDepth::Tables).passed);
        // The new copy and the nine before it stay (6 to 15 March); 3 to 5
        // March go, a file that is no backup stays.
        QCOMPARE(ListBackups(folder, QStringLiteral("date")).size(), 10);
        QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/date-20070305-120000.itm")));
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("/date-20070306-120000.itm")));
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("/deteriorata-20070101-120000.itm")));

        // Twenty hours later none is due; what a killed restore left beside
        // the database goes all the same.
        QProcess killed;
        killed.start(QStringLiteral("true"));
        QVERIFY(killed.waitForFinished());
        const QString left = database.folder() + u'/' + PartialFileName(killed.processId(), 1);
        touch(left);
        touch(left + QStringLiteral("-wal"));
        backup.start(noon.addSecs(20 * 3600));
        QTRY_COMPARE(finished.size(), 2);
        QCOMPARE(finished.at(1).at(0).toString(), QString());
        QVERIFY(!QFileInfo::exists(left));
        QVERIFY(!QFileInfo::exists(left + QStringLiteral("-wal")));
        QCOMPARE(ListBackups(folder, QStringLiteral("date")).size(), 10);
        QCOMPARE(failed.size(), 0);
    }

    void closingDuringACopyLeavesNoPartialFile()
    {
        TestDatabase database;
        fillRegister(database, 30000);
        const QString folder = BackupFolder(database.path());
        {
            // Closed as soon as its copy is under way.
            AutomaticBackup backup(database.path());
            QVERIFY(startUntilUnderWay(backup, folder));
        }
        QString problem;
        QVERIFY2(backupsAreWhole(folder, &problem), qPrintable(problem));
        for (const QString& name : filesIn(folder))
            QVERIFY2(ParseBackupFileName(QStringLiteral("date"), name).has_value(), qPrintable(name));
    }

    void closingTheConnectionStopsACopyThatBorrowsIt()
    {
        TestDatabase database;
        fillRegister(database, 30000);
        const QString folder = BackupFolder(database.path());
        auto connection = std::make_unique<Connection>();
        connection->open(database.path());
        AutomaticBackup backup(database.path(), connection.get());
        QSignalSpy finished(&backup, &AutomaticBackup::finished);
        QVERIFY(startUntilUnderWay(backup, folder));
        // The copy has stopped, its partial file gone, before the handle it
        // reads through is freed.
        connection.reset();
        QVERIFY(!backup.isRunning());
        QVERIFY(filesIn(folder).isEmpty());
        // The next one reads through a connection of its own.
        QCoreApplication::processEvents();
        finished.clear();
        backup.start(noon);
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(ListBackups(folder, QStringLiteral("date")).size(), 1);
        QVERIFY(CheckDatabaseFile(finished.at(0).at(0).toString(), CheckDepth::Tables).passed);

        // A backup gone before the connection closes is not asked to stop.
        Connection other;
        other.open(database.path());
        {
            AutomaticBackup gone(database.path(), &other);
        }
        other.close();
    }
};

QTEST_GUILESS_MAIN(TestBackups)
#include "tst_backups.moc"
