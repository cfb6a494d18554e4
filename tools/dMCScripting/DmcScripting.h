#pragma once

#include <QObject>
#include <QString>

namespace dmc {

// The component dMCScripting: the plugin's root object. Its clients create
// the component's objects by name with CreateObject ("dMCScripting.Converter",
// "dMCScripting.mp3Settings"; nullptr for any other name) and own them. The
// objects read and write their settings in RegistryFile, the registry file of
// the current user; the converter's server program MusicConverter is the one
// installed beside the plugin.
class DmcScripting : public QObject {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.kestrel.Automation/1.0" FILE "dMCScripting.json")
    Q_PROPERTY(QString RegistryFile MEMBER registryFile_)

public:
    Q_INVOKABLE QObject* CreateObject(const QString& progId);

private:
    QString registryFile_;
};

} // namespace dmc
