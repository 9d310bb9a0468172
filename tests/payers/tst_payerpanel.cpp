#include "declaration/DeclarationPanel.h"
#include "payers/PayerPanel.h"
#include "payers/TVelaDBAutoCompletitionEdit.h"
#include "support/GuiTestCase.h"
#include "support/MainWindowFixture.h"
#include "widgets/DbEdit.h"

#include <QListView>
#include <QPushButton>
#include <sqlite3.h>

using namespace itm;
using namespace itm::test;
using State = TDecl::WindowState;

namespace {

// One value read straight from the database file, past the program's cursors.
QString stored(const TestDatabase& db, const QString& sql)
{
    sqlite3* handle = nullptr;
    sqlite3_open_v2(db.path().toUtf8().constData(), &handle, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    QString result;
    if (sqlite3_prepare_v2(handle, sql.toUtf8().constData(), -1, &statement, nullptr) == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        result = text ? QString::fromUtf8(text) : QString();
    } else {
        result = QStringLiteral("<none>");
    }
    sqlite3_finalize(statement);
    sqlite3_close(handle);
    return result;
}

QString column(const TestDatabase& db, const QString& cui, const QString& name)
{
    return stored(db, QStringLiteral("SELECT %1 FROM firme WHERE cui = '%2'").arg(name, cui));
}

int payerCount(const TestDatabase& db)
{
    return stored(db, QStringLiteral("SELECT count(*) FROM firme")).toInt();
}

struct Panel
{
    MainWindowFixture& f;
    PayerPanel* dcgb;

    explicit Panel(MainWindowFixture& fixture)
        : f(fixture)
        , dcgb(fixture.window->dcgb)
    {
    }

    Dataset& payer() const { return *f.dm->qryFirme; }
    QString text(const char* name) const { return payer().FieldByName(QString::fromLatin1(name)).AsString(); }
    void write(const char* name, const QString& value) const
    {
        payer().FieldByName(QString::fromLatin1(name)).setAsString(value);
    }

    // Everything the rules ask for, as a user would have filled it in.
    void fill() const
    {
        write("prefix", QStringLiteral("1"));
        write("denumire", QStringLiteral("ALFA"));
        write("sufix", QStringLiteral("1"));
        write("codjudet", QStringLiteral("16"));
        write("loc", QStringLiteral("CRAIOVA"));
        write("str", QStringLiteral("UNIRII"));
        write("nr", QStringLiteral("5"));
        write("numerep", QStringLiteral("POPESCU"));
        write("prenumerep", QStringLiteral("ION"));
        write("funcrep", QStringLiteral("ADMINISTRATOR"));
        write("banca", QStringLiteral("BCR"));
        write("cont", QStringLiteral("RO49AAAA1B31007593840000"));
    }

    // "Validare &date societate" pressed from the keyboard.
    void validate() const
    {
        dcgb->Button3->setFocus(Qt::TabFocusReason);
        MainWindowFixture::settle();
        MainWindowFixture::key(dcgb->Button3, Qt::Key_Return);
    }

    void focus(QWidget* control) const
    {
        control->setFocus(Qt::TabFocusReason);
        MainWindowFixture::settle();
    }

    // Replaces the text of a focused field by typing.
    void retype(QLineEdit* edit, const QString& typed) const
    {
        focus(edit);
        edit->selectAll();
        if (typed.isEmpty())
            MainWindowFixture::key(edit, Qt::Key_Backspace);
        else
            MainWindowFixture::type(edit, typed);
    }
};

void seedPayer19(TestDatabase& db)
{
    db.addPayer(QStringLiteral("19"));
}

} // namespace

class TestPayerPanel : public itm::test::GuiTestCase
{
    Q_OBJECT

private Q_SLOTS:
    void openingAPayer_data()
    {
        // clang-format off
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<QString>("caption");
        QTest::newRow("new code") << "230" << false << "Click pentru stabilire denumire";
        QTest::newRow("existing code") << "19" << true << "S.C. ALFA S.R.L.";
        QTest::newRow("existing code, completed from its start") << "1" << true << "S.C. ALFA S.R.L.";
        // clang-format on
    }
    void openingAPayer()
    {
        QFETCH(QString, code);
        QFETCH(bool, existing);
        QFETCH(QString, caption);
        MainWindowFixture f(seedPayer19);
        Panel p(f);
        f.openPayer(code);
        QCOMPARE(f.window->windowState(), State::PayerData);
        QCOMPARE(p.payer().State(), existing ? DatasetState::Edit : DatasetState::Insert);
        QCOMPARE(p.dcgb->den->text(), caption);
        QCOMPARE(f.focus(), p.dcgb->den);
        QVERIFY(!f.window->cui->isEnabled());
        QVERIFY(!f.window->sterg->isEnabled());
        QVERIFY(!f.window->ddgb->isEnabled());
        if (existing) {
            QCOMPARE(p.text("cui"), QStringLiteral("19"));
            QCOMPARE(p.dcgb->jud->text(), QStringLiteral("DOLJ"));
            QCOMPARE(p.dcgb->str->text(), QStringLiteral("UNIRII"));
        } else {
            // Nothing but the code is preset.
            QCOMPARE(p.text("cui"), code);
            QCOMPARE(p.text("denumire"), QString());
            QCOMPARE(p.dcgb->jud->text(), QString());
            QCOMPARE(p.dcgb->loc->text(), QString());
        }
        VERIFY_PROMPTS(f);
    }

