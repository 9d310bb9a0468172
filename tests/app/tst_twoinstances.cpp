// One program per database: a second one started beside a running program
// says so and touches nothing; the lock of a program that was killed is taken
// over by the next start.
#include "app/Startup.h"
#include "platform/Platform.h"
#include "store/DatabaseLock.h"
#include "support/FakePrompts.h"
#include "support/GuiFixture.h"
#include "support/GuiTestCase.h"
#include "support/SampleRecords.h"
#include "support/TestDatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QTest>

using namespace itm;
using namespace itm::test;

namespace {

QByteArray checksum(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class TestTwoInstances : public itm::test::GuiTestCase
{
    Q_OBJECT
private Q_SLOTS:
    void aSecondProgramOnTheSameDatabaseEndsWithoutTouchingIt()
    {
        TestDatabase database;
        samples::addPayer(database, QStringLiteral("19"));
        database.exec("INSERT INTO declaratii (idfirma, ln, an) VALUES (1, 3, 2006)");
        QVERIFY(QDir(database.folder()).mkpath(QStringLiteral("data")));
        const QString path = database.folder() + QStringLiteral("/data/date.itm");
        QVERIFY(QFile::rename(database.path(), path));

        // The first program is a real one, in its own process and work folder.
        QProcess first;
        first.setWorkingDirectory(database.folder());
        first.start(QStringLiteral(ITM_PROGRAM_PATH), {});
        QVERIFY(first.waitForStarted());
        // Waiting on the file, not on a probe: a probe holds the lock for a
        // moment and would turn the starting program away.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(DatabaseLock::lockFilePath(path)).size() > 0, 10000);
        QVERIFY(DatabaseLock::isHeldByOther(path));
        const QByteArray before = checksum(path);

        PlatformScope scope;
        FakePrompts prompts;
        platform().prompts = &prompts;
        prompts.answerOk();
        {
            ProgramObjects second;
            QVERIFY(!createProgram(second, path));
            QVERIFY(!second.Decl);
            QVERIFY(!second.dm);
        }
        // The message names the lock file, the process and its host.
        QCOMPARE(prompts.texts().size(), 1);
        const QString refusal = prompts.texts().constFirst();
        QVERIFY2(refusal.startsWith(QStringLiteral("Baza de date este deja deschisa de programul ITM (fisierul de "
                                                   "blocare %1, procesul %2 ")
                                        .arg(DatabaseLock::lockFilePath(path))
                                        .arg(first.processId())),
            qPrintable(refusal));
        QVERIFY2(refusal.endsWith(QStringLiteral(" pe calculatorul %1).").arg(QSysInfo::machineHostName())),
            qPrintable(refusal));
        QCOMPARE(prompts.shown().first().kind, FakePrompts::Kind::Message);
        QCOMPARE(checksum(path), before);
        QVERIFY(DatabaseLock::isHeldByOther(path));

        // Commands that only read work beside the program.
        QProcess reader;
        reader.start(QStringLiteral(ITM_CLI_PATH),
            { QStringLiteral("line"), QStringLiteral("--cui"), QStringLiteral("19"), QStringLiteral("--month"),
                QStringLiteral("3"), QStringLiteral("--year"), QStringLiteral("2006"), QStringLiteral("--db"), path });
        QVERIFY(reader.waitForFinished());
        QCOMPARE(reader.exitCode(), 0);
        QVERIFY(reader.readAllStandardOutput().startsWith("\"03\",\"2006\",19,"));

        // Killed, the first program leaves its lock file behind; it no longer counts.
        first.kill();
        QVERIFY(first.waitForFinished());
        QVERIFY(QFile::exists(DatabaseLock::lockFilePath(path)));
        {
            ProgramObjects next;
            QVERIFY(createProgram(next, path));
            QVERIFY(next.dm);
            QVERIFY(next.lock && next.lock->isLocked());
        }
        QVERIFY(!QFile::exists(DatabaseLock::lockFilePath(path)));
    }
};

QTEST_MAIN(TestTwoInstances)
#include "tst_twoinstances.moc"
