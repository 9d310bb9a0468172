#pragma once

#include "platform/Job.h"

#include <QStringList>

namespace itm::test {

// Runs every job at once on the calling thread and records its title. With
// cancelWhenDone(n), the user asks to stop as soon as the work reports n
// steps done (0: at its first report).
class FakeJobs : public Jobs
{
public:
    JobOutcome run(QWidget*, const QString& title, JobThread, const JobWork& work) override
    {
        titles.append(title);
        JobProgress progress;
        if (m_cancelAt >= 0) {
            progress.setListener([&progress, this] {
                if (progress.snapshot().done >= m_cancelAt)
                    progress.requestCancel();
            });
        }
        try {
            work(progress);
        } catch (const JobCancelled&) {
            lastTotal = progress.snapshot().total;
            return JobOutcome::Cancelled;
        }
        lastTotal = progress.snapshot().total;
        return JobOutcome::Finished;
    }

    void cancelWhenDone(qint64 done) { m_cancelAt = done; }

    QStringList titles;
    qint64 lastTotal = 0;

private:
    qint64 m_cancelAt = -1;
};

} // namespace itm::test
