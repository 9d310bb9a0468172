#pragma once

#include <QIcon>

namespace itm {

// The 64 x 64 pictures of the drive dialog: 0 a diskette, 1 an optical disc,
// 2 a USB memory stick. Drawn here, so the program ships no image files for them.
QIcon DriveIcon(int index);

} // namespace itm
