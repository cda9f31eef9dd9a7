#include "task/TaskStarter.h"

#include "engine/EngineGlobals.h"

namespace tavora::task {

using engine::ConversionState;
using platform::WorkerThread;

bool StartTask(const std::shared_ptr<ConversionState>& state, const TaskOptions& options) {
    engine::g_convProg = state;
    if (!engine::g_decodedRing || !engine::g_processedRing)
        engine::CreateEngineRings();
    state->paused.store(0, std::memory_order_release);
    state->ResetCounters();
    state->currentIndex.store(0, std::memory_order_release);
    state->running.store(1, std::memory_order_release);

    // The thread owns its reference to the state: it may outlive the window.
    auto thread = WorkerThread::CreateSuspended(
        [state, options] { return ConvertThreadProc(state, options); });
    if (!thread) {
        state->Stop();
        return false;
    }
    state->taskThread.store(thread, std::memory_order_release);
    thread->Resume();
    return true;
}

bool WaitForTaskThreads(ConversionState& state, uint32_t eachMs) {
    const auto waitFor = [eachMs](const engine::ThreadSlot& slot) {
        auto thread = slot.load(std::memory_order_acquire);
        return !thread || thread->Wait(eachMs);
    };
    // The effects thread starts the encoder, so the encoder slot is read after it.
    const bool effectsEnded = waitFor(state.effectsThread);
    const bool encoderEnded = waitFor(state.encoderThread);
    const bool taskEnded = waitFor(state.taskThread);
    return effectsEnded && encoderEnded && taskEnded;
}

bool JobWorkersRunning(const ConversionState& state) {
    for (const engine::ThreadSlot* slot : {&state.effectsThread, &state.encoderThread})
        if (auto thread = slot->load(std::memory_order_acquire); thread && !thread->Finished())
            return true;
    return false;
}

} // namespace tavora::task
