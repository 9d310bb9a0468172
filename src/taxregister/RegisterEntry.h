#pragma once

#include <QJsonObject>
#include <QString>
#include <QtGlobal>

namespace itm {

// An address block of the answer: the registered office ("adresa_sediu_social",
// keys with an "s" in front) or the fiscal domicile ("adresa_domiciliu_fiscal",
// the same keys with a "d").
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

    // True when the block names no place at all (a taxpayer without a
    // registered office, such as an individual practice).
    bool isEmpty() const
    {
        return street.trimmed().isEmpty() && number.trimmed().isEmpty() && locality.trimmed().isEmpty()
            && county.trimmed().isEmpty() && details.trimmed().isEmpty() && postalCode.trimmed().isEmpty();
    }
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
    QString legalForm; // forma_juridica: "SOCIETATE COMERCIALA CU RASPUNDERE LIMITATA", ...
    QString registration; // stare_inregistrare: "INREGISTRAT din data ...", "RADIERE din data ..."
    bool inactive = false; // stare_inactiv.statusInactivi
    QString inactiveSince; // stare_inactiv.dataInactivare (YYYY-MM-DD)
    QString struckOffOn; // stare_inactiv.dataRadiere (YYYY-MM-DD)
    RegisteredOffice office;
    RegisteredOffice fiscalDomicile; // adresa_domiciliu_fiscal
    QJsonObject received; // the element as it arrived
};

} // namespace itm
