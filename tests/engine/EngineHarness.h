#pragma once

#include "engine/ConversionState.h"
#include "engine/ConversionTask.h"
#include "platform/MessageBox.h"
#include "platform/QueueMessageTarget.h"
#include "settings/EncoderSettings.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tavora::testing {

struct LogLine {
    std::string text;
    int level = 0;
};

// A source's properties as the file list probes them; zeros when it cannot be opened.
struct OggProbe {
    uint32_t rate = 0;
    uint32_t channels = 0;
    uint64_t frames = 0;
};
OggProbe ProbeOgg(const std::string& path);

// A job as the job-list builder makes it. A source that cannot be probed is
// taken as 44,100 Hz stereo, one second long.
engine::CConversionTask MakeJob(const std::string& source, const std::string& dest,
                                const EncoderSettings& settings = EncoderSettings());

// Engine globals with a conversion state whose window is a message queue,
// and a scripted responder for message boxes. Runs jobs the way the task does.
class EngineHarness {
public:
    EngineHarness();
    ~EngineHarness();

    struct Outcome {
        int result = -1;      // Run's result
        bool running = false; // running still set after the job
        bool effectsStarted = false;
        bool encoderStarted = false;
        bool workersEnded = true; // every started worker ended within its wait
        bool timedOut = false;    // the job did not end within the test's limit
    };

    // Runs a copy of job on a task thread of its own: resets the rings and the
    // file counters, calls Run, then waits for the effects thread and the
    // encoder thread (10 s each). Messages are handled on the calling thread
    // meanwhile; onPump runs after each pass. resetRings false leaves the rings
    // as they are (a job started while an earlier one still drains).
    Outcome Convert(const engine::CConversionTask& job, const std::function<void()>& onPump = {},
                    bool resetRings = true);

    // The texts of the LOG_ERROR lines received so far.
    std::vector<std::string> Errors() const;
    // Handles pending messages for up to ms.
    void Pump(uint32_t ms);

    std::shared_ptr<engine::ConversionState> state;
    std::shared_ptr<platform::QueueMessageTarget> window;
    std::vector<LogLine> log;
    std::vector<std::pair<float, float>> progress;
    platform::ScopedMessageResponder boxes;
    EncoderSettings savedSettings;
};

// Waits until no stage of the most recent job runs any more (at most ms).
bool WaitForIdleEngine(uint32_t ms = 20000);

} // namespace tavora::testing
