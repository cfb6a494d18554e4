// The converter on arbitrary bytes named as each source type (the first byte
// picks the type, the rest is the file). Whatever the bytes, the conversion
// ends: either a whole target and status 0, or no target, no temporary file
// left, a status that is not 0 and the reason in the error file.
#include "converter/ConverterError.h"
#include "converter/ConverterRun.h"
#include "settings/SourceTypes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/time.h>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

using namespace ks3;

namespace {

QTemporaryDir* g_dir = nullptr;
QStringList* g_extensions = nullptr;

void fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    av_log_set_level(AV_LOG_QUIET);
    g_dir = new QTemporaryDir(QDir::tempPath() + "/ks3-fuzz-decode-XXXXXX");
    g_extensions = new QStringList;
    for (const SourceType& t : sourceTypes())
        *g_extensions += t.extensions;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || g_extensions->isEmpty())
        return 0;
    const QString ext = g_extensions->at(data[0] % g_extensions->size());
    const std::string in = (g_dir->path() + "/in/source" + ext).toStdString();
    const std::string out = (g_dir->path() + "/out/target.wav").toStdString();
    const std::string err = (g_dir->path() + "/out/Err_Convert/target.Log").toStdString();
    QDir().mkpath(g_dir->path() + "/in");
    {
        QFile f(QString::fromStdString(in));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    }
    // An old file, not one still being written.
    struct timeval old[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimes(in.c_str(), old);

    const conv::ConverterRunResult r =
        conv::runConverter({"-infile=" + in, "-outfile=" + out, "-errorfile=" + err, "-convert_to=wave",
                            "-compression=PCM", "-bits=16", "-freq=44100"});

    const bool target = QFile::exists(QString::fromStdString(out));
    const QStringList left =
        QDir(g_dir->path() + "/out").entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden);
    if (!left.isEmpty())
        fail("a temporary output was left", left.first().toStdString());
    if (r.status == conv::ExitOk) {
        if (!target)
            fail("status 0 without a target", ext.toStdString());
    } else {
        if (target)
            fail("a target after a failure", r.errors);
        if (QFileInfo(QString::fromStdString(err)).size() == 0)
            fail("a failure without its reason in the error file", r.errors);
        if (r.status != conv::ExitFailed)
            fail("an unexpected status for a source that cannot be read", std::to_string(r.status));
    }
    QFile::remove(QString::fromStdString(out));
    QFile::remove(QString::fromStdString(err));
    QFile::remove(QString::fromStdString(in));
    return 0;
}
