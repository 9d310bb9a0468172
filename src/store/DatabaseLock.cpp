#include "store/DatabaseLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace itm {

namespace {

// A lock file replaced between our opening and our locking it is opened again;
// a few rounds are enough for any honest race.
constexpr int attemptLimit = 8;
// More than a holder's three lines: a user's file in its place is not read whole.
constexpr qsizetype holderTextLimit = 512;

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

QString lockWord(bool taken)
{
    return taken ? QStringLiteral("Fisierul de blocare %1 nu poate fi folosit")
                 : QStringLiteral("Fisierul de blocare %1 nu poate fi creat");
}

} // namespace

DatabaseLock::DatabaseLock(const QString& databasePath)
    : m_databasePath(databasePath)
    , m_lockPath(lockFilePath(databasePath))
{
}

DatabaseLock::~DatabaseLock()
{
    unlock();
}

QString DatabaseLock::lockFilePath(const QString& databasePath)
{
    return QFileInfo(databasePath).absoluteFilePath() + QStringLiteral(".lock");
}

bool DatabaseLock::isLocked() const
{
    return m_lockFile >= 0;
}

DatabaseLock::Outcome DatabaseLock::tryLock()
{
    m_error.clear();
    m_holder.clear();
    if (isLocked())
        return Outcome::Acquired;
    Outcome outcome = Outcome::Failed;
    for (int round = 0; round < attemptLimit; ++round) {
        if (attempt(&outcome) == Attempt::Done)
            return outcome;
    }
    m_error = QStringLiteral("Fisierul de blocare %1 este inlocuit fara oprire de alt program.")
                  .arg(QFileInfo(m_lockPath).fileName());
    return Outcome::Failed;
}

