#include "platform/Prompts.h"

namespace itm {

QString programTitle()
{
    return QStringLiteral("ITM Declaratie fiscala privind stabilirea comisionului datorat   v1.29");
}

QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

} // namespace itm