    // A code shortened after a completion is not the payer the completion
    // found: it opens as a new payer instead of editing the longer one.
    void aShortenedCodeOpensANewPayer()
    {
        MainWindowFixture f([](TestDatabase& db) { db.addPayer(QStringLiteral("1901"), QStringLiteral("BETA")); });
        Panel p(f);
        f.window->cui->setFocus(Qt::TabFocusReason);
        MainWindowFixture::settle();
        MainWindowFixture::type(f.window->cui, QStringLiteral("19"));
        QCOMPARE(f.window->cui->text(), QStringLiteral("1901"));
        MainWindowFixture::key(f.window->cui, Qt::Key_Backspace);
        QCOMPARE(f.window->cui->text(), QStringLiteral("19"));
        MainWindowFixture::key(f.window->cui, Qt::Key_Return);
        QCOMPARE(f.window->windowState(), State::PayerData);
        QCOMPARE(p.payer().State(), DatasetState::Insert);
        QCOMPARE(p.text("cui"), QStringLiteral("19"));
        QCOMPARE(p.dcgb->den->text(), QStringLiteral("Click pentru stabilire denumire"));
        QCOMPARE(column(f.database, QStringLiteral("1901"), QStringLiteral("denumire")), QStringLiteral("BETA"));
        VERIFY_PROMPTS(f);
    }

    void aCodeWithALetterRaisesTheConversionError()
    {
        MainWindowFixture f;
        f.prompts.answerOk();
        f.openPayer(QStringLiteral("RO1234567"));
        QCOMPARE(f.prompts.shown().size(), 1);
        QCOMPARE(f.prompts.shown().first().kind, FakePrompts::Kind::Error);
        QCOMPARE(f.prompts.lastText(), QStringLiteral("'R' is not a valid integer value."));
        QCOMPARE(f.window->windowState(), State::PayerCode);
        QCOMPARE(f.dm->qryFirme->State(), DatasetState::Browse);
        QVERIFY(f.window->dcgb->isHidden());
        QVERIFY(f.window->cui->isEnabled());
        VERIFY_PROMPTS(f);
    }

    void theNameButtonOpensTheDialogAndMovesOn()
    {
        MainWindowFixture f;
        Panel p(f);
        f.openPayer(QStringLiteral("230"));
        f.onNameDialog = [&] {
            p.write("prefix", QStringLiteral("2"));
            p.write("denumire", QStringLiteral("GAMA"));
            p.write("sufix", QStringLiteral("0"));
        };
        MainWindowFixture::key(p.dcgb->den, Qt::Key_Return);
        QCOMPARE(p.dcgb->den->text(), QStringLiteral("P.F. GAMA "));
        QCOMPARE(f.focus(), p.dcgb->jud);
        VERIFY_PROMPTS(f);
    }

