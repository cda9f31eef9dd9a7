#include "task/AbandonedJobs.h"

#include <algorithm>
#include <iterator>
#include <mutex>

namespace tavora::task {

namespace {

struct Abandoned {
    std::shared_ptr<engine::CConversionTask> job;
    std::vector<std::shared_ptr<platform::WorkerThread>> workers;
    bool Ended() const {
        return std::all_of(workers.begin(), workers.end(),
                           [](const auto& w) { return !w || w->Finished(); });
    }
};

std::mutex g_mutex;
std::vector<Abandoned> g_abandoned;

} // namespace

void KeepUntilFinished(std::shared_ptr<engine::CConversionTask> job,
                       std::vector<std::shared_ptr<platform::WorkerThread>> workers) {
    std::lock_guard lock(g_mutex);
    g_abandoned.push_back({std::move(job), std::move(workers)});
}

bool AbandonedWorkersRunning() {
    std::vector<Abandoned> ended; // freed outside the lock
    std::lock_guard lock(g_mutex);
    auto split = std::partition(g_abandoned.begin(), g_abandoned.end(),
                                [](const Abandoned& a) { return !a.Ended(); });
    std::move(split, g_abandoned.end(), std::back_inserter(ended));
    g_abandoned.erase(split, g_abandoned.end());
    return !g_abandoned.empty();
}

} // namespace tavora::task
