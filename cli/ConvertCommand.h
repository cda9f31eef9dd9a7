#pragma once

namespace tavora::cli {

// The whole of tavora-convert: parses the arguments, probes the files, runs
// the conversion task and returns the exit status (0 every usable file converted,
// 1 task stopped or nothing usable, 2 usage error).
int RunConvertCommand(int argc, char** argv);

} // namespace tavora::cli
