// The program keeps working and loses nothing when the database or the
// destination of the declaration file fails under it.
#include "output/DeclarationFile.h"
#include "payers/PayerPanel.h"
#include "store/Errors.h"
#include "support/GuiTestCase.h"
#include "support/MainWindowFixture.h"
#include "support/SampleRecords.h"
#include "widgets/DbEdit.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <sqlite3.h>
#include <unistd.h>

using namespace itm;
using namespace itm::test;
using State = TDecl::WindowState;

class TestFaults : public itm::test::GuiTestCase
{
    Q_OBJECT
private Q_SLOTS:
    void aLockedDatabaseKeepsThePayerInEditing()
    {
        MainWindowFixture f([](TestDatabase& db) { samples::addPayer(db, QStringLiteral("19")); });
        f.openPayer(QStringLiteral("19"));
        f.window->dcgb->loc->setFocus();
        MainWindowFixture::settle();
        f.window->dcgb->loc->selectAll();
        MainWindowFixture::type(f.window->dcgb->loc, QStringLiteral("ARAD"));

        sqlite3* other = nullptr;
        sqlite3_open(f.database.path().toUtf8().constData(), &other);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        f.prompts.answerOk();
        // Pressed by its accelerator: the locality still has the focus.
        f.window->dcgb->Button3->click();
        QTRY_COMPARE(f.prompts.lastText(), QStringLiteral("database is locked."));
        QCOMPARE(f.window->windowState(), State::PayerData);
        QCOMPARE(f.dm->qryFirme->State(), DatasetState::Edit);
        QCOMPARE(f.dm->qryFirme->FieldByName(QStringLiteral("loc")).AsString(), QStringLiteral("ARAD"));
        QVERIFY(!f.window->dcgb->Button5->isEnabled());

        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        f.window->dcgb->Button3->click();
        QTRY_VERIFY(f.window->dcgb->Button5->isEnabled());
        f.dm->qryFirme->Cancel();
        f.dm->qryFirme->Refresh();
        QVERIFY(f.dm->qryFirme->Locate(QStringLiteral("cui"), QStringLiteral("19")));
        QCOMPARE(f.dm->qryFirme->FieldByName(QStringLiteral("loc")).AsString(), QStringLiteral("ARAD"));
    }

    void aReadOnlyDatabaseRefusesThePostAndSavesItOnceWritable()
    {
        // Root writes through file permissions: a read-only mount is needed then.
        QTemporaryDir mountPoint;
        const bool root = geteuid() == 0;
        QString folder;
        if (root) {
            if (QProcess::execute(QStringLiteral("mount"),
                    { QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), QStringLiteral("size=2m"),
                        QStringLiteral("tmpfs"), mountPoint.path() })
                != 0)
                QSKIP("a read-only medium needs mount permission");
            folder = mountPoint.path();
        }
        MainWindowFixture f([&](TestDatabase& db) { samples::addPayer(db, QStringLiteral("19")); });
        QString readOnlyPath = f.database.path();
        if (root) {
            readOnlyPath = folder + QStringLiteral("/date.itm");
            QVERIFY(QFile::copy(f.database.path(), readOnlyPath));
            QCOMPARE(QProcess::execute(
                         QStringLiteral("mount"), { QStringLiteral("-o"), QStringLiteral("remount,ro"), folder }),
                0);
        } else {
            QFile::setPermissions(readOnlyPath, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        }
        {
            Tdm dm(readOnlyPath);
            Dataset& payers = *dm.qryFirme;
            payers.Edit();
            payers.FieldByName(QStringLiteral("loc")).setAsString(QStringLiteral("ARAD"));
            try {
                payers.Post();
                QFAIL("a read-only database must refuse the post");
            } catch (const DatabaseError& error) {
                QCOMPARE(error.message(), QStringLiteral("attempt to write a readonly database"));
            }
            QCOMPARE(payers.State(), DatasetState::Edit);
            QCOMPARE(payers.FieldByName(QStringLiteral("loc")).AsString(), QStringLiteral("ARAD"));

            // Writable again, the same typing is saved by the next post.
            if (root)
                QCOMPARE(QProcess::execute(
                             QStringLiteral("mount"), { QStringLiteral("-o"), QStringLiteral("remount,rw"), folder }),
                    0);
            else
                QFile::setPermissions(readOnlyPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            payers.Post();
            payers.Refresh();
            QCOMPARE(payers.FieldByName(QStringLiteral("loc")).AsString(), QStringLiteral("ARAD"));
        }
        if (root)
            QProcess::execute(QStringLiteral("umount"), { folder });
    }

    void aPayerThatCannotBeDeletedKeepsItsDeclarations()
    {
        MainWindowFixture f([](TestDatabase& db) {
            samples::addPayer(db, QStringLiteral("19"));
            db.exec("INSERT INTO declaratii (idfirma, ln, an) VALUES (1, 3, 2006), (1, 4, 2006);"
                    "CREATE TRIGGER keep BEFORE DELETE ON firme BEGIN SELECT RAISE(ABORT, 'firma pastrata'); END;");
        });
        MainWindowFixture::enter(f.window->cui);
        MainWindowFixture::type(f.window->cui, QStringLiteral("19"));
        MainWindowFixture::key(f.window->cui, Qt::Key_Tab);
        f.prompts.answerYes();
        f.prompts.answerOk();
        MainWindowFixture::key(f.window->sterg, Qt::Key_Return);
        QCOMPARE(f.prompts.lastText(), QStringLiteral("firma pastrata."));

        sqlite3* db = nullptr;
        sqlite3_open(f.database.path().toUtf8().constData(), &db);
        sqlite3_stmt* count = nullptr;
        sqlite3_prepare_v2(db, "SELECT count(*) FROM declaratii WHERE idfirma = 1", -1, &count, nullptr);
        QCOMPARE(sqlite3_step(count), SQLITE_ROW);
        QCOMPARE(sqlite3_column_int(count, 0), 2);
        sqlite3_finalize(count);
        // Nor is anything of it kept as deleted.
        sqlite3_prepare_v2(db, "SELECT (SELECT count(*) FROM firme_sterse) + (SELECT count(*) FROM declaratii_sterse)",
            -1, &count, nullptr);
        QCOMPARE(sqlite3_step(count), SQLITE_ROW);
        QCOMPARE(sqlite3_column_int(count, 0), 0);
        sqlite3_finalize(count);
        sqlite3_close(db);
        QCOMPARE(f.dm->qryFirme->RecordCount(), 1);
    }

    void aDestinationThatDisappearsDuringTheSaveKeepsNothingHalfWritten()
    {
        QTemporaryDir stick;
        const QString root = stick.path() + QStringLiteral("/medium/");
        QVERIFY(QDir().mkpath(root));
        QFile old(root + QStringLiteral("IM200603.txt"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("\"03\",\"2006\",230,x\r\n\"03\",\"2006\",31,y\r\n");
        old.close();
        // The medium is pulled out while the existing lines are being merged.
        bool pulled = false;
        const bool saved = SaveDeclarationFile(root, 3, 2006, "19", "\"03\",\"2006\",19,z", [&] {
            if (!pulled) {
                pulled = true;
                QDir(root).removeRecursively();
            }
        });
        QVERIFY(!saved);
        QVERIFY(!QFile::exists(root + QStringLiteral("IM200603.txt")));
        QVERIFY(QDir(stick.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
