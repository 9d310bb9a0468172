#include "backup/Restore.h"

#include "backup/Backups.h"
#include "backup/DatabaseCheck.h"
#include "backup/DatabaseCopy.h"
#include "backup/FileSync.h"
#include "backup/RegisterIdentity.h"
#include "store/DatabaseLock.h"
#include "store/ServerConnection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace itm {

namespace {

RestoreOutcome refusal(RestoreOutcome::Status status, const QString& problem)
{
    RestoreOutcome outcome;
    outcome.status = status;
    outcome.problem = problem;
    return outcome;
}

// A database that cannot be copied page by page (damaged) is still the
// user's data: it is kept byte for byte under a name no backup has.
bool keepDamagedCopy(const QString& databasePath, const QDateTime& now, QString* kept, QString* error)
{
    const QString folder = BackupFolder(databasePath);
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("folderul %1 nu poate fi creat").arg(folder);
        return false;
    }
    const QString partial = NewPartialPath(folder);
    QFile source(databasePath);
    if (!source.copy(partial)) {
        *error = source.errorString();
        QFile::remove(partial);
        return false;
    }
    if (!SyncFile(partial, error)) {
        QFile::remove(partial);
        return false;
    }
    const QString target = QDir(folder).filePath(
        QStringLiteral("deteriorata-%1.itm").arg(now.toString(QStringLiteral("yyyyMMdd-HHmmss"))));
    if (QFileInfo::exists(target) || !QFile::rename(partial, target)) {
        *error = QStringLiteral("%1 exista deja").arg(target);
        QFile::remove(partial);
        return false;
    }
    *kept = target;
    return SyncFolder(folder, error);
}

// The sentences given here are set inside others.
QString withoutFullStop(QString sentence)
{
    while (sentence.endsWith(u'.'))
        sentence.chop(1);
    return sentence;
}

// The file a database path stands for: itself, or the end of its chain of
// symbolic links (which need not exist yet). Empty for a loop of links.
QString fileBehind(const QString& databasePath)
{
    QString path = QFileInfo(databasePath).absoluteFilePath();
    for (int hop = 0; hop < 40; ++hop) {
        const QFileInfo info(path);
        if (!info.isSymLink())
            return path;
        path = info.symLinkTarget();
    }
    return QString();
}

} // namespace

