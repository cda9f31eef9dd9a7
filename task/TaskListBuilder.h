#pragma once

#include "engine/ConversionState.h"
#include "settings/EncoderSettings.h"
#include "task/TaskRowSource.h"

#include <cstddef>

namespace tavora::task {

// Turns the usable rows (only the selected ones when selectedOnly is set) into
// jobs in state.tasks, with the target rate and channels resolved from the
// settings and the expected output sample count, and sets state.overallTotal
// to their sum. Creates the output folder when it is missing. Runs before the
// task thread exists. Returns the number of jobs added.
size_t BuildTaskList(engine::ConversionState& state, const TaskRowSource& rows, bool selectedOnly,
                     const EncoderSettings& settings = g_settings());

} // namespace tavora::task
