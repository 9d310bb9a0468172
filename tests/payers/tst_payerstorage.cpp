// Storing a payer by its validation, and deleting one.
#include "support/GuiTestCase.h"
#include "support/PayerPanelSteps.h"
#include "support/SampleRecords.h"

using namespace itm;
using namespace itm::test;

class TestPayerStorage : public itm::test::GuiTestCase
{
    Q_OBJECT

private Q_SLOTS:
    // A new payer is stored by its first validation; the next one posts the
    // changes and finds the same payer again by its code.
    void validationStoresAndFindsThePayerAgain()
    {
        MainWindowFixture f([](TestDatabase& db) { samples::addPayer(db, QStringLiteral("19")); });
        Panel p(f);
        f.openPayer(QStringLiteral("230"));
        p.fill();
        p.validate();
        QCOMPARE(payerCount(f.database), 2);
        QCOMPARE(column(f.database, QStringLiteral("230"), QStringLiteral("denumire")), QStringLiteral("ALFA"));
        QCOMPARE(p.payer().State(), DatasetState::Edit);
        QCOMPARE(p.text("cui"), QStringLiteral("230"));
        const QString id = p.text("id");
        QCOMPARE(id, column(f.database, QStringLiteral("230"), QStringLiteral("id")));
        QVERIFY(p.dcgb->Button5->isEnabled());
        QCOMPARE(f.focus(), p.dcgb->Button5);
        QCOMPARE(p.dcgb->den->text(), QStringLiteral("S.C. ALFA S.R.L."));
        QCOMPARE(f.window->windowState(), State::PayerData);

        p.retype(p.dcgb->DBEdit8, QStringLiteral("0744000000"));
        p.validate();
        QCOMPARE(payerCount(f.database), 2);
        QCOMPARE(column(f.database, QStringLiteral("230"), QStringLiteral("telefon")), QStringLiteral("0744000000"));
        QCOMPARE(p.payer().State(), DatasetState::Edit);
        QCOMPARE(p.text("cui"), QStringLiteral("230"));
        QCOMPARE(p.text("id"), id);
        QCOMPARE(f.focus(), p.dcgb->Button5);

        // "Declaratie &lunara" leads on to the period.
        MainWindowFixture::key(p.dcgb->Button5, Qt::Key_Return);
        QCOMPARE(f.window->windowState(), State::Period);
    }

    // The caption shows the name as stored, after the clean-up of the post.
    void theCaptionShowsTheStoredName()
    {
        MainWindowFixture f;
        Panel p(f);
        f.openPayer(QStringLiteral("230"));
        p.fill();
        p.write("denumire", QStringLiteral("ALFA, BETA"));
        p.validate();
        QCOMPARE(p.dcgb->den->text(), QStringLiteral("S.C. ALFA  BETA S.R.L."));
        QCOMPARE(column(f.database, QStringLiteral("230"), QStringLiteral("denumire")), QStringLiteral("ALFA  BETA"));
    }

