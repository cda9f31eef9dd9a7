#pragma once

#include <string>

namespace tavora::platform {

// Private INI files with the classic profile-string semantics: sections and keys
// match without regard to ASCII case, values are verbatim UTF-8 (no escaping;
// surrounding blanks and one pair of enclosing quotes are dropped on reading),
// and everything the program does not write (other sections, keys, comments,
// blank lines) is kept in its order.

// The integer at the start of the value (optional sign, decimal digits; text
// that is not a number reads as 0). The default when the key or file is missing.
int ReadIniInt(const std::string& path, const std::string& section, const std::string& key,
               int defaultValue);

// The value, cut to maxChars characters; the default when the key or file is missing.
std::string ReadIniString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& defaultValue,
                          size_t maxChars = 1023);

// Sets one key, creating the file, the section or the key as needed. The file
// is replaced atomically (temporary file, then rename), so a crash never
// leaves half a file. Returns false when the file cannot be written; errno then
// tells why.
bool WriteIniString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value);

} // namespace tavora::platform
