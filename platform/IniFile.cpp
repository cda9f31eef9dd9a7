#include "platform/IniFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tavora::platform {
namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x += 32;
        if (y >= 'A' && y <= 'Z')
            y += 32;
        if (x != y)
            return false;
    }
    return true;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// The section name when line is a "[name]" header.
std::optional<std::string_view> SectionOf(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[')
        return std::nullopt;
    size_t close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

// The key of a "key=value" line (comments have none).
std::optional<std::string_view> KeyOf(std::string_view line) {
    std::string_view t = Trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '#' || t.front() == '[')
        return std::nullopt;
    size_t eq = t.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return Trim(t.substr(0, eq));
}

std::vector<std::string> ReadLines(const std::string& path, bool& exists) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    exists = static_cast<bool>(in);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::optional<std::string> FindValue(const std::string& path, const std::string& section,
                                     const std::string& key) {
    bool exists = false;
    auto lines = ReadLines(path, exists);
    bool inSection = false;
    for (const auto& line : lines) {
        if (auto s = SectionOf(line)) {
            inSection = EqualsNoCase(*s, section);
            continue;
        }
        if (!inSection)
            continue;
        auto k = KeyOf(line);
        if (k && EqualsNoCase(*k, key)) {
            std::string_view t = Trim(line);
            std::string_view v = Trim(t.substr(t.find('=') + 1));
            if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
                v = v.substr(1, v.size() - 2);
            return std::string(v);
        }
    }
    return std::nullopt;
}

bool WriteAtomically(const std::string& path, const std::string& content) {
    std::string tmpl = path + ".XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0)
        return false;
    struct stat st {};
    if (stat(path.c_str(), &st) == 0)
        fchmod(fd, st.st_mode & 07777);
    else
        fchmod(fd, 0644);
    const char* p = content.data();
    size_t left = content.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int err = errno;
            close(fd);
            unlink(name.data());
            errno = err;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (fsync(fd) != 0 || close(fd) != 0) {
        int err = errno;
        unlink(name.data());
        errno = err;
        return false;
    }
    if (rename(name.data(), path.c_str()) != 0) {
        int err = errno;
        unlink(name.data());
        errno = err;
        return false;
    }
    return true;
}

} // namespace

int ReadIniInt(const std::string& path, const std::string& section, const std::string& key,
               int defaultValue) {
    auto value = FindValue(path, section, key);
    if (!value || value->empty())
        return defaultValue;
    const char* s = value->c_str();
    bool negative = false;
    if (*s == '-' || *s == '+')
        negative = (*s++ == '-');
    long long n = 0;
    for (; *s >= '0' && *s <= '9'; ++s) {
        n = n * 10 + (*s - '0');
        if (n > 0x7fffffffLL + 1)
            n = 0x7fffffffLL + 1; // saturate rather than overflow
    }
    if (negative)
        n = -n;
    if (n > 0x7fffffffLL)
        n = 0x7fffffffLL;
    return static_cast<int>(n);
}

std::string ReadIniString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& defaultValue,
                          size_t maxChars) {
    std::string value = FindValue(path, section, key).value_or(defaultValue);
    if (value.size() <= maxChars)
        return value;
    // Cut at a character boundary, counting UTF-8 characters.
    size_t chars = 0, i = 0;
    for (; i < value.size(); ++i) {
        if ((static_cast<unsigned char>(value[i]) & 0xC0) != 0x80) {
            if (chars == maxChars)
                break;
            ++chars;
        }
    }
    return value.substr(0, i);
}

bool WriteIniString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value) {
    bool exists = false;
    auto lines = ReadLines(path, exists);
    if (!exists && access(path.c_str(), F_OK) == 0) {
        errno = EACCES; // there but unreadable: never replace what we could not read
        return false;
    }
    std::string entry = key + "=" + value;
    bool inSection = false, done = false;
    std::optional<size_t> lastInSection; // last non-blank line of the matching section
    for (size_t i = 0; i < lines.size() && !done; ++i) {
        if (auto s = SectionOf(lines[i])) {
            if (inSection)
                break;
            inSection = EqualsNoCase(*s, section);
            if (inSection)
                lastInSection = i;
            continue;
        }
        if (!inSection)
            continue;
        if (!Trim(lines[i]).empty())
            lastInSection = i;
        auto k = KeyOf(lines[i]);
        if (k && EqualsNoCase(*k, key)) {
            lines[i] = entry;
            done = true;
        }
    }
    if (!done) {
        if (lastInSection) {
            lines.insert(lines.begin() + static_cast<long>(*lastInSection) + 1, entry);
        } else {
            lines.push_back("[" + section + "]");
            lines.push_back(entry);
        }
    }
    std::ostringstream out;
    for (const auto& line : lines)
        out << line << '\n';
    return WriteAtomically(path, out.str());
}

} // namespace tavora::platform
