#include "backup/BackupFixture.h"
#include "backup/BackupNames.h"
#include "backup/Backups.h"
#include "backup/DatabaseCheck.h"
#include "store/DatabaseLock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>
#include <memory>

using namespace itm;
using namespace itm::test;

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runCli(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(ITM_CLI_PATH), arguments);
    process.waitForFinished(60000);
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError()) };
}

qint64 payersIn(const QString& path)
{
    const DatabaseCheck check = CheckDatabaseFile(path, CheckDepth::Columns);
    return check.passed ? check.payers : -1;
}

// Every file named like a backup is whole; anything else in the folder is a
// partial copy, never a file that could be taken for a backup.
QString strayFilesIn(const QString& folder)
{
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        const QString path = QDir(folder).filePath(name);
        if (ParseBackupFileName(QStringLiteral("date"), name)) {
            const DatabaseCheck check = CheckDatabaseFile(path, CheckDepth::Tables);
            if (!check.passed)
                return path + QStringLiteral(": ") + check.problem;
        } else if (!ParsePartialFileName(name) && !name.startsWith(QLatin1String("deteriorata-"))) {
            return path + QStringLiteral(": not a backup");
        }
    }
    return {};
}

} // namespace

class TestCliBackup : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> m_database;
    QString m_db;
    QString m_copies;

