#include "taxregister/RegistrationStatus.h"

#include "taxregister/Diacritics.h"

#include <QDate>
#include <QRegularExpression>

namespace itm {

namespace {

// A register date (YYYY-MM-DD, or already DD.MM.YYYY) as users read it.
QString dayOf(const QString& text)
{
    const QString trimmed = text.trimmed();
    const QDate iso = QDate::fromString(trimmed, Qt::ISODate);
    if (iso.isValid())
        return iso.toString(QStringLiteral("dd.MM.yyyy"));
    const QDate written = QDate::fromString(trimmed, QStringLiteral("dd.MM.yyyy"));
    return written.isValid() ? trimmed : QString();
}

} // namespace

RegistrationStatus RegistrationStatusOf(const RegisterEntry& entry)
{
    static const QRegularExpression struckOff(QStringLiteral("^RADI(?:ERE|AT)"));
    static const QRegularExpression dated(QStringLiteral("(\\d{2}\\.\\d{2}\\.\\d{4})"));
    const QString registration = RegisterText(entry.registration);
    if (struckOff.match(registration).hasMatch() || !dayOf(entry.struckOffOn).isEmpty()) {
        QString since = dayOf(entry.struckOffOn);
        if (since.isEmpty())
            since = dayOf(dated.match(registration).captured(1));
        return { RegistrationState::StruckOff, since };
    }
    if (entry.inactive)
        return { RegistrationState::Inactive, dayOf(entry.inactiveSince) };
    return {};
}

QString RegistrationStatusText(const RegistrationStatus& status)
{
    QString text;
    switch (status.state) {
    case RegistrationState::Active:
        return QStringLiteral("activa");
    case RegistrationState::Inactive:
        text = QStringLiteral("inactiva");
        break;
    case RegistrationState::StruckOff:
        text = QStringLiteral("radiata");
        break;
    }
    return status.since.isEmpty() ? text : text + QStringLiteral(" din ") + status.since;
}

} // namespace itm
