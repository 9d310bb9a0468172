#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

class QThread;

namespace itm {

class Connection;
class HandleLoan;

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
    // CopySource), or null for a connection of the backup's own. The backup
    // borrows its handle: closing the connection first stops a copy under
    // way, and a later backup reads through a connection of its own.
    explicit AutomaticBackup(const QString& databasePath, Connection* connection = nullptr, QObject* parent = nullptr);
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
    void stop();

    QString m_databasePath;
    std::unique_ptr<HandleLoan> m_connection;
    QThread* m_thread = nullptr;
    std::atomic_bool m_cancel { false };
};

} // namespace itm
