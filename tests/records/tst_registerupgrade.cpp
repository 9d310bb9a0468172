#include "backup/BackupNames.h"
#include "backup/DatabaseCheck.h"
#include "records/RecordsFixture.h"
#include "records/RegisterUpgrade.h"
#include "store/RegisterSchema.h"
#include "store/Tdm.h"
#include "support/SampleRecords.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace itm;
using namespace itm::test;

namespace {

const QDateTime now(QDate(2026, 3, 14), QTime(9, 30));

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

QStringList registerContents(const QString& path)
{
    return QueryRows(path, QStringLiteral("SELECT * FROM firme ORDER BY id"))
        + QueryRows(path, QStringLiteral("SELECT * FROM declaratii ORDER BY id"))
        + QueryRows(path, QStringLiteral("SELECT count(*) FROM judete"));
}

// Every history table's columns with their types, and the history's indexes.
QStringList historySchema(const QString& path)
{
    QStringList schema;
    for (const QString& table : HistoryTableNames())
        schema << QueryRows(
            path, QStringLiteral("SELECT '%1', name, type, \"notnull\", pk FROM pragma_table_info('%1')").arg(table));
    schema << QueryRows(path,
        QStringLiteral("SELECT name, tbl_name FROM sqlite_master WHERE type = 'index' AND name NOT LIKE 'sqlite_%' "
                       "ORDER BY name"));
    return schema;
}

} // namespace