    // Without a name the message comes first, then the dialog at once; the
    // payer is not posted.
    void validatingWithoutANameOpensTheDialog_data()
    {
        // clang-format off
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << "";
        QTest::newRow("blanks") << "   ";
        // clang-format on
    }
    void validatingWithoutANameOpensTheDialog()
    {
        QFETCH(QString, name);
        MainWindowFixture f;
        Panel p(f);
        f.openPayer(QStringLiteral("230"));
        p.fill();
        p.write("denumire", name);
        QStringList shownWhenOpened;
        f.onNameDialog = [&] {
            shownWhenOpened = f.prompts.texts();
            p.write("denumire", QStringLiteral("BETA"));
        };
        f.prompts.answerOk();
        p.validate();
        QCOMPARE(shownWhenOpened, QStringList { QStringLiteral("Va rugam sa completati campul 'denumire'") });
        QCOMPARE(p.dcgb->den->text(), QStringLiteral("S.C. BETA S.R.L."));
        QCOMPARE(f.focus(), p.dcgb->den);
        QCOMPARE(p.payer().State(), DatasetState::Insert);
        QCOMPARE(payerCount(f.database), 0);
        QVERIFY(!p.dcgb->Button5->isEnabled());
        VERIFY_PROMPTS(f);
    }

    // The rules run in order; the first that fails shows its message, moves
    // the focus to its field and leaves the payer unposted.
    void validationRules_data()
    {
        // clang-format off
        QTest::addColumn<QStringList>("emptied"); // column=value pairs written over a filled payer
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("county empty")
            << QStringList { "codjudet=" } << "Va rugam sa completati campul 'Judet'" << "jud";
        QTest::newRow("county blank")
            << QStringList { "codjudet=  " } << "Va rugam sa completati campul 'Judet'" << "jud";
        QTest::newRow("locality") << QStringList { "loc=" } << "Va rugam sa completati campul 'localitate'" << "loc";
        QTest::newRow("street") << QStringList { "str=" } << "Va rugam sa completati campul 'strada'" << "str";
        QTest::newRow("surname")
            << QStringList { "numerep=" } << "Va rugam sa completati campul 'Nume reprezentant'" << "nrep";
        QTest::newRow("given name")
            << QStringList { "prenumerep=" } << "Va rugam sa completati campul 'Prenume reprezentant'" << "prep";
        QTest::newRow("function")
            << QStringList { "funcrep=" } << "Va rugam sa completati campul 'Functie reprezentant'" << "frep";
        QTest::newRow("county before locality")
            << QStringList { "loc=", "codjudet=" } << "Va rugam sa completati campul 'Judet'" << "jud";
        QTest::newRow("locality before street")
            << QStringList { "funcrep=", "str=", "loc=" } << "Va rugam sa completati campul 'localitate'" << "loc";
        QTest::newRow("street before representative")
            << QStringList { "numerep=", "str=" } << "Va rugam sa completati campul 'strada'" << "str";
        QTest::newRow("surname before given name")
            << QStringList { "prenumerep=", "numerep=" } << "Va rugam sa completati campul 'Nume reprezentant'"
            << "nrep";
        QTest::newRow("given name before function")
            << QStringList { "funcrep=", "prenumerep=" } << "Va rugam sa completati campul 'Prenume reprezentant'"
            << "prep";
        QTest::newRow("representative before sector")
            << QStringList { "codjudet=40", "sector=0", "funcrep=" }
            << "Va rugam sa completati campul 'Functie reprezentant'" << "frep";
        QTest::newRow("sector")
            << QStringList { "codjudet=40", "sector=0" } << "Completati corect campul sector" << "sector";
        // clang-format on
    }
    void validationRules()
    {
        QFETCH(QStringList, emptied);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        MainWindowFixture f;
        Panel p(f);
        f.openPayer(QStringLiteral("230"));
        p.fill();
        for (const QString& pair : emptied) {
            const auto parts = pair.split(u'=');
            p.write(parts[0].toLatin1().constData(), parts[1]);
        }
        f.prompts.answerOk();
        p.validate();
        QCOMPARE(f.prompts.texts(), QStringList { message });
        QCOMPARE(f.focus()->objectName(), focus);
        QCOMPARE(p.payer().State(), DatasetState::Insert);
        QCOMPARE(payerCount(f.database), 0);
        QVERIFY(!p.dcgb->Button5->isEnabled());
        VERIFY_PROMPTS(f);
    }

