#include "month/ListingText.h"

namespace itm {

QString ListingCsvField(const QString& text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString ListingOneLine(const QString& text)
{
    QString cleaned = text;
    for (QChar& c : cleaned) {
        if (c.category() == QChar::Other_Control || c.unicode() == 0x2028 || c.unicode() == 0x2029)
            c = u' ';
    }
    return cleaned;
}

} // namespace itm
