#pragma once

#include "engine/ConversionState.h"
#include "platform/Message.h"

#include <cstdio>
#include <memory>
#include <string>

namespace tavora::cli {

// What the progress window would show, on a terminal: the log lines on
// stdout, numbered and time-stamped like the window's log, and (when stderr is
// a terminal) one live progress line. Runs on the main thread, which drains
// the task's message queue.
class ConsoleView {
public:
    ConsoleView(std::shared_ptr<engine::ConversionState> state, std::FILE* log, std::FILE* status,
                bool liveProgress);

    // The message handler of the console's message target.
    void Handle(platform::Message& msg);

    // A log line of the converter's own, numbered like the task's lines.
    void AddLogLine(const std::string& text, int level);
    // Prints text on the status stream, keeping the live line below it.
    void Note(const std::string& text);
    // Removes the live line (before exiting).
    void EndProgress();

    bool Finished() const { return finished_; }

private:
    void ShowProgress(float current, float overall);
    void ClearProgress();
    void RedrawProgress();

    std::shared_ptr<engine::ConversionState> state_;
    std::FILE* log_;
    std::FILE* status_;
    bool live_;
    bool finished_ = false;
    std::string fileName_;
    std::string progressLine_; // shown on status_, empty when none
};

} // namespace tavora::cli
