#include "platform/Registry.h"

#include "common/ProgramValues.h"
#include "settings/IniFile.h"

namespace ks3 {

QString registryFile() {
    return programValues().dossierProgramme + QStringLiteral("Settings/Registry.ini");
}

QString LireRegistre(const QString& keyPath, const QString& valueName, const QString& defaultValue) {
    return LectureIni(registryFile(), keyPath, valueName, defaultValue);
}

bool EcrireRegistre(const QString& keyPath, const QString& valueName, const QString& value) {
    return EcritureIni(registryFile(), keyPath, valueName, value);
}

} // namespace ks3
