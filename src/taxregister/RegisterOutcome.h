#pragma once

#include "taxregister/RegisterEntry.h"

#include <QList>
#include <QMetaType>
#include <QString>

namespace itm {

// The largest answer read: a real answer for 100 codes is well under 1 MB,
// and a larger one would only cost memory and time to parse.
constexpr qint64 kMaxRegisterAnswerBytes = 4 * 1024 * 1024;

// How a question to the register ended.
enum class RegisterFailure
{
    None, // answered: the codes found and those not found
    NotFound, // answered, but none of the codes asked is in the register
    NoNetwork, // no connection to the service (no network, name not resolved, refused)
    SecureChannel, // the secure connection failed (a certificate not trusted, a wrong clock, a filtering proxy)
    TimeOut, // no answer parsed within the time-out, counted from the question
    Malformed, // an answer that is not what the service documents (a redirect among them)
    TooLarge, // an answer larger than any the service gives
    HttpError, // the service refused or failed the request (an HTTP error, or an error code in the answer)
    Cancelled, // the user gave up waiting
    NotCompany, // a code that is no CUI (a person's CNP, an invalid code, too many codes): nothing was sent
};

struct RegisterOutcome
{
    RegisterFailure failure = RegisterFailure::None;
    int status = 0; // the HTTP status, or the answer's own error code, for HttpError
    int timeoutSeconds = 0; // for TimeOut
    QString detail; // the network layer's own text, for NoNetwork; why, for SecureChannel; where to, for a redirect
    QList<RegisterEntry> found;

    // The entry found for a code (compared as numbers, so leading zeros do not
    // count); null when the register does not hold it.
    const RegisterEntry* entryFor(const QString& code) const;
};

// The message shown for a failure, in Romanian without diacritics; empty for
// None and Cancelled, which need none.
QString RegisterFailureMessage(const RegisterOutcome& outcome);

} // namespace itm

Q_DECLARE_METATYPE(itm::RegisterOutcome)
