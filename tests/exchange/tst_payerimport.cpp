#include "exchange/PayerImport.h"
#include "exchange/PayerRow.h"
#include "exchange/PlainLetters.h"
#include "exchange/SeenCodes.h"
#include "payers/FiscalCode.h"
#include "payers/PayerValidation.h"
#include "store/Errors.h"
#include "store/Tdm.h"
#include "store/TypedRecord.h"
#include "support/SampleRecords.h"
#include "support/TestDatabase.h"

#include <QTest>
#include <sqlite3.h>

namespace samples = itm::test::samples;

using namespace itm;
using namespace itm::exchange;
using itm::test::TestDatabase;

namespace {

const QByteArray header = "cui,prefix,denumire,sufix,judet,loc,sector,str,nr,numerep,prenumerep,funcrep\n";

// Every stored payer, one text per row, to see that nothing changed.
QStringList storedRows(const TestDatabase& db, const char* columns = "*")
{
    sqlite3* handle = nullptr;
    sqlite3_open_v2(db.path().toUtf8().constData(), &handle, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(handle, QByteArray("SELECT ") + columns + " FROM firme ORDER BY id", -1, &statement, nullptr);
    QStringList rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        QStringList values;
        for (int i = 0; i < sqlite3_column_count(statement); ++i)
            values << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, i)));
        rows << values.join(u'|');
    }
    sqlite3_finalize(statement);
    sqlite3_close(handle);
    return rows;
}

struct Imported
{
    QStringList report;
    bool written = false;
};

Imported importInto(const TestDatabase& db, const QByteArray& file, bool update = false)
{
    Tdm dm(db.path());
    PayerImport payerImport(dm);
    const ImportReport report = payerImport.run(file, update);
    return { report.lines(), report.written };
}

} // namespace

