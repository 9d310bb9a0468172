#pragma once

#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>

namespace itm {

// Whether day/month/year names a day of the proleptic Gregorian calendar with
// a year from 1 to 9999 (leap years: divisible by 4, except centuries not
// divisible by 400).
bool IsExistingDate(qint64 year, qint64 month, qint64 day);

// Reads the three texts of a date with the strict whole-number conversion
// ("05" reads 5) and returns {day, month, year} - the order of the arguments -
// when all three are numbers and form an existing date; empty otherwise.
std::optional<std::array<qint64, 3>> DateFromTexts(const QString& zi, const QString& luna, const QString& an);

} // namespace itm
