#include "common/ProgramRegistry.h"

#include "common/ProgramValues.h"
#include "platform/RegistryFile.h"

namespace ks3 {

QString registryFile() {
    return DossierDonnees() + QStringLiteral("Settings/Registry.ini");
}

QString LireRegistre(const QString& keyPath, const QString& valueName, const QString& defaultValue) {
    return RegistryFile(registryFile()).read(keyPath, valueName, defaultValue);
}

bool EcrireRegistre(const QString& keyPath, const QString& valueName, const QString& value) {
    return RegistryFile(registryFile()).write(keyPath, valueName, value);
}

} // namespace ks3
