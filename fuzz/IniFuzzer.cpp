// The INI reader and the settings loader on arbitrary bytes: the bytes are the
// settings file. Every read must give a value of at most the documented
// length, the loader must take what its controls can hold, and settings saved
// then loaded again must read the same.
#include "common/NomFichierSettings.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "platform/IniFile.h"
#include "settings/SettingId.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

using namespace ks3;

namespace {

QTemporaryDir* g_dir = nullptr;

void fail(const char* what, const QString& detail) {
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(detail));
    std::abort();
}

// Names taken from the input itself, so that sections and keys it defines
// are read too: the first "[...]" and the first "name=" of the text.
QStringList namesOf(const QByteArray& bytes) {
    QStringList out;
    const int open = bytes.indexOf('[');
    const int close = bytes.indexOf(']', open + 1);
    if (open >= 0 && close > open)
        out << QString::fromLatin1(bytes.mid(open + 1, close - open - 1));
    const int eq = bytes.indexOf('=');
    if (eq > 0) {
        const int start = bytes.lastIndexOf('\n', eq) + 1;
        out << QString::fromLatin1(bytes.mid(start, eq - start));
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    const QString base =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    g_dir = new QTemporaryDir(base + "/ks3-fuzz-ini-XXXXXX");
    // The loader creates the folders that the settings name: relative ones
    // land here.
    if (::chdir(QFile::encodeName(g_dir->path()).constData()) != 0)
        std::abort();
    programValues().dossierProgramme = g_dir->path() + "/";
    programValues().noInstance = 0;
    settings().setAdresseIPPoste(QStringLiteral("192.168.1.20"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    resetTraceLog();
    DossierSettings().clear();
    const QString file = NomFichierSettings(QString(), QStringLiteral(".Ini"));
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(bytes);
    }

    // The reader alone, on keys of the program and on names of the input.
    QStringList names = namesOf(bytes);
    names << QStringLiteral("Dossiers") << QStringLiteral("Source_0") << QString() << QStringLiteral(" ");
    for (const QString& section : names)
        for (const QString& key : names) {
            const QString v = LectureIni(file, section, key, QStringLiteral("<none>"));
            if (v.size() > kLectureIniMax && v != QStringLiteral("<none>"))
                fail("LectureIni returned more than its maximum", v);
            if (v != v.trimmed())
                fail("LectureIni returned an untrimmed value", v);
        }

    // The loader, then a save and a second load: the same settings. The loader
    // creates the folders the settings name: with no separator left, each is
    // one folder of the working folder, removed afterwards.
    QByteArray contained = bytes;
    contained.replace('/', '_').replace('\\', '_');
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(contained);
    }
    settings().setChargementSetup(false);
    settings().reinitialiser();
    InitSettings();
    QList<QVariant> first;
    for (int i = 0; i < kNombreSettingIds; ++i) {
        const auto id = static_cast<SettingId>(i);
        const int count = std::max(1, settingDef(id).count);
        for (int n = 0; n < count; ++n)
            first << settings().value(id, n);
    }
    if (SaveSettings()) {
        settings().reinitialiser();
        InitSettings();
        int at = 0;
        for (int i = 0; i < kNombreSettingIds; ++i) {
            const auto id = static_cast<SettingId>(i);
            const int count = std::max(1, settingDef(id).count);
            for (int n = 0; n < count; ++n, ++at)
                if (settings().value(id, n) != first.at(at))
                    fail("a setting changed through a save and a load",
                         settingName(id, n) + ": " + first.at(at).toString() + " then " +
                             settings().value(id, n).toString());
        }
    }
    QFile::remove(file);
    const QDir work(g_dir->path());
    for (const QString& made : work.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
        if (made != QLatin1String("Settings"))
            QDir(work.filePath(made)).removeRecursively();
    return 0;
}
