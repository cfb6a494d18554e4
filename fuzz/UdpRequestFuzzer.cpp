// A datagram's road up to the file system: the bytes as received (Windows-1252),
// the tags of the request, the song-code check, and the file named after the
// song in a sound folder. A code the check accepts must name a file inside
// that folder, whatever the bytes.
#include "platform/Text1252.h"
#include "udp/CodeMorceauValide.h"
#include "udp/ExtraireBalise.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace ks3;

namespace {

QTemporaryDir* g_dir = nullptr;

void fail(const char* what, const QString& detail) {
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(detail));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    g_dir = new QTemporaryDir(QDir::tempPath() + "/ks3-fuzz-udp-XXXXXX");
    QDir().mkpath(g_dir->path() + "/Sons");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = fromCp1252(bytes);
    // Every byte is a character of the text, and goes back to the same byte.
    if (text.size() != bytes.size())
        fail("Windows-1252 decoding changed the length", text);
    if (toCp1252(text) != bytes)
        fail("Windows-1252 decoding does not go back to the same bytes", text);

    const QString action = ExtraireBalise(text, QStringLiteral("<Do:"));
    const QString song = ExtraireBalise(text, QStringLiteral("<Song:"));
    const QString sound = ExtraireBalise(text, QStringLiteral("<SoundFile:"));
    for (const QString& v : {action, song, sound})
        if (v.contains(QLatin1Char('>')) || !text.contains(v))
            fail("a tag value that is not a part of the text up to '>'", v);

    if (!CodeMorceauValide(song) || song.trimmed().isEmpty())
        return 0;
    const QString folder = g_dir->path() + "/Sons";
    const QString target = folder + "/" + song + ".s48";
    const QFileInfo info(target);
    if (info.absolutePath() != folder || info.fileName() != song + ".s48")
        fail("an accepted song code names a file outside its folder", song);
    QFile f(target);
    if (f.open(QIODevice::WriteOnly)) {
        f.close();
        const QStringList present = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
        if (present.size() != 1)
            fail("the file of an accepted song code is not in its folder", song);
        QFile::remove(folder + "/" + present.first());
    }
    const QStringList around = QDir(g_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    if (around != QStringList{QStringLiteral("Sons")})
        fail("an accepted song code wrote beside its folder", song);
    return 0;
}
