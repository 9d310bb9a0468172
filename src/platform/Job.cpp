#include "platform/Job.h"

#include <QElapsedTimer>
#include <QMutexLocker>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace itm {

void JobProgress::setStep(const QString& text)
{
    {
        QMutexLocker lock(&m_mutex);
        m_state.step = text;
    }
    changed();
}

void JobProgress::setTotal(qint64 total)
{
    {
        QMutexLocker lock(&m_mutex);
        m_state.total = total;
        m_state.done = 0;
    }
    changed();
}

void JobProgress::setDone(qint64 done)
{
    {
        QMutexLocker lock(&m_mutex);
        m_state.done = done;
    }
    changed();
}

void JobProgress::advance(qint64 by)
{
    {
        QMutexLocker lock(&m_mutex);
        m_state.done += by;
    }
    changed();
}

void JobProgress::setCancellable(bool cancellable)
{
    m_cancellable = cancellable;
    {
        QMutexLocker lock(&m_mutex);
        m_state.cancellable = cancellable;
    }
    changed();
}

bool JobProgress::isCancellable() const
{
    return m_cancellable;
}

bool JobProgress::isCancelled() const
{
    return m_cancellable && m_cancelRequested;
}

void JobProgress::checkCancelled() const
{
    if (isCancelled())
        throw JobCancelled {};
}

void JobProgress::requestCancel()
{
    m_cancelRequested = true;
}

JobProgress::Snapshot JobProgress::snapshot() const
{
    QMutexLocker lock(&m_mutex);
    return m_state;
}

QString JobProgress::countText(qint64 done, qint64 total)
{
    if (total <= 0)
        return {};
    return QStringLiteral("%1 din %2").arg(qMin(done, total)).arg(total);
}

void JobProgress::setListener(Listener listener)
{
    m_listener = std::move(listener);
}

void JobProgress::changed()
{
    if (m_listener)
        m_listener();
}

namespace {

std::atomic<JobProgress*> g_terminalJob { nullptr };

extern "C" void askTerminalJobToStop(int)
{
    if (JobProgress* job = g_terminalJob.load())
        job->requestCancel();
}

} // namespace

JobOutcome RunInTerminal(const QString& title, const JobWork& work)
{
    JobProgress progress;
    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    QElapsedTimer clock;
    clock.start();
    qint64 lastShown = -1;
    bool shown = false;
    if (terminal) {
        progress.setListener([&] {
            const qint64 now = clock.elapsed();
            if (now < 1000 || now - lastShown < 200)
                return;
            lastShown = now;
            shown = true;
            const JobProgress::Snapshot state = progress.snapshot();
            const QString count = JobProgress::countText(state.done, state.total);
            const QString text = state.step.isEmpty() ? title : state.step;
            std::fprintf(stderr, "\r\033[K%s %s", text.toLocal8Bit().constData(), count.toLocal8Bit().constData());
            std::fflush(stderr);
        });
    }
    g_terminalJob = &progress;
    struct sigaction previous
    {
    };
    struct sigaction stop
    {
    };
    stop.sa_handler = askTerminalJobToStop;
    sigemptyset(&stop.sa_mask);
    ::sigaction(SIGINT, &stop, &previous);
    const auto restore = [&] {
        ::sigaction(SIGINT, &previous, nullptr);
        g_terminalJob = nullptr;
        if (shown) {
            std::fprintf(stderr, "\r\033[K");
            std::fflush(stderr);
        }
    };
    try {
        work(progress);
    } catch (const JobCancelled&) {
        restore();
        return JobOutcome::Cancelled;
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return JobOutcome::Finished;
}

} // namespace itm