RestoreOutcome RestoreDatabase(const QString& backupFile, const QString& databasePath, const QDateTime& now,
    RestoreConsent consent, DatabaseLock* heldLock, const CopyProgress& progress)
{
    // A backup is a file; a register on a server is filled from one by a
    // checked copy onto a new register, never overwritten in place.
    if (IsServerConnection(databasePath))
        return refusal(RestoreOutcome::Failed,
            QStringLiteral("un registru de pe server nu se restaureaza dintr-o copie; folositi itm-cli server copy "
                           "intr-un registru nou"));
    DatabaseLock ownLock(databasePath);
    DatabaseLock& lock = heldLock && heldLock->isLocked() ? *heldLock : ownLock;
    switch (lock.tryLock()) {
    case DatabaseLock::Outcome::Acquired:
        break;
    case DatabaseLock::Outcome::HeldByOther:
        return refusal(RestoreOutcome::DatabaseInUse,
            QStringLiteral("baza de date %1 este folosita acum de alt program (itm-declaratie sau itm-cli: %2); "
                           "inchideti-l si reluati restaurarea")
                .arg(databasePath, lock.holder()));
    case DatabaseLock::Outcome::Failed:
        return refusal(RestoreOutcome::Failed, withoutFullStop(lock.errorString()));
    }

    const QString target = fileBehind(databasePath);
    if (target.isEmpty())
        return refusal(RestoreOutcome::Failed,
            QStringLiteral("legatura simbolica %1 nu duce la niciun fisier (se duce in cerc)").arg(databasePath));

    const DatabaseCheck check = CheckDatabaseFile(backupFile, CheckDepth::Columns);
    if (!check.passed)
        return refusal(RestoreOutcome::BadBackup, check.problem);
    if (check.schemaVersion > KnownSchemaVersion && !consent.newerSchema)
        return refusal(RestoreOutcome::NewerSchema,
            QStringLiteral("fisierul %1 a fost scris de o versiune mai noua a programului (versiunea %2 a bazei "
                           "de date; programul o cunoaste pe %3)")
                .arg(backupFile)
                .arg(check.schemaVersion)
                .arg(KnownSchemaVersion));
    // Only two registers that both have an identity can be told apart.
    const quint32 offeredRegister = ReadRegisterIdentity(backupFile);
    const quint32 currentRegister = ReadRegisterIdentity(target);
    if (offeredRegister != 0 && currentRegister != 0 && offeredRegister != currentRegister && !consent.otherRegister)
        return refusal(RestoreOutcome::OtherRegister,
            QStringLiteral("fisierul %1 este copia altui registru decat baza de date %2")
                .arg(backupFile, databasePath));

    RestoreOutcome outcome;
    if (QFileInfo::exists(databasePath)) {
        const BackupOutcome previous = MakeBackup({ databasePath, SourceAccess::ReadWrite }, BackupFolder(databasePath),
            now, MissingFolder::Create, nullptr, RegisterMark::Leave, progress);
        if (previous.made()) {
            outcome.previousDatabase = previous.path;
        } else if (previous.status == CopyOutcome::SourceDamaged) {
            QString error;
            if (!keepDamagedCopy(databasePath, now, &outcome.previousDatabase, &error))
                return refusal(
                    RestoreOutcome::Failed, QStringLiteral("baza de date curenta nu poate fi pastrata: %1").arg(error));
        } else {
            return refusal(RestoreOutcome::Failed,
                QStringLiteral("copia bazei de date curente nu poate fi facuta: %1").arg(previous.problem));
        }
    }

    // The new file is written beside the one it replaces, so that the rename
    // stays within one folder and one disk, and never replaces a link.
    const QString folder = QFileInfo(target).absolutePath();
    RemoveAbandonedPartials(folder);
    const QString partial = NewPartialPath(folder);
    const CopyOutcome copy = CopyDatabase(backupFile, partial, nullptr, progress);
    if (copy.status == CopyOutcome::Cancelled)
        return refusal(RestoreOutcome::Failed, QStringLiteral("restaurarea a fost intrerupta"));
    if (!copy.copied()) {
        const bool backupUnreadable
            = copy.status == CopyOutcome::SourceFailed || copy.status == CopyOutcome::SourceDamaged;
        const QString where = backupUnreadable ? backupFile : folder;
        return refusal(RestoreOutcome::Failed, QStringLiteral("%1: %2").arg(where, copy.problem));
    }
    const DatabaseCheck written = CheckDatabaseFile(partial, CheckDepth::Columns);
    if (!written.passed) {
        QFile::remove(partial);
        return refusal(RestoreOutcome::Failed,
            QStringLiteral("copia scrisa in %1 nu a trecut verificarea: %2").arg(folder, written.problem));
    }
    // The restored file keeps who may read and write the database.
    if (QFileInfo::exists(target))
        QFile::setPermissions(partial, QFileInfo(target).permissions());
    // What a killed writer of the old database left beside it would be
    // applied to the new one when it is next opened.
    for (const char* suffix : { "-journal", "-wal", "-shm" }) {
        QFile::remove(target + QLatin1String(suffix));
        QFile::remove(databasePath + QLatin1String(suffix));
    }
    QString error;
    if (!ReplaceFile(partial, target, &error)) {
        QFile::remove(partial);
        return refusal(RestoreOutcome::Failed, QStringLiteral("%1: %2").arg(target, error));
    }
    if (&lock == heldLock && !heldLock->lockReplacedDatabase())
        outcome.problem = QStringLiteral("baza de date restaurata nu a putut fi blocata");
    // The new database is in place now; a folder that will not flush is
    // worth a warning, not a report that nothing changed.
    if (!SyncFolder(folder, &error))
        outcome.problem = QStringLiteral("folderul %1 nu a putut fi scris pe disc: %2").arg(folder, error);
    return outcome;
}

} // namespace itm
