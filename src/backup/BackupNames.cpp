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

QString BackupFileName(const QDateTime& made, int sequence)
{
    const QString stamp = made.toString(timeFormat);
    if (sequence <= 1)
        return QStringLiteral("date-%1.itm").arg(stamp);
    return QStringLiteral("date-%1-%2.itm").arg(stamp).arg(sequence);
}

std::optional<BackupName> ParseBackupFileName(const QString& fileName)
{
    static const QRegularExpression pattern(QStringLiteral("^date-(\\d{8}-\\d{6})(?:-([1-9]\\d{0,5}))?\\.itm$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
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
    static const QRegularExpression pattern(QStringLiteral("^\\.copie-(\\d+)-\\d+\\.partial$"));
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