class TestRegisterUpgrade : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void anOlderRegisterGetsTheHistoryAfterACheckedCopy()
    {
        TestDatabase db;
        MakeRegisterWithoutHistory(db);
        samples::addPayer(db, QStringLiteral("19"));
        AddDeclaration(db, 1, 3, 2006, QStringLiteral("0, 0, 2, 1000, 8, 8, 0, 0"));
        const QStringList before = registerContents(db.path());

        const RegisterUpgrade upgrade = UpgradeRegister(db.path(), now);
        QCOMPARE(upgrade.status, RegisterUpgrade::Upgraded);
        QVERIFY(upgrade.backupPath.startsWith(BackupFolder(db.path())));
        // The copy is the register as it was, without the history.
        const DatabaseCheck copy = CheckDatabaseFile(upgrade.backupPath, CheckDepth::Columns);
        QVERIFY2(copy.passed, qPrintable(copy.problem));
        QCOMPARE(copy.schemaVersion, 0);
        QCOMPARE(copy.declarations, 1);

        QCOMPARE(registerContents(db.path()), before);
        QCOMPARE(QueryRows(db.path(), QStringLiteral("PRAGMA user_version")),
            QStringList { QString::number(KnownSchemaVersion) });
        // What the set-up ships is what an upgrade adds.
        TestDatabase shipped;
        QCOMPARE(historySchema(db.path()), historySchema(shipped.path()));
        // A restore takes the upgraded register as the program's own.
        const DatabaseCheck upgraded = CheckDatabaseFile(db.path(), CheckDepth::Columns);
        QVERIFY2(upgraded.passed, qPrintable(upgraded.problem));
        QCOMPARE(upgraded.schemaVersion, KnownSchemaVersion);

        // Once is enough: no second copy.
        QCOMPARE(UpgradeRegister(db.path(), now.addSecs(60)).status, RegisterUpgrade::Current);
        QCOMPARE(QDir(BackupFolder(db.path())).entryList(QDir::Files).size(), 1);
        Tdm dm(db.path());
        QVERIFY(dm.keepsHistory());
    }

    // A register that keeps the history already lacks only the index of the
    // declarations by period: added after a checked copy; where no copy can
    // be made it is used as it is, with its history.
    void aRegisterWithTheHistoryGetsTheIndexOfPeriods_data()
    {
        QTest::addColumn<bool>("copyFails");
        QTest::newRow("copied") << false;
        QTest::newRow("no copy") << true;
    }
    void aRegisterWithTheHistoryGetsTheIndexOfPeriods()
    {
        QFETCH(bool, copyFails);
        TestDatabase db;
        db.exec("DROP INDEX declaratii_luna; PRAGMA user_version = 1;");
        samples::addPayer(db, QStringLiteral("19"));
        AddDeclaration(db, 1, 3, 2006, QStringLiteral("0, 0, 2, 1000, 8, 8, 0, 0"));
        if (copyFails) {
            QFile blocker(BackupFolder(db.path()));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        const QStringList before = registerContents(db.path());
        const RegisterUpgrade upgrade = UpgradeRegister(db.path(), now);
        QCOMPARE(upgrade.status, copyFails ? RegisterUpgrade::Current : RegisterUpgrade::Upgraded);
        QCOMPARE(registerContents(db.path()), before);
        TestDatabase shipped;
        QCOMPARE(historySchema(db.path()) == historySchema(shipped.path()), !copyFails);
        QCOMPARE(QueryRows(db.path(), QStringLiteral("PRAGMA user_version")),
            QStringList { copyFails ? QStringLiteral("1") : QString::number(KnownSchemaVersion) });
        Tdm dm(db.path());
        QVERIFY(dm.keepsHistory());
    }

    void aNewerRegisterIsUsedWithoutTheHistory()
    {
        TestDatabase db;
        db.exec("PRAGMA user_version = 7");
        samples::addPayer(db, QStringLiteral("19"));
        const QByteArray before = bytesOf(db.path());
        const RegisterUpgrade upgrade = UpgradeRegister(db.path(), now);
        QCOMPARE(upgrade.status, RegisterUpgrade::NotUpgraded);
        QVERIFY(NotUpgradedMessage(upgrade).contains(QStringLiteral("versiune mai noua")));
        QCOMPARE(bytesOf(db.path()), before);
        QVERIFY(!QDir(BackupFolder(db.path())).exists());

        // Saved as before, without versions the newer program may read otherwise.
        Tdm dm(db.path());
        QVERIFY(!dm.keepsHistory());
        dm.qryDeclaratii->setParam(QStringLiteral("idfirma"), 1);
        dm.qryDeclaratii->setParam(QStringLiteral("luna"), 3);
        dm.qryDeclaratii->setParam(QStringLiteral("anul"), 2006);
        dm.qryDeclaratii->Open();
        dm.qryDeclaratii->Append();
        dm.qryDeclaratii->FieldByName(QStringLiteral("idfirma")).setAsString(QStringLiteral("1"));
        dm.qryDeclaratii->Post();
        QCOMPARE(QueryRows(db.path(), QStringLiteral("SELECT count(*) FROM versiuni_declaratii")), QStringList { "0" });
    }

    void aRegisterWhoseCopyFailsIsLeftAsItWas()
    {
        TestDatabase db;
        MakeRegisterWithoutHistory(db);
        // A file where the backup folder should be: no copy can be made.
        QFile blocker(BackupFolder(db.path()));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QByteArray before = bytesOf(db.path());
        const RegisterUpgrade upgrade = UpgradeRegister(db.path(), now);
        QCOMPARE(upgrade.status, RegisterUpgrade::NotUpgraded);
        QVERIFY(upgrade.problem.startsWith(QStringLiteral("copia de siguranta")));
        QCOMPARE(bytesOf(db.path()), before);
        Tdm dm(db.path());
        QVERIFY(!dm.keepsHistory());
    }

    void aHistoryOfAnotherShapeIsNotUsed()
    {
        TestDatabase db;
        MakeRegisterWithoutHistory(db);
        db.exec("CREATE TABLE firme_sterse (cui TEXT)");
        const QByteArray before = bytesOf(db.path());
        const RegisterUpgrade upgrade = UpgradeRegister(db.path(), now);
        QCOMPARE(upgrade.status, RegisterUpgrade::NotUpgraded);
        QCOMPARE(bytesOf(db.path()), before);
        QVERIFY(!QDir(BackupFolder(db.path())).exists());
        Tdm dm(db.path());
        QVERIFY(!dm.keepsHistory());

        // Nor is such a copy restored: no declaration could be saved in it.
        TestDatabase copy;
        copy.exec("ALTER TABLE versiuni_declaratii DROP COLUMN comac");
        const DatabaseCheck check = CheckDatabaseFile(copy.path(), CheckDepth::Columns);
        QVERIFY(!check.passed);
        QCOMPARE(check.problem, QStringLiteral("tabela versiuni_declaratii nu are coloana comac"));
    }

    void aReadOnlyRegisterIsLeftAsItWas()
    {
        // Root writes through file permissions: a read-only mount is needed then.
        QTemporaryDir mountPoint;
        const bool root = geteuid() == 0;
        TestDatabase db;
        MakeRegisterWithoutHistory(db);
        QString path = db.path();
        if (root) {
            if (QProcess::execute(QStringLiteral("mount"),
                    { QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), QStringLiteral("size=2m"),
                        QStringLiteral("tmpfs"), mountPoint.path() })
                != 0)
                QSKIP("a read-only medium needs mount permission");
            path = mountPoint.path() + QStringLiteral("/date.itm");
            QVERIFY(QFile::copy(db.path(), path));
            QCOMPARE(QProcess::execute(QStringLiteral("mount"),
                         { QStringLiteral("-o"), QStringLiteral("remount,ro"), mountPoint.path() }),
                0);
        } else {
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        }
        const QByteArray before = bytesOf(path);
        const RegisterUpgrade upgrade = UpgradeRegister(path, now);
        const QByteArray after = bytesOf(path);
        if (root)
            QProcess::execute(QStringLiteral("umount"), { mountPoint.path() });
        QCOMPARE(upgrade.status, RegisterUpgrade::NotUpgraded);
        QCOMPARE(upgrade.problem, QStringLiteral("registrul poate fi doar citit"));
        QCOMPARE(after, before);
    }
};

QTEST_GUILESS_MAIN(TestRegisterUpgrade)
#include "tst_registerupgrade.moc"
