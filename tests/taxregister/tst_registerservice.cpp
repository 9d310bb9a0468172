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
        QCOMPARE(int(ask(*service, codes).failure), int(RegisterFailure::NotCompany));
        // A request sent would reach the stand-in within a moment: nothing
        // arriving for a short while is the proof that none was sent.
        QTest::qWait(100);
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
