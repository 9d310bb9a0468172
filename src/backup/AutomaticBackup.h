#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <atomic>

class QThread;
struct sqlite3;

namespace itm {

// The daily backup of the program's database, made on a worker thread a few
// pages at a time, so that the window stays usable however large the register
// is. When no backup in the folder beside the database is less
// than 24 hours old, it copies the database there, checks the copy and only
// then prunes the old ones.
class AutomaticBackup : public QObject
{
    Q_OBJECT
public:
    // connection: the program's own connection to the database (see
    // CopySource), or null for a connection of the backup's own.
    explicit AutomaticBackup(const QString& databasePath, sqlite3* connection = nullptr, QObject* parent = nullptr);
    // Stops a copy under way (its partial file is removed) and waits for it.
    ~AutomaticBackup() override;

    // Starts the check and, when one is due at now, the backup. Does nothing
    // while one is already running.
    void start(const QDateTime& now);
    bool isRunning() const;

Q_SIGNALS:
    // A backup was made (path) or none was due (empty path).
    void finished(const QString& path);
    // The backup could not be made; problem says why.
    void failed(const QString& problem);

private:
    void run(const QDateTime& now);

    QString m_databasePath;
    sqlite3* m_connection;
    QThread* m_thread = nullptr;
    std::atomic_bool m_cancel { false };
};

} // namespace itm
