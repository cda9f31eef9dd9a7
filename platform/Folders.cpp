#include "platform/Folders.h"

#include <QStandardPaths>

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace tavora::platform {

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "";
}

std::string AppDataFolder() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return xdg;
    return HomeFolder() + "/.config";
}

std::string MusicFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::MusicLocation).toStdString();
}

std::string DesktopFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation).toStdString();
}

} // namespace tavora::platform
