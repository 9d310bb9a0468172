#include "taxregister/RegisterAnswer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

namespace itm {

namespace {

// Raised inside the parser for a part that is not what the answer should hold.
struct NotAnAnswer
{
};

QString textOf(const QJsonObject& object, const char* key)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isString())
        return value.toString();
    if (value.isDouble()) {
        const qint64 whole = value.toInteger(-1);
        return whole >= 0 ? QString::number(whole) : QString::number(value.toDouble());
    }
    if (value.isNull() || value.isUndefined())
        return QString();
    throw NotAnAnswer {};
}

qint64 codeOf(const QJsonValue& value)
{
    if (value.isDouble()) {
        // Zero for a number that is no whole number or none a qint64 holds.
        const qint64 number = value.toInteger(0);
        if (number > 0)
            return number;
    } else if (value.isString()) {
        bool ok = false;
        const qint64 number = value.toString().trimmed().toLongLong(&ok);
        if (ok && number > 0)
            return number;
    } else if (value.isObject()) {
        return codeOf(value.toObject().value(QLatin1String("cui")));
    }
    throw NotAnAnswer {};
}

QJsonObject objectOf(const QJsonObject& parent, const char* key, bool required)
{
    const QJsonValue value = parent.value(QLatin1String(key));
    if (value.isObject())
        return value.toObject();
    if (!required && (value.isUndefined() || value.isNull()))
        return QJsonObject();
    throw NotAnAnswer {};
}

RegisterEntry entryOf(const QJsonValue& element)
{
    if (!element.isObject())
        throw NotAnAnswer {};
    RegisterEntry entry;
    entry.received = element.toObject();
    const QJsonObject general = objectOf(entry.received, "date_generale", true);
    entry.cui = codeOf(general.value(QLatin1String("cui")));
    entry.name = textOf(general, "denumire");
    entry.address = textOf(general, "adresa");
    entry.tradeRegisterNumber = textOf(general, "nrRegCom");
    entry.telephone = textOf(general, "telefon");
    entry.postalCode = textOf(general, "codPostal");
    const QJsonObject office = objectOf(entry.received, "adresa_sediu_social", false);
    entry.office.street = textOf(office, "sdenumire_Strada");
    entry.office.number = textOf(office, "snumar_Strada");
    entry.office.locality = textOf(office, "sdenumire_Localitate");
    entry.office.county = textOf(office, "sdenumire_Judet");
    entry.office.countyCode = textOf(office, "scod_Judet");
    entry.office.countyPlate = textOf(office, "scod_JudetAuto");
    entry.office.details = textOf(office, "sdetalii_Adresa");
    entry.office.postalCode = textOf(office, "scod_Postal");
    return entry;
}

QJsonArray listOf(const QJsonObject& answer, const char* key)
{
    const QJsonValue value = answer.value(QLatin1String(key));
    if (value.isUndefined() || value.isNull())
        return QJsonArray();
    if (!value.isArray())
        throw NotAnAnswer {};
    return value.toArray();
}

} // namespace

std::optional<RegisterAnswer> ParseRegisterAnswer(const QByteArray& body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    if (!object.contains(QLatin1String("found")) && !object.contains(QLatin1String("notFound")))
        return std::nullopt;
    try {
        RegisterAnswer answer;
        const QJsonValue code = object.value(QLatin1String("cod"));
        if (code.isDouble())
            answer.code = code.toInt();
        else if (!code.isUndefined() && !code.isNull())
            throw NotAnAnswer {};
        answer.message = textOf(object, "message");
        for (const QJsonValue& element : listOf(object, "found"))
            answer.found.append(entryOf(element));
        for (const QJsonValue& element : listOf(object, "notFound"))
            answer.notFound.append(codeOf(element));
        return answer;
    } catch (const NotAnAnswer&) {
        return std::nullopt;
    }
}

} // namespace itm
