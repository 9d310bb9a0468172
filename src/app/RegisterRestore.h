#pragma once

#include <QString>

namespace itm {

struct ProgramObjects;
struct ProgramParts;

// Puts backupFile in place of the program's open register: the windows and
// the data module close (the lock stays held, so no other program gets in
// meanwhile), the restore runs as a job, asking first about a copy of
// another register or of a newer version of the program, its outcome is
// shown, and the register opens again in a new main window, shown. Returns
// false when no register could be opened again (the program then has no
// window left).
bool RestoreOpenRegister(
    ProgramObjects& objects, const QString& databasePath, const ProgramParts& parts, const QString& backupFile);

} // namespace itm
