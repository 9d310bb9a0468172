#pragma once

#include "platform/Job.h"

namespace itm {

// Jobs shown in a progress box of the program's style: the title as the box's
// text with the step and "N din M" under it, "Renunta" (Escape too) to stop,
// a wait cursor over the window. The box appears once the job has run for
// half a second, so quick work shows nothing.
class QtJobs : public Jobs
{
public:
    JobOutcome run(QWidget* parent, const QString& title, JobThread where, const JobWork& work) override;
};

} // namespace itm
