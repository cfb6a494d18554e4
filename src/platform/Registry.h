#pragma once

#include <QString>

namespace ks3 {

// The program's registry: one INI file, DossierProgramme + "Settings/Registry.ini",
// whose sections are full key paths with their root
// ("HKEY_LOCAL_MACHINE\Software\...") and whose keys are value names.
QString registryFile();
QString LireRegistre(const QString& keyPath, const QString& valueName,
                     const QString& defaultValue = QString());
bool EcrireRegistre(const QString& keyPath, const QString& valueName, const QString& value);

} // namespace ks3