private Q_SLOTS:
    void init()
    {
        m_database = std::make_unique<TestDatabase>();
        fillRegister(*m_database, 300);
        m_db = m_database->path();
        m_copies = BackupFolder(m_db);
    }

    void backupPrintsThePathOfACheckedCopy()
    {
        const Run run = runCli({ QStringLiteral("backup"), QStringLiteral("--db"), m_db });
        QCOMPARE(run.exitCode, 0);
        const QString path = run.out.trimmed();
        QCOMPARE(QFileInfo(path).absolutePath(), m_copies);
        QVERIFY(ParseBackupFileName(QStringLiteral("date"), QFileInfo(path).fileName()));
        QCOMPARE(payersIn(path), 300);

        QTemporaryDir stick;
        const Run toStick
            = runCli({ QStringLiteral("backup"), QStringLiteral("--to"), stick.path(), QStringLiteral("--db"), m_db });
        QCOMPARE(toStick.exitCode, 0);
        QCOMPARE(QFileInfo(toStick.out.trimmed()).absolutePath(), stick.path());

        const QString missing = stick.filePath(QStringLiteral("nemontat"));
        const Run refused
            = runCli({ QStringLiteral("backup"), QStringLiteral("--to"), missing, QStringLiteral("--db"), m_db });
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains(QStringLiteral("nu exista")), qPrintable(refused.err));
        QVERIFY(!QFileInfo::exists(missing));
    }

    void backupsListsNewestFirstWithTheirCounts()
    {
        QDir().mkpath(m_copies);
        QVERIFY(QFile::copy(m_db, m_copies + QStringLiteral("/date-20070301-080000.itm")));
        m_database->exec("DELETE FROM declaratii WHERE idfirma > 100");
        QVERIFY(QFile::copy(m_db, m_copies + QStringLiteral("/date-20070302-080000.itm")));
        QVERIFY(QFile::copy(m_db, m_copies + QStringLiteral("/date-20070228-080000.itm")));
        QFile overwritten(m_copies + QStringLiteral("/date-20070228-080000.itm"));
        QVERIFY(overwritten.open(QIODevice::ReadWrite));
        overwritten.write(QByteArray(512, 'x'));
        overwritten.close();

        const Run run = runCli({ QStringLiteral("backups"), QStringLiteral("--db"), m_db });
        QCOMPARE(run.exitCode, 1); // one of them no longer passes its check
        const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines.at(1).startsWith(QStringLiteral("02.03.2007 08:00:00")));
        QCOMPARE(lines.at(1).simplified().section(u' ', 4, 5), QStringLiteral("300 100"));
        QVERIFY(lines.at(2).startsWith(QStringLiteral("01.03.2007 08:00:00")));
        QCOMPARE(lines.at(2).simplified().section(u' ', 4, 5), QStringLiteral("300 300"));
        QCOMPARE(lines.at(3).simplified().section(u' ', 4, 5), QStringLiteral("? ?"));
        QVERIFY2(run.err.contains(QStringLiteral("date-20070228-080000.itm: fisierul nu este o baza de date")),
            qPrintable(run.err));
    }

    void restoreKeepsTheCurrentDatabaseThenPutsTheBackupInItsPlace()
    {
        const QString saved = m_database->folder() + QStringLiteral("/salvat.itm");
        QVERIFY(QFile::copy(m_db, saved));
        m_database->exec("DELETE FROM firme WHERE id > 250");
        QVERIFY(QFile::setPermissions(m_db, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));

        const Run run = runCli({ QStringLiteral("restore"), saved, QStringLiteral("--db"), m_db });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(payersIn(m_db), 300);
        const QFile::Permissions everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
            | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFileInfo(m_db).permissions() & everyone, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        const QString previous
            = run.out.section(QStringLiteral("copia bazei de date anterioare: "), 1).section(u'\n', 0, 0);
        QCOMPARE(QFileInfo(previous).absolutePath(), m_copies);
        QCOMPARE(payersIn(previous), 250);
        QCOMPARE(strayFilesIn(m_copies), QString());
        QCOMPARE(QDir(m_database->folder()).entryList(QDir::Files | QDir::Hidden),
            (QStringList { QStringLiteral("date.itm"), QStringLiteral("salvat.itm") }));

        // A database deleted by mistake is restored too.
        QVERIFY(QFile::remove(m_db));
        QCOMPARE(runCli({ QStringLiteral("restore"), previous, QStringLiteral("--db"), m_db }).exitCode, 0);
        QCOMPARE(payersIn(m_db), 250);
    }

    void aDamagedDatabaseIsKeptAsItWasBeforeTheRestore()
    {
        const QString saved = m_database->folder() + QStringLiteral("/salvat.itm");
        QVERIFY(QFile::copy(m_db, saved));
        fillRegister(*m_database, 3000);
        QVERIFY(damageFile(m_db));
        const QByteArray damaged = fileDigest(m_db);

        const Run run = runCli({ QStringLiteral("restore"), saved, QStringLiteral("--db"), m_db });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(payersIn(m_db), 300);
        const QString previous
            = run.out.section(QStringLiteral("copia bazei de date anterioare: "), 1).section(u'\n', 0, 0);
        QVERIFY2(QFileInfo(previous).fileName().startsWith(QLatin1String("deteriorata-")), qPrintable(run.out));
        QCOMPARE(fileDigest(previous), damaged);
    }

    void restoreRefusesAndLeavesTheDatabaseAsItWas_data()
    {
        QTest::addColumn<QString>("file"); // what is offered for restoring
        QTest::addColumn<QString>("reason");
        QTest::newRow("the program holds the database") << "lock"
                                                        << "folosita acum de alt program";
        QTest::newRow("the program holds it, its lock file removed") << "lock removed"
                                                                     << "fisierul de blocare";
        QTest::newRow("no such file") << "missing"
                                      << "nu exista";
        QTest::newRow("not a database") << "text"
                                        << "nu este o baza de date";
        QTest::newRow("damaged") << "damaged"
                                 << "deteriorata";
        QTest::newRow("a column missing") << "column"
                                          << "tabela firme nu are coloana lcui";
        QTest::newRow("payers behind a view") << "view"
                                              << "contine vederea firme";
        QTest::newRow("a trigger deleting declarations") << "trigger"
                                                         << "contine declansatorul sterge";
        QTest::newRow("a table of another program") << "table"
                                                    << "contine tabela parole";
        QTest::newRow("a newer schema") << "newer"
                                        << "versiune mai noua a programului (versiunea 7";
    }
    void restoreRefusesAndLeavesTheDatabaseAsItWas()
    {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        TestDatabase offered;
        fillRegister(offered, 20);
        DatabaseLock programLock(m_db);
        if (file.startsWith(QLatin1String("lock"))) {
            QCOMPARE(programLock.tryLock(), DatabaseLock::Outcome::Acquired);
            if (file == QLatin1String("lock removed"))
                QVERIFY(QFile::remove(DatabaseLock::lockFilePath(m_db)));
        } else if (file == QLatin1String("missing")) {
            QFile::remove(offered.path());
        } else if (file == QLatin1String("text")) {
            QFile text(offered.path());
            QVERIFY(text.open(QIODevice::WriteOnly | QIODevice::Truncate));
            text.write("IM200603.txt\n");
        } else if (file == QLatin1String("damaged")) {
            fillRegister(offered, 3000);
            QVERIFY(damageFile(offered.path()));
        } else if (file == QLatin1String("column")) {
            offered.exec("ALTER TABLE firme DROP COLUMN lcui");
        } else if (file == QLatin1String("view")) {
            offered.exec("ALTER TABLE firme RENAME TO toate; CREATE VIEW firme AS SELECT * FROM toate");
        } else if (file == QLatin1String("trigger")) {
            offered.exec("CREATE TRIGGER sterge AFTER UPDATE ON firme BEGIN DELETE FROM declaratii; END");
        } else if (file == QLatin1String("table")) {
            offered.exec("CREATE TABLE parole (text TEXT)");
        } else {
            offered.exec("PRAGMA user_version = 7");
        }
        const QByteArray before = fileDigest(m_db);

        const Run run = runCli({ QStringLiteral("restore"), offered.path(), QStringLiteral("--db"), m_db });
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(reason), qPrintable(run.err));
        QCOMPARE(run.out, QString());
        QCOMPARE(fileDigest(m_db), before);
        QVERIFY(!QFileInfo::exists(m_copies));
    }

    // Two registers in one folder: each has its own copies, listed and
    // pruned apart, and a copy of one is restored into the other only when
    // asked for.
    void twoDatabasesInOneFolderKeepTheirOwnCopies()
    {
        const QString other = m_database->folder() + QStringLiteral("/alta.itm");
        {
            TestDatabase alta;
            fillRegister(alta, 20);
            QVERIFY(QFile::copy(alta.path(), other));
        }
        QDir().mkpath(m_copies);
        const QString oldCopy = m_copies + QStringLiteral("/date-20070301-080000.itm");
        QVERIFY(QFile::copy(m_db, oldCopy));
        QCOMPARE(runCli({ QStringLiteral("backup"), QStringLiteral("--db"), m_db }).exitCode, 0);
        QString altaCopy;
        for (int run = 0; run < 11; ++run) {
            const Run backup = runCli({ QStringLiteral("backup"), QStringLiteral("--db"), other });
            QCOMPARE(backup.exitCode, 0);
            altaCopy = backup.out.trimmed();
            QVERIFY2(QFileInfo(altaCopy).fileName().startsWith(QLatin1String("alta-")), qPrintable(altaCopy));
        }
        QVERIFY(QFileInfo::exists(oldCopy));
        QCOMPARE(ListBackups(m_copies, QStringLiteral("date")).size(), 2);
        QCOMPARE(ListBackups(m_copies, QStringLiteral("alta")).size(), 10);
        const Run listed = runCli({ QStringLiteral("backups"), QStringLiteral("--db"), m_db });
        QCOMPARE(listed.out.count(QStringLiteral("/date-")), 2);
        QVERIFY(!listed.out.contains(QStringLiteral("alta-")));

        const QByteArray before = fileDigest(m_db);
        const Run asked = runCli({ QStringLiteral("restore"), altaCopy, QStringLiteral("--db"), m_db });
        QCOMPARE(asked.exitCode, 1);
        QVERIFY2(asked.err.contains(
                     QStringLiteral("fisierul %1 este copia altui registru decat baza de date %2").arg(altaCopy, m_db)),
            qPrintable(asked.err));
        QVERIFY2(asked.err.contains(QStringLiteral("--force")), qPrintable(asked.err));
        QCOMPARE(fileDigest(m_db), before);
        // The old copy made before copies said their register is not asked about.
        QCOMPARE(runCli({ QStringLiteral("restore"), oldCopy, QStringLiteral("--db"), other }).exitCode, 0);
        QCOMPARE(payersIn(other), 300);

        const Run forced
            = runCli({ QStringLiteral("restore"), altaCopy, QStringLiteral("--force"), QStringLiteral("--db"), m_db });
        QCOMPARE(forced.exitCode, 0);
        QCOMPARE(payersIn(m_db), 20);
    }

    // A database kept elsewhere behind a symbolic link is restored where it
    // lives; the link stays a link.
    void restoreWritesThroughALinkedDatabase()
    {
        const QString saved = m_database->folder() + QStringLiteral("/salvat.itm");
        QVERIFY(QFile::copy(m_db, saved));
        QTemporaryDir synced;
        const QString real = synced.filePath(QStringLiteral("registru.itm"));
        QVERIFY(QFile::rename(m_db, real));
        QVERIFY(QFile::link(real, m_db));
        TestDatabase scratch;
        scratch.exec(QByteArray("ATTACH '") + real.toUtf8() + "' AS r; DELETE FROM r.firme WHERE id > 100");

        const Run run = runCli({ QStringLiteral("restore"), saved, QStringLiteral("--db"), m_db });
        QCOMPARE(run.exitCode, 0);
        QVERIFY(QFileInfo(m_db).isSymLink());
        QCOMPARE(QFileInfo(m_db).symLinkTarget(), real);
        QCOMPARE(payersIn(real), 300);
        QCOMPARE(QDir(synced.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "registru.itm" });
    }

    // A copy of a database in WAL mode is restored as a plain file, and what
    // a killed restore or copy left in the folder goes with the next backup.
    void restoreLeavesNoFilesOfItsOwnBehind()
    {
        TestDatabase offered;
        fillRegister(offered, 40);
        offered.exec("PRAGMA journal_mode=WAL");
        QProcess finished;
        finished.start(QStringLiteral("true"));
        QVERIFY(finished.waitForFinished());
        const QString killed = PartialFileName(finished.processId(), 3);
        for (const QString& suffix : { QString(), QStringLiteral("-wal"), QStringLiteral("-shm") }) {
            QFile left(m_database->folder() + u'/' + killed + suffix);
            QVERIFY(left.open(QIODevice::WriteOnly));
        }

        QCOMPARE(runCli({ QStringLiteral("restore"), offered.path(), QStringLiteral("--db"), m_db }).exitCode, 0);
        QCOMPARE(payersIn(m_db), 40);
        QFile restored(m_db);
        QVERIFY(restored.open(QIODevice::ReadOnly));
        QCOMPARE(restored.read(20).mid(18, 2), QByteArray("\x01\x01")); // rollback journal, not WAL
        QCOMPARE(QDir(m_database->folder()).entryList(QDir::Files | QDir::Hidden), QStringList { "date.itm" });
    }

    // itm-cli backup and restore killed at random moments: the database and
    // every finished backup stay whole, and no half-written file carries a
    // backup's or the database's name.
    void aKillAtAnyMomentLosesNothing()
    {
        fillRegister(*m_database, 60000);
        const qint64 before = payersIn(m_db);
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        qInfo("seed %u", seed);

        QElapsedTimer timer;
        timer.start();
        QCOMPARE(runCli({ QStringLiteral("backup"), QStringLiteral("--db"), m_db }).exitCode, 0);
        const int backupMs = int(timer.elapsed());
        const QString other = m_database->folder() + QStringLiteral("/alta.itm");
        QVERIFY(QFile::copy(ListBackups(m_copies, QStringLiteral("date")).constFirst().path, other));
        TestDatabase smaller;
        fillRegister(smaller, 1000);
        const QStringList offers { other, smaller.path() };
        const QList<qint64> offeredPayers { before, 1000 };

        qint64 expected = before;
        for (int round = 0; round < 12; ++round) {
            const bool restoring = round % 2 == 1;
            const int offer = (round / 2) % 2;
            const QStringList arguments = restoring
                ? QStringList { QStringLiteral("restore"), offers.at(offer), QStringLiteral("--db"), m_db }
                : QStringList { QStringLiteral("backup"), QStringLiteral("--db"), m_db };
            QProcess process;
            process.start(QStringLiteral(ITM_CLI_PATH), arguments);
            QVERIFY(process.waitForStarted());
            // A restore copies twice (the current database, then the backup).
            const int window = (restoring ? 3 : 1) * backupMs + 20;
            QThread::msleep(random.bounded(window));
            process.kill();
            process.waitForFinished();

            const qint64 now = payersIn(m_db);
            if (restoring) {
                QVERIFY2(now == expected || now == offeredPayers.at(offer), qPrintable(QString::number(now)));
                expected = now;
            } else {
                QCOMPARE(now, expected);
            }
            QCOMPARE(strayFilesIn(m_copies), QString());
            for (const QString& name : QDir(m_database->folder()).entryList(QDir::Files | QDir::Hidden))
                QVERIFY2(name.startsWith(QLatin1String("date.itm")) || name == QLatin1String("alta.itm")
                        || ParsePartialFileName(name),
                    qPrintable(name));
        }
        QVERIFY(!QFileInfo::exists(m_db + QStringLiteral("-journal")));
    }
};

QTEST_GUILESS_MAIN(TestCliBackup)
#include "tst_cli_backup.moc"