DatabaseLock::Attempt DatabaseLock::attempt(Outcome* outcome)
{
    const QByteArray lockPath = encoded(m_lockPath);
    const QString lockName = QFileInfo(m_lockPath).fileName();
    // The lock file is ours, in our folder: a link in its place (a dangling
    // one, or one to a file of the user's) is never followed but removed.
    int lockFile = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (lockFile < 0 && errno == ELOOP) {
        if (::unlink(lockPath.constData()) != 0 && errno != ENOENT) {
            m_error = QStringLiteral("Fisierul de blocare %1 nu poate fi inlocuit (%2).")
                          .arg(lockName, QString::fromLocal8Bit(std::strerror(errno)));
            *outcome = Outcome::Failed;
            return Attempt::Done;
        }
        return Attempt::Retry;
    }
    if (lockFile < 0) {
        const int error = errno;
        m_error = error == EACCES || error == EPERM || error == EROFS
            ? lockWord(false).arg(lockName) + QStringLiteral(" (acces interzis).")
            : lockWord(false).arg(lockName)
                + QStringLiteral(" (%1).").arg(QString::fromLocal8Bit(std::strerror(error)));
        *outcome = Outcome::Failed;
        return Attempt::Done;
    }
    struct stat opened = {};
    if (::fstat(lockFile, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(lockFile);
        m_error = lockWord(true).arg(lockName) + QStringLiteral(" (nu este un fisier obisnuit).");
        *outcome = Outcome::Failed;
        return Attempt::Done;
    }
    if (::flock(lockFile, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK) {
            m_holder = describeHolder(lockFile);
            *outcome = Outcome::HeldByOther;
        } else {
            m_error = lockWord(true).arg(lockName)
                + QStringLiteral(" (%1).").arg(QString::fromLocal8Bit(std::strerror(error)));
            *outcome = Outcome::Failed;
        }
        ::close(lockFile);
        return Attempt::Done;
    }
    // A holder that let go meanwhile may have removed the file we opened, and
    // the next one made a new file under the name: only the file under the
    // name counts.
    struct stat named = {};
    if (::lstat(lockPath.constData(), &named) != 0 || !sameFile(opened, named)) {
        ::close(lockFile);
        return Attempt::Retry;
    }

    // The database itself is locked too: a lock file removed or replaced
    // under a running holder must not let a second one in. A database not
    // there yet (a restore after it was deleted) has only the lock file.
    int databaseFile = ::open(encoded(m_databasePath).constData(), O_RDONLY | O_CLOEXEC);
    if (databaseFile >= 0 && ::flock(databaseFile, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(databaseFile);
        // Nobody else held this lock file: it is ours to remove.
        ::unlink(lockPath.constData());
        ::close(lockFile);
        if (error == EWOULDBLOCK) {
            m_holder = QStringLiteral("fisierul de blocare %1 a fost sters sau inlocuit, procesul nu se cunoaste")
                           .arg(m_lockPath);
            *outcome = Outcome::HeldByOther;
        } else {
            m_error = QStringLiteral("Baza de date %1 nu poate fi blocata (%2).")
                          .arg(m_databasePath, QString::fromLocal8Bit(std::strerror(error)));
            *outcome = Outcome::Failed;
        }
        return Attempt::Done;
    }

    // Whatever a stale lock file held (nothing, another computer's or a dead
    // process's holder) gives way to this holder.
    const QByteArray text = QByteArray::number(QCoreApplication::applicationPid()) + '\n'
        + QCoreApplication::applicationName().toUtf8() + '\n' + QSysInfo::machineHostName().toUtf8() + '\n';
    if (::ftruncate(lockFile, 0) != 0 || ::pwrite(lockFile, text.constData(), size_t(text.size()), 0) != text.size()) {
        // The lock holds without the text; only messages to others lose the holder's name.
    }
    m_lockFile = lockFile;
    m_databaseFile = databaseFile;
    *outcome = Outcome::Acquired;
    return Attempt::Done;
}

QString DatabaseLock::describeHolder(int lockDescriptor) const
{
    QByteArray text(holderTextLimit, '\0');
    const ssize_t read = ::pread(lockDescriptor, text.data(), size_t(text.size()), 0);
    text.truncate(read > 0 ? read : 0);
    const QList<QByteArray> lines = text.split('\n');
    bool isNumber = false;
    const qint64 processId = lines.value(0).toLongLong(&isNumber);
    if (!isNumber || processId <= 0)
        return QStringLiteral("fisierul de blocare %1 nu arata procesul").arg(m_lockPath);
    // The texts come from a file anyone may write: only plain characters pass.
    auto plain = [](const QByteArray& line) {
        QString value = QString::fromUtf8(line.left(64));
        for (QChar& c : value) {
            if (!c.isPrint())
                c = u'?';
        }
        return value.isEmpty() ? QStringLiteral("necunoscut") : value;
    };
    return QStringLiteral("fisierul de blocare %1, procesul %2 (%3) pe calculatorul %4")
        .arg(m_lockPath)
        .arg(processId)
        .arg(plain(lines.value(1)), plain(lines.value(2)));
}

bool DatabaseLock::lockReplacedDatabase()
{
    if (!isLocked())
        return false;
    const int databaseFile = ::open(encoded(m_databasePath).constData(), O_RDONLY | O_CLOEXEC);
    if (databaseFile < 0 || ::flock(databaseFile, LOCK_EX | LOCK_NB) != 0) {
        if (databaseFile >= 0)
            ::close(databaseFile);
        return false;
    }
    if (m_databaseFile >= 0)
        ::close(m_databaseFile);
    m_databaseFile = databaseFile;
    return true;
}

void DatabaseLock::unlock()
{
    if (m_databaseFile >= 0) {
        ::close(m_databaseFile);
        m_databaseFile = -1;
    }
    if (m_lockFile < 0)
        return;
    // Removed only while it is still the file under the name: one that
    // replaced it belongs to someone else.
    struct stat opened = {};
    struct stat named = {};
    const QByteArray lockPath = encoded(m_lockPath);
    if (::fstat(m_lockFile, &opened) == 0 && ::lstat(lockPath.constData(), &named) == 0 && sameFile(opened, named))
        ::unlink(lockPath.constData());
    ::close(m_lockFile);
    m_lockFile = -1;
}

bool DatabaseLock::isHeldByOther(const QString& databasePath)
{
    // Each file is probed with a shared lock, which a holder's exclusive one
    // refuses; the lock file is opened without creating or following it.
    auto heldThrough = [](const QString& path, int flags) {
        const int file = ::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC | flags);
        if (file < 0)
            return false;
        const bool held = ::flock(file, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        ::close(file);
        return held;
    };
    return heldThrough(lockFilePath(databasePath), O_NOFOLLOW) || heldThrough(databasePath, 0);
}

} // namespace itm
