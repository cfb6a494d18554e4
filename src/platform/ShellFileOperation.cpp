#include "platform/ShellFileOperation.h"

#include "platform/FileOperationCodes.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ks3 {

namespace {

QByteArray nativeName(const QString& path) {
    return QFile::encodeName(path);
}

bool isFolder(const QByteArray& path) {
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Closes a descriptor when it goes out of scope.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
    int release() {
        const int f = fd;
        fd = -1;
        return f;
    }
};

// Moves every byte of in to out; 0 or an errno. The kernel copies when it can
// (copy_file_range, then sendfile); large buffers otherwise.
int copyData(int in, int out) {
    // In slices whose writing to disk starts at once, so that the final flush
    // waits for the last slice only.
    constexpr size_t kSlice = 8 << 20;
    off_t written = 0;
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, kSlice, 0);
        if (n > 0) {
            ::sync_file_range(out, written, n, SYNC_FILE_RANGE_WRITE);
            written += n;
            continue;
        }
        if (n == 0)
            return 0;
        if (errno == EINTR)
            continue;
        if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP || errno == EPERM)
            break; // not offered here; the file positions say where to go on from
        return errno;
    }
    for (;;) {
        const ssize_t n = ::sendfile(out, in, nullptr, 1 << 30);
        if (n > 0)
            continue;
        if (n == 0)
            return 0;
        if (errno == EINTR)
            continue;
        if (errno == EINVAL || errno == ENOSYS)
            break;
        return errno;
    }
    std::vector<char> buffer(4 << 20);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n == 0)
            return 0;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        ssize_t done = 0;
        while (done < n) {
            const ssize_t w = ::write(out, buffer.data() + done, size_t(n - done));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            done += w;
        }
    }
}

QByteArray folderOf(const QByteArray& path) {
    const int slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

// Copies source into target through a temporary file of the target's folder;
// 0 or a failure code. target must not be a folder.
int copyWhole(const QString& source, const QString& target) {
    const QByteArray src = nativeName(source);
    Fd in{::open(src.constData(), O_RDONLY | O_CLOEXEC)};
    if (in.fd < 0)
        return FileOperationCodeFor(errno, source);
    struct stat st {};
    if (::fstat(in.fd, &st) != 0)
        return FileOperationCode(errno);
    if (!S_ISREG(st.st_mode))
        return FileOperationCode(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);

    const QByteArray dst = nativeName(target);
    const QByteArray folder = folderOf(dst);
    if (const int e = MakeFolderPath(QFile::decodeName(folder)); e != 0)
        return (e == ENOENT || e == ENOTDIR) ? fileop::FolderNotFound : FileOperationCode(e);

    // A hidden name beside the target: the final rename stays within one file system.
    const QByteArray base = dst.mid(dst.lastIndexOf('/') + 1);
    QByteArray temp;
    Fd out;
    for (int attempt = 0; attempt < 100 && out.fd < 0; ++attempt) {
        temp = folder + "/." + base.left(200) + ".ks3part-" +
               QByteArray::number(QRandomGenerator::global()->generate(), 36);
        out.fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
        if (out.fd < 0 && errno != EEXIST)
            return FileOperationCodeFor(errno, target);
    }
    if (out.fd < 0)
        return FileOperationCode(EEXIST);

    int e = copyData(in.fd, out.fd);
    if (e == 0) {
        const timespec times[2] = {st.st_atim, st.st_mtim};
        ::futimens(out.fd, times);
        // On disk before it takes the target's name, so a crash leaves the old
        // target or the whole new one.
        if (::fdatasync(out.fd) != 0 && errno != EINVAL && errno != EROFS)
            e = errno;
    }
    if (::close(out.release()) != 0 && e == 0)
        e = errno;
    if (e == 0 && ::rename(temp.constData(), dst.constData()) != 0)
        e = errno;
    if (e != 0) {
        ::unlink(temp.constData());
        return FileOperationCodeFor(e, target);
    }
    return fileop::Ok;
}

} // namespace

int MakeFolderPath(const QString& path) {
    QByteArray p = nativeName(path);
    while (p.size() > 1 && p.endsWith('/'))
        p.chop(1);
    if (p.isEmpty() || isFolder(p))
        return 0;
    // A network path ("//server/share/...") names no local folder: Linux would
    // read it from the root of this disk, where nothing may be created for it.
    if (p.startsWith("//"))
        return ENOENT;
    for (qsizetype i = 1; i <= p.size(); ++i) {
        if (i < p.size() && p.at(i) != '/')
            continue;
        const QByteArray level = p.left(i);
        if (level.endsWith('/'))
            continue; // doubled separator
        if (::mkdir(level.constData(), 0777) != 0) {
            const int e = errno;
            if (e == EEXIST) {
                if (isFolder(level))
                    continue;
                return ENOTDIR;
            }
            if (isFolder(level))
                continue;
            return e;
        }
    }
    return 0;
}

int ShellCopyFile(const QString& source, const QString& target) {
    QString to = target;
    if (to.endsWith(QLatin1Char('/')) || isFolder(nativeName(to))) {
        if (!to.endsWith(QLatin1Char('/')))
            to += QLatin1Char('/');
        to += QFileInfo(source).fileName();
    }
    return copyWhole(source, to);
}

int ShellDeleteFile(const QString& path) {
    const QByteArray p = nativeName(path);
    struct stat st {};
    if (::lstat(p.constData(), &st) != 0)
        return FileOperationCodeFor(errno, path);
    if (S_ISDIR(st.st_mode))
        return FileOperationCode(EISDIR);
    if (::unlink(p.constData()) != 0)
        return FileOperationCodeFor(errno, path);
    return fileop::Ok;
}

int ShellRenameFile(const QString& source, const QString& target) {
    const QByteArray src = nativeName(source);
    const QByteArray dst = nativeName(target);
    if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0)
        return fileop::Ok;
    int e = errno;
    if (e == EINVAL || e == ENOSYS) {
        // A file system without the no-replace flag: a link cannot replace either.
        if (::link(src.constData(), dst.constData()) == 0) {
            ::unlink(src.constData());
            return fileop::Ok;
        }
        e = errno;
        if (e != EEXIST && e != ENOENT && e != ENOTDIR) {
            struct stat st {};
            if (::lstat(dst.constData(), &st) == 0)
                return fileop::TargetExists;
            if (::rename(src.constData(), dst.constData()) == 0)
                return fileop::Ok;
            e = errno;
        }
    }
    if (e == EXDEV) {
        struct stat st {};
        if (::lstat(dst.constData(), &st) == 0)
            return fileop::TargetExists;
        const int code = copyWhole(source, target);
        if (code != fileop::Ok)
            return code;
        if (::unlink(src.constData()) != 0) {
            const int ue = errno;
            ::unlink(dst.constData()); // keep one file, not two
            return FileOperationCodeFor(ue, source);
        }
        return fileop::Ok;
    }
    if (e == ENOENT) {
        struct stat st {};
        if (::lstat(src.constData(), &st) != 0)
            return FileOperationCodeFor(ENOENT, source);
        return FileOperationCodeFor(ENOENT, target);
    }
    return FileOperationCode(e);
}

} // namespace ks3
