#pragma once

#include "taxregister/RegisterEntry.h"

#include <QByteArray>
#include <QList>
#include <optional>

namespace itm {

// The body of the service's answer:
//   {"cod": 200, "message": "SUCCESS", "found": [...], "notFound": [...]}
// where each found element carries "date_generale" (cui, denumire, adresa,
// nrRegCom, telefon, codPostal, forma_juridica, stare_inregistrare, ...),
// "stare_inactiv" (statusInactivi, dataInactivare, dataRadiere, ...),
// "adresa_sediu_social" (sdenumire_Strada, snumar_Strada, sdenumire_Localitate,
// sdenumire_Judet, scod_Judet, scod_JudetAuto, sdetalii_Adresa, scod_Postal,
// ...) and "adresa_domiciliu_fiscal" (the same keys with "d" for "s").
struct RegisterAnswer
{
    int code = 200; // "cod"; 200 when the answer has none
    QString message;
    QList<RegisterEntry> found;
    QList<qint64> notFound;
};

// The answer read from its body; empty when the body is not such an answer: no
// JSON object, neither list present, a list that is no array, an element
// without its general data or its code, a text field holding an object.
// Fields the service leaves out or sends as null read as empty texts.
std::optional<RegisterAnswer> ParseRegisterAnswer(const QByteArray& body);

} // namespace itm
