#pragma once

#include <QJsonObject>
#include <QString>
#include <QtGlobal>

namespace itm {

// The registered office of a taxpayer (the answer's "adresa_sediu_social").
struct RegisteredOffice
{
    QString street; // sdenumire_Strada
    QString number; // snumar_Strada
    QString locality; // sdenumire_Localitate
    QString county; // sdenumire_Judet
    QString countyCode; // scod_Judet
    QString countyPlate; // scod_JudetAuto
    QString details; // sdetalii_Adresa: block, staircase, floor, apartment
    QString postalCode; // scod_Postal
};

// One taxpayer the register found (an element of the answer's "found"), with
// its texts exactly as the service sent them.
struct RegisterEntry
{
    qint64 cui = 0; // date_generale.cui
    QString name; // denumire: the legal name, form included
    QString address; // adresa: the whole address in one text
    QString tradeRegisterNumber; // nrRegCom
    QString telephone; // telefon
    QString postalCode; // codPostal
    RegisteredOffice office;
    QJsonObject received; // the element as it arrived
};

} // namespace itm
