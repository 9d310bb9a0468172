#include "taxregister/CountyMatch.h"
#include "taxregister/LegalNameSplit.h"
#include "taxregister/PayerFill.h"
#include "taxregister/RegisterAnswer.h"
#include "taxregister/RegisterCode.h"
#include "taxregister/RegistrationStatus.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace itm;

namespace {

// The county table as the program ships it.
QList<CountyRow> shippedCounties()
{
    QFile schema(QStringLiteral(ITM_SOURCE_DIR "/data/date.sql"));
    schema.open(QIODevice::ReadOnly);
    const QString sql = QString::fromUtf8(schema.readAll());
    static const QRegularExpression row(
        QStringLiteral("INSERT INTO judete \\(codjudet, denumire\\) VALUES \\('(\\w+)', '([^']+)'\\)"));
    QList<CountyRow> counties;
    for (auto it = row.globalMatch(sql); it.hasNext();) {
        const auto match = it.next();
        counties.append({ match.captured(1), match.captured(2) });
    }
    return counties;
}

QByteArray recordedAnswer(const QString& file)
{
    QFile answer(QStringLiteral(ITM_SOURCE_DIR "/tests/taxregister/answers/") + file);
    answer.open(QIODevice::ReadOnly);
    return answer.readAll();
}

RegisterEntry recordedEntry(const QString& file)
{
    const auto parsed = ParseRegisterAnswer(recordedAnswer(file));
    return parsed && !parsed->found.isEmpty() ? parsed->found.first() : RegisterEntry {};
}

QString columnsText(const PayerFill& fill)
{
    QStringList lines;
    for (const auto& [column, value] : fill.columns)
        lines.append(column + u'=' + value);
    return lines.join(u'\n');
}

} // namespace

