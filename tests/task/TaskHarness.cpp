#include "tests/task/TaskHarness.h"

#include "engine/EngineGlobals.h"
#include "engine/Progress.h"
#include "filelist/FileEntryFiller.h"
#include "task/MemoryTableRows.h"
#include "task/TaskListBuilder.h"
#include "task/TaskMessages.h"
#include "task/TaskStarter.h"

#include <algorithm>

namespace tavora::testing {

using platform::Message;

TaskHarness::TaskHarness() : state(std::make_shared<engine::ConversionState>()) {
    g_settings() = EncoderSettings{};
    window = std::make_shared<platform::QueueMessageTarget>([this](Message& msg) {
        ids.push_back(msg.id);
        switch (msg.id) {
        case engine::WM_CONV_LOG:
            log.push_back(
                {msg.PayloadAs<engine::LogPayload>()->text, static_cast<int>(msg.lParam)});
            break;
        case engine::WM_CONV_PROGRESS:
            ++progressCount;
            break;
        case engine::WM_CONV_FINISHED:
            ++finishedCount;
            break;
        case task::WM_CONV_SET_TITLE:
            titles.push_back(msg.PayloadAs<task::TextPayload>()->text);
            break;
        case task::WM_CONV_SET_PATHS:
            destinations.push_back(msg.PayloadAs<task::JobPathsPayload>()->destination);
            break;
        default:
            break;
        }
        if (onMessage)
            onMessage(msg);
    });
    state->window = window;
}

TaskHarness::~TaskHarness() {
    window->Close();
}

size_t TaskHarness::Build(const std::vector<std::string>& files, const std::string& outputFolder) {
    filelist::FileTotals totals;
    for (const auto& file : files) {
        int icon = -1;
        filelist::AddFileEntry(table, totals, filelist::FoundFileFromPath(file), icon);
    }
    g_settings().outputFolder = outputFolder;
    return task::BuildTaskList(*state, task::MemoryTableRows(table), false, g_settings());
}

void TaskHarness::Run(task::TaskOptions options) {
    if (!task::StartTask(state, options))
        return;
    const auto thread = state->taskThread.load();
    while (!thread->Finished())
        window->WaitAndProcess(5);
    window->ProcessPending();
}

std::vector<std::string> TaskHarness::Texts() const {
    std::vector<std::string> texts;
    for (const auto& line : log)
        texts.push_back(line.text);
    return texts;
}

int TaskHarness::Count(const std::string& text) const {
    return static_cast<int>(
        std::count_if(log.begin(), log.end(), [&](const LogLine& l) { return l.text == text; }));
}

} // namespace tavora::testing
