#include "taxregister/LegalNameSplit.h"

#include "taxregister/Diacritics.h"

#include <QRegularExpression>
#include <optional>

namespace itm {

namespace {

// Indexes of the legal-form tables.
enum Prefix
{
    NoPrefix = 0,
    SC = 1,
    PF = 2,
    PFA = 3,
    AF = 4,
    Association = 5,
    Foundation = 6,
    Tenants = 7,
    Owners = 8,
    IndividualPractice = 9,
    SCAPrefix = 10,
    Agricultural = 11,
    Cooperative = 12,
    Bank = 13,
};
enum Suffix
{
    NoSuffix = 0,
    SRL = 1,
    SA = 2,
    SNC = 3,
    SCS = 4,
    SCA = 5,
};

struct Form
{
    const char* pattern;
    int index;
};

// Initials written with or without dots, with or without blanks between them.
QString initials(const char* letters)
{
    QString pattern;
    for (const char* c = letters; *c; ++c) {
        if (!pattern.isEmpty())
            pattern += QStringLiteral("\\s?");
        pattern += QChar::fromLatin1(*c) + QStringLiteral("\\.?");
    }
    return pattern;
}

// Company types at the end of a name. The debutant SRL ("SRL-D") is an SRL.
const QList<QPair<QString, int>>& suffixForms()
{
    static const QList<QPair<QString, int>> forms = {
        { initials("SRL") + QStringLiteral("(?:\\s?-\\s?D\\.?)?"), SRL },
        { QStringLiteral("SOCIETATE CU RASPUNDERE LIMITATA"), SRL },
        { initials("SNC"), SNC },
        { QStringLiteral("SOCIETATE IN NUME COLECTIV"), SNC },
        { initials("SCS"), SCS },
        { QStringLiteral("SOCIETATE IN COMANDITA SIMPLA"), SCS },
        { initials("SCA"), SCA },
        { QStringLiteral("SOCIETATE IN COMANDITA PE ACTIUNI"), SCA },
        { initials("SA"), SA },
        { QStringLiteral("SOCIETATE PE ACTIUNI"), SA },
    };
    return forms;
}

// Forms at the beginning of a name, the longer before those they begin with.
const QList<QPair<QString, int>>& prefixForms()
{
    static const QList<QPair<QString, int>> forms = {
        { initials("SCA"), SCAPrefix },
        { initials("SC"), SC },
        { QStringLiteral("SOCIETATEA COMERCIALA"), SC },
        { initials("PFA"), PFA },
        { QStringLiteral("PERSOANA FIZICA AUTORIZATA"), PFA },
        { initials("PF"), PF },
        { QStringLiteral("PERSOANA FIZICA"), PF },
        { initials("AF"), AF },
        { QStringLiteral("ASOCIATIA FAMILIALA"), AF },
        { QStringLiteral("ASOCIATI[AE] (?:DE )?PROPRIETARI"), Owners },
        { QStringLiteral("ASOCIATI[AE] (?:DE )?LOCATARI"), Tenants },
        { QStringLiteral("ASOCIATI[AE] AGRICOLA"), Agricultural },
        { QStringLiteral("ASOCIATI[AE] COOPERATISTA"), Cooperative },
        { QStringLiteral("ASOCIATI[AE]"), Association },
        { QStringLiteral("FUNDATI[AE]"), Foundation },
        { QStringLiteral("CABINET(?:UL)? INDIVIDUAL"), IndividualPractice },
        { QStringLiteral("BANCA"), Bank },
    };
    return forms;
}

// A person's form written after the name ("POPESCU ION PFA").
const QList<QPair<QString, int>>& trailingPersonForms()
{
    static const QList<QPair<QString, int>> forms = {
        { initials("PFA"), PFA },
        { QStringLiteral("PERSOANA FIZICA AUTORIZATA"), PFA },
    };
    return forms;
}

const QString separators = QStringLiteral("[\\s,\\-]");

QString trimSeparators(const QString& text)
{
    static const QRegularExpression ends(QStringLiteral("^[\\s,\\-]+|[\\s,\\-]+$"));
    return QString(text).remove(ends);
}

// Removes a form at the end of name; the form's index, or -1 when none is there.
int takeEnding(QString& name, const QList<QPair<QString, int>>& forms)
{
    for (const auto& [pattern, index] : forms) {
        const QRegularExpression ending(QStringLiteral("(?:^|%1)(?:%2)$").arg(separators, pattern));
        const auto match = ending.match(name);
        if (match.hasMatch() && match.capturedStart() > 0) {
            name = trimSeparators(name.left(match.capturedStart()));
            return index;
        }
    }
    return -1;
}

int takeBeginning(QString& name, const QList<QPair<QString, int>>& forms)
{
    for (const auto& [pattern, index] : forms) {
        const QRegularExpression beginning(QStringLiteral("^(?:%1)(?:%2|$)").arg(pattern, separators));
        const auto match = beginning.match(name);
        if (match.hasMatch() && match.capturedEnd() < name.size()) {
            name = trimSeparators(name.mid(match.capturedEnd()));
            return index;
        }
    }
    return -1;
}

// The table's form a register legal form names: prefix and suffix, or
// nothing. Company kinds first, the longer before those they contain.
std::optional<QPair<int, int>> formOf(const QString& legalForm)
{
    static const QList<QPair<QString, QPair<int, int>>> forms = {
        { QStringLiteral("RASPUNDERE LIMITATA"), { SC, SRL } },
        { QStringLiteral("COMANDITA PE ACTIUNI"), { SC, SCA } },
        { QStringLiteral("COMANDITA SIMPLA"), { SC, SCS } },
        { QStringLiteral("NUME COLECTIV"), { SC, SNC } },
        { QStringLiteral("PE ACTIUNI"), { SC, SA } },
        { QStringLiteral("^PERSOANA FIZICA AUTORIZATA"), { PFA, NoSuffix } },
        { QStringLiteral("^ASOCIATI[AE] FAMILIALA"), { AF, NoSuffix } },
        { QStringLiteral("^ASOCIATI[AE] (?:DE )?PROPRIETARI"), { Owners, NoSuffix } },
        { QStringLiteral("^ASOCIATI[AE] (?:DE )?LOCATARI"), { Tenants, NoSuffix } },
        { QStringLiteral("^ASOCIATI[AE] AGRICOLA"), { Agricultural, NoSuffix } },
        { QStringLiteral("COOPERATIST"), { Cooperative, NoSuffix } },
        { QStringLiteral("^ASOCIATI[AE]$"), { Association, NoSuffix } },
        { QStringLiteral("^FUNDATI[AE]$"), { Foundation, NoSuffix } },
        { QStringLiteral("^CABINET(?:UL)? INDIVIDUAL"), { IndividualPractice, NoSuffix } },
        { QStringLiteral("^BANCA$"), { Bank, NoSuffix } },
    };
    const QString form = RegisterText(legalForm);
    if (form.isEmpty())
        return std::nullopt;
    for (const auto& [pattern, parts] : forms) {
        if (QRegularExpression(pattern).match(form).hasMatch())
            return parts;
    }
    return std::nullopt;
}

bool isAssociationKind(int prefix)
{
    return prefix == Association || prefix == Tenants || prefix == Owners || prefix == Agricultural
        || prefix == Cooperative;
}

} // namespace

LegalNameParts SplitLegalName(const QString& legalName, const QString& legalForm)
{
    LegalNameParts parts = SplitLegalName(legalName);
    const auto form = formOf(legalForm);
    if (!form || (form->first == Association && isAssociationKind(parts.prefix)))
        return parts;
    parts.prefix = form->first;
    parts.sufix = form->second;
    return parts;
}

LegalNameParts SplitLegalName(const QString& legalName)
{
    const QString whole = trimSeparators(RegisterText(legalName));
    QString name = whole;
    LegalNameParts parts;

    const int suffix = takeEnding(name, suffixForms());
    if (suffix > 0) {
        // Only a commercial company carries a suffix; an "S.C." written in
        // front is the same form, any other word in front stays in the name.
        parts.sufix = suffix;
        parts.prefix = SC;
        QString rest = name;
        if (takeBeginning(rest, prefixForms()) == SC)
            name = rest;
    } else if (const int prefix = takeBeginning(name, prefixForms()); prefix >= 0) {
        parts.prefix = prefix;
    } else if (const int person = takeEnding(name, trailingPersonForms()); person >= 0) {
        parts.prefix = person;
    }
    // A name that is nothing but a form keeps it as the name.
    if (name.isEmpty())
        return { NoPrefix, whole, NoSuffix };
    parts.denumire = name;
    return parts;
}

} // namespace itm
