#pragma once

#include <QString>

namespace itm {

// The exclusive hold of one database file by one process: the program for its
// whole life, itm-cli for a command that writes (restore, import, copy-month).
//
// The hold is an operating-system lock (flock) on two open files, kept open
// while it is held: the lock file beside the database ("date.itm.lock"),
// which also names the holder for messages, and the database file itself. The
// system lets the lock go when the holder ends, however it ends, so a lock
// file that nobody holds is stale whatever it holds (empty, another host's,
// a dead process's) and is taken over; a symbolic link in its place is
// replaced, never followed. Removing or replacing the lock file while it is
// held lets nobody in: the database file stays locked.
//
// Releasing closes a descriptor of the database file, which makes the system
// drop every record lock this process holds on it (SQLite's included): close
// the process's connections to the database before the lock goes.
class DatabaseLock
{
public:
    enum class Outcome
    {
        Acquired,
        HeldByOther,
        Failed
    };

    explicit DatabaseLock(const QString& databasePath);
    ~DatabaseLock();
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;

    Outcome tryLock();
    void unlock();
    // After the holder itself replaced the database file (a restore): locks
    // the new file in place of the old one. Others are kept out meanwhile by
    // the lock file; false when the new file cannot be locked.
    bool lockReplacedDatabase();
    bool isLocked() const;
    // Why the last tryLock failed (the folder is read-only, ...), a sentence
    // for messages.
    QString errorString() const { return m_error; }
    // After HeldByOther: the lock file, and the process and host that hold it
    // as far as the lock file tells, for messages (without a full stop).
    QString holder() const { return m_holder; }

    static QString lockFilePath(const QString& databasePath);
    // True while another holder has the lock of that database; the lock is
    // not taken, but the probe holds a shared lock for a moment.
    static bool isHeldByOther(const QString& databasePath);

private:
    enum class Attempt
    {
        Done,
        Retry
    };
    Attempt attempt(Outcome* outcome);
    QString describeHolder(int lockDescriptor) const;

    QString m_databasePath;
    QString m_lockPath;
    int m_lockFile = -1;
    int m_databaseFile = -1;
    QString m_error;
    QString m_holder;
};

} // namespace itm
