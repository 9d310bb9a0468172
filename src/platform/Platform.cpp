#include "platform/Platform.h"

namespace itm {

Platform& platform()
{
    static Platform instance;
    return instance;
}

} // namespace itm
