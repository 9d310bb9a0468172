#pragma once

#include <QString>

namespace itm {

// A legal name split into the three pieces a payer record stores: the index
// into the legal-form prefix table, the bare name and the index into the
// suffix table.
struct LegalNameParts
{
    int prefix = 0;
    QString denumire;
    int sufix = 0;

    bool operator==(const LegalNameParts&) const = default;
};

// Splits a legal name as the register writes it ("ALFA SRL", "S.C. BETA
// S.R.L.", "GAMA SA", "ASOCIATIA DE PROPRIETARI BLOC 5", "POPESCU ION PFA").
// A company type at the end (SRL, SA, SNC, SCS, SCA, dotted or not, spelled
// out or not) becomes the suffix and makes the prefix S.C., as a suffix goes
// only with S.C.; otherwise a form at the beginning (or, for a person, at the
// end) becomes the prefix. A name that says no form keeps prefix and suffix 0.
// The bare name comes without diacritics, in upper case, without the form's
// words and the separators around them.
LegalNameParts SplitLegalName(const QString& legalName);

// The same, where the register's legal form (its "forma_juridica", such as
// "SOCIETATE COMERCIALA CU RASPUNDERE LIMITATA" or "CABINET INDIVIDUAL") names
// one of the table's forms: that form is taken, not the one the name seems to
// say; the name still loses the form's words it carries. A legal form the
// tables do not hold ("ALTE FORME", a public institution) leaves the guess from
// the name. A general association keeps the kind the name tells (owners,
// tenants, ...).
LegalNameParts SplitLegalName(const QString& legalName, const QString& legalForm);

} // namespace itm
