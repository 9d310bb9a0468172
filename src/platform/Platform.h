#pragma once

#include "platform/Job.h"

namespace itm {

class Clock;
class Drives;
class FileChooser;
class Jobs;
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
    Jobs* jobs = nullptr;
};

Platform& platform();

// Runs work as a job through platform().jobs; where none is installed (a test
// that does not watch jobs), the work simply runs on the calling thread.
JobOutcome runJob(QWidget* parent, const QString& title, JobThread where, const JobWork& work);

} // namespace itm
