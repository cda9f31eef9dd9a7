#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavora::platform {

// The user's profile: small values of window and list layout, kept with
// QSettings' native format under "Brenvik Corporation"/"Tavora", in the group
// "<instance name>/<section>". An empty entry name stands for the section's
// default value.
int ProfileGetInt(const std::string& section, const std::string& entry, int defaultValue);
bool ProfileWriteInt(const std::string& section, const std::string& entry, int value);
// False, leaving data empty, when the entry is missing.
bool ProfileGetBinary(const std::string& section, const std::string& entry,
                      std::vector<uint8_t>& data);
bool ProfileWriteBinary(const std::string& section, const std::string& entry,
                        const std::vector<uint8_t>& data);
// Writes pending changes to disk; false when that failed.
bool ProfileFlush();

// The key that stands for a section's default value.
inline constexpr const char* kProfileDefaultEntry = "Default";

} // namespace tavora::platform
