#include "DmcScripting.h"

#include "DmcConverter.h"
#include "DmcMp3Settings.h"

#include <QFileInfo>
#include <dlfcn.h>

namespace dmc {

namespace {
// The folder the plugin was loaded from, with a trailing "/".
QString pluginFolder() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&pluginFolder), &info) == 0 || !info.dli_fname)
        return QString();
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath() + QLatin1Char('/');
}
} // namespace

QObject* DmcScripting::CreateObject(const QString& progId) {
    if (progId.compare(QLatin1String("dMCScripting.Converter"), Qt::CaseInsensitive) == 0)
        return new DmcConverter(registryFile_, pluginFolder() + QStringLiteral("MusicConverter"));
    if (progId.compare(QLatin1String("dMCScripting.mp3Settings"), Qt::CaseInsensitive) == 0)
        return new DmcMp3Settings(registryFile_);
    return nullptr;
}

} // namespace dmc
