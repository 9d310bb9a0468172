#include "backup/DatabaseCopy.h"

#include "backup/FileSync.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace itm {

namespace {

// 256 pages of 4 KiB: a step holds the source's read lock for a few milliseconds.
constexpr int pagesPerStep = 256;
// How long a writer may keep the source locked before the copy gives up.
constexpr qint64 busyLimitMs = 60'000;
// A source changed this many times during one copy is being written without
// pause; the copy gives up rather than start over forever.
constexpr int restartLimit = 50;

class Handle
{
public:
    ~Handle() { sqlite3_close_v2(db); }
    sqlite3* db = nullptr;
};

QString messageOf(sqlite3* db, int rc)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
}

bool isDamage(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

CopyOutcome failed(CopyOutcome::Status status, const QString& problem)
{
    return { status, problem };
}

CopyOutcome copyPages(
    const CopySource& source, const QString& target, const std::atomic_bool* cancel, const CopyProgress& progress)
{
    if (!QFileInfo::exists(source.path))
        return failed(CopyOutcome::SourceFailed, QStringLiteral("fisierul %1 nu exista").arg(source.path));
    Handle own;
    sqlite3* from = source.connection;
    if (!from || !sqlite3_db_mutex(from)) {
        const int flags = source.access == SourceAccess::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
        const int rc = sqlite3_open_v2(source.path.toUtf8().constData(), &own.db, flags, nullptr);
        if (rc != SQLITE_OK)
            return failed(CopyOutcome::SourceFailed, messageOf(own.db, rc));
        sqlite3_busy_timeout(own.db, 100);
        from = own.db;
    }
    {
        // Reading the schema is what makes SQLite roll back a hot journal, or,
        // read-only, refuse to read what a killed writer left half-written.
        const int rc = sqlite3_exec(from, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK && sqlite3_extended_errcode(from) == SQLITE_READONLY_ROLLBACK)
            return failed(CopyOutcome::SourceFailed,
                QStringLiteral("a ramas scrisa pe jumatate de o scriere intrerupta (fisierul %1-journal de langa ea); "
                               "porniti programul, care o aduce la starea dinaintea scrierii, si reluati copierea")
                    .arg(QFileInfo(source.path).fileName()));
        if (rc != SQLITE_OK && source.access == SourceAccess::ReadWrite)
            return failed(isDamage(rc) ? CopyOutcome::SourceDamaged : CopyOutcome::SourceFailed, messageOf(from, rc));
    }

    Handle to;
    int rc = sqlite3_open_v2(target.toUtf8().constData(), &to.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK)
        return failed(CopyOutcome::TargetFailed, messageOf(to.db, rc));
    // A failed copy is thrown away whole, so it needs no journal; the finished
    // file is flushed once, at the end.
    sqlite3_exec(to.db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);

    sqlite3_backup* backup = sqlite3_backup_init(to.db, "main", from, "main");
    if (!backup)
        return failed(CopyOutcome::TargetFailed, messageOf(to.db, SQLITE_ERROR));

    QElapsedTimer busySince;
    int restarts = 0;
    int lastRemaining = -1;
    CopyOutcome outcome;
    for (;;) {
        if (cancel && cancel->load()) {
            outcome = failed(CopyOutcome::Cancelled, QString());
            break;
        }
        rc = sqlite3_backup_step(backup, pagesPerStep);
        if (rc == SQLITE_DONE)
            break;
        if (rc == SQLITE_OK) {
            busySince.invalidate();
            const int remaining = sqlite3_backup_remaining(backup);
            if (lastRemaining >= 0 && remaining > lastRemaining && ++restarts > restartLimit) {
                outcome = failed(CopyOutcome::SourceFailed,
                    QStringLiteral("baza de date s-a modificat fara pauza in timpul copierii"));
                break;
            }
            lastRemaining = remaining;
            if (progress && !progress(sqlite3_backup_pagecount(backup) - remaining, sqlite3_backup_pagecount(backup))) {
                outcome = failed(CopyOutcome::Cancelled, QString());
                break;
            }
            continue;
        }
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            if (!busySince.isValid())
                busySince.start();
            if (busySince.elapsed() < busyLimitMs) {
                sqlite3_sleep(20);
                continue;
            }
            outcome = failed(CopyOutcome::SourceFailed, QString::fromUtf8(sqlite3_errstr(rc)));
            break;
        }
        // Errors of reading the source (a damaged or foreign file) and of
        // writing the copy come back alike; the codes tell them apart.
        outcome = failed(isDamage(rc) ? CopyOutcome::SourceDamaged : CopyOutcome::TargetFailed,
            QString::fromUtf8(sqlite3_errstr(rc)));
        break;
    }
    // A write of the program's that went into the copy meanwhile (see
    // CopySource) and failed shows only here.
    rc = sqlite3_backup_finish(backup);
    if (!outcome.copied())
        return outcome;
    if (rc != SQLITE_OK)
        return failed(CopyOutcome::TargetFailed, QString::fromUtf8(sqlite3_errstr(rc)));
    // The copy of a database in WAL mode is one too, and every reader of it
    // would leave -wal and -shm files beside it: copies are plain files in
    // rollback-journal mode, whatever the source's mode.
    rc = sqlite3_exec(to.db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return failed(CopyOutcome::TargetFailed, messageOf(to.db, rc));
    rc = sqlite3_close(to.db);
    to.db = nullptr;
    if (rc != SQLITE_OK)
        return failed(CopyOutcome::TargetFailed, QString::fromUtf8(sqlite3_errstr(rc)));
    QString syncError;
    if (!SyncFile(target, &syncError))
        return failed(CopyOutcome::TargetFailed, syncError);
    return outcome;
}

} // namespace

CopyOutcome CopyDatabase(
    const CopySource& source, const QString& target, const std::atomic_bool* cancel, const CopyProgress& progress)
{
    const CopyOutcome outcome = copyPages(source, target, cancel, progress);
    if (!outcome.copied())
        QFile::remove(target);
    return outcome;
}

} // namespace itm
