#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class QIODevice;

namespace itm {

// The one way a file of the program is written: the new content goes to a
// temporary file in the target's folder, every write is checked, the data is
// flushed and synced to the disk, and only then is the temporary renamed over
// the target (and the folder synced). Whoever opens the target sees the old
// file or the new one, whole; a full medium or a removed stick fails the
// commit and leaves the old file as it was. The target is never truncated.
//
// A target that is a symbolic link is written through: the file it points to
// is replaced beside itself and the link stays. A replaced file keeps its
// permissions; a new one gets the usual ones (0666 less the umask).
//
// An AtomicFile destroyed before commit() removes its temporary file.
class AtomicFile
{
public:
    explicit AtomicFile(const QString& target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file. False, with errorString(), when the folder
    // does not take it (missing, read-only, full).
    bool open();

    // The temporary file as a device, for writers that stream into one
    // (QPdfWriter, QTextStream). Valid between open() and commit()/cancel().
    QIODevice* device();

    // Writes bytes; false (and every later write and the commit fail) when
    // the medium takes fewer than all of them.
    bool write(const QByteArray& bytes);

    // The temporary file's path, for a library that writes a file by name
    // (the workbook library, SQLite): after open(), call releaseDevice(), let
    // the library write the path, then commit().
    QString temporaryPath() const;
    void releaseDevice();

    // Flushes, checks that every byte reached the file, syncs it, renames it
    // over the target and syncs the folder. False, with errorString(), when
    // any step fails; the temporary file is then removed and the target left
    // as it was.
    bool commit();

    // Drops what was written; the target stays as it was.
    void cancel();

    // The final path that commit() replaces (a symbolic link resolved).
    QString targetPath() const;
    // Why the last step failed, in the system's words.
    QString errorString() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// Writes content to target through an AtomicFile. False, with the reason in
// error (when given), when anything fails; the old file is then untouched.
bool WriteFileAtomically(const QString& target, const QByteArray& content, QString* error = nullptr);

} // namespace itm