    // An accelerator presses the button without moving the focus: what was
    // typed in the focused field is posted all the same.
    void anAcceleratorPostsWhatWasTyped_data()
    {
        // clang-format off
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("street") << "str" << "garii" << "str" << "GARII" << "GARII";
        QTest::newRow("e-mail") << "DBEdit9" << "OFFICE@BETA.RO" << "email" << "office@beta.ro" << "office@beta.ro";
        QTest::newRow("county") << "jud" << "GO" << "codjudet" << "18" << "GORJ";
        // clang-format on
    }
    void anAcceleratorPostsWhatWasTyped()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, column);
        QFETCH(QString, value);
        QFETCH(QString, shown);
        MainWindowFixture f(seedPayer19);
        Panel p(f);
        f.openPayer(QStringLiteral("19"));
        auto* edit = p.dcgb->findChild<QLineEdit*>(field);
        QVERIFY(edit);
        p.retype(edit, typed);
        QTest::keyClick(edit, Qt::Key_D, Qt::AltModifier);
        QTRY_VERIFY(p.dcgb->Button5->isEnabled());
        QCOMPARE(::column(f.database, QStringLiteral("19"), column), value);
        QCOMPARE(f.focus(), p.dcgb->Button5);
        QCOMPARE(edit->text(), shown);
    }

    void deletion_data()
    {
        // clang-format off
        QTest::addColumn<bool>("yes");
        QTest::newRow("No") << false;
        QTest::newRow("Yes") << true;
        // clang-format on
    }
    void deletion()
    {
        QFETCH(bool, yes);
        MainWindowFixture f([](TestDatabase& db) {
            samples::addPayer(db, QStringLiteral("19"));
            samples::addPayer(db, QStringLiteral("230"));
            db.exec("INSERT INTO declaratii (idfirma, ln, an) VALUES (1, 3, 2006), (1, 4, 2006), (2, 3, 2006)");
        });
        MainWindowFixture::enter(f.window->cui);
        MainWindowFixture::type(f.window->cui, QStringLiteral("19"));
        MainWindowFixture::key(f.window->cui, Qt::Key_Tab);
        QCOMPARE(f.focus(), f.window->sterg);
        if (yes)
            f.prompts.answerYes();
        else
            f.prompts.answerNo();
        MainWindowFixture::key(f.window->sterg, Qt::Key_Return);
        QCOMPARE(f.prompts.lastText(), QStringLiteral("Sigur doriti sa stergeti firma ?"));
        QCOMPARE(f.prompts.shown().last().kind, FakePrompts::Kind::Confirm);
        QCOMPARE(payerCount(f.database), yes ? 1 : 2);
        QCOMPARE(stored(f.database, QStringLiteral("SELECT count(*) FROM declaratii WHERE idfirma = 1")),
            yes ? QStringLiteral("0") : QStringLiteral("2"));
        QCOMPARE(stored(f.database, QStringLiteral("SELECT count(*) FROM declaratii WHERE idfirma = 2")),
            QStringLiteral("1"));
        // What is deleted is kept, to be brought back.
        QCOMPARE(stored(f.database,
                     QStringLiteral("SELECT group_concat(s.cui || ':' || (SELECT count(*) FROM declaratii_sterse d "
                                    "WHERE d.idstergere = s.idstergere)) FROM firme_sterse s")),
            yes ? QStringLiteral("19:2") : QString());
        QCOMPARE(column(f.database, QStringLiteral("230"), QStringLiteral("cui")), QStringLiteral("230"));
        QCOMPARE(f.dm->qryFirme->RecordCount(), yes ? 1 : 2);
        QCOMPARE(f.focus(), yes ? static_cast<QWidget*>(f.window->cui) : static_cast<QWidget*>(f.window->sterg));
        QCOMPARE(f.window->cui->text(), QStringLiteral("19"));
        VERIFY_PROMPTS(f);

        if (yes) {
            // The code is no longer in the register: a second press deletes nothing.
            MainWindowFixture::key(f.window->cui, Qt::Key_Tab);
            f.prompts.answerOk();
            MainWindowFixture::key(f.window->sterg, Qt::Key_Return);
            QCOMPARE(f.prompts.lastText(), QStringLiteral("Nu puteti sterge o firma care nu exista"));
            QCOMPARE(payerCount(f.database), 1);
            VERIFY_PROMPTS(f);
        }
    }

    // Only a payer that the code field has matched can be deleted.
    void deletingAnUnknownPayer_data()
    {
        // clang-format off
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("shorten");
        QTest::newRow("code not in the register") << "272" << false;
        QTest::newRow("code shortened after a completion") << "19" << true;
        // clang-format on
    }
    void deletingAnUnknownPayer()
    {
        QFETCH(QString, typed);
        QFETCH(bool, shorten);
        MainWindowFixture f([](TestDatabase& db) { samples::addPayer(db, QStringLiteral("1901")); });
        MainWindowFixture::enter(f.window->cui);
        MainWindowFixture::type(f.window->cui, typed);
        if (shorten)
            MainWindowFixture::key(f.window->cui, Qt::Key_Backspace);
        QCOMPARE(f.window->cui->text(), typed);
        MainWindowFixture::key(f.window->cui, Qt::Key_Tab);
        f.prompts.answerOk();
        MainWindowFixture::key(f.window->sterg, Qt::Key_Return);
        QCOMPARE(f.prompts.texts(), QStringList { QStringLiteral("Nu puteti sterge o firma care nu exista") });
        QCOMPARE(payerCount(f.database), 1);
    }

    void deletingFromAnEmptyRegister()
    {
        MainWindowFixture f;
        MainWindowFixture::enter(f.window->cui);
        f.prompts.answerOk();
        f.window->sterg->click();
        QTRY_COMPARE(f.prompts.texts(), QStringList { QStringLiteral("Nu puteti sterge o firma care nu exista") });
    }
};

QTEST_MAIN(TestPayerStorage)
#include "tst_payerstorage.moc"
