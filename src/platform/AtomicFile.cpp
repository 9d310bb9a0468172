#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace itm {

namespace {

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// A symbolic link is followed to the file it names (which need not exist yet),
// so that the link itself is never replaced by a plain file.
QString resolveLinks(const QString& target)
{
    QString path = QFileInfo(target).absoluteFilePath();
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(path);
        if (!info.isSymLink())
            return path;
        path = info.symLinkTarget();
    }
    return path;
}

// Six characters after the name and a dot, the last a digit: the shape a
// killed save's leftovers are recognised and cleaned by.
QString temporaryNameFor(const QString& target)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    auto* random = QRandomGenerator::global();
    for (int i = 0; i < 5; ++i)
        suffix += QLatin1Char(letters[random->bounded(int(sizeof letters) - 1)]);
    suffix += QLatin1Char(char('0' + random->bounded(10)));
    return target + u'.' + suffix;
}

bool syncFolderOf(const QString& path, QString* error)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int descriptor = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        *error = systemError(errno);
        return false;
    }
    // Some file systems cannot sync a folder at all; the rename is then as
    // durable as they make it.
    const bool synced = ::fsync(descriptor) == 0 || errno == EINVAL || errno == ENOTSUP;
    if (!synced)
        *error = systemError(errno);
    ::close(descriptor);
    return synced;
}

} // namespace

struct AtomicFile::Private
{
    QString target;
    QString temporary;
    QFile file;
    bool failed = false;
    bool committed = false;
    QString error;

    void removeTemporary()
    {
        if (file.isOpen())
            file.close();
        if (!temporary.isEmpty() && !committed)
            ::unlink(QFile::encodeName(temporary).constData());
        temporary.clear();
    }
};

AtomicFile::AtomicFile(const QString& target)
    : d(new Private)
{
    d->target = resolveLinks(target);
}

AtomicFile::~AtomicFile()
{
    d->removeTemporary();
}

bool AtomicFile::open()
{
    d->removeTemporary();
    d->failed = false;
    d->committed = false;
    d->error.clear();
    if (QFileInfo(d->target).isDir()) {
        d->error = systemError(EISDIR);
        d->failed = true;
        return false;
    }
    struct stat existing
    {
    };
    const bool replacing = ::stat(QFile::encodeName(d->target).constData(), &existing) == 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = temporaryNameFor(d->target);
        const int descriptor
            = ::open(QFile::encodeName(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0) {
            if (errno == EEXIST)
                continue;
            d->error = systemError(errno);
            d->failed = true;
            return false;
        }
        if (replacing)
            ::fchmod(descriptor, existing.st_mode & 07777);
        d->temporary = candidate;
        if (!d->file.open(descriptor, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
            ::close(descriptor);
            d->error = d->file.errorString();
            d->removeTemporary();
            d->failed = true;
            return false;
        }
        return true;
    }
    d->error = systemError(EEXIST);
    d->failed = true;
    return false;
}

QIODevice* AtomicFile::device()
{
    return &d->file;
}

bool AtomicFile::write(const QByteArray& bytes)
{
    if (d->failed || !d->file.isOpen())
        return false;
    if (d->file.write(bytes) != bytes.size()) {
        d->failed = true;
        d->error = d->file.errorString();
        return false;
    }
    return true;
}

QString AtomicFile::temporaryPath() const
{
    return d->temporary;
}

void AtomicFile::releaseDevice()
{
    if (!d->file.isOpen())
        return;
    if (!d->file.flush()) {
        d->failed = true;
        d->error = d->file.errorString();
    }
    d->file.close();
}

bool AtomicFile::commit()
{
    if (d->temporary.isEmpty()) {
        if (d->error.isEmpty())
            d->error = QStringLiteral("no file was opened");
        return false;
    }
    const auto fail = [this](const QString& reason) {
        if (d->error.isEmpty())
            d->error = reason;
        d->removeTemporary();
        return false;
    };
    if (d->file.isOpen()) {
        // A buffered write that the medium refuses shows only here.
        if (!d->file.flush() || d->file.error() != QFileDevice::NoError)
            return fail(d->file.errorString());
        if (d->failed)
            return fail(d->error);
        if (::fsync(d->file.handle()) != 0)
            return fail(systemError(errno));
        d->file.close();
        if (d->file.error() != QFileDevice::NoError)
            return fail(d->file.errorString());
    } else {
        if (d->failed)
            return fail(d->error);
        // Written by name by a library: synced through a descriptor of our own.
        const int descriptor = ::open(QFile::encodeName(d->temporary).constData(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0)
            return fail(systemError(errno));
        const bool synced = ::fsync(descriptor) == 0;
        const int syncError = errno;
        ::close(descriptor);
        if (!synced)
            return fail(systemError(syncError));
    }
    if (std::rename(QFile::encodeName(d->temporary).constData(), QFile::encodeName(d->target).constData()) != 0)
        return fail(systemError(errno));
    d->committed = true;
    d->temporary.clear();
    QString folderError;
    if (!syncFolderOf(d->target, &folderError)) {
        d->error = folderError;
        return false;
    }
    return true;
}

void AtomicFile::cancel()
{
    d->removeTemporary();
}

QString AtomicFile::targetPath() const
{
    return d->target;
}

QString AtomicFile::errorString() const
{
    return d->error;
}

bool WriteFileAtomically(const QString& target, const QByteArray& content, QString* error)
{
    AtomicFile file(target);
    const bool written = file.open() && file.write(content) && file.commit();
    if (!written && error)
        *error = file.errorString();
    return written;
}

} // namespace itm
