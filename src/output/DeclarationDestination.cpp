#include "output/DeclarationDestination.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSet>

namespace itm {

namespace {

// A save takes milliseconds; a batch of a thousand payers well under a second.
constexpr int kLockWaitMs = 5000;
// A lock from another computer cannot be checked for a live holder; past this
// age it is taken to be left over.
constexpr int kForeignLockStaleMs = 60 * 1000;

} // namespace

QString DeclarationLockPath(const QString& root, const QString& fileName)
{
    return root + fileName + QStringLiteral(".lock");
}

DestinationLock::DestinationLock(const QString& root, const QString& fileName)
    : m_file(std::make_unique<QLockFile>(DeclarationLockPath(root, fileName)))
{
    m_file->setStaleLockTime(kForeignLockStaleMs);
}

DestinationLock::~DestinationLock() = default;

bool DestinationLock::acquire(QString* failure)
{
    if (m_file->tryLock(kLockWaitMs))
        return true;
    if (failure) {
        *failure = m_file->error() == QLockFile::LockFailedError
            ? QStringLiteral("%1 is held by another save").arg(m_file->fileName())
            : QStringLiteral("Cannot create %1").arg(m_file->fileName());
    }
    return false;
}

QString FirstSymbolicLink(const QStringList& paths)
{
    for (const QString& path : paths) {
        if (QFileInfo(path).isSymLink())
            return path;
    }
    return QString();
}

void RemoveStaleTemporaries(const QString& folder, const QString& fileName)
{
    // Six characters of which the last are the saving process's id.
    const QRegularExpression temporary(
        QStringLiteral("^%1\\.[A-Za-z0-9]{5}[0-9]$").arg(QRegularExpression::escape(fileName)));
    QDir dir(folder);
    const QStringList candidates = dir.entryList(
        { fileName + QStringLiteral(".*") }, QDir::Files | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot);
    for (const QString& name : candidates) {
        if (temporary.match(name).hasMatch())
            dir.remove(name);
    }
}

bool LosesOtherLines(const QByteArrayList& oldLines, const QByteArrayList& newLines,
    const std::function<bool(const QByteArray&)>& isReplaced)
{
    const QSet<QByteArray> kept(newLines.cbegin(), newLines.cend());
    for (const QByteArray& line : oldLines) {
        if (!isReplaced(line) && !kept.contains(line))
            return true;
    }
    return false;
}

QString KeptCopyName(const QString& fileName, const QDateTime& when)
{
    const QString base = QFileInfo(fileName).completeBaseName();
    return base + when.toString(QStringLiteral("-yyyyMMdd-HHmmss")) + QStringLiteral(".txt");
}

} // namespace itm
