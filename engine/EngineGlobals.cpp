#include "engine/EngineGlobals.h"

namespace tavora::engine {

CConversionTask* g_currentTask = nullptr;
std::shared_ptr<ConversionState> g_convProg;
std::shared_ptr<SampleRing> g_decodedRing;
std::shared_ptr<SampleRing> g_processedRing;

void CreateEngineRings() {
    g_decodedRing = std::make_shared<SampleRing>(kRingSamples);
    g_processedRing = std::make_shared<SampleRing>(kRingSamples);
}

void DeleteEngineRings() {
    g_decodedRing.reset();
    g_processedRing.reset();
}

} // namespace tavora::engine
