#pragma once

#include <functional>

namespace itm {

// Runs one event handler. An error it does not catch itself ends the handler
// where it was raised and is shown in the standard error box; the program goes
// on. Returns whether the handler ran to its end. Every handler of the windows
// is called through this one function.
bool runGuarded(const std::function<void()>& handler);

} // namespace itm
