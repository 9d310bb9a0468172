#include "platform/Guard.h"

#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "store/Errors.h"

#include <QString>

namespace itm {

bool runGuarded(const std::function<void()>& handler)
{
    QString message;
    try {
        handler();
        return true;
    } catch (const Error& error) {
        message = error.message();
    } catch (const std::exception& error) {
        message = QString::fromLocal8Bit(error.what());
    }
    if (Prompts* prompts = platform().prompts)
        prompts->error(message);
    return false;
}

} // namespace itm
