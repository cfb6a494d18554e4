#include "platform/RegistryFile.h"

#include "platform/IniFile.h"

namespace ks3 {

QString RegistryFile::read(const QString& keyPath, const QString& valueName,
                           const QString& defaultValue) const {
    return LectureIni(path_, keyPath, valueName, defaultValue);
}

bool RegistryFile::write(const QString& keyPath, const QString& valueName, const QString& value) const {
    return EcritureIni(path_, keyPath, valueName, value);
}

} // namespace ks3
