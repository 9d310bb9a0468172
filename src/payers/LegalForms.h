#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

namespace itm {

// A payer's legal name is stored in three pieces: the legal-form prefix as an
// index (`prefix`, 0..13), the bare name (`denumire`) and the company-type
// suffix as an index (`sufix`, 0..5). These tables turn the indexes into text;
// the legal-name dialog shows the same forms in radio groups whose item order
// differs from the stored index (index 0, "other", is the last item).

constexpr int kPrefixCount = 14;
constexpr int kSuffixCount = 6;
constexpr int kMonthCount = 12;

// Prefix text for index 0..13: " " for 0, else the form followed by one blank
// ("S.C. "). Empty for an index outside the table.
std::optional<QString> PrefixText(qint64 prefix);

// Suffix text for index 0..5: " " for 0, else one blank then the type
// (" S.R.L."). Empty for an index outside the table.
std::optional<QString> SuffixText(qint64 sufix);

// Prefix text, bare name and suffix text joined with nothing between them:
// (1, "ALFA", 1) gives "S.C. ALFA S.R.L.". Empty when either index is outside
// its table.
std::optional<QString> ComposedLegalName(qint64 prefix, const QString& denumire, qint64 sufix);

// Radio items of the prefix group, in item order ("S.C." first, "Altele" last).
const QStringList& PrefixRadioCaptions();
// Radio items of the suffix group, in item order ("S.R.L." first, "Altele " last).
const QStringList& SuffixRadioCaptions();

// Stored prefix p (0..13) <-> prefix radio item: p - 1 for 1..13, the last item
// (13) for 0. Out-of-range arguments give -1.
int PrefixRadioItem(qint64 prefix);
int PrefixFromRadioItem(int item);

// Stored suffix s (0..5) <-> suffix radio item: s - 1 for 1..5, the last item
// (5) for 0. Out-of-range arguments give -1.
int SuffixRadioItem(qint64 sufix);
int SuffixFromRadioItem(int item);

// "Ianuarie" for 1 .. "Decembrie" for 12; an empty string outside 1..12.
QString MonthName(int month);

} // namespace itm