class TestPayerImport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rowsAreStoredAsTheWindowStoresThem()
    {
        TestDatabase db;
        // Windows-1250, semicolons, columns in another order, some missing.
        const QByteArray file = QByteArray("Denumire;CUI;Judet;Loc;Sector;Str;Nr;NumeRep;PrenumeRep;FuncRep;"
                                           "Prefix;Sufix;Email\r\n")
            + "Alfa, \xAA"
              "tef'an;19;Dolj;Craiova;5;Unirii;;Popescu;Ion;Administrator;S.C.;srl;Office@Alfa.RO\r\n"
            + "\"Beta \"\"Nord\"\"\";27;bucure\xBAti;Oriunde;3;Victoriei;7;Ionescu;Ana;Director;P.F.A.;;\r\n";
        const Imported imported = importInto(db, file);
        QCOMPARE(imported.report.join(u"\n"), QStringLiteral("importati 2, actualizati 0, respinsi 0, existenti 0"));
        const QStringList rows = storedRows(db,
            "cui, prefix, denumire, sufix, codjudet, loc, sector, str, nr, bloc, banca, cont, email, numerep, "
            "faliment, lcui, lsector, ldenumire");
        QCOMPARE(rows,
            QStringList({
                "19|1|ALFA  STEF AN|1|16|CRAIOVA|0|UNIRII|F.N.| |fara banca|fara iban|office@alfa.ro|POPESCU|0|0|0| ",
                "27|3|BETA  NORD |0|40|BUCURESTI|3|VICTORIEI|7| |fara banca|fara iban| |IONESCU|0|0|0| ",
            }));
    }

    void anImportedPayerIsStoredAsTheSamePayerSavedInTheWindow_data()
    {
        QTest::addColumn<QStringList>("values"); // the file's columns, as typed in the window's fields
        QTest::addColumn<QString>("county");
        QTest::newRow("commas, quotes, defaults")
            << QStringList { "19", "1", "ALFA, \"BETA\"", "1", "16", "CRAIOVA", "4", "O'NEIL", "", "POP", "ION", "ADM" }
            << "DOLJ";
        QTest::newRow("Bucharest, blank number") << QStringList { "1900101000006", "0", "POPESCU", "0", "40", "X", "2",
            "VICTORIEI", " ", "POPESCU", "ION", "TITULAR" }
                                                 << "BUCURESTI";
    }
    void anImportedPayerIsStoredAsTheSamePayerSavedInTheWindow()
    {
        QFETCH(QStringList, values);
        QFETCH(QString, county);
        const QStringList columns = QString::fromLatin1(header).trimmed().split(u',');
        const char* stored
            = "cui, prefix, denumire, sufix, codjudet, loc, sector, str, nr, bloc, scara, ap, codpostal, "
              "telefon, email, banca, cont, numerep, prenumerep, funcrep, faliment, lcui, ldenumire, "
              "lcodjudet, lloc, lsector, lstr, lnr, lbloc, lscara, lap, lcodpostal, lemail, ltelefon, "
              "lzi, lln, lan";
        TestDatabase typed;
        {
            Tdm dm(typed.path());
            Dataset& payers = *dm.qryFirme;
            payers.Append();
            for (int i = 0; i < columns.size(); ++i) {
                const QString column = columns.at(i) == u"judet" ? QStringLiteral("codjudet") : columns.at(i);
                payers.FieldByName(column).setAsString(values.at(i));
            }
            const RuleOutcome outcome = ValidatePayer(payers, county);
            QVERIFY(outcome.passed());
            ApplyWrites(payers, outcome.writes);
            payers.Post();
        }
        TestDatabase imported;
        QStringList file = values;
        file[columns.indexOf(u"judet")] = county;
        for (QString& value : file)
            value = u'"' + value.replace(u'"', QStringLiteral("\"\"")) + u'"';
        QVERIFY(importInto(imported, header + file.join(u',').toUtf8() + "\n").written);
        QCOMPARE(storedRows(imported, stored), storedRows(typed, stored));
    }

    void lettersLoseTheirDiacriticsAsByDecomposition_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("comma below") << QStringLiteral("\u0218tef\u0103ne\u0219ti \u021Aara \u021B\u0219");
        QTest::newRow("cedilla") << QStringLiteral("\u015Ei\u015F \u0162\u0163");
        QTest::newRow("circumflex, breve") << QStringLiteral("\u00C2\u00E2\u00CE\u00EE\u0102\u0103");
        QTest::newRow("with another letter") << QStringLiteral("\u0219 Caf\u00E9 \u00C5");
        QTest::newRow("a mark of its own") << QStringLiteral("\u0219a\u0306");
    }
    void lettersLoseTheirDiacriticsAsByDecomposition()
    {
        QFETCH(QString, text);
        QString expected;
        for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
            if (c.category() != QChar::Mark_NonSpacing)
                expected += c;
        }
        QCOMPARE(WithoutDiacritics(text), expected.normalized(QString::NormalizationForm_C));
    }

    void refusedRowsNameTheirLineAndWriteNothing_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QString>("message");
        const QByteArray rest = ",DOLJ,CRAIOVA,0,UNIRII,1,POPESCU,ION,ADMINISTRATOR";
        QTest::newRow("wrong control digit") << "18,1,ALFA,1" + rest << "Atentie, cod fiscal eronat !!!";
        QTest::newRow("letter in the code") << "1O9,1,ALFA,1" + rest << "Atentie, cod fiscal eronat !!!";
        QTest::newRow("code a spreadsheet made a number")
            << "1.85032E+12,1,ALFA,1" + rest
            << "Codul '1.85032E+12' a fost transformat in numar de foaia de calcul (cifrele lui s-au pierdut); "
               "formatati coloana cui ca text si salvati din nou";
        QTest::newRow("code twice") << "35,1,ALFA,1" + rest << "Codul 35 apare deja pe linia 2";
        QTest::newRow("no name") << "43,1, ,1" + rest << "Va rugam sa completati campul 'denumire'";
        QTest::newRow("unknown county") << QByteArray("43,1,ALFA,1,GOTHAM,X,0,Y,1,A,B,C")
                                        << "Judet necunoscut: 'GOTHAM'";
        QTest::newRow("Bucharest without sector")
            << QByteArray("43,1,ALFA,1,BUCURESTI,X,9,Y,1,A,B,C") << "Completati corect campul sector";
        QTest::newRow("no representative")
            << QByteArray("43,1,ALFA,1,DOLJ,X,0,Y,1,,B,C") << "Va rugam sa completati campul 'Nume reprezentant'";
        QTest::newRow("unknown prefix") << "43,SRL,ALFA,1" + rest << "Prefix necunoscut: 'SRL'";
        QTest::newRow("prefix index outside the table") << "43,14,ALFA,1" + rest << "Prefix necunoscut: '14'";
        QTest::newRow("suffix without S.C.")
            << "43,P.F.,ALFA,S.A." + rest << "Sufixul se foloseste doar cu prefixul S.C.";
        QTest::newRow("text longer than its column")
            << "43,1," + QByteArray(101, 'A') + ",1" + rest << "Campul 'denumire' are 101 caractere, cel mult 100";
        QTest::newRow("more fields than the header") << "43,1,ALFA,1" + rest + ",X"
                                                     << "Linia are 13 campuri, capul de tabel 12";
    }
    void refusedRowsNameTheirLineAndWriteNothing()
    {
        QFETCH(QByteArray, row);
        QFETCH(QString, message);
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("60"));
        const QStringList before = storedRows(db);
        const QByteArray file
            = header + "35,1,GOOD,1,DOLJ,CRAIOVA,0,UNIRII,1,POPESCU,ION,ADMINISTRATOR\n\n" + row + "\n";
        const Imported imported = importInto(db, file);
        QVERIFY(!imported.written);
        QCOMPARE(imported.report,
            QStringList({ "linia 4: " + message, "importati 0, actualizati 0, respinsi 1, existenti 0" }));
        QCOMPARE(storedRows(db), before);
    }

    void filesThatAreNoPayerFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << QByteArray() << "linia 1: Fisierul nu are cap de tabel";
        QTest::newRow("unknown column") << QByteArray("cui,denumre\n19,ALFA\n")
                                        << "linia 1: Coloana necunoscuta in capul de tabel: 'denumre'";
        QTest::newRow("column twice") << QByteArray("cui,loc,LOC\n")
                                      << "linia 1: Coloana 'loc' apare de doua ori in "
                                         "capul de tabel";
        QTest::newRow("no code") << QByteArray("denumire\nALFA\n")
                                 << "linia 1: Lipseste coloana 'cui' din capul de tabel";
        QTest::newRow("quote never closed") << header + "\"19,1\n"
                                            << "linia 2: Ghilimele neinchise: inregistrarea nu se termina pana la "
                                               "sfarsitul fisierului";
        QTest::newRow("quote never closed, hundreds of lines on")
            << header + QByteArray(600, '\n') + "\"19,1\n"
            << "linia 602: Ghilimele neinchise: inregistrarea nu se termina pana la sfarsitul fisierului";
    }
    void filesThatAreNoPayerFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        TestDatabase db;
        const Imported imported = importInto(db, file);
        QVERIFY(!imported.written);
        QCOMPARE(imported.report, QStringList({ message, "importati 0, actualizati 0, respinsi 0, existenti 0" }));
        QVERIFY(storedRows(db).isEmpty());
    }

    void payersInTheRegisterAreLeftAloneUnlessUpdated()
    {
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"), QStringLiteral("VECHI"), 1);
        const QByteArray file = "cui,denumire,prefix,telefon\n19,NOU,P.F.,0722\n27,ALTUL,,0733\n";
        const char* columns = "cui, prefix, denumire, sufix, telefon, loc, faliment, lcui";

        QCOMPARE(importInto(db, file).report,
            QStringList({ "linia 3: Va rugam sa completati campul 'Judet'",
                "importati 0, actualizati 0, respinsi 1, existenti 1" }));
        QCOMPARE(storedRows(db, columns), QStringList { "19|1|VECHI|1|0251000000|CRAIOVA|1|0" });

        // The new payer lacks its address; the existing one takes the named
        // columns, keeps the others, and its suffix goes with the new prefix.
        const QByteArray updating = "cui,denumire,prefix,telefon\n19,NOU,P.F.,0722\n";
        QCOMPARE(importInto(db, updating, true).report,
            QStringList { "importati 0, actualizati 1, respinsi 0, existenti 0" });
        QCOMPARE(storedRows(db, columns), QStringList { "19|2|NOU|0|0722|CRAIOVA|1|0" });
    }

    void whatSpreadsheetsMakeIsRead_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("stored"); // cui|denumire|codjudet|loc|sector
        const QByteArray columns = "cui;denumire;judet;loc;sector;str;numerep;prenumerep;funcrep\n";
        QTest::newRow("code with the VAT prefix and blanks") << columns + " RO 19 ;ALFA;Dolj;Craiova;;X;A;B;C\n"
                                                             << "19|ALFA|16|CRAIOVA|0";
        QTest::newRow("a first line naming the separator")
            << "sep=;\n" + columns + "19;ALFA, BETA;DOLJ;CRAIOVA;;X;A;B;C\n"
            << "19|ALFA  BETA|16|CRAIOVA|0";
        QTest::newRow("county with a blank for its hyphen") << columns + "19;ALFA;Caras Severin;Resita;;X;A;B;C\n"
                                                            << "19|ALFA|11|RESITA|0";
        QTest::newRow("county named as a municipality, no locality")
            << columns + "19;ALFA;Municipiul Bucure\xC8\x99ti;;2;X;A;B;C\n"
            << "19|ALFA|40|BUCURESTI|2";
        QTest::newRow("a text kept from being a formula") << columns + "19;'=1+1;DOLJ;'-CRAIOVA;;X;A;B;C\n"
                                                          << "19|=1+1|16|-CRAIOVA|0";
    }
    void whatSpreadsheetsMakeIsRead()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, stored);
        TestDatabase db;
        QCOMPARE(importInto(db, file).report, QStringList { "importati 1, actualizati 0, respinsi 0, existenti 0" });
        QCOMPARE(storedRows(db, "cui, denumire, codjudet, loc, sector"), QStringList { stored });
    }

    // The rows may be written while later ones are still read: an error of
    // the database is raised all the same, whether the row is one of the
    // first, comes after hundreds, or is followed by a row that is refused.
    void aDatabaseErrorPartWayLeavesNothingWritten_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QByteArray refused = "27,1,B,1,DOLJ,X,0,Y,1,A,B,C\n";
        QTest::newRow("second row") << header + "19,1,A,1,DOLJ,X,0,Y,1,A,B,C\n" + refused;
        QTest::newRow("then a wrong code") << header + refused + "28,1,C,1,DOLJ,X,0,Y,1,A,B,C\n";
        QByteArray many = header;
        for (int number = 1000; many.count('\n') < 700; ++number) {
            const QString code = QString::number(number);
            if (!IsValidFiscalCode(code))
                continue;
            many += code.toLatin1() + ",1,A,1,DOLJ,X,0,Y,1,A,B,C\n";
            if (many.count('\n') == 400)
                many += refused;
        }
        QTest::newRow("after hundreds") << many;
    }

    void aDatabaseErrorPartWayLeavesNothingWritten()
    {
        QFETCH(QByteArray, file);
        TestDatabase db;
        db.exec("CREATE TRIGGER refuse BEFORE INSERT ON firme WHEN NEW.cui = '27' "
                "BEGIN SELECT RAISE(ABORT, 'refuzat'); END;");
        Tdm dm(db.path());
        PayerImport payerImport(dm);
        QVERIFY_THROWS_EXCEPTION(DatabaseError, payerImport.run(file, false));
        QVERIFY(storedRows(db).isEmpty());
    }

    // A field read again in the same column gives what a fresh reader
    // gives, whatever came before it: the mark of a formula, a lost
    // letter's warning, a default, a county, a refusal.
    void aFieldReadAgainReadsAsNew_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QStringList>("fields"); // read in this order
        QTest::newRow("mark of a formula") << "denumire" << QStringList { "'=A", "=A", "'=A", "'A", "A", "'A" };
        QTest::newRow("lost letter") << "denumire" << QStringList { "Ste?an", "Ste?an" };
        QTest::newRow("default") << "banca" << QStringList { "Fara banca", "Fara banca", "fara banca" };
        QTest::newRow("county") << "judet" << QStringList { "Dolj", "Dolj", "dolj", "Nicaieri", "Nicaieri", "" };
        QTest::newRow("too long") << "nr" << QStringList { "12345678901", "12345678901", "1" };
        QTest::newRow("sector") << "sector" << QStringList { "3", "3", " 3", "", "" };
    }

    void aFieldReadAgainReadsAsNew()
    {
        QFETCH(QString, column);
        QFETCH(QStringList, fields);
        TestDatabase db;
        Tdm dm(db.path());
        CsvRecord headerRecord;
        headerRecord.appendField(u"cui");
        headerRecord.appendField(column);
        const PayerHeader header = ReadPayerHeader(headerRecord);
        QVERIFY(!header.failure);
        const PayerRowReader reader(*dm.qryFirme, *dm.qryJudete);
        for (const QString& field : fields) {
            CsvRecord record;
            record.appendField(u"19");
            record.appendField(field);
            PayerRowValues again;
            PayerRowValues fresh;
            TypedRecord againPayer(*dm.qryFirme);
            TypedRecord freshPayer(*dm.qryFirme);
            reader.read(record, header, againPayer, again, true);
            PayerRowReader(*dm.qryFirme, *dm.qryJudete).read(record, header, freshPayer, fresh, true);
            QCOMPARE(again.failure.value_or(QString()), fresh.failure.value_or(QString()));
            QCOMPARE(again.warning, fresh.warning);
            QVERIFY(again.fileTexts == fresh.fileTexts);
            QCOMPARE(againPayer.values(), freshPayer.values());
        }
    }

    // Past the rows the report shows, a payer is cleaned up elsewhere than
    // the first ones: it is stored the same all the same.
    void rowsPastThoseShownAreStoredAlike()
    {
        QByteArray file = header;
        int rows = 0;
        for (int number = 1000; rows < ImportReport::kShownRows + 2; ++number) {
            const QString code = QString::number(number);
            if (IsValidFiscalCode(code)) {
                file += code.toLatin1() + ",1,\"A, B\",1,DOLJ,X,0,Y,,A,B,C\n";
                ++rows;
            }
        }
        TestDatabase db;
        QVERIFY(importInto(db, file).written);
        const QStringList stored = storedRows(db, "denumire, nr, banca, faliment, lcui, lsector, ldenumire, lzi");
        QCOMPARE(stored.size(), rows);
        QCOMPARE(stored.constFirst(), "A  B|F.N.|fara banca|0|0|0| |0");
        QCOMPARE(stored.constLast(), stored.constFirst());
    }

    // The codes named so far answer with their first line whether they are
    // still held in memory or were moved out (here every third code).
    void codesSeenKeepTheirFirstLineWhereverHeld()
    {
        SeenCodes seen(3);
        for (int line = 2; line < 12; ++line)
            seen.add(1000 + 7 * line, line);
        for (int line = 2; line < 12; ++line)
            QCOMPARE(seen.lineOf(1000 + 7 * line), std::optional<int>(line));
        for (const qint64 never : { 0, 999, 1001, 1000 + 7 * 12 })
            QCOMPARE(seen.lineOf(never), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestPayerImport)
#include "tst_payerimport.moc"
