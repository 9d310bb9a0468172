#include "store/DatabaseLock.h"

#include <QFileInfo>

namespace itm {

DatabaseLock::DatabaseLock(const QString& databasePath)
    : m_file(std::make_unique<QLockFile>(lockFilePath(databasePath)))
{
    // Age alone never makes a lock stale: only a holder that is no longer
    // running does.
    m_file->setStaleLockTime(0);
}

DatabaseLock::~DatabaseLock() = default;

QString DatabaseLock::lockFilePath(const QString& databasePath)
{
    return QFileInfo(databasePath).absoluteFilePath() + QStringLiteral(".lock");
}

DatabaseLock::Outcome DatabaseLock::tryLock()
{
    m_error.clear();
    if (m_file->isLocked())
        return Outcome::Acquired;
    if (m_file->tryLock(0))
        return Outcome::Acquired;
    switch (m_file->error()) {
    case QLockFile::LockFailedError:
        return Outcome::HeldByOther;
    case QLockFile::PermissionError:
        m_error = QStringLiteral("Fisierul de blocare %1 nu poate fi creat (acces interzis).")
                      .arg(QFileInfo(m_file->fileName()).fileName());
        return Outcome::Failed;
    default:
        m_error
            = QStringLiteral("Fisierul de blocare %1 nu poate fi creat.").arg(QFileInfo(m_file->fileName()).fileName());
        return Outcome::Failed;
    }
}

void DatabaseLock::unlock()
{
    m_file->unlock();
}

bool DatabaseLock::isLocked() const
{
    return m_file->isLocked();
}

bool DatabaseLock::isHeldByOther(const QString& databasePath)
{
    // Without a lock file nobody holds it; probing then would hold it for a
    // moment and could turn away a program starting just then.
    if (!QFileInfo::exists(lockFilePath(databasePath)))
        return false;
    DatabaseLock probe(databasePath);
    const Outcome outcome = probe.tryLock();
    probe.unlock();
    return outcome == Outcome::HeldByOther;
}

} // namespace itm
