#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QTextStream;

namespace itm::cli {

// The options of the backup commands: [--db FILE], for backup also [--to DIR],
// for restore the one FILE to restore and [--force].
struct BackupArguments
{
    QString db;
    std::optional<QString> to;
    QString file;
    bool force = false; // restore: also a copy of another register or of a newer schema
};

enum class BackupOptions
{
    DbOnly,
    WithTo,
    WithFile
};

// Anything wrong is written to err after the command's name and gives an
// empty result.
std::optional<BackupArguments> ParseBackupArguments(
    const QString& command, const QStringList& arguments, BackupOptions accepted, QTextStream& err);

} // namespace itm::cli
