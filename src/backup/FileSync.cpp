#include "backup/FileSync.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace itm {

namespace {
QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool syncPath(const QString& path, int flags, QString* error)
{
    const int descriptor = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (descriptor < 0) {
        *error = systemError();
        return false;
    }
    const bool synced = ::fsync(descriptor) == 0;
    if (!synced)
        *error = systemError();
    ::close(descriptor);
    return synced;
}
} // namespace

bool SyncFile(const QString& path, QString* error)
{
    return syncPath(path, O_RDONLY, error);
}

bool SyncFolder(const QString& path, QString* error)
{
    return syncPath(path, O_RDONLY | O_DIRECTORY, error);
}

bool ReplaceFile(const QString& source, const QString& target, QString* error)
{
    if (std::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) == 0)
        return true;
    *error = systemError();
    return false;
}

bool IsProcessRunning(qint64 processId)
{
    if (processId <= 0)
        return false;
    return ::kill(pid_t(processId), 0) == 0 || errno == EPERM;
}

} // namespace itm
