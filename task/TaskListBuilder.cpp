#include "task/TaskListBuilder.h"

#include "platform/Files.h"
#include "task/DirectoryTree.h"

namespace tavora::task {

using engine::CConversionTask;

namespace {

// The output folder as a prefix for file names. A folder typed without its
// trailing "/" still means that folder, not a name prefix in its parent.
std::string FolderPrefix(const std::string& folder) {
    if (folder.empty() || folder.back() == '/')
        return folder;
    return folder + "/";
}

// The name up to and including its last "."; a name without one keeps all of
// it, so "noext" becomes "noext.mp3" rather than "mp3".
std::string Stem(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name + "." : name.substr(0, dot + 1);
}

} // namespace

size_t BuildTaskList(engine::ConversionState& state, const TaskRowSource& rows, bool selectedOnly,
                     const EncoderSettings& settings) {
    state.overallTotal.store(0, std::memory_order_release);
    if (!settings.outputFolder.empty() && !platform::FolderExists(settings.outputFolder))
        CreateDirectoryTree(settings.outputFolder); // a failure shows when the job starts

    const std::string outputPrefix = FolderPrefix(settings.outputFolder);
    const std::string extension = OutputExtension(settings.outputFormat);
    uint64_t overallTotal = 0;
    size_t added = 0;
    for (int row = 0; row < rows.RowCount(); ++row) {
        if (selectedOnly && !rows.Selected(row))
            continue;
        const filelist::FileEntry* entry = rows.Entry(row);
        if (!entry || !entry->Usable())
            continue;

        CConversionTask job;
        const std::string name = rows.NameCell(row);
        job.sourcePath = FolderPrefix(rows.PathCell(row)) + name;
        job.destPath = outputPrefix + Stem(name) + extension;
        job.sourceType = entry->type;
        job.sourceRate = entry->sampleRate;
        job.sourceChannels = entry->channels;
        job.targetType = settings.outputFormat;
        if (job.targetType == AUDIO_MP3) {
            job.targetChannels = settings.ResolveOutputChannels(job.sourceChannels);
            job.targetRate = settings.ResolveOutputRate(job.sourceRate);
        }
        const uint32_t targetPerSecond = job.targetRate * job.targetChannels;
        job.sampleRatio = static_cast<double>(targetPerSecond) /
                          (static_cast<double>(job.sourceRate) * job.sourceChannels);
        job.needsEffects = 1;
        job.totalSamples =
            static_cast<uint64_t>(job.sampleRatio * static_cast<double>(entry->totalSamples));
        if (job.targetChannels != 0)
            job.totalSamples -= job.totalSamples % job.targetChannels;

        overallTotal += job.totalSamples;
        state.tasks.push_back(job);
        ++added;
    }
    state.overallTotal.store(overallTotal, std::memory_order_release);
    return added;
}

} // namespace tavora::task
