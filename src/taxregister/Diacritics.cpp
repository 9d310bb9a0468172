#include "taxregister/Diacritics.h"

namespace itm {

QString WithoutDiacritics(const QString& text)
{
    // Decomposed, an accented letter is its base letter followed by combining
    // marks; dropping the marks leaves the base letter.
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString plain;
    plain.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            plain.append(c);
    }
    return plain;
}

QString RegisterText(const QString& text)
{
    // Upper case first: upper-casing some letters adds combining marks.
    return WithoutDiacritics(text.toUpper()).simplified();
}

} // namespace itm
