// CoreConverter: the command-line converter that KS3_Tools_Convert starts for
// each file. It reads any sound FFmpeg decodes, applies the requested effects
// and writes the requested type. The target appears only when it is complete
// (it is written under a temporary name in the target folder and renamed at
// the end); on failure the reason is written to the error file and the exit
// status is not 0.

#include "Conversion.h"
#include "ConverterError.h"
#include "ConverterOptions.h"
#include "EffectFactory.h"
#include "SourceGuard.h"
#include "TargetFormat.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

using namespace ks3::conv;

namespace {

// The temporary output, removed when the converter is stopped by a signal.
char g_partial[4096] = {};

void onSignal(int sig) {
    if (g_partial[0])
        ::unlink(g_partial);
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

void makeFolders(const std::string& folder) {
    std::string at;
    for (std::size_t i = 0; i <= folder.size(); ++i) {
        if (i == folder.size() || (folder[i] == '/' && i > 0)) {
            at = folder.substr(0, i);
            ::mkdir(at.c_str(), 0777);
        }
    }
}

// The error file holds the reason of a failure, in plain text. After a
// success an older report is emptied, so that it does not describe this file.
void writeErrorFile(const std::string& path, const std::string& text) {
    if (path.empty())
        return;
    makeFolders(folderOf(path));
    if (std::FILE* f = std::fopen(path.c_str(), "w")) {
        std::fputs(text.c_str(), f);
        std::fclose(f);
    }
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

const char* kUsage = "Usage: CoreConverter -infile=\"source\" -outfile=\"target\" [-errorfile=\"log\"]\n"
                     "                     [-dspeffect1=\"...\" ...] -convert_to=\"type\" [settings]\n"
                     "Types: \"Aiff\", \"mp2\", \"mp3 (Lame)\", \"Ogg Vorbis\", \"wave\", \"Wave64\",\n"
                     "       \"Windows Media Audio 10\", \"FLAC\". See README.md.\n";

} // namespace

int main(int argc, char** argv) {
    av_log_set_level(AV_LOG_ERROR);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || (args.size() == 1 && (args[0] == "--help" || args[0] == "-h"))) {
        std::fputs(kUsage, args.empty() ? stderr : stdout);
        return args.empty() ? ExitBadArguments : ExitOk;
    }

    std::string errorFile;
    std::string partial;
    std::vector<std::string> remarks;
    try {
        // The error file is known as soon as its option is read, even when
        // another option is wrong.
        for (const std::string& a : args)
            if (toLower(a.substr(0, 11)) == "-errorfile=") {
                std::string v = a.substr(11);
                if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
                    v = v.substr(1, v.size() - 2);
                errorFile = v;
            }
        const ConverterOptions options = parseArguments(args);
        errorFile = options.errorfile;
        const TargetFormat target = resolveTarget(options);
        validateEffects(options.effects);
        remarks.insert(remarks.end(), target.notes.begin(), target.notes.end());

        checkSource(options.infile, kMinimumSourceAgeMs);

        const std::string folder = folderOf(options.outfile);
        makeFolders(folder);
        // A short name of its own, whatever the target's length: any target name
        // that fits the file system can be written. The PID tells a later run
        // whether the converter that wrote it still runs.
        partial = folder + "/.CoreConverter." + std::to_string(::getpid()) + ".part";
        if (partial.size() < sizeof g_partial)
            std::strcpy(g_partial, partial.c_str());
        for (int sig : {SIGINT, SIGTERM, SIGHUP})
            std::signal(sig, onSignal);

        convert(options, target, partial, remarks);

        if (::rename(partial.c_str(), options.outfile.c_str()) != 0)
            throw ConverterError("Cannot give the output its name '" + options.outfile +
                                 "': " + std::strerror(errno));
        g_partial[0] = '\0';
        syncFolder(folder);

        struct stat st {};
        if (!errorFile.empty() && ::stat(errorFile.c_str(), &st) == 0 && st.st_size > 0)
            writeErrorFile(errorFile, "");
        for (const std::string& r : remarks)
            std::printf("%s\n", r.c_str());
        std::printf("Converted '%s' to '%s' (%s)\n", options.infile.c_str(), options.outfile.c_str(),
                    target.type.c_str());
        return ExitOk;
    } catch (const ConverterError& e) {
        if (!partial.empty())
            ::unlink(partial.c_str());
        g_partial[0] = '\0';
        std::string text = std::string("Error: ") + e.what() + "\n";
        for (const std::string& r : remarks)
            text += r + "\n";
        writeErrorFile(errorFile, text);
        std::fputs(text.c_str(), stderr);
        if (e.status() == ExitBadArguments)
            std::fputs(kUsage, stderr);
        return e.status();
    } catch (const std::exception& e) {
        if (!partial.empty())
            ::unlink(partial.c_str());
        const std::string text = std::string("Error: ") + e.what() + "\n";
        writeErrorFile(errorFile, text);
        std::fputs(text.c_str(), stderr);
        return ExitFailed;
    }
}
