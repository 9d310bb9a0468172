#pragma once

#include "output/FormData.h"
#include "store/RecordReader.h"

// Records for the printed-declaration tests: a payer, its declaration and the
// two county rows, as the data store hands them to the printed forms.
namespace formrecords {

inline void set(itm::RowRecord& record, const char* column, const QVariant& value)
{
    record.setValue(QString::fromLatin1(column), value);
}

inline itm::RowRecord payer(qint64 faliment = 0)
{
    itm::RowRecord payer;
    set(payer, "cui", QStringLiteral("RO1234567"));
    set(payer, "prefix", qint64(1));
    set(payer, "denumire", QStringLiteral("ALFA"));
    set(payer, "sufix", qint64(1));
    set(payer, "loc", QStringLiteral("BUCURESTI"));
    set(payer, "sector", qint64(3));
    set(payer, "str", QStringLiteral("VICTORIEI"));
    set(payer, "nr", QStringLiteral("10"));
    set(payer, "bloc", QStringLiteral("A1"));
    set(payer, "scara", QStringLiteral("2"));
    set(payer, "ap", QStringLiteral("14"));
    set(payer, "codpostal", QStringLiteral("010101"));
    set(payer, "telefon", QStringLiteral("0211234567"));
    set(payer, "email", QStringLiteral("office@alfa.ro"));
    set(payer, "banca", QStringLiteral("BCR SUCURSALA UNIRII"));
    set(payer, "cont", QStringLiteral("RO49RNCB0082044161370001"));
    set(payer, "numerep", QStringLiteral("POPESCU"));
    set(payer, "prenumerep", QStringLiteral("ION"));
    set(payer, "funcrep", QStringLiteral("ADMINISTRATOR"));
    set(payer, "faliment", faliment);
    set(payer, "lcui", QStringLiteral("1900101000006"));
    set(payer, "ldenumire", QStringLiteral("LICHIDATOR SPRL"));
    set(payer, "lloc", QStringLiteral("CLUJ-NAPOCA"));
    set(payer, "lsector", qint64(2));
    set(payer, "lstr", QStringLiteral("HOREA"));
    set(payer, "lnr", QStringLiteral("7"));
    set(payer, "lbloc", QStringLiteral("B1"));
    set(payer, "lscara", QStringLiteral("A"));
    set(payer, "lap", QStringLiteral("9"));
    set(payer, "ltelefon", QStringLiteral("0264111222"));
    set(payer, "lemail", QStringLiteral("lichidator@ex.ro"));
    set(payer, "lzi", qint64(5));
    set(payer, "lln", qint64(3));
    set(payer, "lan", qint64(2006));
    return payer;
}

inline itm::RowRecord declaration(qint64 month = 3, qint64 year = 2006)
{
    itm::RowRecord declaration;
    set(declaration, "ln", month);
    set(declaration, "an", year);
    set(declaration, "rectificativ", qint64(0));
    set(declaration, "com25", qint64(0));
    set(declaration, "nrsal", qint64(12));
    set(declaration, "fondlunsal", 20000.0);
    set(declaration, "comdat", qint64(150));
    set(declaration, "comac", qint64(100));
    set(declaration, "comdec", qint64(0));
    set(declaration, "comdecac", qint64(0));
    return declaration;
}

inline itm::RowRecord county(const char* name)
{
    itm::RowRecord county;
    set(county, "denumire", QString::fromLatin1(name));
    return county;
}

// The four records of one print, owned together.
struct Records
{
    itm::RowRecord declaration = formrecords::declaration();
    itm::RowRecord payer = formrecords::payer();
    itm::RowRecord payerCounty = county("BUCURESTI");
    itm::RowRecord liquidatorCounty = county("CLUJ");

    itm::FormData data() const { return itm::FormData { &declaration, &payer, &payerCounty, &liquidatorCounty }; }
};

} // namespace formrecords
