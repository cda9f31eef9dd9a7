#include "cli/ConsoleView.h"

#include "engine/Progress.h"
#include "platform/Ticks.h"
#include "task/LogLineFormat.h"
#include "task/ProgressFigures.h"
#include "task/TaskMessages.h"
#include "task/TaskTexts.h"

#include <algorithm>
#include <ctime>
#include <sys/ioctl.h>
#include <unistd.h>

namespace tavora::cli {

using namespace tavora::task;

namespace {

size_t TerminalColumns(std::FILE* stream) {
    winsize size{};
    if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Cuts text to at most columns characters, counting UTF-8 sequences as one.
std::string FitColumns(const std::string& text, size_t columns) {
    size_t count = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue;
        if (++count > columns)
            return text.substr(0, i);
    }
    return text;
}

} // namespace

ConsoleView::ConsoleView(std::shared_ptr<engine::ConversionState> state, std::FILE* log,
                         std::FILE* status, bool liveProgress)
    : state_(std::move(state)), log_(log), status_(status), live_(liveProgress) {}

void ConsoleView::Handle(platform::Message& msg) {
    switch (msg.id) {
    case engine::WM_CONV_LOG:
        if (auto line = msg.TakePayload<engine::LogPayload>())
            AddLogLine(line->text, static_cast<int>(msg.lParam));
        break;
    case engine::WM_CONV_PROGRESS:
        if (auto progress = msg.TakePayload<engine::ProgressPayload>())
            if (state_->Running())
                ShowProgress(progress->current, progress->overall);
        break;
    case engine::WM_CONV_FINISHED:
        state_->Stop();
        finished_ = true;
        ShowProgress(100.0f, 100.0f);
        AddLogLine(kFinishedText, engine::LOG_INFO);
        break;
    case WM_CONV_SET_PATHS:
        if (auto paths = msg.TakePayload<JobPathsPayload>())
            fileName_ = BaseName(paths->source);
        break;
    default:
        break; // the log timer: a terminal has no column to fit
    }
}

void ConsoleView::AddLogLine(const std::string& text, int level) {
    (void)level; // both levels go to the one log, as in the window
    ClearProgress();
    const std::string number = FormatLogNumber(NextLogLineNumber());
    const std::string time = FormatLogTime(std::time(nullptr));
    std::fprintf(log_, "%s%s %s\n", number.c_str(), time.c_str(), text.c_str());
    std::fflush(log_);
    RedrawProgress();
}

void ConsoleView::Note(const std::string& text) {
    ClearProgress();
    std::fprintf(status_, "%s\n", text.c_str());
    std::fflush(status_);
    RedrawProgress();
}

void ConsoleView::ShowProgress(float current, float overall) {
    if (!live_)
        return;
    current = LimitPercent(current);
    overall = LimitPercent(overall);
    const uint32_t now = platform::TickCount();
    const double taskElapsed =
        static_cast<uint32_t>(now - state_->taskStartTick.load(std::memory_order_acquire)) / 1000.0;
    const double speed = taskElapsed > 0.1
                             ? state_->overallSeconds.load(std::memory_order_acquire) / taskElapsed
                             : 0.0;
    const std::string eta =
        overall > 0 ? FormatHMS(RemainingSeconds(overall, taskElapsed)) : std::string("--:--:--");
    const size_t jobs = state_->tasks.size();
    const size_t job = std::min<size_t>(static_cast<size_t>(state_->currentIndex.load()) + 1, jobs);
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, " %s | all %s |%s | %s | ETA %s",
                  FormatPercent(current).c_str(), FormatPercent(overall).c_str(),
                  FormatSpeed(speed).c_str(), FormatHMS(taskElapsed).c_str(), eta.c_str());
    const std::string figures = buffer;
    std::snprintf(buffer, sizeof buffer, "[%zu/%zu] ", job, jobs);
    const std::string head = buffer + fileName_;
    // The figures keep their place; the file name gives way.
    const size_t columns = TerminalColumns(status_) - 1;
    const size_t headColumns = columns > figures.size() ? columns - figures.size() : 0;
    progressLine_ = FitColumns(FitColumns(head, headColumns) + figures, columns);
    RedrawProgress();
}

void ConsoleView::ClearProgress() {
    if (live_ && !progressLine_.empty()) {
        std::fputs("\r\033[K", status_);
        std::fflush(status_);
    }
}

void ConsoleView::RedrawProgress() {
    if (live_ && !progressLine_.empty()) {
        std::fprintf(status_, "\r\033[K%s", progressLine_.c_str());
        std::fflush(status_);
    }
}

void ConsoleView::EndProgress() {
    ClearProgress();
    progressLine_.clear();
}

} // namespace tavora::cli