    // Fields that are blank but not empty pass the rules that test for empty.
    void blanksPassTheEmptyRules()
    {
        MainWindowFixture f([](TestDatabase& db) {
            db.addPayer(QStringLiteral("19"));
            db.exec("UPDATE firme SET str = ' ', numerep = ' ', prenumerep = ' ', funcrep = ' ', loc = ' '");
        });
        Panel p(f);
        f.openPayer(QStringLiteral("19"));
        p.validate();
        QVERIFY(p.dcgb->Button5->isEnabled());
        QCOMPARE(column(f.database, QStringLiteral("19"), QStringLiteral("str")), QStringLiteral(" "));
        VERIFY_PROMPTS(f);
    }

    // "F.N.", "fara banca" and "fara iban" are written when their rule is
    // reached and stay in the record when a later rule fails.
    void defaultsStayAfterALaterFailure_data()
    {
        // clang-format off
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("nr");
        QTest::addColumn<QString>("banca");
        QTest::addColumn<QString>("cont");
        QTest::newRow("number empty, representative missing")
            << QStringList { "nr=", "numerep=", "banca=", "cont=" }
            << "Va rugam sa completati campul 'Nume reprezentant'"
            << "F.N." << "" << "";
        QTest::newRow("number blank, function missing")
            << QStringList { "nr=   ", "funcrep=" } << "Va rugam sa completati campul 'Functie reprezentant'"
            << "F.N." << "BCR" << "RO49AAAA1B31007593840000";
        QTest::newRow("bank and account empty, sector missing")
            << QStringList { "nr=", "banca=", "cont=", "codjudet=40", "sector=" } << "Completati corect campul sector"
            << "F.N." << "fara banca" << "fara iban";
        // clang-format on
    }
    void defaultsStayAfterALaterFailure()
    {
        QFETCH(QStringList, changes);
        QFETCH(QString, message);
        QFETCH(QString, nr);
        QFETCH(QString, banca);
        QFETCH(QString, cont);
        MainWindowFixture f;
        Panel p(f);
        f.openPayer(QStringLiteral("230"));
        p.fill();
        for (const QString& pair : changes) {
            const auto parts = pair.split(u'=');
            p.write(parts[0].toLatin1().constData(), parts[1]);
        }
        f.prompts.answerOk();
        p.validate();
        QCOMPARE(f.prompts.lastText(), message);
        QCOMPARE(p.text("nr"), nr);
        QCOMPARE(p.text("banca"), banca);
        QCOMPARE(p.text("cont"), cont);
        QCOMPARE(p.dcgb->snr->text(), nr);
        QCOMPARE(p.dcgb->DBEdit10->text(), banca);
        VERIFY_PROMPTS(f);

        // Once the failing field is filled the defaults are stored.
        p.write("numerep", QStringLiteral("POPESCU"));
        p.write("funcrep", QStringLiteral("ADMINISTRATOR"));
        p.write("sector", QStringLiteral("2"));
        p.validate();
        QVERIFY(p.dcgb->Button5->isEnabled());
        QCOMPARE(column(f.database, QStringLiteral("230"), QStringLiteral("nr")), QStringLiteral("F.N."));
        VERIFY_PROMPTS(f);
    }

