#include "cli/ConvertCommand.h"

#include "cli/CommandLine.h"
#include "cli/ConsoleView.h"
#include "cli/Interrupt.h"
#include "engine/EngineGlobals.h"
#include "filelist/FileEntryFiller.h"
#include "filelist/MemoryFileTable.h"
#include "platform/Files.h"
#include "platform/Instance.h"
#include "platform/MessageBox.h"
#include "platform/QueueMessageTarget.h"
#include "settings/SettingsFile.h"
#include "task/MemoryTableRows.h"
#include "task/TaskListBuilder.h"
#include "task/TaskStarter.h"

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace tavora::cli {

namespace {

constexpr uint32_t kPumpMs = 100;

std::string AbsolutePath(const std::string& path) {
    std::error_code ec;
    auto absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

// The settings of this run: Config.ini when there is one, else the defaults;
// then the options. Config.ini is only read.
EncoderSettings RunSettings(const CliOptions& options) {
    EncoderSettings& settings = g_settings();
    settings.outputFolder = DefaultOutputFolder();
    if (platform::FileExists(SettingsFilePath()))
        LoadSettings(settings);
    ApplyOptions(options, settings);
    settings.ReplaceInvalidValues();
    return settings;
}

// Probes every file as the file list would; returns the number usable.
int ProbeFiles(const std::vector<std::string>& files, filelist::MemoryFileTable& table,
               ConsoleView& view) {
    filelist::FileTotals totals;
    int usable = 0;
    for (const std::string& file : files) {
        const std::string path = AbsolutePath(file);
        int iconCache = -1;
        const auto added =
            filelist::AddFileEntry(table, totals, filelist::FoundFileFromPath(path), iconCache);
        if (added.outcome.Usable())
            ++usable;
        else
            view.Note("Skipped " + path + ": " + filelist::UnusableReasonText(added.outcome) + ".");
    }
    return usable;
}

} // namespace

int RunConvertCommand(int argc, char** argv) {
    platform::SetInstanceName(platform::InstanceNameFromArgv0(argc > 0 ? argv[0] : nullptr));
    const std::string program = platform::InstanceName();
    // The engine's two message boxes (a missing encoder library) go to stderr.
    platform::SetMessageBoxPresenter(std::make_shared<platform::ConsoleMessagePresenter>());

    const ParseResult parsed = ParseCommandLine({argv + (argc > 0 ? 1 : 0), argv + argc});
    if (!parsed.ok) {
        std::fprintf(stderr, "%s: %s\n%s", program.c_str(), parsed.error.c_str(),
                     UsageText(program).c_str());
        return 2;
    }
    if (parsed.options.help) {
        std::fputs(UsageText(program).c_str(), stdout);
        return 0;
    }

    InstallInterruptHandler(); // until the task runs, an interrupt is only counted
    const EncoderSettings settings = RunSettings(parsed.options);
    auto state = std::make_shared<engine::ConversionState>();
    ConsoleView view(state, stdout, stderr, ::isatty(STDERR_FILENO) == 1);

    filelist::MemoryFileTable table;
    const int usable = ProbeFiles(parsed.options.files, table, view);
    if (InterruptCount() > 0)
        return 1;
    if (usable == 0) {
        view.Note(program + ": no usable file to convert.");
        return 1;
    }
    task::BuildTaskList(*state, task::MemoryTableRows(table), false, settings);

    auto window = std::make_shared<platform::QueueMessageTarget>(
        [&view](platform::Message& msg) { view.Handle(msg); });
    state->window = window;
    engine::CreateEngineRings();
    StopOnInterrupt(&state->running);

    // No window has to come up first, so the task starts at once.
    task::TaskOptions options;
    options.startDelayMs = 0;
    if (!task::StartTask(state, options)) {
        view.Note(program + ": cannot start the conversion thread.");
        return 1;
    }
    const auto taskThread = state->taskThread.load();
    bool cancelAsked = false;
    while (!taskThread->Finished()) {
        window->WaitAndProcess(kPumpMs);
        if (!cancelAsked && InterruptCount() > 0) {
            cancelAsked = true;
            state->Stop(); // also for an interrupt that came before the task ran
            view.Note("Stopping after the current file has been finished off "
                      "(press Ctrl+C again to quit at once).");
        }
    }
    StopOnInterrupt(nullptr);
    window->ProcessPending();
    view.EndProgress();
    const int status = view.Finished() ? 0 : 1;
    window->Close();

    std::fflush(stdout);
    std::fflush(stderr);
    // A worker that outlived its wait may still run; leave without tearing
    // down what it uses.
    if (task::JobWorkersRunning(*state))
        ::_exit(status);
    return status;
}

} // namespace tavora::cli
