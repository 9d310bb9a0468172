#pragma once

#include "store/RecordReader.h"

// Payer and declaration records as the before-post rules leave them: no empty
// text (one blank instead), numbers 0 when not given, liquidator data reset
// for a payer that is not in bankruptcy.
namespace testrecords {

inline itm::RowRecord payerNotInBankruptcy()
{
    itm::RowRecord payer;
    const auto set = [&](const char* column, const QVariant& value) { payer.setValue(QLatin1String(column), value); };
    set("id", qint64(1));
    set("cui", QStringLiteral("123456789"));
    set("prefix", qint64(1));
    set("denumire", QStringLiteral("ALFA"));
    set("sufix", qint64(1));
    set("codjudet", QStringLiteral("40"));
    set("loc", QStringLiteral("BUCURESTI"));
    set("sector", qint64(3));
    set("str", QStringLiteral("VICTORIEI"));
    set("nr", QStringLiteral("10"));
    set("bloc", QStringLiteral(" "));
    set("scara", QStringLiteral(" "));
    set("ap", QStringLiteral(" "));
    set("codpostal", QStringLiteral("010101"));
    set("telefon", QStringLiteral("0211234567"));
    set("email", QStringLiteral("office@alfa.ro"));
    set("banca", QStringLiteral("BCR"));
    set("cont", QStringLiteral("RO49AAAA1B31007593840000"));
    set("numerep", QStringLiteral("POPESCU"));
    set("prenumerep", QStringLiteral("ION"));
    set("funcrep", QStringLiteral("ADMINISTRATOR"));
    set("faliment", qint64(0));
    set("lcui", QStringLiteral("0"));
    for (const char* column : { "ldenumire", "lcodjudet", "lloc" })
        set(column, QStringLiteral(" "));
    set("lsector", qint64(0));
    for (const char* column : { "lstr", "lnr", "lbloc", "lscara", "lap", "lcodpostal", "lemail", "ltelefon" })
        set(column, QStringLiteral(" "));
    for (const char* column : { "lzi", "lln", "lan" })
        set(column, qint64(0));
    return payer;
}

inline itm::RowRecord payerInBankruptcy()
{
    itm::RowRecord payer = payerNotInBankruptcy();
    const auto set = [&](const char* column, const QVariant& value) { payer.setValue(QLatin1String(column), value); };
    set("faliment", qint64(1));
    set("lcui", QStringLiteral("1900101000006"));
    set("ldenumire", QStringLiteral("LICHIDATOR SPRL"));
    set("lcodjudet", QStringLiteral("12"));
    set("lloc", QStringLiteral("CLUJ-NAPOCA"));
    set("lsector", qint64(0));
    set("lstr", QStringLiteral("HOREA"));
    set("lnr", QStringLiteral("F.N."));
    set("lbloc", QStringLiteral("B1"));
    set("lscara", QStringLiteral("A"));
    set("lap", QStringLiteral("7"));
    set("lcodpostal", QStringLiteral("400001"));
    set("lemail", QStringLiteral("lichidator@ex.ro"));
    set("ltelefon", QStringLiteral("0264111222"));
    set("lzi", qint64(5));
    set("lln", qint64(3));
    set("lan", qint64(2004));
    return payer;
}

inline itm::RowRecord declarationFor(qint64 month, qint64 year)
{
    itm::RowRecord declaration;
    const auto set
        = [&](const char* column, const QVariant& value) { declaration.setValue(QLatin1String(column), value); };
    set("id", qint64(7));
    set("idfirma", qint64(1));
    set("ln", month);
    set("an", year);
    set("rectificativ", qint64(0));
    set("com25", qint64(0));
    set("nrsal", qint64(12));
    set("fondlunsal", 2000.0); // a NUMERIC column comes back as a real
    set("comdat", qint64(15));
    set("comac", qint64(15));
    set("comdec", qint64(0));
    set("comdecac", qint64(0));
    return declaration;
}

} // namespace testrecords