    // Bucharest needs a sector from 1 to 6 and takes the county's name as
    // its locality; elsewhere the sector is stored as 0.
    void sectorOnValidation_data()
    {
        // clang-format off
        QTest::addColumn<QString>("county");
        QTest::addColumn<QString>("sector");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("locality");
        QTest::addColumn<QString>("storedSector");
        QTest::newRow("Bucharest, no sector") << "40" << "" << false << "CRAIOVA" << "";
        QTest::newRow("Bucharest, sector 0") << "40" << "0" << false << "CRAIOVA" << "";
        QTest::newRow("Bucharest, sector 3") << "40" << "3" << true << "BUCURESTI" << "3";
        QTest::newRow("Dolj, sector 5") << "16" << "5" << true << "CRAIOVA" << "0";
        // clang-format on
    }
    void sectorOnValidation()
    {
        QFETCH(QString, county);
        QFETCH(QString, sector);
        QFETCH(bool, accepted);
        QFETCH(QString, locality);
        QFETCH(QString, storedSector);
        MainWindowFixture f;
        Panel p(f);
        f.openPayer(QStringLiteral("230"));
        p.fill();
        p.write("codjudet", county);
        p.write("sector", sector);
        if (!accepted)
            f.prompts.answerOk();
        p.validate();
        QCOMPARE(p.dcgb->Button5->isEnabled(), accepted);
        QCOMPARE(p.text("loc"), locality);
        if (accepted) {
            QCOMPARE(f.prompts.shown().size(), 0);
            QCOMPARE(column(f.database, QStringLiteral("230"), QStringLiteral("loc")), locality);
            QCOMPARE(column(f.database, QStringLiteral("230"), QStringLiteral("sector")), storedSector);
        } else {
            QCOMPARE(f.prompts.lastText(), QStringLiteral("Completati corect campul sector"));
            QCOMPARE(f.focus(), p.dcgb->sector);
            QCOMPARE(payerCount(f.database), 0);
        }
        VERIFY_PROMPTS(f);
    }

    // The sector field holds nothing but empty, "0" or "1" to "6".
    void sectorFieldKeepsOnlySectors_data()
    {
        // clang-format off
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::newRow("7") << "7" << "0";
        QTest::newRow("A") << "A" << "0";
        QTest::newRow("a") << "a" << "0";
        QTest::newRow("minus") << "-" << "0";
        QTest::newRow("0") << "0" << "0";
        QTest::newRow("1") << "1" << "1";
        QTest::newRow("6") << "6" << "6";
        QTest::newRow("36") << "36" << "0";
        QTest::newRow("03") << "03" << "03";
        // clang-format on
    }
    void sectorFieldKeepsOnlySectors()
    {
        QFETCH(QString, typed);
        QFETCH(QString, text);
        MainWindowFixture f;
        Panel p(f);
        f.openPayer(QStringLiteral("230"));
        p.retype(p.dcgb->jud, QStringLiteral("BU"));
        MainWindowFixture::key(p.dcgb->jud, Qt::Key_Tab);
        QCOMPARE(f.focus(), p.dcgb->sector);
        p.dcgb->sector->selectAll();
        MainWindowFixture::type(p.dcgb->sector, typed);
        QCOMPARE(p.dcgb->sector->text(), text);
        VERIFY_PROMPTS(f);
    }

    // Leaving the county: Bucharest opens the sector and names the locality,
    // any other county closes the sector at 0.
    void leavingTheCounty_data()
    {
        // clang-format off
        QTest::addColumn<bool>("existing");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("county");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("sectorOpen");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("locality");
        QTest::addColumn<QString>("sector");
        QTest::newRow("new, Bucharest")
            << false << "BU" << "BUCURESTI" << "40" << true << "sector" << "BUCURESTI" << "0";
        QTest::newRow("new, Bucharest typed in lower case")
            << false << "bu" << "BUCURESTI" << "40" << true << "sector" << "BUCURESTI" << "0";
        QTest::newRow("existing, Bucharest keeps the sector")
            << true << "BUC" << "BUCURESTI" << "40" << true << "sector" << "BUCURESTI" << "4";
        QTest::newRow("new, Gorj") << false << "GO" << "GORJ" << "18" << false << "loc" << "" << "0";
        QTest::newRow("existing, Gorj typed in lower case")
            << true << "go" << "GORJ" << "18" << false << "loc" << "CRAIOVA" << "0";
        // clang-format on
    }
    void leavingTheCounty()
    {
        QFETCH(bool, existing);
        QFETCH(QString, typed);
        QFETCH(QString, county);
        QFETCH(QString, key);
        QFETCH(bool, sectorOpen);
        QFETCH(QString, focus);
        QFETCH(QString, locality);
        QFETCH(QString, sector);
        MainWindowFixture f([](TestDatabase& db) {
            db.addPayer(QStringLiteral("19"));
            db.exec("UPDATE firme SET sector = 4");
        });
        Panel p(f);
        f.openPayer(existing ? QStringLiteral("19") : QStringLiteral("230"));
        p.dcgb->sector->setEnabled(!sectorOpen);
        p.retype(p.dcgb->jud, typed);
        QCOMPARE(p.dcgb->jud->text(), county);
        QCOMPARE(p.dcgb->jud->selectedText(), county.mid(typed.size()));
        MainWindowFixture::key(p.dcgb->jud, Qt::Key_Tab);
        QCOMPARE(p.text("codjudet"), key);
        QCOMPARE(p.dcgb->sector->isEnabled(), sectorOpen);
        QCOMPARE(f.focus()->objectName(), focus);
        QCOMPARE(p.text("loc"), locality);
        QCOMPARE(p.text("sector"), sector);
        QCOMPARE(p.dcgb->sector->text(), sector);
        QCOMPARE(p.dcgb->jud->palette().color(QPalette::Base), QColor(Qt::white));
        VERIFY_PROMPTS(f);
    }

