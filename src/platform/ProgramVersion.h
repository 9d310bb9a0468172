#pragma once

#include <QString>

namespace itm {

// The version of this build, the project's own (CMakeLists.txt), which the
// package carries as well: shown by --version and in the About box.
QString programVersion();

} // namespace itm
