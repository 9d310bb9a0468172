#pragma once

#include <QByteArray>
#include <QDate>
#include <QStringList>

namespace itm {

// What a fiscal code is to the register: only an organisation's CUI is ever
// asked about; the personal numeric code of a person (CNP) is never sent.
enum class RegisterCodeKind
{
    Company, // a valid CUI
    Person, // thirteen characters: a CNP, valid or not
    Invalid, // anything else, or a CUI whose control digit is wrong
};

RegisterCodeKind ClassifyRegisterCode(const QString& code);

// A code as a user may write it on the command line: blanks at the ends and a
// leading "RO" (the VAT prefix) removed.
QString PlainRegisterCode(const QString& code);

// The service takes at most this many codes in one request.
constexpr int kMaxCodesPerRequest = 100;

// The request body: [{"cui": 12345674, "data": "YYYY-MM-DD"}, ...], each code
// as a number, the date the data are asked for. The codes must be CUIs.
QByteArray RegisterRequestBody(const QStringList& codes, const QDate& date);

} // namespace itm
