#include "taxregister/CountyMatch.h"

#include "taxregister/Diacritics.h"

#include <QRegularExpression>

namespace itm {

namespace {

// The letters of a county name that tell it apart.
QString countyKey(const QString& name)
{
    static const QRegularExpression administrativeWord(QStringLiteral("^(?:JUDETUL|JUD\\.|MUNICIPIUL|MUN\\.)\\s*"));
    static const QRegularExpression notLetter(QStringLiteral("[^A-Z]"));
    return RegisterText(name).remove(administrativeWord).remove(notLetter);
}

} // namespace

std::optional<CountyRow> MatchCounty(const QString& registerCounty, const QList<CountyRow>& counties)
{
    const QString wanted = countyKey(registerCounty);
    if (wanted.isEmpty())
        return std::nullopt;
    for (const CountyRow& county : counties) {
        if (countyKey(county.name) == wanted)
            return county;
    }
    return std::nullopt;
}

int BucharestSector(const QString& text)
{
    static const QRegularExpression sector(QStringLiteral("\\bSECTOR(?:UL)?\\s*([1-6])\\b"));
    const auto match = sector.match(RegisterText(text));
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

} // namespace itm
