#include "tests/engine/EngineHarness.h"

#include "engine/EngineGlobals.h"
#include "engine/JobRunner.h"
#include "engine/PipelineContext.h"
#include "engine/Progress.h"
#include "platform/Ticks.h"

#include <vorbis/vorbisfile.h>

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace tavora::testing {

using namespace tavora::engine;

OggProbe ProbeOgg(const std::string& path) {
    OggProbe probe;
    OggVorbis_File vf;
    if (ov_fopen(path.c_str(), &vf) != 0)
        return probe;
    if (const vorbis_info* info = ov_info(&vf, 0)) {
        probe.rate = static_cast<uint32_t>(info->rate);
        probe.channels = static_cast<uint32_t>(info->channels);
        const ogg_int64_t total = ov_pcm_total(&vf, -1);
        probe.frames = total > 0 ? static_cast<uint64_t>(total) : 0;
    }
    ov_clear(&vf);
    return probe;
}

CConversionTask MakeJob(const std::string& source, const std::string& dest,
                        const EncoderSettings& settings) {
    OggProbe probe = ProbeOgg(source);
    if (probe.rate == 0)
        probe = {44100, 2, 44100};
    CConversionTask job;
    job.sourcePath = source;
    job.sourceType = AUDIO_OGG_VORBIS;
    job.sourceRate = probe.rate;
    job.sourceChannels = probe.channels;
    job.destPath = dest;
    job.targetType = AUDIO_MP3;
    job.targetChannels = settings.ResolveOutputChannels(probe.channels);
    job.targetRate = settings.ResolveOutputRate(probe.rate);
    job.sampleRatio = static_cast<double>(job.targetRate * job.targetChannels) /
                      (static_cast<double>(job.sourceRate) * job.sourceChannels);
    job.needsEffects = 1;
    job.totalSamples =
        static_cast<uint64_t>(job.sampleRatio * static_cast<double>(probe.frames * probe.channels));
    while (job.totalSamples % job.targetChannels)
        --job.totalSamples;
    return job;
}

EngineHarness::EngineHarness()
    : state(std::make_shared<ConversionState>()),
      window(std::make_shared<platform::QueueMessageTarget>()), savedSettings(g_settings()) {
    state->window = window;
    window->SetHandler([this](platform::Message& m) {
        if (m.id == WM_CONV_PROGRESS) {
            auto p = m.TakePayload<ProgressPayload>();
            progress.emplace_back(p->current, p->overall);
        } else if (m.id == WM_CONV_LOG) {
            auto p = m.TakePayload<LogPayload>();
            log.push_back({p->text, static_cast<int>(m.lParam)});
        }
    });
    g_convProg = state;
    CreateEngineRings();
}

EngineHarness::~EngineHarness() {
    state->Stop();
    EXPECT_TRUE(WaitForIdleEngine()) << "a stage of the last job never ended";
    window->Close();
    g_convProg.reset();
    DeleteEngineRings();
    g_settings() = savedSettings;
}

bool WaitForIdleEngine(uint32_t ms) {
    const uint32_t start = platform::TickCount();
    for (;;) {
        const auto job = CurrentJob();
        if (!job || !WorkersActive(*job))
            return true;
        if (platform::TickCount() - start > ms)
            return false;
        platform::SleepMs(1);
    }
}

void EngineHarness::Pump(uint32_t ms) {
    const uint32_t start = platform::TickCount();
    do
        window->WaitAndProcess(5);
    while (platform::TickCount() - start < ms);
}

EngineHarness::Outcome EngineHarness::Convert(const CConversionTask& job,
                                              const std::function<void()>& onPump,
                                              bool resetRings) {
    Outcome outcome;
    std::atomic<bool> done{false};
    state->running.store(1);
    state->overallTotal.store(job.totalSamples);
    auto ctx = state;
    auto decoded = g_decodedRing;
    auto processed = g_processedRing;
    std::thread task([&, ctx, decoded, processed] {
        ctx->ResetFileCounters();
        if (resetRings) {
            decoded->Reset();
            processed->Reset();
        }
        CConversionTask copy = job; // the task runs each job from a copy
        outcome.result = copy.Run();
        if (!outcome.result)
            ctx->Stop();
        if (auto effects = ctx->effectsThread.load(); copy.needsEffects && effects) {
            outcome.effectsStarted = true;
            outcome.workersEnded = effects->Wait(kWorkerWaitMs) && outcome.workersEnded;
        }
        if (auto encoder = ctx->encoderThread.load()) {
            outcome.encoderStarted = true;
            outcome.workersEnded = encoder->Wait(kWorkerWaitMs) && outcome.workersEnded;
        }
        outcome.running = ctx->Running();
        done.store(true);
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!done.load()) {
        window->WaitAndProcess(2);
        if (onPump)
            onPump();
        if (std::chrono::steady_clock::now() > deadline && !outcome.timedOut) {
            outcome.timedOut = true;
            state->Stop(); // let it end so the test can report instead of hanging
        }
    }
    task.join();
    window->ProcessPending();
    return outcome;
}

std::vector<std::string> EngineHarness::Errors() const {
    std::vector<std::string> errors;
    for (const auto& line : log)
        if (line.level == LOG_ERROR)
            errors.push_back(line.text);
    return errors;
}

} // namespace tavora::testing