class TestPayerFromRegister : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void legalNameSplitsIntoTheTables_data()
    {
        QTest::addColumn<QString>("legalName");
        QTest::addColumn<int>("prefix");
        QTest::addColumn<QString>("denumire");
        QTest::addColumn<int>("sufix");
        QTest::newRow("SRL at the end") << "ALFA SRL" << 1 << "ALFA" << 1;
        QTest::newRow("dotted S.R.L. with S.C. in front") << "S.C. ALFA S.R.L." << 1 << "ALFA" << 1;
        QTest::newRow("SC without dots, lower case") << "sc alfa srl" << 1 << "ALFA" << 1;
        QTest::newRow("debutant SRL-D") << "ALFA SRL-D" << 1 << "ALFA" << 1;
        QTest::newRow("comma and dash before the form") << "ALFA, BETA - S.R.L." << 1 << "ALFA, BETA" << 1;
        QTest::newRow("SA") << "ROMPETROL SA" << 1 << "ROMPETROL" << 2;
        QTest::newRow("S.A. spelled out") << "GAMA SOCIETATE PE ACTIUNI" << 1 << "GAMA" << 2;
        QTest::newRow("SNC") << "DELTA S.N.C." << 1 << "DELTA" << 3;
        QTest::newRow("SCS") << "EPSILON SCS" << 1 << "EPSILON" << 4;
        QTest::newRow("SCA is not SA") << "ZETA S.C.A." << 1 << "ZETA" << 5;
        QTest::newRow("a bank with S.A. keeps its word in the name")
            << "BANCA TRANSILVANIA S.A." << 1 << "BANCA TRANSILVANIA" << 2;
        QTest::newRow("a word ending in SA is no form") << "CASA" << 0 << "CASA" << 0;
        QTest::newRow("no form at all") << "PRIMARIA COMUNEI X" << 0 << "PRIMARIA COMUNEI X" << 0;
        QTest::newRow("owners' association") << "ASOCIATIA DE PROPRIETARI BLOC 5" << 8 << "BLOC 5" << 0;
        QTest::newRow("foundation") << "FUNDATIA ALFA" << 6 << "ALFA" << 0;
        QTest::newRow("other association") << "ASOCIATIA SPORTIVA ALFA" << 5 << "SPORTIVA ALFA" << 0;
        QTest::newRow("PFA in front") << "PFA POPESCU ION" << 3 << "POPESCU ION" << 0;
        QTest::newRow("PFA spelled out after the name")
            << "POPESCU ION PERSOANA FIZICA AUTORIZATA" << 3 << "POPESCU ION" << 0;
        QTest::newRow("individual practice") << "CABINET INDIVIDUAL DE AVOCAT POPESCU" << 9 << "DE AVOCAT POPESCU" << 0;
        QTest::newRow("diacritics, both s forms")
            << QString::fromUtf8("ŢESĂTORIA ŞTEFĂNEŞTI Și FIII S.R.L.") << 1 << "TESATORIA STEFANESTI SI FIII" << 1;
        QTest::newRow("a name that is only a form stays whole") << "S.R.L." << 0 << "S.R.L." << 0;
    }
    void legalNameSplitsIntoTheTables()
    {
        QFETCH(QString, legalName);
        QFETCH(int, prefix);
        QFETCH(QString, denumire);
        QFETCH(int, sufix);
        const LegalNameParts expected { prefix, denumire, sufix };
        QCOMPARE(SplitLegalName(legalName), expected);
    }

    void countyMatchesTheTable_data()
    {
        QTest::addColumn<QString>("registerCounty");
        QTest::addColumn<QString>("key");
        QTest::newRow("plain") << "DOLJ"
                               << "16";
        QTest::newRow("Bucharest as the register writes it") << QString::fromUtf8("MUNICIPIUL BUCUREŞTI") << "40";
        QTest::newRow("hyphen and diacritics") << QString::fromUtf8("Bistriţa-Năsăud") << "06";
        QTest::newRow("comma-below and blanks") << QString::fromUtf8("Caraș Severin") << "11";
        QTest::newRow("two words") << "Satu Mare"
                                   << "30";
        QTest::newRow("with JUDETUL") << QString::fromUtf8("JUDEŢUL VÂLCEA") << "38";
        QTest::newRow("no such county") << "ATLANTIDA"
                                        << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void countyMatchesTheTable()
    {
        QFETCH(QString, registerCounty);
        QFETCH(QString, key);
        const auto county = MatchCounty(registerCounty, shippedCounties());
        QCOMPARE(county ? county->key : QString(), key);
    }

    // The recorded answers, mapped onto the payer's columns.
    void recordedEntriesFillThePayer_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("columns");
        QTest::newRow("Craiova, with block, staircase and apartment")
            << "craiova.json"
            << "prefix=1\ndenumire=ALFA CONSTRUCT\nsufix=1\ncodjudet=16\nloc=CRAIOVA\nsector=0\nstr=STR. UNIRII\n"
               "nr=5\nbloc=12\nscara=A\nap=14\ncodpostal=200100\ntelefon=0251123456";
        QTest::newRow("Bucharest sector 3")
            << "bucharest_sector3.json"
            << "prefix=1\ndenumire=BETA SERVICII\nsufix=2\ncodjudet=40\nloc=BUCURESTI\nsector=3\nstr=BD. UNIRII\n"
               "nr=20\ncodpostal=030823\ntelefon=0213101010";
        QTest::newRow("diacritics, postal code from the general data")
            << "diacritics.json"
            << "prefix=1\ndenumire=TESATORIA STEFANESTI\nsufix=1\ncodjudet=06\nloc=BISTRITA\nsector=0\n"
               "str=STR. STEFAN CEL MARE\nnr=7\ncodpostal=420001";
        QTest::newRow("form from forma_juridica, postal code sent as a number without its 0")
            << "struck_off_ilfov.json"
            << "prefix=1\ndenumire=GAMA IMPEX\nsufix=1\ncodjudet=23\nloc=VOLUNTARI\nsector=0\n"
               "str=STR. EROU IANCU NICOLAE\nnr=12\ncodpostal=077190";
        QTest::newRow("no registered office: the fiscal domicile, its postal code padded")
            << "practice_fiscal_domicile.json"
            << "prefix=9\ndenumire=CABINET DE AVOCAT IONESCU MARIA\nsufix=0\ncodjudet=40\nloc=BUCURESTI\nsector=3\n"
               "str=STR. MATEI BASARAB\nnr=3\nbloc=4\nap=7\ncodpostal=030167";
    }
    void recordedEntriesFillThePayer()
    {
        QFETCH(QString, file);
        QFETCH(QString, columns);
        const RegisterEntry entry = recordedEntry(file);
        QVERIFY(entry.cui != 0);
        QCOMPARE(columnsText(PayerFillFromEntry(entry, shippedCounties())), columns);
    }

    void legalFormBeforeTheName_data()
    {
        QTest::addColumn<QString>("legalName");
        QTest::addColumn<QString>("legalForm");
        QTest::addColumn<int>("prefix");
        QTest::addColumn<QString>("denumire");
        QTest::addColumn<int>("sufix");
        QTest::newRow("SA by its form, the name says none")
            << "GAMA" << QString::fromUtf8("SOCIETATE COMERCIALĂ PE ACŢIUNI") << 1 << "GAMA" << 2;
        QTest::newRow("SCA is no SA") << "ZETA SCA"
                                      << "SOCIETATE IN COMANDITA PE ACTIUNI" << 1 << "ZETA" << 5;
        QTest::newRow("the form wins over the name's guess")
            << "DELTA SA"
            << "SOCIETATE COMERCIALA CU RASPUNDERE LIMITATA" << 1 << "DELTA" << 1;
        QTest::newRow("PFA") << "POPESCU ION" << QString::fromUtf8("PERSOANĂ FIZICĂ AUTORIZATĂ") << 3 << "POPESCU ION"
                             << 0;
        QTest::newRow("an association keeps the kind its name tells")
            << "ASOCIATIA DE PROPRIETARI BLOC 5" << QString::fromUtf8("ASOCIAŢIE") << 8 << "BLOC 5" << 0;
        QTest::newRow("a form the tables lack leaves the guess") << "ALFA SRL"
                                                                 << "ALTE FORME" << 1 << "ALFA" << 1;
        QTest::newRow("no form") << "POPESCU ION PFA"
                                 << "" << 3 << "POPESCU ION" << 0;
    }
    void legalFormBeforeTheName()
    {
        QFETCH(QString, legalName);
        QFETCH(QString, legalForm);
        QFETCH(int, prefix);
        QFETCH(QString, denumire);
        QFETCH(int, sufix);
        const LegalNameParts expected { prefix, denumire, sufix };
        QCOMPARE(SplitLegalName(legalName, legalForm), expected);
    }

    void registrationStatus_data()
    {
        QTest::addColumn<QString>("registration");
        QTest::addColumn<bool>("inactive");
        QTest::addColumn<QString>("inactiveSince");
        QTest::addColumn<QString>("struckOffOn");
        QTest::addColumn<QString>("status");
        QTest::newRow("registered") << "INREGISTRAT din data 12.03.2001" << false << ""
                                    << ""
                                    << "activa";
        QTest::newRow("struck off, date from the registration") << "RADIERE din data 14.06.2019" << false << ""
                                                                << ""
                                                                << "radiata din 14.06.2019";
        QTest::newRow("date of striking off alone") << "INREGISTRAT din data 12.03.2001" << false << ""
                                                    << "2019-06-14"
                                                    << "radiata din 14.06.2019";
        QTest::newRow("inactive") << "INREGISTRAT din data 12.03.2001" << true << "2020-03-01"
                                  << ""
                                  << "inactiva din 01.03.2020";
        QTest::newRow("struck off outranks inactive")
            << QString::fromUtf8("Radiere din data 01.02.2021") << true << "2020-03-01"
            << ""
            << "radiata din 01.02.2021";
    }
    void registrationStatus()
    {
        QFETCH(QString, registration);
        QFETCH(bool, inactive);
        QFETCH(QString, inactiveSince);
        QFETCH(QString, struckOffOn);
        RegisterEntry entry;
        entry.registration = registration;
        entry.inactive = inactive;
        entry.inactiveSince = inactiveSince;
        entry.struckOffOn = struckOffOn;
        QTEST(RegistrationStatusText(RegistrationStatusOf(entry)), "status");
    }

    // What the window stores and itm-cli prints: no control character, no
    // separator of the declaration file, no more than the column holds.
    void storedTextIsCleanAndCut()
    {
        const QString hostile = QStringLiteral("A") + QChar(0x1b) + QStringLiteral("]0;T") + QChar(0x07)
            + QStringLiteral("B") + QChar(0x1b) + QStringLiteral("[2J,\"'") + QChar(0x7f) + QChar(0x9b) + QChar(0)
            + QStringLiteral("C");
        QCOMPARE(StoredPayerText(hostile, 0), QStringLiteral("A ]0;T B [2J      C"));
        QCOMPARE(StoredPayerText(QString(5000, u'X'), 60), QString(60, u'X'));
    }

    void answerThatIsNotTheDocumentedOne_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("HTML page") << QByteArray("<html><body>Request Rejected</body></html>");
        QTest::newRow("cut short") << recordedAnswer(QStringLiteral("craiova.json")).left(300);
        QTest::newRow("an array") << QByteArray("[]");
        QTest::newRow("neither list") << QByteArray(R"({"cod":200,"message":"SUCCESS"})");
        QTest::newRow("found is no array") << QByteArray(R"({"cod":200,"found":{},"notFound":[]})");
        QTest::newRow("entry without general data") << QByteArray(R"({"found":[{"adresa_sediu_social":{}}]})");
        QTest::newRow("entry without code") << QByteArray(R"({"found":[{"date_generale":{"denumire":"A"}}]})");
        QTest::newRow("name is an object")
            << QByteArray(R"({"found":[{"date_generale":{"cui":19,"denumire":{}}}],"notFound":[]})");
        QTest::newRow("notFound holds a word") << QByteArray(R"({"found":[],"notFound":["abc"]})");
        QTest::newRow("a code no number holds") << QByteArray(R"({"found":[],"notFound":[1e300]})");
    }
    void answerThatIsNotTheDocumentedOne()
    {
        QFETCH(QByteArray, body);
        QVERIFY(!ParseRegisterAnswer(body));
    }

    void requestBodyAsDocumented()
    {
        QCOMPARE(RegisterRequestBody({ QStringLiteral("12345674"), QStringLiteral("0019") }, QDate(2024, 5, 2)),
            QByteArray(R"([{"cui":12345674,"data":"2024-05-02"},{"cui":19,"data":"2024-05-02"}])"));
        QCOMPARE(PlainRegisterCode(QStringLiteral(" ro 12345674 ")), QStringLiteral("12345674"));
    }
};

QTEST_GUILESS_MAIN(TestPayerFromRegister)
#include "tst_payerfromregister.moc"