    // An empty county field cannot be left, and the locality is not passed.
    void anEmptyCountyKeepsTheFocus()
    {
        MainWindowFixture f;
        Panel p(f);
        f.openPayer(QStringLiteral("230"));
        p.retype(p.dcgb->jud, QString());
        f.prompts.answerOk();
        MainWindowFixture::key(p.dcgb->jud, Qt::Key_Tab);
        QCOMPARE(f.prompts.lastText(), QStringLiteral("Pentru a continua trebuie sa selectati/adaugati o valoare"));
        QCOMPARE(f.focus(), p.dcgb->jud);
        QVERIFY(!p.dcgb->sector->isEnabled());
        VERIFY_PROMPTS(f);
    }

    // Leaving the locality jumps over the sector outside Bucharest, even when
    // the sector was left open by an earlier Bucharest payer.
    void leavingTheLocality()
    {
        MainWindowFixture f([](TestDatabase& db) {
            db.addPayer(QStringLiteral("19"));
            db.addPayer(QStringLiteral("230"));
            db.exec("UPDATE firme SET codjudet = '40', loc = 'BUCURESTI', sector = 2 WHERE cui = '230'");
        });
        Panel p(f);
        f.openPayer(QStringLiteral("230"));
        p.focus(p.dcgb->jud);
        MainWindowFixture::key(p.dcgb->jud, Qt::Key_Tab);
        QCOMPARE(f.focus(), p.dcgb->sector);
        p.focus(p.dcgb->loc);
        MainWindowFixture::key(p.dcgb->loc, Qt::Key_Tab);
        QCOMPARE(f.focus(), p.dcgb->sector);

        f.prompts.answerYes();
        MainWindowFixture::key(p.dcgb->sector, Qt::Key_Escape);
        QCOMPARE(f.window->windowState(), State::PayerCode);
        f.openPayer(QStringLiteral("19"));
        QCOMPARE(p.dcgb->jud->text(), QStringLiteral("DOLJ"));
        QVERIFY(p.dcgb->sector->isEnabled());
        p.focus(p.dcgb->loc);
        MainWindowFixture::key(p.dcgb->loc, Qt::Key_Tab);
        QCOMPARE(f.focus(), p.dcgb->str);
        QCOMPARE(p.dcgb->loc->palette().color(QPalette::Base), QColor(Qt::white));
        VERIFY_PROMPTS(f);
    }

    // Enter in the county writes the key and moves on as Tab does.
    void enterInTheCountyMovesOn()
    {
        MainWindowFixture f;
        Panel p(f);
        f.openPayer(QStringLiteral("230"));
        p.retype(p.dcgb->jud, QStringLiteral("BU"));
        MainWindowFixture::key(p.dcgb->jud, Qt::Key_Return);
        QCOMPARE(p.text("codjudet"), QStringLiteral("40"));
        QCOMPARE(f.focus(), p.dcgb->sector);
        QCOMPARE(p.text("loc"), QStringLiteral("BUCURESTI"));
        VERIFY_PROMPTS(f);
    }

