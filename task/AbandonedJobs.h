#pragma once

#include "engine/ConversionTask.h"
#include "platform/WorkerThread.h"

#include <memory>
#include <vector>

namespace tavora::task {

// Threads are never killed. A job whose workers outlived their wait is kept
// here, with those workers, until every one of them has ended, because the
// workers still use the job (and through it the rings and the output file).
void KeepUntilFinished(std::shared_ptr<engine::CConversionTask> job,
                       std::vector<std::shared_ptr<platform::WorkerThread>> workers);

// Frees the jobs whose workers have ended; true when some worker still runs.
bool AbandonedWorkersRunning();

} // namespace tavora::task
