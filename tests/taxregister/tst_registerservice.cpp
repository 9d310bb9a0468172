#include "StandInRegister.h"
#include "taxregister/RegisterService.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace itm;
using namespace itm::test;

namespace {

const QDate day(2024, 5, 2);

// Asks and waits for the one report; a second report would be a fault.
RegisterOutcome ask(RegisterService& service, const QStringList& codes)
{
    QSignalSpy finished(&service, &RegisterService::finished);
    service.lookUp(codes, day);
    if (!finished.wait(15000))
        return { RegisterFailure::Cancelled, -1 };
    // A second report would come through the event loop soon after the
    // first; a short while without one is what shows there is none.
    if (finished.wait(50) || finished.size() != 1)
        return { RegisterFailure::Cancelled, -2 };
    return finished.first().first().value<RegisterOutcome>();
}

} // namespace

class TestRegisterService : public QObject
{
    Q_OBJECT

    std::unique_ptr<StandInRegister> server;
    std::unique_ptr<RegisterService> service;

private Q_SLOTS:
    void init()
    {
        server = std::make_unique<StandInRegister>();
        service = std::make_unique<RegisterService>();
        service->setAddress(server->address());
        service->setInterval(0);
    }

    void foundCompanyAskedAsDocumented()
    {
        server->replyWithFile("craiova.json");
        const RegisterOutcome outcome = ask(*service, { QStringLiteral("12345674") });
        QCOMPARE(int(outcome.failure), int(RegisterFailure::None));
        const RegisterEntry* entry = outcome.entryFor(QStringLiteral("12345674"));
        QVERIFY(entry);
        QCOMPARE(entry->name, QStringLiteral("ALFA CONSTRUCT SRL"));
        QCOMPARE(entry->office.county, QStringLiteral("DOLJ"));

        QCOMPARE(server->requests().size(), 1);
        const auto& request = server->requests().first();
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.path, QByteArray("/api/v9/tva"));
        QVERIFY(request.headers.toLower().contains("content-type: application/json"));
        QCOMPARE(request.body, QByteArray(R"([{"cui":12345674,"data":"2024-05-02"}])"));
    }

    void failuresAreTold_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("failure");
        QTest::addColumn<int>("reported");
        QTest::newRow("not found") << 200 << StandInRegister::answer("not_found.json") << int(RegisterFailure::NotFound)
                                   << 0;
        QTest::newRow("not found told with 404")
            << 404 << QByteArray(R"({"cod":404,"message":"NOT_FOUND","found":[],"notFound":[12345674]})")
            << int(RegisterFailure::NotFound) << 0;
        QTest::newRow("HTML page") << 200 << QByteArray("<html>Request Rejected</html>")
                                   << int(RegisterFailure::Malformed) << 0;
        QTest::newRow("HTTP error") << 503 << QByteArray("<html>Service Unavailable</html>")
                                    << int(RegisterFailure::HttpError) << 503;
        QTest::newRow("error code in the answer")
            << 200 << QByteArray(R"({"cod":500,"message":"EROARE","found":[],"notFound":[]})")
            << int(RegisterFailure::HttpError) << 500;
    }
    void failuresAreTold()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(int, failure);
        QFETCH(int, reported);
        server->reply(status, body);
        const RegisterOutcome outcome = ask(*service, { QStringLiteral("12345674") });
        QCOMPARE(int(outcome.failure), failure);
        QCOMPARE(outcome.status, reported);
        QVERIFY(!RegisterFailureMessage(outcome).isEmpty());
    }

    void serverThatNeverAnswersTimesOut()
    {
        server->neverAnswer();
        service->setTimeout(300);
        QElapsedTimer clock;
        clock.start();
        const RegisterOutcome outcome = ask(*service, { QStringLiteral("12345674") });
        QCOMPARE(int(outcome.failure), int(RegisterFailure::TimeOut));
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(RegisterFailureMessage(outcome), QStringLiteral("Registrul ANAF nu a raspuns in 1 secunde"));
    }

    // One deadline from the question to the answer parsed, and no answer
    // read beyond the size limit.
    void answersBoundedInTimeAndSize_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("failure");
        QTest::newRow("slowly") << "slowly" << int(RegisterFailure::TimeOut);
        QTest::newRow("endlessly") << "endlessly" << int(RegisterFailure::TooLarge);
        QTest::newRow("hugely, its length announced") << "hugely" << int(RegisterFailure::TooLarge);
        QTest::newRow("after a long wait for its turn") << "paced" << int(RegisterFailure::TimeOut);
    }
    void answersBoundedInTimeAndSize()
    {
        QFETCH(QString, how);
        QFETCH(int, failure);
        service->setTimeout(how == u"slowly" || how == u"paced" ? 500 : 10000);
        if (how == u"slowly") {
            server->replySlowly(StandInRegister::answer("craiova.json"));
        } else if (how == u"endlessly") {
            server->replyEndlessly();
        } else if (how == u"hugely") {
            QByteArray body = StandInRegister::answer("craiova.json");
            body.insert(body.indexOf("\"notFound\""), "\"pad\": \"" + QByteArray(5 * 1024 * 1024, 'x') + "\",");
            server->reply(200, body);
        } else {
            // The questions of a process are spaced: this one waits its turn
            // longer than the whole question may take.
            server->replyWithFile("not_found.json");
            ask(*service, { QStringLiteral("31427185") });
            service->setInterval(5000);
        }
        QElapsedTimer clock;
        clock.start();
        const RegisterOutcome outcome = ask(*service, { QStringLiteral("12345674") });
        QCOMPARE(int(outcome.failure), failure);
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!RegisterFailureMessage(outcome).isEmpty());
        QCOMPARE(server->requests().size(), 1);
    }

    // No redirect is followed: the codes go to the address asked or nowhere.
    void redirectsAreNotFollowed_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("target");
        QTest::newRow("307 to another server") << 307 << "other";
        QTest::newRow("302 to itself, a loop") << 302 << "self";
        QTest::newRow("to a file") << 301 << "file:///etc/passwd";
    }
    void redirectsAreNotFollowed()
    {
        QFETCH(int, status);
        QFETCH(QString, target);
        StandInRegister other;
        other.replyWithFile("craiova.json");
        const QUrl location = target == u"other" ? other.address()
            : target == u"self"                  ? server->address()
                                                 : QUrl(target);
        server->redirect(status, location.toEncoded());
        server->redirect(status, location.toEncoded());
        const RegisterOutcome outcome = ask(*service, { QStringLiteral("12345674") });
        QCOMPARE(int(outcome.failure), int(RegisterFailure::Malformed));
        QCOMPARE(RegisterFailureMessage(outcome), QStringLiteral("Raspunsul registrului ANAF nu are forma asteptata"));
        QVERIFY(outcome.detail.contains(location.toString()));
        QCOMPARE(server->requests().size(), 1);
        QVERIFY(other.requests().isEmpty());
    }

    void untrustedCertificateIsASecureChannelFailure()
    {
        StandInRegister secure(StandInRegister::Secure);
        service->setAddress(secure.address());
        const RegisterOutcome outcome = ask(*service, { QStringLiteral("12345674") });
        QCOMPARE(int(outcome.failure), int(RegisterFailure::SecureChannel));
        QCOMPARE(RegisterFailureMessage(outcome),
            QStringLiteral(
                "Registrul ANAF nu poate fi contactat: conexiunea securizata a esuat (certificat semnat de el "
                "insusi, nerecunoscut)"));
    }

    // The variable names a stand-in on this computer or an https address;
    // anything else is ignored, and the user told in either case.
    void addressFromTheEnvironment_data()
    {
        QTest::addColumn<QString>("variable");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("notice");
        const QString documented = RegisterService::documentedAddress().toString();
        QTest::newRow("none") << "" << documented << "";
        QTest::newRow("the documented one") << documented << documented << "";
        QTest::newRow("local stand-in") << "http://127.0.0.1:8080/tva"
                                        << "http://127.0.0.1:8080/tva"
                                        << "Registrul ANAF se consulta la adresa http://127.0.0.1:8080/tva (din "
                                           "ITM_REGISTER_SERVICE), nu la adresa documentata";
        QTest::newRow("localhost") << "http://localhost/tva"
                                   << "http://localhost/tva"
                                   << "Registrul ANAF se consulta la adresa http://localhost/tva (din "
                                      "ITM_REGISTER_SERVICE), nu la adresa documentata";
        QTest::newRow("https elsewhere") << "https://proxy.example/tva"
                                         << "https://proxy.example/tva"
                                         << "Registrul ANAF se consulta la adresa https://proxy.example/tva (din "
                                            "ITM_REGISTER_SERVICE), nu la adresa documentata";
        const QString ignored = QStringLiteral("ITM_REGISTER_SERVICE=%1 nu este folosita (se accepta numai o adresa "
                                               "https:// sau http://127.0.0.1, http://localhost); se consulta adresa "
                                               "documentata ")
            + documented;
        QTest::newRow("plain http elsewhere") << "http://collector.example/tva" << documented
                                              << ignored.arg(QStringLiteral("http://collector.example/tva"));
        QTest::newRow("another scheme") << "ftp://127.0.0.1/tva" << documented
                                        << ignored.arg(QStringLiteral("ftp://127.0.0.1/tva"));
        QTest::newRow("control characters are shown escaped")
            << QString::fromLatin1("http://x\x1b[2J/") << documented << ignored.arg(QStringLiteral("http://x%1B[2J/"));
    }
    void addressFromTheEnvironment()
    {
        QFETCH(QString, variable);
        QFETCH(QString, asked);
        QFETCH(QString, notice);
        qputenv("ITM_REGISTER_SERVICE", variable.toUtf8());
        const QUrl configured = RegisterService::configuredAddress();
        const QString told = RegisterService::addressNotice();
        qunsetenv("ITM_REGISTER_SERVICE");
        QCOMPARE(configured.toString(), asked);
        QCOMPARE(told, notice);
    }

    void noServiceAtTheAddressIsNoNetwork()
    {
        QTcpServer closed;
        closed.listen(QHostAddress::LocalHost);
        const quint16 port = closed.serverPort();
        closed.close();
        service->setAddress(QUrl(QStringLiteral("http://127.0.0.1:%1/tva").arg(port)));
        QCOMPARE(int(ask(*service, { QStringLiteral("12345674") }).failure), int(RegisterFailure::NoNetwork));
    }

    void aPersonIsNeverSent_data()
    {
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("CNP") << QStringList { "1900101000091" };
        QTest::newRow("CNP among CUIs") << QStringList { "12345674", "1900101000006" };
        QTest::newRow("thirteen characters of anything") << QStringList { "RO12345674XYZ" };
        QTest::newRow("invalid code") << QStringList { "12345679" };
        QTest::newRow("more than a request holds") << QStringList(101, QStringLiteral("12345674"));
    }
    void aPersonIsNeverSent()
    {
        QFETCH(QStringList, codes);
        QSignalSpy connections(&server->listener(), &QTcpServer::pendingConnectionAvailable);
        QCOMPARE(int(ask(*service, codes).failure), int(RegisterFailure::NotCompany));
        // A request sent would reach the stand-in within a moment: no
        // connection for a short while is the proof that none was sent.
        QVERIFY(connections.isEmpty() && !connections.wait(100));
        QVERIFY(server->requests().isEmpty());
    }

    void cancelReportsAtOnceAndOnce()
    {
        server->neverAnswer();
        QSignalSpy finished(service.get(), &RegisterService::finished);
        service->lookUp({ QStringLiteral("12345674") }, day);
        QTRY_COMPARE(server->requests().size(), 1);
        service->cancel();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(int(finished.first().first().value<RegisterOutcome>().failure), int(RegisterFailure::Cancelled));
        QVERIFY(!service->isBusy());
        // Nor does the dropped question report later: a short while without
        // a second report is the proof.
        QVERIFY(!finished.wait(200));
        QCOMPARE(finished.size(), 1);
    }

    void questionsAreSpacedASecondApart()
    {
        service->setInterval(RegisterService::kDefaultIntervalMs);
        server->replyWithFile("not_found.json");
        server->replyWithFile("not_found.json");
        QElapsedTimer clock;
        clock.start();
        ask(*service, { QStringLiteral("31427185") });
        const qint64 first = clock.elapsed();
        ask(*service, { QStringLiteral("31427185") });
        QCOMPARE(server->requests().size(), 2);
        QVERIFY2(clock.elapsed() - first >= 900, qPrintable(QString::number(clock.elapsed() - first)));
    }
};

QTEST_GUILESS_MAIN(TestRegisterService)
#include "tst_registerservice.moc"
