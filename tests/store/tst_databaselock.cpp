#include "store/DatabaseLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace itm;

namespace {

QString databaseIn(const QTemporaryDir& dir)
{
    const QString database = dir.filePath(QStringLiteral("date.itm"));
    QFile file(database);
    file.open(QIODevice::WriteOnly);
    return database;
}

bool writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(contents) == contents.size();
}

} // namespace

class TestDatabaseLock : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void aLiveHolderKeepsTheDatabaseUntilItLetsGo()
    {
        QTemporaryDir dir;
        const QString database = databaseIn(dir);
        DatabaseLock first(database);
        QCOMPARE(first.tryLock(), DatabaseLock::Outcome::Acquired);
        QVERIFY(QFile::exists(database + QStringLiteral(".lock")));

        DatabaseLock second(database);
        QCOMPARE(second.tryLock(), DatabaseLock::Outcome::HeldByOther);
        QVERIFY(DatabaseLock::isHeldByOther(database));
        // The message names the lock file, the process and the host.
        const QString holder = second.holder();
        QVERIFY2(holder.contains(DatabaseLock::lockFilePath(database)), qPrintable(holder));
        QVERIFY2(
            holder.contains(QStringLiteral("procesul %1").arg(QCoreApplication::applicationPid())), qPrintable(holder));
        QVERIFY2(holder.contains(QSysInfo::machineHostName()), qPrintable(holder));

        first.unlock();
        QVERIFY(!QFile::exists(database + QStringLiteral(".lock")));
        QVERIFY(!DatabaseLock::isHeldByOther(database));
        QCOMPARE(second.tryLock(), DatabaseLock::Outcome::Acquired);
    }

    // Removing or replacing the lock file under a holder lets nobody in, and
    // the holder does not remove a file that is not its own when it ends.
    void theLockFileRemovedOrReplacedWhileHeldKeepsOthersOut_data()
    {
        QTest::addColumn<bool>("replaced");
        QTest::newRow("removed") << false;
        QTest::newRow("replaced by another file") << true;
    }
    void theLockFileRemovedOrReplacedWhileHeldKeepsOthersOut()
    {
        QFETCH(bool, replaced);
        QTemporaryDir dir;
        const QString database = databaseIn(dir);
        const QString lockFile = DatabaseLock::lockFilePath(database);
        DatabaseLock first(database);
        QCOMPARE(first.tryLock(), DatabaseLock::Outcome::Acquired);
        QVERIFY(QFile::remove(lockFile));
        if (replaced)
            QVERIFY(writeFile(lockFile, "1\nitm-declaratie\nalt-calculator\n"));

        DatabaseLock second(database);
        QCOMPARE(second.tryLock(), DatabaseLock::Outcome::HeldByOther);
        QVERIFY(DatabaseLock::isHeldByOther(database));
        QVERIFY(first.isLocked());

        if (replaced)
            QVERIFY(writeFile(lockFile, "1\nitm-declaratie\nalt-calculator\n"));
        first.unlock();
        QCOMPARE(QFileInfo::exists(lockFile), replaced);
        QCOMPARE(second.tryLock(), DatabaseLock::Outcome::Acquired);
    }

    // Lock files that no running holder has are taken over, whatever they
    // hold; a link in the lock file's place is removed, never followed.
    void aLockFileNobodyHoldsIsTakenOver_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a dead process") << "dead";
        QTest::newRow("empty") << "empty";
        QTest::newRow("another host") << "host";
        QTest::newRow("a dangling link") << "dangling";
        QTest::newRow("a link to the user's file") << "link";
    }
    void aLockFileNobodyHoldsIsTakenOver()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString database = databaseIn(dir);
        const QString lockFile = DatabaseLock::lockFilePath(database);
        const QString usersFile = dir.filePath(QStringLiteral("scrisoare.txt"));
        const QByteArray usersText = "Stimate domn,\n";
        QVERIFY(writeFile(usersFile, usersText));
        if (kind == QLatin1String("dead")) {
            QProcess finished;
            finished.start(QStringLiteral("true"));
            QVERIFY(finished.waitForStarted());
            const qint64 deadPid = finished.processId();
            QVERIFY(finished.waitForFinished());
            QVERIFY(writeFile(lockFile,
                QByteArray::number(deadPid) + "\nitm-declaratie\n" + QSysInfo::machineHostName().toUtf8() + "\n"));
        } else if (kind == QLatin1String("empty")) {
            QVERIFY(writeFile(lockFile, QByteArray()));
        } else if (kind == QLatin1String("host")) {
            QVERIFY(writeFile(lockFile,
                QByteArray::number(QCoreApplication::applicationPid()) + "\nitm-declaratie\nalt-calculator\n"));
        } else if (kind == QLatin1String("dangling")) {
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("nu-exista")), lockFile));
        } else {
            QVERIFY(QFile::link(usersFile, lockFile));
        }

        DatabaseLock lock(database);
        QCOMPARE(lock.tryLock(), DatabaseLock::Outcome::Acquired);
        const QFileInfo taken(lockFile);
        QVERIFY(taken.isFile() && !taken.isSymLink());
        QFile users(usersFile);
        QVERIFY(users.open(QIODevice::ReadOnly));
        QCOMPARE(users.readAll(), usersText);
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("nu-exista"))));
    }
};

QTEST_GUILESS_MAIN(TestDatabaseLock)
#include "tst_databaselock.moc"
