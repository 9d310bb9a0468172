#pragma once

namespace itm {

// The texts of Qt's own file dialog (its buttons, labels, views, and the
// questions it asks) in the program's Romanian, for the whole application;
// installed once, on the first call. Qt ships no Romanian for them here.
void InstallFileDialogTexts();

} // namespace itm
