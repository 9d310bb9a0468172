#include "StandInRegister.h"
#include "payers/PayerPanel.h"
#include "support/GuiTestCase.h"
#include "support/MainWindowFixture.h"
#include "taxregister/PayerRegisterFill.h"
#include "taxregister/RegisterService.h"
#include "widgets/DbEdit.h"
#include <QUrl>

#include <QPushButton>
#include <sqlite3.h>

using namespace itm;
using namespace itm::test;

namespace {

int storedPayers(const TestDatabase& db)
{
    sqlite3* handle = nullptr;
    sqlite3_open_v2(db.path().toUtf8().constData(), &handle, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(handle, "SELECT count(*) FROM firme", -1, &statement, nullptr);
    const int count = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
    sqlite3_finalize(statement);
    sqlite3_close(handle);
    return count;
}

// The main window with the register's service pointed at a stand-in.
struct RegisterWindow
{
    StandInRegister server;
    std::unique_ptr<MainWindowFixture> f;
    PayerPanel* dcgb = nullptr;

    RegisterWindow()
    {
        f = std::make_unique<MainWindowFixture>();
        dcgb = f->window->dcgb;
        service().setInterval(0);
        service().setAddress(server.address());
    }

    RegisterService& service() const { return dcgb->findChild<PayerRegisterFill*>()->service(); }

    QString column(const char* name) const
    {
        return f->dm->qryFirme->FieldByName(QString::fromLatin1(name)).AsString();
    }
};

} // namespace

class TestRegisterFill : public itm::test::GuiTestCase
{
    Q_OBJECT

private Q_SLOTS:
    // The data arrive as if typed: shown in the fields, held in the record's
    // buffer, nothing stored; the focus goes to the first field left empty.
    void f3FillsANewPayerAndPostsNothing_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("fromCounty");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("county");
        QTest::addColumn<QString>("locality");
        QTest::addColumn<QString>("sector");
        QTest::addColumn<QString>("street");
        QTest::addColumn<QString>("focus");
        QTest::newRow("Craiova, from the name button") << "craiova.json"
                                                       << "12345674" << false << "S.C. ALFA CONSTRUCT S.R.L."
                                                       << "DOLJ"
                                                       << "CRAIOVA"
                                                       << "0"
                                                       << "STR. UNIRII"
                                                       << "DBEdit10";
        QTest::newRow("Bucharest sector 3, from the empty county field")
            << "bucharest_sector3.json"
            << "15900825" << true << "S.C. BETA SERVICII S.A."
            << "BUCURESTI"
            << "BUCURESTI"
            << "3"
            << "BD. UNIRII"
            << "DBEdit1";
    }
    void f3FillsANewPayerAndPostsNothing()
    {
        QFETCH(QString, answer);
        QFETCH(QString, code);
        QFETCH(bool, fromCounty);
        RegisterWindow w;
        w.server.replyWithFile(answer.toLatin1().constData());
        w.f->openPayer(code);
        if (fromCounty) {
            MainWindowFixture::enter(w.dcgb->jud);
        }
        MainWindowFixture::press(Qt::Key_F3);
        QTRY_VERIFY(!w.dcgb->str->text().isEmpty());

        QTEST(w.dcgb->den->text(), "name");
        QTEST(w.dcgb->jud->text(), "county");
        QTEST(w.dcgb->loc->text(), "locality");
        QTEST(w.column("sector"), "sector");
        QCOMPARE(w.dcgb->sector->isEnabled(), w.column("sector") != u"0");
        QTEST(w.dcgb->str->text(), "street");
        QCOMPARE(w.column("str"), w.dcgb->str->text());
        QCOMPARE(w.f->dm->qryFirme->State(), DatasetState::Insert);
        QCOMPARE(storedPayers(w.f->database), 0);
        QTEST(w.f->focus()->objectName(), "focus");
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(w.server.requests().size(), 1);
    }

