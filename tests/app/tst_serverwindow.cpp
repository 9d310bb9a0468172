// The windows on a register on a PostgreSQL server that a colleague's program
// uses at the same time: what the colleague saves shows here, what is typed
// here is never read over, a save never writes over the colleague's, and a
// lost server is said once and linked again by the next save.
#include "app/ColleagueRefresh.h"
#include "backup/ServerCopy.h"
#include "month/MonthTableModel.h"
#include "month/TfSituatieLuna.h"
#include "platform/Job.h"
#include "store/Connection.h"
#include "store/Tdm.h"
#include "store/UpdateSql.h"
#include "support/GuiTestCase.h"
#include "support/PayerPanelSteps.h"
#include "support/SampleRecords.h"

#include <QTest>

using namespace itm;
using namespace itm::test;

namespace {

// A colleague's program: its own connection to the register.
struct Colleague
{
    Tdm dm;
    explicit Colleague(const QString& location)
        : dm(location)
    {
    }

    void save(const QString& cui, const QString& column, const QString& value)
    {
        Dataset& payers = *dm.qryFirme;
        payers.Refresh();
        QVERIFY(payers.Locate(QStringLiteral("cui"), cui));
        payers.Edit();
        payers.FieldByName(column).setAsString(value);
        payers.Post();
    }
};

QString storedOnServer(const QString& location, const QString& sql)
{
    Connection connection;
    connection.open(location);
    Statement query(connection, sql);
    return query.step() ? query.text(0) : QStringLiteral("<none>");
}

} // namespace

class TestServerWindow : public itm::test::GuiTestCase
{
    Q_OBJECT

    int m_databases = 0;

    // A register on the run's server with payer 19, declared for March 2006.
    QString newRegister()
    {
        TestDatabase file;
        samples::addPayer(file, QStringLiteral("19"));
        file.exec("INSERT INTO declaratii (idfirma, ln, an, nrsal, fondlunsal) VALUES (1, 3, 2006, 2, 2000)");
        const QString location = NewServerRegister(QStringLiteral("fereastra%1").arg(++m_databases));
        JobProgress progress;
        CopyFileToServer(file.path(), location, progress);
        return location;
    }

    static ColleagueRefresh& refreshOf(MainWindowFixture& f)
    {
        auto* refresh = f.window->findChild<ColleagueRefresh*>();
        if (!refresh)
            qFatal("the window does not follow its colleagues' saves");
        return *refresh;
    }

private Q_SLOTS:
    void init()
    {
        if (qEnvironmentVariableIsEmpty("PGPORT"))
            QSKIP("no PostgreSQL server: run under pg_virtualenv");
    }

    void aColleaguesSaveShowsAndIsNeverWrittenOver()
    {
        const QString location = newRegister();
        MainWindowFixture f(location);
        Panel p(f);
        f.openPayer(QStringLiteral("19"));
        QCOMPARE(f.window->windowState(), State::PayerData);
        Colleague colleague(location);

        colleague.save(QStringLiteral("19"), QStringLiteral("telefon"), QStringLiteral("0211111111"));
        QTRY_COMPARE(p.dcgb->DBEdit8->text(), QStringLiteral("0211111111"));
        QCOMPARE(p.payer().State(), DatasetState::Edit);

        // Typed and not saved: the colleague's next save is not read over it.
        p.retype(p.dcgb->DBEdit8, QStringLiteral("0722222222"));
        colleague.save(QStringLiteral("19"), QStringLiteral("email"), QStringLiteral("OFICIU@FIRMA.RO"));
        refreshOf(f).check();
        refreshOf(f).check();
        QCOMPARE(p.dcgb->DBEdit8->text(), QStringLiteral("0722222222"));

        // Saved, it is refused: the colleague's save stands, the typing stays.
        f.prompts.answerOk();
        p.validate();
        QVERIFY2(f.prompts.lastText().contains(ChangedByOtherMessage()), qPrintable(f.prompts.lastText()));
        QCOMPARE(p.dcgb->DBEdit8->text(), QStringLiteral("0722222222"));
        QCOMPARE(storedOnServer(location, QStringLiteral("SELECT telefon || ' ' || email FROM firme")),
            QStringLiteral("0211111111 OFICIU@FIRMA.RO"));
    }

