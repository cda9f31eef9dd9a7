#pragma once

#include "engine/ConversionState.h"
#include "filelist/MemoryFileTable.h"
#include "platform/MessageBox.h"
#include "platform/QueueMessageTarget.h"
#include "settings/EncoderSettings.h"
#include "task/TaskLoop.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tavora::testing {

// One conversion task on the real engine, its window a plain queue that the
// test thread drains; everything the window would be told is recorded.
class TaskHarness {
public:
    struct LogLine {
        std::string text;
        int level;
    };

    TaskHarness();
    ~TaskHarness();

    // Probes the files into the list and builds the jobs from all usable rows.
    size_t Build(const std::vector<std::string>& files, const std::string& outputFolder);
    // Starts the task and handles its messages until the task thread has ended.
    void Run(task::TaskOptions options = Fast());

    static task::TaskOptions Fast() {
        task::TaskOptions o;
        o.startDelayMs = 0;
        return o;
    }

    std::vector<std::string> Texts() const;
    int Count(const std::string& text) const;

    std::shared_ptr<platform::QueueMessageTarget> window;
    std::shared_ptr<engine::ConversionState> state;
    filelist::MemoryFileTable table;
    platform::ScopedMessageResponder boxes;

    std::vector<uint32_t> ids; // every message, in arrival order
    std::vector<LogLine> log;
    std::vector<std::string> titles;
    std::vector<std::string> destinations;
    int progressCount = 0;
    int finishedCount = 0;
    // Called for every message after it was recorded (e.g. to cancel).
    std::function<void(const platform::Message&)> onMessage;
};

} // namespace tavora::testing
