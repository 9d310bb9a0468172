#include "platform/Platform.h"

namespace itm {

Platform& platform()
{
    static Platform instance;
    return instance;
}

JobOutcome runJob(QWidget* parent, const QString& title, JobThread where, const JobWork& work)
{
    if (Jobs* jobs = platform().jobs)
        return jobs->run(parent, title, where, work);
    JobProgress progress;
    try {
        work(progress);
    } catch (const JobCancelled&) {
        return JobOutcome::Cancelled;
    }
    return JobOutcome::Finished;
}

} // namespace itm
