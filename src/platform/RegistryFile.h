#pragma once

#include <QString>
#include <utility>

namespace ks3 {

// A registry kept in one INI file: its sections are full key paths with their
// root ("HKEY_LOCAL_MACHINE\Software\..."), its keys are value names, numbers
// are stored in decimal. Where the program keeps its own is
// common/ProgramRegistry.h.
class RegistryFile {
public:
    explicit RegistryFile(QString path) : path_(std::move(path)) {}
    const QString& path() const { return path_; }

    QString read(const QString& keyPath, const QString& valueName,
                 const QString& defaultValue = QString()) const;
    bool write(const QString& keyPath, const QString& valueName, const QString& value) const;

private:
    QString path_;
};

} // namespace ks3
