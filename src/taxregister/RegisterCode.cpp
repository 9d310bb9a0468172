#include "taxregister/RegisterCode.h"

#include "payers/FiscalCode.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace itm {

namespace {
bool allDigits(const QString& text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}
} // namespace

RegisterCodeKind ClassifyRegisterCode(const QString& code)
{
    // Any thirteen characters may be a person's code: better refused than sent.
    if (code.size() == 13)
        return RegisterCodeKind::Person;
    if (code.size() < 2 || code.size() > 9 || !allDigits(code))
        return RegisterCodeKind::Invalid;
    return IsValidFiscalCode(code) ? RegisterCodeKind::Company : RegisterCodeKind::Invalid;
}

QString PlainRegisterCode(const QString& code)
{
    QString plain = code.trimmed();
    if (plain.startsWith(QLatin1String("RO"), Qt::CaseInsensitive))
        plain = plain.mid(2).trimmed();
    return plain;
}

QByteArray RegisterRequestBody(const QStringList& codes, const QDate& date)
{
    QJsonArray request;
    const QString day = date.toString(Qt::ISODate);
    for (const QString& code : codes)
        request.append(QJsonObject { { QStringLiteral("cui"), code.toLongLong() }, { QStringLiteral("data"), day } });
    return QJsonDocument(request).toJson(QJsonDocument::Compact);
}

} // namespace itm