    void theMonthWindowShowsAColleaguesDeclarationAndPayer()
    {
        const QString location = newRegister();
        MainWindowFixture f(location);
        TfSituatieLuna window(*f.dm, nullptr, f.window.get());
        window.setWindowModality(Qt::ApplicationModal);
        window.showMonth({ 4, 2006 });
        window.show();
        QTRY_VERIFY(!window.model()->loading());
        QCOMPARE(window.model()->payerAt(0).declared(), false);

        Colleague colleague(location);
        colleague.dm.con.exec(
            QStringLiteral("INSERT INTO declaratii (idfirma, ln, an, nrsal, fondlunsal) VALUES (1, 4, 2006, 3, 3000)"));
        QTRY_VERIFY(window.model()->payerAt(0).declared());

        // Payers saved: each takes its place in the order of codes.
        colleague.save(QStringLiteral("19"), QStringLiteral("denumire"), QStringLiteral("BETA"));
        QTRY_VERIFY(window.model()->payerAt(0).legalName.contains(QStringLiteral("BETA")));
        QVERIFY(window.model()->payerAt(0).declared());
        colleague.dm.con.exec(
            QStringLiteral("INSERT INTO firme (cui, denumire) VALUES ('18', 'GAMA'), ('2', 'DELTA')"));
        QTRY_COMPARE(window.model()->rowCount(), 3);
        QCOMPARE(window.model()->payerAt(0).cui, QStringLiteral("18"));
        QCOMPARE(window.model()->payerAt(1).cui, QStringLiteral("19"));
        QVERIFY(window.model()->payerAt(1).declared());
        QCOMPARE(window.model()->payerAt(2).cui, QStringLiteral("2"));
        colleague.dm.con.exec(QStringLiteral("UPDATE firme SET cui = '3' WHERE cui = '18'"));
        colleague.dm.con.exec(QStringLiteral("DELETE FROM firme WHERE cui = '2'"));
        QTRY_COMPARE(window.model()->rowCount(), 2);
        QCOMPARE(window.model()->payerAt(0).cui, QStringLiteral("19"));
        QCOMPARE(window.model()->payerAt(1).cui, QStringLiteral("3"));
        QCOMPARE(window.model()->totals().declared, 1);
        colleague.dm.con.exec(QStringLiteral("DELETE FROM declaratii WHERE ln = 4"));
        QTRY_VERIFY(!window.model()->payerAt(0).declared());
        QCOMPARE(window.model()->totals().declared, 0);
    }

    void aLostServerIsSaidOnceAndTheNextSaveLinksAgain()
    {
        const QString location = newRegister();
        MainWindowFixture f(location);
        Panel p(f);
        f.openPayer(QStringLiteral("19"));
        p.retype(p.dcgb->DBEdit8, QStringLiteral("0733333333"));

        // The server ends the window's session, as a restart does.
        Connection admin;
        admin.open(location);
        admin.exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                  "WHERE datname = current_database() AND pid <> pg_backend_pid()"));
        f.prompts.answerOk();
        QTRY_COMPARE(f.prompts.lastText(), LostServerMessage());
        refreshOf(f).check();
        refreshOf(f).check();
        QCOMPARE(f.prompts.shown().size(), 1);
        QCOMPARE(p.dcgb->DBEdit8->text(), QStringLiteral("0733333333"));

        p.validate();
        QCOMPARE(f.prompts.shown().size(), 1);
        QCOMPARE(storedOnServer(location, QStringLiteral("SELECT telefon FROM firme")), QStringLiteral("0733333333"));
    }
};

QTEST_MAIN(TestServerWindow)
#include "tst_serverwindow.moc"
