#pragma once

#include <QString>

namespace itm {

// Flushes a file's contents, or a folder's entries (a rename), to the disk, so
// that a power cut after a copy was reported finished cannot take it back.
// Both return false, with the system's reason in error, when the disk refuses.
bool SyncFile(const QString& path, QString* error);
bool SyncFolder(const QString& path, QString* error);

// Replaces target with source in one step: whoever opens target sees either
// the old file or the new one, whole.
bool ReplaceFile(const QString& source, const QString& target, QString* error);

// True while a process with that id is running on this machine.
bool IsProcessRunning(qint64 processId);

} // namespace itm
