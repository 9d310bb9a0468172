#pragma once

#include <QString>
#include <optional>

class QTextStream;

namespace itm {
class DatabaseLock;
}

namespace itm::cli {

// What a command that writes the register does before it opens it: takes the
// database lock (held until lock is destroyed, after the database is closed)
// and gives a register without a history its history's tables, as the
// program does. A register that cannot get them is said on err and used as
// before. Gives the exit status when the command must stop (the lock is held
// by another program or cannot be taken), with its message on err.
std::optional<int> PrepareRegisterForWriting(
    const QString& command, const QString& databasePath, DatabaseLock& lock, QTextStream& err);

} // namespace itm::cli
