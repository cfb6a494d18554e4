#include "DmcRegistry.h"

#include "platform/RegistryFile.h"

namespace dmc {

namespace {
const QString kKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Illustrate\\dBpowerAmp");
} // namespace

int DmcRegistry::number(const char* name, int fallback) const {
    if (file_.isEmpty())
        return fallback;
    bool ok = false;
    const int v = text(name).trimmed().toInt(&ok);
    return ok ? v : fallback;
}

QString DmcRegistry::text(const char* name) const {
    if (file_.isEmpty())
        return QString();
    return ks3::RegistryFile(file_).read(kKey, QString::fromLatin1(name));
}

bool DmcRegistry::write(const char* name, int value) const {
    if (file_.isEmpty())
        return false;
    return ks3::RegistryFile(file_).write(kKey, QString::fromLatin1(name), QString::number(value));
}

} // namespace dmc
