#pragma once

namespace itm {

// Creates the windows and the data module in their order, shows the main
// window and runs the program until it closes. An error while they are
// created is shown and ends the program with exit code 0.
int runProgram(int argc, char** argv);

} // namespace itm
