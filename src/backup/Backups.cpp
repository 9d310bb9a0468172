#include "backup/Backups.h"

#include "backup/BackupPolicy.h"
#include "backup/DatabaseCheck.h"
#include "backup/FileSync.h"
#include "backup/RegisterIdentity.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace itm {

namespace {

BackupOutcome failure(CopyOutcome::Status status, const QString& problem)
{
    BackupOutcome outcome;
    outcome.status = status;
    outcome.problem = problem;
    return outcome;
}

// Gives the checked copy the first free backup name for now. The rename
// never replaces a file: a copy made by another process within the same
// second keeps its name and this one takes the next number.
bool publish(const QString& partial, const QString& folder, const QString& stem, const QDateTime& now,
    QString* published, QString* error)
{
    const QDir dir(folder);
    for (int sequence = 1; sequence < 1000; ++sequence) {
        const QString candidate = dir.filePath(BackupFileName(stem, now, sequence));
        if (QFileInfo::exists(candidate))
            continue;
        if (QFile::rename(partial, candidate)) {
            *published = candidate;
            return true;
        }
        if (!QFileInfo::exists(candidate)) {
            *error = QFile(partial).errorString();
            return false;
        }
    }
    *error = QStringLiteral("prea multe copii in aceeasi secunda");
    return false;
}

} // namespace

QList<BackupEntry> ListBackups(const QString& folder, const QString& stem)
{
    QList<BackupEntry> backups;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo& file : files) {
        if (const auto name = ParseBackupFileName(stem, file.fileName()))
            backups.append({ file.absoluteFilePath(), *name, file.size() });
    }
    std::sort(backups.begin(), backups.end(),
        [](const BackupEntry& a, const BackupEntry& b) { return IsNewerBackup(a.name, b.name); });
    return backups;
}

QString NewPartialPath(const QString& folder)
{
    static std::atomic_int counter { 0 };
    const QDir dir(folder);
    QString path;
    do
        path = dir.filePath(PartialFileName(QCoreApplication::applicationPid(), ++counter));
    while (QFileInfo::exists(path));
    return path;
}

void RemoveAbandonedPartials(const QString& folder)
{
    const QDateTime dayAgo = QDateTime::currentDateTime().addDays(-1);
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo& file : files) {
        const auto processId = ParsePartialFileName(file.fileName());
        if (!processId)
            continue;
        if (!IsProcessRunning(*processId) || file.lastModified() < dayAgo)
            QFile::remove(file.absoluteFilePath());
    }
}

BackupOutcome MakeBackup(const CopySource& database, const QString& folder, const QDateTime& now,
    MissingFolder missingFolder, const std::atomic_bool* cancel, RegisterMark mark, const CopyProgress& progress)
{
    // Nothing is created for a database that is not there.
    if (!QFileInfo(database.path).isFile())
        return failure(CopyOutcome::SourceFailed, QStringLiteral("baza de date %1 nu exista").arg(database.path));
    const QFileInfo folderInfo(folder);
    if (!folderInfo.isDir()) {
        if (folderInfo.exists())
            return failure(CopyOutcome::TargetFailed, QStringLiteral("%1 nu este un folder").arg(folder));
        if (missingFolder == MissingFolder::Refuse)
            return failure(CopyOutcome::TargetFailed, QStringLiteral("folderul %1 nu exista").arg(folder));
        if (!QDir().mkpath(folder))
            return failure(CopyOutcome::TargetFailed, QStringLiteral("folderul %1 nu poate fi creat").arg(folder));
    }
    RemoveAbandonedPartials(folder);
    // A restore writes its partial copy beside the database.
    RemoveAbandonedPartials(QFileInfo(database.path).absolutePath());

    const QString partial = NewPartialPath(folder);
    const CopyOutcome copy = CopyDatabase(database, partial, cancel, progress);
    switch (copy.status) {
    case CopyOutcome::Copied:
        break;
    case CopyOutcome::Cancelled:
        return failure(copy.status, QStringLiteral("copierea a fost intrerupta"));
    case CopyOutcome::SourceFailed:
    case CopyOutcome::SourceDamaged:
        return failure(
            copy.status, QStringLiteral("baza de date %1 nu poate fi citita: %2").arg(database.path, copy.problem));
    case CopyOutcome::TargetFailed:
        return failure(copy.status, QStringLiteral("copia nu poate fi scrisa in %1: %2").arg(folder, copy.problem));
    }

    const DatabaseCheck check = CheckDatabaseFile(partial, CheckDepth::Tables);
    if (!check.passed) {
        QFile::remove(partial);
        // The copy is page for page the database: a copy that fails its check
        // shows a fault of the database itself.
        return failure(
            CopyOutcome::SourceDamaged, QStringLiteral("copia nu a trecut verificarea: %1").arg(check.problem));
    }

    // The copy says which register it is of. A register without an identity
    // gets one now, once its copy has been made: a backup that fails
    // changes nothing.
    QString error;
    if (mark == RegisterMark::Give && ReadRegisterIdentity(partial) == 0) {
        const quint32 identity = EnsureRegisterIdentity(database.path);
        if (identity != 0 && (!WriteRegisterIdentity(partial, identity) || !SyncFile(partial, &error))) {
            QFile::remove(partial);
            return failure(CopyOutcome::TargetFailed,
                QStringLiteral("copia nu poate fi scrisa in %1: %2")
                    .arg(folder, error.isEmpty() ? QStringLiteral("registrul nu poate fi notat") : error));
        }
    }

    BackupOutcome outcome;
    if (!publish(partial, folder, BackupStem(database.path), now, &outcome.path, &error)) {
        QFile::remove(partial);
        return failure(
            CopyOutcome::TargetFailed, QStringLiteral("copia nu poate fi scrisa in %1: %2").arg(folder, error));
    }
    if (!SyncFolder(folder, &error))
        return failure(
            CopyOutcome::TargetFailed, QStringLiteral("copia nu poate fi scrisa in %1: %2").arg(folder, error));
    return outcome;
}

QStringList PruneBackups(const QString& folder, const QString& stem, const QDateTime& now, const QString& keep)
{
    const QList<BackupEntry> backups = ListBackups(folder, stem);
    QList<BackupName> names;
    for (const BackupEntry& backup : backups)
        names.append(backup.name);
    const QString kept = keep.isEmpty() ? QString() : QFileInfo(keep).absoluteFilePath();
    QStringList removed;
    for (int index : BackupsToPrune(names, now)) {
        const QString& path = backups.at(index).path;
        if (path != kept && QFile::remove(path))
            removed.append(path);
    }
    return removed;
}

QString BackupSizeText(qint64 bytes)
{
    if (bytes < 1024)
        return QStringLiteral("%1 B").arg(bytes);
    const char* units[] = { "KB", "MB", "GB" };
    double value = double(bytes) / 1024;
    int unit = 0;
    while (value >= 1024 && unit < 2) {
        value /= 1024;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(value, 0, 'f', 1).arg(QLatin1String(units[unit]));
}

} // namespace itm
