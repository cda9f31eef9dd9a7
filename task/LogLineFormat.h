#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace tavora::task {

// The process-wide log line count: 1 for the first line of the program's life,
// never reset (not by clearing a log, not by a new task).
uint32_t NextLogLineNumber();

// "%03d " : three digits and a trailing blank (more digits from 1000 on).
std::string FormatLogNumber(uint32_t number);

// "%02d:%02d:%02d" of the local time; each part that cannot be had reads -1.
std::string FormatLogTime(std::time_t when);
std::string FormatLogTime(const std::tm* local);

} // namespace tavora::task
