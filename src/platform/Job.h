#pragma once

#include <QMutex>
#include <QString>
#include <QtGlobal>
#include <atomic>
#include <functional>

class QWidget;

namespace itm {

// Thrown by JobProgress::checkCancelled() inside a job's work once the user
// has asked to stop; the runner catches it. The work undoes what it began
// (a transaction rolled back, an AtomicFile not committed) as the exception
// unwinds, so a cancelled job leaves everything as it was.
struct JobCancelled
{
};

// What a running job tells whoever shows it, and what it is asked. The work
// may run on any thread; the display reads a snapshot.
class JobProgress
{
public:
    using Listener = std::function<void()>;

    // What is being done now ("Se citesc declaratiile"), and how far along:
    // done of total ("N din M"); a total of 0 shows no count.
    void setStep(const QString& text);
    void setTotal(qint64 total);
    void setDone(qint64 done);
    void advance(qint64 by = 1);

    // Past this point the work cannot be undone (files are being renamed into
    // place): a cancel asked now is refused and the display says it is too late.
    void setCancellable(bool cancellable);
    bool isCancellable() const;

    // Whether the user asked to stop (and the work can still stop).
    bool isCancelled() const;
    void checkCancelled() const;
    void requestCancel();

    struct Snapshot
    {
        QString step;
        qint64 done = 0;
        qint64 total = 0;
        bool cancellable = true;
    };
    Snapshot snapshot() const;

    // "N din M", or "" without a total.
    static QString countText(qint64 done, qint64 total);

    // Called on the work's thread after each report; the window's runner uses
    // it to repaint when the work runs on the window's thread.
    void setListener(Listener listener);

private:
    void changed();

    mutable QMutex m_mutex;
    Snapshot m_state;
    std::atomic<bool> m_cancelRequested { false };
    std::atomic<bool> m_cancellable { true };
    Listener m_listener;
};

using JobWork = std::function<void(JobProgress&)>;

enum class JobOutcome
{
    Finished,
    Cancelled,
};

// Where a job's work runs: on a thread of its own (it touches no widget and no
// object that the window's thread uses meanwhile) or on the window's thread,
// which then repaints whenever the work reports progress.
enum class JobThread
{
    Background,
    Window,
};

// Runs long work as one job: a progress box with the title, the step and
// "N din M", a wait cursor, and "Renunta" (or Escape) to cancel. Returns when
// the work has ended: Finished, or Cancelled when it stopped through
// JobCancelled. Any other exception of the work reaches the caller, on the
// caller's thread, after the box has closed.
class Jobs
{
public:
    virtual ~Jobs() = default;
    virtual JobOutcome run(QWidget* parent, const QString& title, JobThread where, const JobWork& work) = 0;
};

// The same for a command line: progress on standard error, for a job that
// takes over a second and when standard error is a terminal; Ctrl+C asks the
// work to stop instead of killing the process halfway.
JobOutcome RunInTerminal(const QString& title, const JobWork& work);

} // namespace itm
