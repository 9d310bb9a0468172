#include "StandInRegister.h"
#include "support/TestDatabase.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace itm::test;

class TestCliLookup : public QObject
{
    Q_OBJECT

    struct Run
    {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };

    // The command runs while this process's event loop serves the stand-in.
    static Run lookUp(const StandInRegister& server, const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ITM_REGISTER_SERVICE"), server.address().toString());
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(ITM_CLI_PATH), QStringList { QStringLiteral("lookup") } + arguments);
        if (!process.waitForStarted())
            return {};
        if (!QTest::qWaitFor([&process] { return process.state() == QProcess::NotRunning; }, 30000))
            return {};
        return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError() };
    }

private Q_SLOTS:
    void foundAndNotFoundInTheRegistersColumns()
    {
        TestDatabase db;
        StandInRegister server;
        QByteArray answer = StandInRegister::answer("craiova.json");
        answer.replace("\"notFound\": []", "\"notFound\": [31427185]");
        server.reply(200, answer);
        const Run run = lookUp(server,
            { QStringLiteral("--db"), db.path(), QStringLiteral("RO12345674"), QStringLiteral("31427185"),
                QStringLiteral("1900101000091") });
        QCOMPARE(run.out,
            QByteArray("cui=12345674\nprefix=1\ndenumire=ALFA CONSTRUCT\nsufix=1\ncodjudet=16\nloc=CRAIOVA\nsector=0\n"
                       "str=STR. UNIRII\nnr=5\nbloc=12\nscara=A\nap=14\ncodpostal=200100\ntelefon=0251123456\n"
                       "stare=activa\n"
                       "\ncui=31427185\nnegasit\n"
                       "\ncui=1900101000091\neroare: Registrul ANAF se consulta numai pentru C.U.I.; datele unei "
                       "persoane (CNP) nu se trimit\n"));
        QCOMPARE(run.exitCode, 1);
        // One request, for the two CUIs only.
        QCOMPARE(server.requests().size(), 1);
        QVERIFY(server.requests().first().body.contains("12345674"));
        QVERIFY(server.requests().first().body.contains("31427185"));
        QVERIFY(!server.requests().first().body.contains("1900101000091"));
    }

    // The texts as the payer panel would store them: escape sequences, NUL,
    // DEL and C1 controls blanked, each cut to its column; the status last.
    void textsAreCleanedAndCutAndTheStatusTold()
    {
        TestDatabase db;
        StandInRegister server;
        QByteArray answer = StandInRegister::answer("struck_off_ilfov.json");
        answer.replace("\"GAMA IMPEX\"", "\"" + QByteArray(5000, 'G') + "\"");
        answer.replace("\"Str. Erou Iancu Nicolae\"", "\"\\u001b]0;X\\u0007\\u001b[2J\\u0000\\u007f\\u009bStr. Erou\"");
        server.reply(200, answer);
        const Run run = lookUp(server, { QStringLiteral("--db"), db.path(), QStringLiteral("24361703") });
        QCOMPARE(run.out,
            "cui=24361703\nprefix=1\ndenumire=" + QByteArray(100, 'G')
                + "\nsufix=1\ncodjudet=23\nloc=VOLUNTARI\nsector=0\nstr= ]0;X  [2J   STR. EROU\nnr=12\n"
                  "codpostal=077190\nstare=radiata din 14.06.2019\n");
        QCOMPARE(run.exitCode, 4);
    }

    void jsonPrintsTheEntriesAsReceived()
    {
        StandInRegister server;
        server.replyWithFile("diacritics.json");
        const Run run = lookUp(server, { QStringLiteral("--json"), QStringLiteral("18556379") });
        QCOMPARE(run.exitCode, 0);
        const QJsonArray printed = QJsonDocument::fromJson(run.out).array();
        const QJsonArray received
            = QJsonDocument::fromJson(StandInRegister::answer("diacritics.json")).object().value("found").toArray();
        QCOMPARE(printed, received);
    }

    // The address asked is named first whenever it is not the documented one.
    void serviceFailureIsReported_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("HTTP error") << "503" << QByteArray("Registrul ANAF a raspuns cu eroarea 503\n");
        QTest::newRow("untrusted certificate")
            << "tls"
            << QByteArray(
                   "Registrul ANAF nu poate fi contactat: conexiunea securizata a esuat (certificat semnat de el "
                   "insusi, nerecunoscut)\n");
        QTest::newRow("endless answer") << "endless"
                                        << QByteArray("Raspunsul registrului ANAF este prea mare (peste 4 MB)\n");
    }
    void serviceFailureIsReported()
    {
        QFETCH(QString, how);
        QFETCH(QByteArray, message);
        StandInRegister server(how == u"tls" ? StandInRegister::Secure : StandInRegister::Plain);
        if (how == u"503")
            server.reply(503, "<html>busy</html>");
        else if (how == u"endless")
            server.replyEndlessly();
        const Run run = lookUp(server, { QStringLiteral("--json"), QStringLiteral("12345674") });
        // The messages first: when the status is not the one expected, they say why.
        QCOMPARE(run.err,
            "itm-cli lookup: Registrul ANAF se consulta la adresa " + server.address().toEncoded()
                + " (din ITM_REGISTER_SERVICE), nu la adresa documentata\nitm-cli lookup: " + message);
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(run.exitCode, 3);
    }
};

QTEST_GUILESS_MAIN(TestCliLookup)
#include "tst_cli_lookup.moc"