    // Leaving the locality for the payer code (Escape answered Yes) does not
    // end in the street field: the way back focuses the code field last.
    void escapeFromTheLocalityReturnsToTheCode()
    {
        MainWindowFixture f(seedPayer19);
        Panel p(f);
        f.openPayer(QStringLiteral("19"));
        p.focus(p.dcgb->loc);
        f.prompts.answerYes();
        MainWindowFixture::key(p.dcgb->loc, Qt::Key_Escape);
        QCOMPARE(f.prompts.lastText(), QStringLiteral("Renuntati la actualizarea datelor ?"));
        QCOMPARE(f.window->windowState(), State::PayerCode);
        QCOMPARE(f.focus(), f.window->cui);
        QCOMPARE(p.payer().State(), DatasetState::Browse);
        VERIFY_PROMPTS(f);
    }

    // With a real box the window is inactive while the answer is carried
    // out, so the way back to the code field takes effect only when the
    // window is active again: the county is left then (its drop-down goes,
    // without touching the cancelled record) and the code field is entered.
    void escapeFromTheCountyWithTheWindowInactive()
    {
        MainWindowFixture f(seedPayer19);
        Panel p(f);
        f.openPayer(QStringLiteral("19"));
        p.focus(p.dcgb->jud);
        QVERIFY(p.dcgb->jud->dropDown());
        QWidget box;
        box.setGeometry(300, 300, 200, 80);
        f.prompts.duringNextBox([&] {
            box.show();
            QApplication::setActiveWindow(&box);
        });
        f.prompts.answerYes();
        MainWindowFixture::key(p.dcgb->jud, Qt::Key_Escape);
        box.hide();
        QApplication::setActiveWindow(f.window.get());
        MainWindowFixture::settle();
        QCOMPARE(f.window->windowState(), State::PayerCode);
        QCOMPARE(f.focus(), f.window->cui);
        QVERIFY(!p.dcgb->jud->dropDown());
        QVERIFY(f.window->findChildren<QListView*>().size() == 1);
        QVERIFY(f.window->cui->dropDown());
        QVERIFY(f.window->cui->IsInListSource());
        QCOMPARE(p.payer().State(), DatasetState::Browse);
        VERIFY_PROMPTS(f);
    }

    // A new payer is stored by its first validation; the next one posts the
    // changes and finds the same payer again by its code.
    void validationStoresAndFindsThePayerAgain()
    {
        MainWindowFixture f([](TestDatabase& db) { db.addPayer(QStringLiteral("19")); });
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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
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
            db.addPayer(QStringLiteral("19"));
            db.addPayer(QStringLiteral("230"));
            db.exec("INSERT INTO declaratii (idfirma, ln, an) VALUES (1, 3, 2006), (1, 4, 2006), (2, 3, 2006)");
        });
        f.window->cui->setFocus(Qt::TabFocusReason);
        MainWindowFixture::settle();
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
        MainWindowFixture f([](TestDatabase& db) { db.addPayer(QStringLiteral("1901")); });
        f.window->cui->setFocus(Qt::TabFocusReason);
        MainWindowFixture::settle();
        MainWindowFixture::type(f.window->cui, typed);
        if (shorten)
            MainWindowFixture::key(f.window->cui, Qt::Key_Backspace);
        QCOMPARE(f.window->cui->text(), typed);
        MainWindowFixture::key(f.window->cui, Qt::Key_Tab);
        f.prompts.answerOk();
        MainWindowFixture::key(f.window->sterg, Qt::Key_Return);
        QCOMPARE(f.prompts.texts(), QStringList { QStringLiteral("Nu puteti sterge o firma care nu exista") });
        QCOMPARE(payerCount(f.database), 1);
        VERIFY_PROMPTS(f);
    }

    void deletingFromAnEmptyRegister()
    {
        MainWindowFixture f;
        f.window->cui->setFocus(Qt::TabFocusReason);
        MainWindowFixture::settle();
        f.prompts.answerOk();
        f.window->sterg->click();
        MainWindowFixture::settle();
        QCOMPARE(f.prompts.texts(), QStringList { QStringLiteral("Nu puteti sterge o firma care nu exista") });
        VERIFY_PROMPTS(f);
    }
};

QTEST_MAIN(TestPayerPanel)
#include "tst_payerpanel.moc"
