#include "converter/ConverterProcess.h"

#include "converter/ConverterError.h"
#include "converter/ConverterRun.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

namespace ks3::conv {

namespace {

// The temporary output, removed when the converter is stopped by a signal.
char g_partial[4096] = {};

void onSignal(int sig) {
    if (g_partial[0])
        ::unlink(g_partial);
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

void rememberPartial(const std::string& path) {
    if (path.empty()) {
        g_partial[0] = '\0';
        return;
    }
    if (path.size() < sizeof g_partial)
        std::strcpy(g_partial, path.c_str());
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        std::signal(sig, onSignal);
}

std::string usage(const char* program) {
    const std::string indent(std::strlen("Usage: ") + std::strlen(program) + 1, ' ');
    return std::string("Usage: ") + program +
           " -infile=\"source\" -outfile=\"target\" [-errorfile=\"log\"]\n" + indent +
           "[-dspeffect1=\"...\" ...] -convert_to=\"type\" [settings]\n" +
           "Types: \"Aiff\", \"mp2\", \"mp3 (Lame)\", \"Ogg Vorbis\", \"wave\", \"Wave64\",\n"
           "       \"Windows Media Audio 10\", \"FLAC\". See README.md.\n";
}

} // namespace

int converterProcessMain(const char* program, int argc, char** argv) {
    av_log_set_level(AV_LOG_ERROR);
    // A target past the file-size limit (ulimit -f) is a write error like a
    // full disk: the conversion fails, the temporary output is removed and the
    // reason written, instead of the process dying with its partial file.
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || (args.size() == 1 && (args[0] == "--help" || args[0] == "-h"))) {
        std::fputs(usage(program).c_str(), args.empty() ? stderr : stdout);
        return args.empty() ? ExitBadArguments : ExitOk;
    }
    const ConverterRunResult r = runConverter(args, rememberPartial);
    std::fputs(r.output.c_str(), stdout);
    std::fputs(r.errors.c_str(), stderr);
    if (r.status == ExitBadArguments)
        std::fputs(usage(program).c_str(), stderr);
    return r.status;
}

} // namespace ks3::conv
