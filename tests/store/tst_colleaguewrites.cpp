#include "store/Connection.h"
#include "store/Errors.h"
#include "store/ServerSchema.h"
#include "store/Tdm.h"
#include "store/UpdateSql.h"

#include "support/ServerDatabase.h"
#include "support/TestDatabase.h"

#include <QTest>
#include <memory>

using namespace itm;
using namespace itm::test;

// Two programs on one register, each with its own connection: a save never
// writes over what the other saved since it read the row, on a register file
// and on a PostgreSQL server alike.
class TestColleagueWrites : public QObject
{
    Q_OBJECT

    int m_databases = 0;
    std::unique_ptr<TestDatabase> m_file;

    // An empty register of the given kind, with payer 19 in it.
    QString newRegister(bool server)
    {
        QString location;
        if (server) {
            location = NewServerRegister(QStringLiteral("colegi%1").arg(++m_databases));
        } else {
            m_file = std::make_unique<TestDatabase>();
            location = m_file->path();
        }
        Tdm first(location);
        first.qryFirme->Append();
        first.qryFirme->FieldByName(QStringLiteral("cui")).setAsString(QStringLiteral("19"));
        first.qryFirme->FieldByName(QStringLiteral("denumire")).setAsString(QStringLiteral("ALFA"));
        first.qryFirme->Post();
        return location;
    }

    static void kinds()
    {
        QTest::addColumn<bool>("server");
        QTest::newRow("file") << false;
        QTest::newRow("server") << true;
    }

    static Dataset& payer19(Tdm& dm)
    {
        Dataset& payers = *dm.qryFirme;
        payers.Refresh();
        if (!payers.Locate(QStringLiteral("cui"), QStringLiteral("19")))
            qFatal("payer 19 is not in the register");
        return payers;
    }

    static QString refusal(Dataset& dataset, void (Dataset::*write)())
    {
        try {
            (dataset.*write)();
        } catch (const DatabaseError& error) {
            return error.message();
        }
        return QStringLiteral("(saved)");
    }

private Q_SLOTS:
    void init()
    {
        if (QByteArray(QTest::currentDataTag()).startsWith("server") && qEnvironmentVariableIsEmpty("PGPORT"))
            QSKIP("no PostgreSQL server: run under pg_virtualenv");
    }

    void aColleaguesSaveIsNeverWrittenOver_data() { kinds(); }
    void aColleaguesSaveIsNeverWrittenOver()
    {
        QFETCH(bool, server);
        const QString location = newRegister(server);
        Tdm mine(location);
        Tdm colleagues(location);
        Dataset& payer = payer19(mine);
        payer.Edit();
        Dataset& theirs = payer19(colleagues);
        theirs.Edit();
        theirs.FieldByName(QStringLiteral("denumire")).setAsString(QStringLiteral("BETA"));
        theirs.Post();

        payer.FieldByName(QStringLiteral("denumire")).setAsString(QStringLiteral("GAMA"));
        QCOMPARE(refusal(payer, &Dataset::Post), ChangedByOtherMessage());
        // What was typed stays in editing; giving it up shows the colleague's save.
        QCOMPARE(payer.State(), DatasetState::Edit);
        QCOMPARE(payer.FieldByName(QStringLiteral("denumire")).AsString(), QStringLiteral("GAMA"));
        payer.Cancel();
        QCOMPARE(payer.FieldByName(QStringLiteral("denumire")).AsString(), QStringLiteral("BETA"));
        // Read again, the row is saved as usual, and so is a delete of it.
        payer.Edit();
        payer.FieldByName(QStringLiteral("denumire")).setAsString(QStringLiteral("GAMA"));
        payer.Post();
        QCOMPARE(payer19(colleagues).FieldByName(QStringLiteral("denumire")).AsString(), QStringLiteral("GAMA"));
        theirs.Edit();
        theirs.FieldByName(QStringLiteral("email")).setAsString(QStringLiteral("A@B.RO"));
        theirs.Post();
        QCOMPARE(refusal(payer, &Dataset::Delete), ChangedByOtherMessage());
    }

