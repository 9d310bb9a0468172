#include "store/DatabaseLock.h"

#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace itm;

class TestDatabaseLock : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void aLiveHolderKeepsTheDatabaseUntilItLetsGo()
    {
        QTemporaryDir dir;
        const QString database = dir.filePath(QStringLiteral("date.itm"));
        DatabaseLock first(database);
        QCOMPARE(first.tryLock(), DatabaseLock::Outcome::Acquired);
        QVERIFY(QFile::exists(database + QStringLiteral(".lock")));

        DatabaseLock second(database);
        QCOMPARE(second.tryLock(), DatabaseLock::Outcome::HeldByOther);
        QVERIFY(DatabaseLock::isHeldByOther(database));

        first.unlock();
        QVERIFY(!QFile::exists(database + QStringLiteral(".lock")));
        QVERIFY(!DatabaseLock::isHeldByOther(database));
        QCOMPARE(second.tryLock(), DatabaseLock::Outcome::Acquired);
    }

    void theLockOfADeadProcessIsTakenOver()
    {
        QTemporaryDir dir;
        const QString database = dir.filePath(QStringLiteral("date.itm"));
        QProcess finished;
        finished.start(QStringLiteral("true"));
        QVERIFY(finished.waitForStarted());
        const qint64 deadPid = finished.processId();
        QVERIFY(finished.waitForFinished());
        QFile stale(DatabaseLock::lockFilePath(database));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(QByteArray::number(deadPid) + "\nitm-declaratie\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        stale.close();

        DatabaseLock lock(database);
        QCOMPARE(lock.tryLock(), DatabaseLock::Outcome::Acquired);
    }
};

QTEST_GUILESS_MAIN(TestDatabaseLock)
#include "tst_databaselock.moc"
