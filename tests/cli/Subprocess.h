#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tavora::testing {

struct ProcessResult {
    int exitCode = -1; // -1 when it did not exit normally
    int signal = 0;    // the signal that ended it, if any
    std::string out;
    std::string err;
};

struct ProcessSpec {
    std::string program;
    std::vector<std::string> args;
    std::map<std::string, std::string> env; // the whole environment
    std::string workingDir;                 // empty: the test's own
    bool terminal = false;                  // stdout and stderr on one pseudo-terminal
    // Called with everything read from stdout so far, after each read, and
    // the process id (to send it signals).
    std::function<void(const std::string& out, int pid)> onOutput;
    int timeoutMs = 60000; // killed after this
};

ProcessResult RunProcess(const ProcessSpec& spec);

} // namespace tavora::testing
