#pragma once

namespace itm {

class Clock;
class Drives;
class FileChooser;
class Printing;
class Prompts;
class Shell;

// The program's seams to the outside world. The program installs the Qt
// implementations at start-up; tests install their doubles.
struct Platform
{
    Prompts* prompts = nullptr;
    Shell* shell = nullptr;
    Clock* clock = nullptr;
    Drives* drives = nullptr;
    Printing* printing = nullptr;
    FileChooser* files = nullptr;
};

Platform& platform();

} // namespace itm
