#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace itm {

// A row of the county table: its key (codjudet) and its name (denumire).
struct CountyRow
{
    QString key;
    QString name;
};

// The county-table row of a county as the register names it: diacritics,
// letter case, blanks and hyphens do not count, nor the words "JUDETUL" or
// "MUNICIPIUL" in front ("MUNICIPIUL BUCURESTI" is the row BUCURESTI,
// "Bistrita-Nasaud" the row BISTRITA-NASAUD). Empty when no row has that name.
std::optional<CountyRow> MatchCounty(const QString& registerCounty, const QList<CountyRow>& counties);

// The sector of Bucharest a locality or address names ("Sector 3 Mun.
// Bucuresti", "BUCURESTI SECTORUL 3"), 0 when it names none.
int BucharestSector(const QString& text);

} // namespace itm
