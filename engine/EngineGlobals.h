#pragma once

#include "engine/ConversionState.h"
#include "engine/RingBuffer.h"

#include <memory>

namespace tavora::engine {

// Only one job runs at a time in the whole program, so the current job, the
// conversion state and the two rings are process-wide. They are set before
// the worker threads are resumed and only read while a job runs; each worker
// takes its own shared_ptr copies when it starts.
extern CConversionTask* g_currentTask;
extern std::shared_ptr<ConversionState> g_convProg;
extern std::shared_ptr<SampleRing> g_decodedRing;
extern std::shared_ptr<SampleRing> g_processedRing;

// Creates both rings with kRingSamples samples each (main window start-up).
void CreateEngineRings();
// Drops both rings (main window close); workers still holding them keep them alive.
void DeleteEngineRings();

} // namespace tavora::engine
