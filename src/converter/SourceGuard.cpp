#include "converter/SourceGuard.h"

#include "converter/ConverterError.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace ks3::conv {

namespace {

bool allDigits(const char* s) {
    if (!*s)
        return false;
    for (; *s; ++s)
        if (*s < '0' || *s > '9')
            return false;
    return true;
}

// Access mode of an open file from its fdinfo "flags:" line (octal).
bool writableDescriptor(const std::string& fdinfo) {
    std::ifstream in(fdinfo);
    std::string key;
    while (in >> key) {
        if (key == "flags:") {
            std::string octal;
            in >> octal;
            const long flags = std::strtol(octal.c_str(), nullptr, 8);
            const long mode = flags & O_ACCMODE;
            return mode == O_WRONLY || mode == O_RDWR;
        }
        std::string rest;
        std::getline(in, rest);
    }
    return false;
}

} // namespace

bool openForWritingElsewhere(const std::string& path) {
    struct stat target {};
    if (::stat(path.c_str(), &target) != 0)
        return false;
    const std::string self = std::to_string(::getpid());
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return false;
    bool found = false;
    while (!found) {
        const dirent* p = ::readdir(proc);
        if (!p)
            break;
        if (!allDigits(p->d_name) || self == p->d_name)
            continue;
        const std::string base = std::string("/proc/") + p->d_name;
        DIR* fds = ::opendir((base + "/fd").c_str());
        if (!fds) // another user's process, or one that just ended
            continue;
        while (const dirent* f = ::readdir(fds)) {
            if (!allDigits(f->d_name))
                continue;
            // stat() follows the descriptor's link to the open file itself,
            // so a hard link or another spelling of the path is recognised.
            struct stat st {};
            if (::stat((base + "/fd/" + f->d_name).c_str(), &st) != 0)
                continue;
            if (st.st_dev != target.st_dev || st.st_ino != target.st_ino)
                continue;
            if (writableDescriptor(base + "/fdinfo/" + f->d_name)) {
                found = true;
                break;
            }
        }
        ::closedir(fds);
    }
    ::closedir(proc);
    return found;
}

void checkSource(const std::string& path, long long minAgeMs) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        throw ConverterError("Cannot read the source file '" + path + "': " + std::strerror(errno));
    if (!S_ISREG(st.st_mode))
        throw ConverterError("The source '" + path + "' is not a file");
    if (minAgeMs > 0) {
        using namespace std::chrono;
        const auto modified = seconds(st.st_mtim.tv_sec) + nanoseconds(st.st_mtim.tv_nsec);
        const auto now = system_clock::now().time_since_epoch();
        const long long ageMs = duration_cast<milliseconds>(now - modified).count();
        // A writer keeps the date at "now". A date well in the future is not a
        // write in progress (a copy from a computer whose clock is ahead): it
        // is left to the open-file test, or the file would never be converted.
        if (ageMs < minAgeMs && ageMs > -minAgeMs)
            throw ConverterError("The source file '" + path + "' was modified " +
                                     std::to_string(ageMs < 0 ? 0 : ageMs) +
                                     " ms ago: it may still be being written",
                                 ExitSourceBusy);
    }
    if (openForWritingElsewhere(path))
        throw ConverterError("The source file '" + path + "' is open for writing by another process",
                             ExitSourceBusy);
}

} // namespace ks3::conv
