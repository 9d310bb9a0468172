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

QJsonObject objectOf(const QJsonObject& parent, const char* key, bool required)
{
    const QJsonValue value = parent.value(QLatin1String(key));
    if (value.isObject())
        return value.toObject();
    if (!required && (value.isUndefined() || value.isNull()))
        return QJsonObject();
    throw NotAnAnswer {};
}

bool flagOf(const QJsonObject& object, const char* key)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isBool())
        return value.toBool();
    if (value.isString())
        return value.toString().trimmed().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    if (value.isNull() || value.isUndefined())
        return false;
    throw NotAnAnswer {};
}

// An address block; its keys begin with the block's letter ("s" or "d").
RegisteredOffice addressOf(const QJsonObject& element, const char* key, char letter)
{
    const QJsonObject block = objectOf(element, key, false);
    auto text = [&](const char* name) {
        const QByteArray full = letter + QByteArray(name);
        return textOf(block, full.constData());
    };
    RegisteredOffice address;
    address.street = text("denumire_Strada");
    address.number = text("numar_Strada");
    address.locality = text("denumire_Localitate");
    address.county = text("denumire_Judet");
    address.countyCode = text("cod_Judet");
    address.countyPlate = text("cod_JudetAuto");
    address.details = text("detalii_Adresa");
    address.postalCode = text("cod_Postal");
    return address;
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
    entry.legalForm = textOf(general, "forma_juridica");
    entry.registration = textOf(general, "stare_inregistrare");
    const QJsonObject inactivity = objectOf(entry.received, "stare_inactiv", false);
    entry.inactive = flagOf(inactivity, "statusInactivi");
    entry.inactiveSince = textOf(inactivity, "dataInactivare");
    entry.struckOffOn = textOf(inactivity, "dataRadiere");
    entry.office = addressOf(entry.received, "adresa_sediu_social", 's');
    entry.fiscalDomicile = addressOf(entry.received, "adresa_domiciliu_fiscal", 'd');
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
