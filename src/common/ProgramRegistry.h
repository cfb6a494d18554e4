#pragma once

#include <QString>

namespace ks3 {

// The program's registry (platform/RegistryFile.h): DossierProgramme +
// "Settings/Registry.ini".
QString registryFile();
QString LireRegistre(const QString& keyPath, const QString& valueName,
                     const QString& defaultValue = QString());
bool EcrireRegistre(const QString& keyPath, const QString& valueName, const QString& value);

} // namespace ks3
