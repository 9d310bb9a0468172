#pragma once

#include "taxregister/RegisterEntry.h"

#include <QString>

namespace itm {

// Whether a taxpayer the register holds may still be declared for as it is.
enum class RegistrationState
{
    Active,
    Inactive, // declared inactive by the tax authority
    StruckOff, // struck off the trade register (radiat)
};

struct RegistrationStatus
{
    RegistrationState state = RegistrationState::Active;
    QString since; // DD.MM.YYYY, empty when the register gives no date

    bool isActive() const { return state == RegistrationState::Active; }
};

// The status of an entry: struck off when its registration says so
// ("RADIERE din data 14.06.2019") or it carries a date of striking off;
// otherwise inactive when the register flags it so; otherwise active.
RegistrationStatus RegistrationStatusOf(const RegisterEntry& entry);

// The status in words, without diacritics: "activa", "inactiva din
// 01.03.2020", "radiata din 14.06.2019".
QString RegistrationStatusText(const RegistrationStatus& status);

} // namespace itm
