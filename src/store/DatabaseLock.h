#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace itm {

// The exclusive hold of one database file by one process: the program for its
// whole life, itm-cli for a command that writes. The lock is a file beside the
// database ("date.itm.lock"); a lock left by a process that has died is taken
// over, one held by a live process never is, however old it is.
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
    bool isLocked() const;
    // Why the last tryLock failed (the folder is read-only, ...), for messages.
    QString errorString() const { return m_error; }

    static QString lockFilePath(const QString& databasePath);
    // True while a live process holds the lock of that database; the lock is
    // not taken.
    static bool isHeldByOther(const QString& databasePath);

private:
    std::unique_ptr<QLockFile> m_file;
    QString m_error;
};

} // namespace itm
