#pragma once

#include "taxregister/RegisterEntry.h"

#include <QList>
#include <QMetaType>
#include <QString>

namespace itm {

// How a question to the register ended.
enum class RegisterFailure
{
    None, // answered: the codes found and those not found
    NotFound, // answered, but none of the codes asked is in the register
    NoNetwork, // no connection to the service (no network, name not resolved, refused, secure channel failed)
    TimeOut, // no complete answer within the time-out
    Malformed, // an answer that is not what the service documents
    HttpError, // the service refused or failed the request (an HTTP error, or an error code in the answer)
    Cancelled, // the user gave up waiting
    NotCompany, // a code that is no CUI (a person's CNP, an invalid code, too many codes): nothing was sent
};

struct RegisterOutcome
{
    RegisterFailure failure = RegisterFailure::None;
    int status = 0; // the HTTP status, or the answer's own error code, for HttpError
    int timeoutSeconds = 0; // for TimeOut
    QString detail; // the network layer's own text, for NoNetwork
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
