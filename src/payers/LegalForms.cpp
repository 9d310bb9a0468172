#include "payers/LegalForms.h"

#include <array>

namespace itm {

namespace {

// Every prefix but the first ends in a blank and every suffix but the first
// begins with one, so the pieces join into a name with no further spacing.
const std::array<QString, kPrefixCount>& prefixTexts()
{
    static const std::array<QString, kPrefixCount> texts = {
        QStringLiteral(" "),
        QStringLiteral("S.C. "),
        QStringLiteral("P.F. "),
        QStringLiteral("P.F.A. "),
        QStringLiteral("A.F. "),
        QStringLiteral("O.N.G. / Asociatie "),
        QStringLiteral("O.N.G. / Fundatie "),
        QStringLiteral("Asociatie Locatari "),
        QStringLiteral("Asociatie Proprietari "),
        QStringLiteral("Cabinet Individual "),
        QStringLiteral("S.C.A. "),
        QStringLiteral("Asociatie Agricola "),
        QStringLiteral("Asociatie Cooperatista "),
        QStringLiteral("Banca "),
    };
    return texts;
}

const std::array<QString, kSuffixCount>& suffixTexts()
{
    static const std::array<QString, kSuffixCount> texts = {
        QStringLiteral(" "),
        QStringLiteral(" S.R.L."),
        QStringLiteral(" S.A."),
        QStringLiteral(" S.N.C."),
        QStringLiteral(" S.C.S."),
        QStringLiteral(" S.C.A."),
    };
    return texts;
}

// Index 0 ("other") sits last in the radio groups; the rest keep their order.
int radioItemOf(qint64 stored, int count)
{
    if (stored < 0 || stored >= count)
        return -1;
    return stored == 0 ? count - 1 : int(stored) - 1;
}

int storedOf(int item, int count)
{
    if (item < 0 || item >= count)
        return -1;
    return item == count - 1 ? 0 : item + 1;
}

} // namespace

std::optional<QString> PrefixText(qint64 prefix)
{
    if (prefix < 0 || prefix >= kPrefixCount)
        return std::nullopt;
    return prefixTexts()[std::size_t(prefix)];
}

std::optional<QString> SuffixText(qint64 sufix)
{
    if (sufix < 0 || sufix >= kSuffixCount)
        return std::nullopt;
    return suffixTexts()[std::size_t(sufix)];
}

std::optional<QString> ComposedLegalName(qint64 prefix, const QString& denumire, qint64 sufix)
{
    const auto prefixText = PrefixText(prefix);
    const auto suffixText = SuffixText(sufix);
    if (!prefixText || !suffixText)
        return std::nullopt;
    return *prefixText + denumire + *suffixText;
}

const QStringList& PrefixRadioCaptions()
{
    static const QStringList captions = {
        QStringLiteral("S.C."),
        QStringLiteral("P.F."),
        QStringLiteral("P.F.A."),
        QStringLiteral("A.F."),
        QStringLiteral("O.N.G. / Asociatie"),
        QStringLiteral("O.N.G. / Fundatie"),
        QStringLiteral("Asociatie Locatari"),
        QStringLiteral("Asociatie Proprietari"),
        QStringLiteral("Cabinet Individual"),
        QStringLiteral("S.C.A."),
        QStringLiteral("Asociatie Agricola"),
        QStringLiteral("Asociatie Cooperatista"),
        QStringLiteral("Banca"),
        QStringLiteral("Altele"),
    };
    return captions;
}

const QStringList& SuffixRadioCaptions()
{
    static const QStringList captions = {
        QStringLiteral("S.R.L."),
        QStringLiteral("S.A."),
        QStringLiteral("S.N.C. - Societati in nume colectiv (SNC)"),
        QStringLiteral("S.C.S. - Societati in comandita simpla (SCS)"),
        QStringLiteral("S.C.A. - Societati in comandita pe actiuni (SCA)"),
        QStringLiteral("Altele "),
    };
    return captions;
}

int PrefixRadioItem(qint64 prefix)
{
    return radioItemOf(prefix, kPrefixCount);
}

int PrefixFromRadioItem(int item)
{
    return storedOf(item, kPrefixCount);
}

int SuffixRadioItem(qint64 sufix)
{
    return radioItemOf(sufix, kSuffixCount);
}

int SuffixFromRadioItem(int item)
{
    return storedOf(item, kSuffixCount);
}

QString MonthName(int month)
{
    static const std::array<QString, kMonthCount> names = {
        QStringLiteral("Ianuarie"),
        QStringLiteral("Februarie"),
        QStringLiteral("Martie"),
        QStringLiteral("Aprilie"),
        QStringLiteral("Mai"),
        QStringLiteral("Iunie"),
        QStringLiteral("Iulie"),
        QStringLiteral("August"),
        QStringLiteral("Septembrie"),
        QStringLiteral("Octombrie"),
        QStringLiteral("Noiembrie"),
        QStringLiteral("Decembrie"),
    };
    if (month < 1 || month > kMonthCount)
        return QString();
    return names[std::size_t(month - 1)];
}

} // namespace itm