    // Saved twice in a row by the same program, a row is its own save: the
    // second save finds the row as the first left it.
    void ownSavesFollowEachOther_data() { kinds(); }
    void ownSavesFollowEachOther()
    {
        QFETCH(bool, server);
        const QString location = newRegister(server);
        Tdm mine(location);
        Dataset& payer = payer19(mine);
        for (const QString& name : { QStringLiteral("BETA"), QStringLiteral("GAMA  "), QStringLiteral("") }) {
            payer.Edit();
            payer.FieldByName(QStringLiteral("denumire")).setAsString(name);
            payer.FieldByName(QStringLiteral("faliment")).setAsInteger(1);
            payer.FieldByName(QStringLiteral("lsector")).setAsString(QStringLiteral("3"));
            payer.Post();
        }
        const qint64 payerId = payer.FieldByName(QStringLiteral("id")).AsInteger();
        Dataset& declarations = *mine.qryDeclaratii;
        declarations.setParam(QStringLiteral("idfirma"), payerId);
        declarations.setParam(QStringLiteral("luna"), 3);
        declarations.setParam(QStringLiteral("anul"), 2006);
        declarations.Open();
        declarations.Append();
        declarations.FieldByName(QStringLiteral("idfirma")).setAsInteger(payerId);
        declarations.FieldByName(QStringLiteral("ln")).setAsInteger(3);
        declarations.FieldByName(QStringLiteral("an")).setAsInteger(2006);
        for (const QString& fund : { QStringLiteral("1200.5"), QStringLiteral("0.1"), QStringLiteral("1200") }) {
            declarations.FieldByName(QStringLiteral("fondlunsal")).setAsString(fund);
            declarations.Post();
            declarations.Edit();
        }
        declarations.Post();
        QCOMPARE(declarations.FieldByName(QStringLiteral("fondlunsal")).AsString(), QStringLiteral("1200"));
    }

    void aRowDeletedByAColleagueIsNotWritten_data() { kinds(); }
    void aRowDeletedByAColleagueIsNotWritten()
    {
        QFETCH(bool, server);
        const QString location = newRegister(server);
        Tdm mine(location);
        Tdm colleagues(location);
        Dataset& payer = payer19(mine);
        payer.Edit();
        payer19(colleagues).Delete();
        payer.FieldByName(QStringLiteral("denumire")).setAsString(QStringLiteral("GAMA"));
        QCOMPARE(refusal(payer, &Dataset::Post), RecordGoneMessage());
        QCOMPARE(payer.State(), DatasetState::Edit);
    }

    // A colleague's save read again in the background (a large register): the
    // row shown stays current and shows the save at once, the rest follows.
    void aRefreshInTheBackgroundKeepsTheRowShown_data() { kinds(); }
    void aRefreshInTheBackgroundKeepsTheRowShown()
    {
        QFETCH(bool, server);
        const QString location = newRegister(server);
        Tdm mine(location);
        Tdm colleagues(location);
        Dataset payers(mine.con, QStringLiteral("payers"));
        payers.setSql(QStringLiteral("select * from firme order by cui"));
        payers.setCachedColumns({ QStringLiteral("cui") });
        payers.setLoadKeysInBackground(1);
        payers.Open();
        QVERIFY(payers.Locate(QStringLiteral("cui"), QStringLiteral("19")));
        Dataset& theirs = payer19(colleagues);
        theirs.Edit();
        theirs.FieldByName(QStringLiteral("denumire")).setAsString(QStringLiteral("BETA"));
        theirs.Post();
        for (const QString& code : { QStringLiteral("10"), QStringLiteral("30") }) {
            theirs.Append();
            theirs.FieldByName(QStringLiteral("cui")).setAsString(code);
            theirs.Post();
        }
        payers.RefreshInBackground();
        QCOMPARE(payers.fieldText(QStringLiteral("denumire")), QStringLiteral("BETA"));
        QCOMPARE(payers.RecordCount(), 3);
        QCOMPARE(payers.fieldText(QStringLiteral("cui")), QStringLiteral("19"));
        QCOMPARE(payers.RecNo(), 2);
    }