    void failureIsToldAndChangesNothing_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("requests");
        QTest::newRow("not found") << "31427185" << 200 << StandInRegister::answer("not_found.json")
                                   << "Codul fiscal nu a fost gasit in registrul ANAF" << 1;
        QTest::newRow("HTTP error") << "12345674" << 500 << QByteArray("<html>Eroare</html>")
                                    << "Registrul ANAF a raspuns cu eroarea 500" << 1;
        QTest::newRow("untrusted certificate (status -1: a TLS stand-in)")
            << "12345674" << -1 << QByteArray()
            << "Registrul ANAF nu poate fi contactat: conexiunea securizata a esuat (certificat semnat de el insusi, "
               "nerecunoscut)"
            << 0;
        QTest::newRow("a person is never sent")
            << "1900101000091" << 0 << QByteArray()
            << "Registrul ANAF se consulta numai pentru C.U.I.; datele unei persoane (CNP) nu se trimit" << 0;
    }
    void failureIsToldAndChangesNothing()
    {
        QFETCH(QString, code);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        QFETCH(int, requests);
        RegisterWindow w;
        StandInRegister secure(StandInRegister::Secure);
        if (status > 0)
            w.server.reply(status, body);
        else if (status < 0)
            w.service().setAddress(secure.address());
        w.f->openPayer(code);
        w.dcgb->str->setFocus(Qt::TabFocusReason);
        MainWindowFixture::type(w.dcgb->str, QStringLiteral("TYPED"));
        w.f->prompts.answerOk();
        MainWindowFixture::press(Qt::Key_F3);
        QTRY_COMPARE(w.f->prompts.shown().size(), 1);
        QCOMPARE(w.f->prompts.lastText(), message);
        QCOMPARE(w.server.requests().size(), requests);
        QCOMPARE(w.dcgb->str->text(), QStringLiteral("TYPED"));
        QCOMPARE(w.column("denumire"), QString());
        QCOMPARE(w.dcgb->den->text(), QStringLiteral("Click pentru stabilire denumire"));
        QCOMPARE(w.f->focus(), w.dcgb->str);
        QVERIFY(!QApplication::overrideCursor());
    }

    // A stand-in named by the environment is told before the first question.
    void addressFromTheEnvironmentIsTold()
    {
        RegisterWindow w;
        w.service().setAddress(QUrl());
        qputenv("ITM_REGISTER_SERVICE", w.server.address().toString().toUtf8());
        w.server.replyWithFile("craiova.json");
        w.f->openPayer(QStringLiteral("12345674"));
        w.f->prompts.answerOk();
        MainWindowFixture::press(Qt::Key_F3);
        QTRY_VERIFY(!w.dcgb->str->text().isEmpty());
        qunsetenv("ITM_REGISTER_SERVICE");
        QCOMPARE(w.f->prompts.shown().size(), 1);
        QCOMPARE(w.f->prompts.lastText(),
            QStringLiteral(
                "Registrul ANAF se consulta la adresa %1 (din ITM_REGISTER_SERVICE), nu la adresa documentata")
                .arg(w.server.address().toString()));
        QCOMPARE(w.server.requests().size(), 1);
    }

    // A struck-off or inactive firm is named before anything is filled.
    void firmNotActiveIsConfirmedFirst_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("fill");
        QTest::addColumn<QString>("question");
        QTest::newRow("struck off, filled anyway")
            << "struck_off_ilfov.json"
            << "24361703" << true << "Firma este radiata din 14.06.2019 in registrul ANAF. Preluati totusi datele ei?";
        QTest::newRow("inactive, not filled")
            << "practice_fiscal_domicile.json"
            << "39123459" << false
            << "Firma este inactiva din 01.03.2020 in registrul ANAF. Preluati totusi datele ei?";
    }
    void firmNotActiveIsConfirmedFirst()
    {
        QFETCH(QString, answer);
        QFETCH(QString, code);
        QFETCH(bool, fill);
        RegisterWindow w;
        w.server.replyWithFile(answer.toLatin1().constData());
        w.f->openPayer(code);
        fill ? w.f->prompts.answerYes() : w.f->prompts.answerNo();
        MainWindowFixture::press(Qt::Key_F3);
        QTRY_COMPARE(w.f->prompts.shown().size(), 1);
        QTEST(w.f->prompts.lastText(), "question");
        QCOMPARE(w.column("str").isEmpty(), !fill);
        QCOMPARE(w.column("codpostal").isEmpty(), !fill);
        QCOMPARE(w.f->dm->qryFirme->State(), DatasetState::Insert);
        QVERIFY(!QApplication::overrideCursor());
    }

    // Escape while waiting gives up without a question; the window was never
    // frozen, and nothing typed meanwhile reached the record.
    void escapeGivesUpTheWait()
    {
        RegisterWindow w;
        w.server.neverAnswer();
        w.f->openPayer(QStringLiteral("12345674"));
        MainWindowFixture::enter(w.dcgb->str);
        MainWindowFixture::press(Qt::Key_F3);
        QTRY_COMPARE(w.server.requests().size(), 1);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        MainWindowFixture::type(w.dcgb->str, QStringLiteral("X"));
        MainWindowFixture::key(w.dcgb->str, Qt::Key_Return);
        MainWindowFixture::key(w.dcgb->str, Qt::Key_D, Qt::AltModifier);
        QCOMPARE(w.dcgb->str->text(), QString());
        QCOMPARE(w.f->focus(), w.dcgb->str);
        MainWindowFixture::key(w.dcgb->str, Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::overrideCursor());
        QCOMPARE(w.f->window->windowState(), TDecl::WindowState::PayerData);
        QCOMPARE(w.f->dm->qryFirme->State(), DatasetState::Insert);
        QCOMPARE(w.column("denumire"), QString());
        QVERIFY(w.f->prompts.shown().isEmpty());
    }
};

QTEST_MAIN(TestRegisterFill)
#include "tst_registerfill.moc"
