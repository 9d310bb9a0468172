#include "backup/BackupNames.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace itm {

namespace {
const QString timeFormat = QStringLiteral("yyyyMMdd-HHmmss");
}

QString BackupFolder(const QString& databasePath)
{
    return QFileInfo(databasePath).absoluteDir().filePath(QStringLiteral("copii"));
}

QString BackupStem(const QString& databasePath)
{
    return QFileInfo(databasePath).completeBaseName();
}

QString BackupFileName(const QString& stem, const QDateTime& made, int sequence)
{
    const QString stamp = made.toString(timeFormat);
    if (sequence <= 1)
        return QStringLiteral("%1-%2.itm").arg(stem, stamp);
    return QStringLiteral("%1-%2-%3.itm").arg(stem, stamp).arg(sequence);
}

std::optional<BackupName> ParseBackupFileName(const QString& stem, const QString& fileName)
{
    // The stem is matched whole: after it only the time may follow, so
    // alta-... is never one of alt.itm's copies, nor alta-x-... one of alta's.
    if (stem.isEmpty() || !fileName.startsWith(stem + u'-'))
        return std::nullopt;
    static const QRegularExpression pattern(QStringLiteral("^(\\d{8}-\\d{6})(?:-([1-9]\\d{0,5}))?\\.itm$"));
    const QRegularExpressionMatch match = pattern.match(fileName.mid(stem.size() + 1));
    if (!match.hasMatch())
        return std::nullopt;
    const QDateTime made = QDateTime::fromString(match.captured(1), timeFormat);
    if (!made.isValid())
        return std::nullopt;
    const int sequence = match.hasCaptured(2) ? match.captured(2).toInt() : 1;
    if (sequence < 2 && match.hasCaptured(2))
        return std::nullopt;
    return BackupName { made, sequence };
}

bool IsNewerBackup(const BackupName& a, const BackupName& b)
{
    if (a.made != b.made)
        return a.made > b.made;
    return a.sequence > b.sequence;
}

QString PartialFileName(qint64 processId, int number)
{
    return QStringLiteral(".copie-%1-%2.partial").arg(processId).arg(number);
}

std::optional<qint64> ParsePartialFileName(const QString& fileName)
{
    static const QRegularExpression pattern(QStringLiteral("^\\.copie-(\\d+)-\\d+\\.partial(?:-journal|-wal|-shm)?$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint64 processId = match.captured(1).toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return processId;
}

} // namespace itm
