#pragma once

namespace tavora::task {

// Log texts of the task loop, shared with the progress window and the tests.
inline constexpr const char* kStartJobText = "Start a new converting task.";
inline constexpr const char* kSourceFormat = "Source:  %s.";
inline constexpr const char* kDestinationFormat = "Destination: %s.";
inline constexpr const char* kJobTimeFormat = "Time elapsed %.2f secs, speed %.2fx.";
inline constexpr const char* kStatusOkText = "Converting status: OK.";
inline constexpr const char* kStatusErrorText = "Converting status: ERROR.";
inline constexpr const char* kTotalTimeFormat =
    "Total time elapsed %.2f secs, overall speed %.2fx.";
inline constexpr const char* kFolderErrorFormat = "Fail to create folder %s !";
inline constexpr const char* kTitleFormat = "Converting %d/%d";
// Added by the window itself when WM_CONV_FINISHED arrives.
inline constexpr const char* kFinishedText = "Finished converting, all done";
inline constexpr int kSeparatorLength = 99;

} // namespace tavora::task