    // Both programs add the same code: the first save stands; the second is
    // refused with the message for a code already in the register, whether
    // the check before the write sees the first one or (at the same instant,
    // on a server) only the write itself does.
    void theSameCodeAddedTwiceIsStoredOnce_data()
    {
        QTest::addColumn<bool>("server");
        QTest::addColumn<bool>("checkFirst");
        QTest::newRow("file") << false << true;
        QTest::newRow("server") << true << true;
        QTest::newRow("server, at the same instant") << true << false;
    }
    void theSameCodeAddedTwiceIsStoredOnce()
    {
        QFETCH(bool, server);
        QFETCH(bool, checkFirst);
        const QString location = newRegister(server);
        Tdm mine(location);
        Tdm colleagues(location);
        if (!checkFirst)
            mine.uFirmez.insertConflictSql.clear();
        for (Tdm* dm : { &colleagues, &mine }) {
            dm->qryFirme->Append();
            dm->qryFirme->FieldByName(QStringLiteral("cui")).setAsString(QStringLiteral("27"));
        }
        colleagues.qryFirme->Post();
        QCOMPARE(refusal(*mine.qryFirme, &Dataset::Post),
            QStringLiteral("In registru exista deja o firma cu codul fiscal 27"));
        QCOMPARE(mine.qryFirme->State(), DatasetState::Insert);
        mine.qryFirme->Cancel();
        mine.qryFirme->Refresh();
        QCOMPARE(mine.qryFirme->RecordCount(), 2);
    }

    // What a program learns of a colleague's saves: which payers, and whose
    // declarations, so that it reads them alone; for a large transaction,
    // only that the table changed.
    void theServerNamesThePayersAColleagueSaved()
    {
        if (qEnvironmentVariableIsEmpty("PGPORT"))
            QSKIP("no PostgreSQL server: run under pg_virtualenv");
        const QString location = newRegister(true);
        Connection mine;
        mine.open(location);
        Connection colleague;
        colleague.open(location);
        const auto afterColleague = [&](const char* sql) {
            const qint64 before = mine.dataVersion();
            colleague.exec(QString::fromLatin1(sql));
            QTRY_VERIFY(mine.dataVersion() > before);
        };
        const auto idOf = [&](const char* code) {
            Statement id(colleague, QStringLiteral("SELECT id FROM firme WHERE cui = :cui"));
            id.bind(QStringLiteral("cui"), QString::fromLatin1(code));
            return id.step() ? id.integer(0) : -1;
        };
        const QSet<qint64> none;

        afterColleague("INSERT INTO firme (cui) VALUES ('20'), ('21')");
        const QSet<qint64> added { idOf("20"), idOf("21") };
        QCOMPARE(mine.takeSavedRows(QStringLiteral("firme")), added);
        QCOMPARE(mine.takeSavedRows(QStringLiteral("firme")), none);
        afterColleague("UPDATE firme SET denumire = 'BETA' WHERE cui = '20'");
        afterColleague("DELETE FROM firme WHERE cui = '21'");
        QCOMPARE(mine.takeSavedRows(QStringLiteral("firme")), added);
        afterColleague("INSERT INTO firme (cui) SELECT n::text FROM generate_series(100, 300) n");
        QCOMPARE(mine.takeSavedRows(QStringLiteral("firme")), std::nullopt);
        // A transaction of a statement a payer names its first payers, then
        // only the table, once.
        const qint64 before = mine.dataVersion();
        {
            Transaction many(colleague);
            Statement insert(colleague, QStringLiteral("INSERT INTO firme (cui) VALUES (:cui)"));
            for (int n = 400; n < 400 + 3 * PayerNoticeMostIds; ++n) {
                insert.reset();
                insert.bind(QStringLiteral("cui"), QString::number(n));
                insert.step();
            }
            many.commit();
        }
        bool toldTheTableAlone = false;
        QTRY_VERIFY(toldTheTableAlone = toldTheTableAlone || !mine.takeSavedRows(QStringLiteral("firme")));
        QCOMPARE(mine.dataVersion() - before, qint64(PayerNoticeMostIds + 1));
        afterColleague("INSERT INTO declaratii (idfirma, ln, an) SELECT id, 3, 2006 FROM firme WHERE cui = '19'");
        QCOMPARE(mine.takeSavedRows(QStringLiteral("firme")), none);
        QCOMPARE(mine.takeSavedRows(QStringLiteral("declaratii")), QSet<qint64> { idOf("19") });
        // A declaration moved to another payer names both.
        afterColleague("UPDATE declaratii SET idfirma = (SELECT id FROM firme WHERE cui = '20')");
        QCOMPARE(mine.takeSavedRows(QStringLiteral("declaratii")), (QSet<qint64> { idOf("19"), idOf("20") }));
        // One's own saves are not a colleague's.
        mine.exec(QStringLiteral("UPDATE firme SET denumire = 'GAMA' WHERE cui = '20'"));
        QCOMPARE(mine.takeSavedRows(QStringLiteral("firme")), none);
    }
};

QTEST_GUILESS_MAIN(TestColleagueWrites)
#include "tst_colleaguewrites.moc"
