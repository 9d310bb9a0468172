#pragma once

#include <QByteArrayList>
#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>

class QLockFile;

namespace itm {

// The safeguards of one declaration file's destination (a drive root or an
// itm-cli --to folder): who may write there, what may be written through,
// and what a save may leave behind.

// The lock file that one save at a time holds in the destination folder
// while it reads, merges and replaces IMyyyymm.txt and its Rez copy:
// root + "IMyyyymm.txt.lock".
QString DeclarationLockPath(const QString& root, const QString& fileName);

// Holds that lock for its life. Another save holding it is waited for a few
// seconds; a lock left by a process that died is taken over at once, one left
// on the medium by another computer after a minute.
class DestinationLock
{
public:
    DestinationLock(const QString& root, const QString& fileName);
    ~DestinationLock();
    DestinationLock(const DestinationLock&) = delete;
    DestinationLock& operator=(const DestinationLock&) = delete;
    // False, with a description in failure, when the lock cannot be had.
    bool acquire(QString* failure);

private:
    std::unique_ptr<QLockFile> m_file;
};

// A symbolic link is never written through: a link named like the file or
// the Rez folder would send the save somewhere off the medium. Returns the
// first of paths that is a link, or an empty text.
QString FirstSymbolicLink(const QStringList& paths);

// Removes what an interrupted save of fileName left in folder: the temporary
// files of the atomic replace ("IMyyyymm.txt." and six letters or digits, the
// last of them digits of the saving process's id),
// which a file system without anonymous temporary files keeps at the whole
// size of the file. Only to be called while holding the DestinationLock.
void RemoveStaleTemporaries(const QString& folder, const QString& fileName);

// Whether replacing a file of oldLines with newLines loses a line of another
// payer: a line that stays in no new line and is none that the save replaces
// on purpose (isReplaced says which those are).
bool LosesOtherLines(const QByteArrayList& oldLines, const QByteArrayList& newLines,
    const std::function<bool(const QByteArray&)>& isReplaced);

// "IM200603-20260105-143000.txt" for IM200603.txt at that moment: the name
// under which a Rez copy is kept beside itself before it is replaced.
QString KeptCopyName(const QString& fileName, const QDateTime& when);

} // namespace itm
