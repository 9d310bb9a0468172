#include "taxregister/RegisterOutcome.h"

namespace itm {

const RegisterEntry* RegisterOutcome::entryFor(const QString& code) const
{
    bool ok = false;
    const qint64 number = code.toLongLong(&ok);
    if (!ok)
        return nullptr;
    for (const RegisterEntry& entry : found) {
        if (entry.cui == number)
            return &entry;
    }
    return nullptr;
}

QString RegisterFailureMessage(const RegisterOutcome& outcome)
{
    switch (outcome.failure) {
    case RegisterFailure::None:
    case RegisterFailure::Cancelled:
        return QString();
    case RegisterFailure::NotFound:
        return QStringLiteral("Codul fiscal nu a fost gasit in registrul ANAF");
    case RegisterFailure::NoNetwork:
        return QStringLiteral("Registrul ANAF nu poate fi contactat: nu exista conexiune la retea");
    case RegisterFailure::SecureChannel:
        return QStringLiteral("Registrul ANAF nu poate fi contactat: conexiunea securizata a esuat (%1)")
            .arg(outcome.detail);
    case RegisterFailure::TooLarge:
        return QStringLiteral("Raspunsul registrului ANAF este prea mare (peste %1 MB)")
            .arg(kMaxRegisterAnswerBytes / (1024 * 1024));
    case RegisterFailure::TimeOut:
        return QStringLiteral("Registrul ANAF nu a raspuns in %1 secunde").arg(outcome.timeoutSeconds);
    case RegisterFailure::Malformed:
        return QStringLiteral("Raspunsul registrului ANAF nu are forma asteptata");
    case RegisterFailure::HttpError:
        return QStringLiteral("Registrul ANAF a raspuns cu eroarea %1").arg(outcome.status);
    case RegisterFailure::NotCompany:
        return QStringLiteral(
            "Registrul ANAF se consulta numai pentru C.U.I.; datele unei persoane (CNP) nu se trimit");
    }
    return QString();
}

} // namespace itm
