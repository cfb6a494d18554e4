#include "converter/ConverterRun.h"

#include "converter/Conversion.h"
#include "converter/ConverterError.h"
#include "converter/ConverterOptions.h"
#include "converter/EffectFactory.h"
#include "converter/SourceGuard.h"
#include "converter/TargetFormat.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ks3::conv {

namespace {

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

} // namespace

ConverterRunResult runConverter(const std::vector<std::string>& args,
                                const std::function<void(const std::string&)>& temporaryFile) {
    ConverterRunResult result;
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
        if (temporaryFile)
            temporaryFile(partial);

        convert(options, target, partial, remarks);

        if (::rename(partial.c_str(), options.outfile.c_str()) != 0)
            throw ConverterError("Cannot give the output its name '" + options.outfile +
                                 "': " + std::strerror(errno));
        if (temporaryFile)
            temporaryFile(std::string());
        syncFolder(folder);

        struct stat st {};
        if (!errorFile.empty() && ::stat(errorFile.c_str(), &st) == 0 && st.st_size > 0)
            writeErrorFile(errorFile, "");
        for (const std::string& r : remarks)
            result.output += r + "\n";
        result.output +=
            "Converted '" + options.infile + "' to '" + options.outfile + "' (" + target.type + ")\n";
        result.status = ExitOk;
    } catch (const ConverterError& e) {
        if (!partial.empty())
            ::unlink(partial.c_str());
        if (temporaryFile)
            temporaryFile(std::string());
        std::string text = std::string("Error: ") + e.what() + "\n";
        for (const std::string& r : remarks)
            text += r + "\n";
        writeErrorFile(errorFile, text);
        result.errors = text;
        result.status = e.status();
    } catch (const std::exception& e) {
        if (!partial.empty())
            ::unlink(partial.c_str());
        if (temporaryFile)
            temporaryFile(std::string());
        const std::string text = std::string("Error: ") + e.what() + "\n";
        writeErrorFile(errorFile, text);
        result.errors = text;
        result.status = ExitFailed;
    }
    return result;
}

} // namespace ks3::conv
