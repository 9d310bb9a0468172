#include "exchange/PlainLetters.h"

namespace itm::exchange {

namespace {

// The plain letter of a Romanian letter with a diacritic (both forms of s
// and t: with a comma below and with a cedilla), 0 for any other character.
char16_t romanianBaseLetter(char16_t unit)
{
    switch (unit) {
    case u'\u0103': // a with breve
    case u'\u00E2': // a with circumflex
        return u'a';
    case u'\u0102':
    case u'\u00C2':
        return u'A';
    case u'\u00EE': // i with circumflex
        return u'i';
    case u'\u00CE':
        return u'I';
    case u'\u0219': // s with comma below
    case u'\u015F': // s with cedilla
        return u's';
    case u'\u0218':
    case u'\u015E':
        return u'S';
    case u'\u021B': // t with comma below
    case u'\u0163': // t with cedilla
        return u't';
    case u'\u021A':
    case u'\u0162':
        return u'T';
    default:
        return 0;
    }
}

} // namespace

QString WithoutDiacritics(const QString& text)
{
    bool plain = true;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            plain = false;
            break;
        }
    }
    if (plain)
        return text;
    // The Romanian letters, nearly every one a file holds beyond plain
    // letters, have their plain letter looked up; any other character takes
    // the decomposition below, which gives the same for these.
    QString letters = text;
    QChar* data = letters.data(); // one copy, written letter by letter
    bool known = true;
    for (qsizetype i = 0; i < letters.size() && known; ++i) {
        const char16_t unit = data[i].unicode();
        if (unit < 0x80)
            continue;
        const char16_t base = romanianBaseLetter(unit);
        known = base != 0;
        data[i] = QChar(base);
    }
    if (known)
        return letters;
    // The canonical decomposition splits a letter from its marks (ș is s and a
    // comma below, ş is s and a cedilla); dropping the marks leaves the letter.
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString result;
    result.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            result += c;
    }
    return result.normalized(QString::NormalizationForm_C);
}

} // namespace itm::exchange
