#include "platform/Profile.h"

#include "platform/Instance.h"

#include <QByteArray>
#include <QSettings>
#include <QString>

namespace tavora::platform {
namespace {

QString KeyFor(const std::string& section, const std::string& entry) {
    const std::string name = entry.empty() ? kProfileDefaultEntry : entry;
    return QString::fromStdString(InstanceName() + "/" + section + "/" + name);
}

QSettings Store() {
    return QSettings("Brenvik Corporation", "Tavora");
}

bool Synced(QSettings& s) {
    s.sync();
    return s.status() == QSettings::NoError;
}

} // namespace

int ProfileGetInt(const std::string& section, const std::string& entry, int defaultValue) {
    bool ok = false;
    int value = Store().value(KeyFor(section, entry)).toInt(&ok);
    return ok ? value : defaultValue;
}

bool ProfileWriteInt(const std::string& section, const std::string& entry, int value) {
    auto s = Store();
    s.setValue(KeyFor(section, entry), value);
    return Synced(s);
}

bool ProfileGetBinary(const std::string& section, const std::string& entry,
                      std::vector<uint8_t>& data) {
    data.clear();
    QVariant v = Store().value(KeyFor(section, entry));
    if (!v.isValid())
        return false;
    QByteArray bytes = v.toByteArray();
    data.assign(bytes.begin(), bytes.end());
    return true;
}

bool ProfileWriteBinary(const std::string& section, const std::string& entry,
                        const std::vector<uint8_t>& data) {
    auto s = Store();
    s.setValue(KeyFor(section, entry), QByteArray(reinterpret_cast<const char*>(data.data()),
                                                  static_cast<qsizetype>(data.size())));
    return Synced(s);
}

bool ProfileFlush() {
    auto s = Store();
    return Synced(s);
}

} // namespace tavora::platform
