#pragma once

#include <string>

namespace tavora::platform {

// The program's instance name: the executable's file name without folder and
// extension. It captions message boxes and names the profile group.
std::string InstanceName();
void SetInstanceName(std::string name);
// Derives the name from argv[0] (or /proc/self/exe when argv0 is empty).
std::string InstanceNameFromArgv0(const char* argv0);

} // namespace tavora::platform
