#include "exchange/PlainLetters.h"

namespace itm::exchange {

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
