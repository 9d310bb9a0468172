#include "backup/AutomaticBackup.h"

#include "backup/BackupPolicy.h"
#include "backup/Backups.h"
#include "store/Connection.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QThread>

namespace itm {

AutomaticBackup::AutomaticBackup(const QString& databasePath, Connection* connection, QObject* parent)
    : QObject(parent)
    , m_databasePath(databasePath)
{
    if (connection)
        m_connection = connection->lendHandle([this] { stop(); });
}

AutomaticBackup::~AutomaticBackup()
{
    stop();
    delete m_thread;
}

void AutomaticBackup::stop()
{
    if (m_thread) {
        m_cancel = true;
        m_thread->wait();
    }
}

bool AutomaticBackup::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

void AutomaticBackup::start(const QDateTime& now)
{
    if (isRunning())
        return;
    delete m_thread;
    m_cancel = false;
    m_thread = QThread::create([this, now] { run(now); });
    m_thread->start();
}

void AutomaticBackup::run(const QDateTime& now)
{
    const QString folder = BackupFolder(m_databasePath);
    // What a killed copy or restore left behind goes at the next start,
    // whether a backup is due or not.
    RemoveAbandonedPartials(QFileInfo(m_databasePath).absolutePath());
    RemoveAbandonedPartials(folder);
    QList<BackupName> existing;
    const QString stem = BackupStem(m_databasePath);
    for (const BackupEntry& backup : ListBackups(folder, stem))
        existing.append(backup.name);
    QString path;
    if (IsBackupDue(existing, now)) {
        const BackupOutcome outcome
            = MakeBackup({ m_databasePath, SourceAccess::ReadOnly, m_connection ? m_connection->handle() : nullptr },
                folder, now, MissingFolder::Create, &m_cancel);
        if (outcome.status == CopyOutcome::Cancelled)
            return;
        if (!outcome.made()) {
            const QString problem = outcome.problem;
            QMetaObject::invokeMethod(
                this, [this, problem] { Q_EMIT failed(problem); }, Qt::QueuedConnection);
            return;
        }
        path = outcome.path;
        PruneBackups(folder, stem, now, path);
    }
    QMetaObject::invokeMethod(
        this, [this, path] { Q_EMIT finished(path); }, Qt::QueuedConnection);
}

} // namespace itm
