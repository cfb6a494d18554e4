#include "common/FileUtils.h"

#include "common/ErrorRoutine.h"
#include "common/TraceLog.h"
#include "platform/DiskSpace.h"
#include "platform/FileOperationCodes.h"
#include "platform/ShellFileOperation.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ks3 {

namespace {

const QString kSystemeFileDelete = QStringLiteral("Lib_Systeme:File_Delete");

void trace(const QString& text, bool forced) {
    TraceLog(-1, -1, -1, text, forced, true);
}

bool isBlank(const QString& s) {
    return s.trimmed().isEmpty();
}

bool isRegularFile(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool lookUp(const QString& path, bool nonEmpty) {
    if (!isRegularFile(path))
        return false;
    return !(nonEmpty && TailleDuFichier(path) == 0);
}

bool isNetworkPath(const QString& path) {
    return path.startsWith(QLatin1String("//"));
}

} // namespace

bool File_Exist(const QString& path, const QString& caller, bool nonEmpty) {
    Procedure p("Lib_Systeme", "File_Exist");
    bool result = false;
    p.step(10, [&] {
        if (isBlank(path))
            return;
        const QString first = path.trimmed();
        QString second = first;
        if (second.contains(QLatin1Char(' ')))
            while (second.contains(QLatin1String(" .")))
                second.replace(QLatin1String(" ."), QLatin1String("."));
        result = lookUp(second, nonEmpty);
        if (!result && second != first)
            result = lookUp(first, nonEmpty);
    });
    (void)caller;
    return result;
}

std::int64_t TailleDuFichier(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st {};
    const bool ok = ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode);
    ::close(fd);
    return ok ? std::int64_t(st.st_size) : -1;
}

LigneTraceFichier LigneErreurFileCopy(int code, const QString& source, const QString& target) {
    QString reason;
    switch (code) {
    case fileop::FolderNotFound:
        reason = QStringLiteral(" |Folder not found. Source: ");
        break;
    case fileop::FileInUse:
        reason = QStringLiteral(" |File in use. Source: ");
        break;
    case fileop::SourceMissing:
        reason = QStringLiteral(" |Source file missing. Source: ");
        break;
    case fileop::Cancelled:
        reason = QStringLiteral(" |Cancelled. Source: ");
        break;
    case fileop::OutOfMemory:
        reason = QStringLiteral(" |Out of memory. Source: ");
        break;
    default:
        reason = QStringLiteral(" |Source: ");
    }
    return {QStringLiteral("File_Copy: Err: ") + QString::number(code) + reason + source +
                QStringLiteral("  Target: ") + target,
            true};
}

LigneTraceFichier LigneErreurFileDelete(int code, const QString& path, const QString& caller) {
    QString prefix = QStringLiteral("File_Delete: Warning: ");
    QString reason;
    bool forced = false;
    switch (code) {
    case fileop::FileNotFound:
        reason = QStringLiteral(" |File not found: ");
        break;
    case fileop::FileInUse:
        reason = QStringLiteral(" |File in use: ");
        break;
    case fileop::SourceMissing:
        prefix = QStringLiteral("File_Delete: Err: ");
        reason = QStringLiteral(" |Source file missing: ");
        break;
    case fileop::Cancelled:
        reason = QStringLiteral(" |Cancelled: File: ");
        break;
    default:
        prefix = QStringLiteral("File_Delete: Err: ");
        reason = QStringLiteral(" |");
        forced = true;
    }
    return {prefix + QString::number(code) + reason + path + QStringLiteral(" |Sub: ") + caller +
                QLatin1Char('>') + kSystemeFileDelete,
            forced};
}

LigneTraceFichier LigneErreurFileRename(int code, const QString& source, const QString& target,
                                        const QString& caller) {
    QString reason;
    bool forced = true;
    switch (code) {
    case fileop::TargetExists:
        reason = QStringLiteral(" |Target file already exists: Source: ");
        break;
    case fileop::FileInUse:
        reason = QStringLiteral(" |File in use: Source: ");
        break;
    case fileop::SourceMissing:
        reason = QStringLiteral(" |Source file missing: ");
        forced = false;
        break;
    case fileop::Cancelled:
        reason = QStringLiteral(" |Cancelled: Source: ");
        forced = false;
        break;
    default:
        reason = QStringLiteral(" |Source: ");
    }
    return {QStringLiteral("File_Rename: Err: ") + QString::number(code) + reason + source +
                QStringLiteral(" |Target: ") + target + QStringLiteral(" |Sub: ") + caller,
            forced};
}

bool File_Copy(const QString& source, const QString& target, int flags, int window) {
    Procedure p("Lib_Systeme", "File_Copy");
    bool result = false;
    int code = fileop::Ok;
    p.step(10, [&] {
        if (isBlank(source)) {
            trace(QStringLiteral("Warning: File_Copy: File name null"), false);
            return;
        }
        if (!File_Exist(source, QStringLiteral("Lib_Systeme:File_Copy"), true)) {
            if (!source.contains(QLatin1String(".gpx"), Qt::CaseInsensitive))
                trace(QStringLiteral("Warning: File_Copy: File not found: ") + source, false);
            return;
        }
        code = ShellCopyFile(source, target);
        result = code == fileop::Ok;
    });
    if (result || code == fileop::Ok)
        return result;
    p.step(20, [&] {
        const LigneTraceFichier l = LigneErreurFileCopy(code, source, target);
        trace(l.texte, l.forcee);
    });
    p.step(30, [&] {
        if (isNetworkPath(target))
            return;
        const QString root = MountPointOf(target);
        trace(QStringLiteral("Free space for ") + root + QStringLiteral(": ") +
                  LibSize(EspaceLibreDisque(root)),
              false);
    });
    (void)flags;
    (void)window;
    return false;
}

bool File_Delete(const QString& path, const QString& caller, int flags, int window) {
    Procedure p("Lib_Systeme", "File_Delete");
    bool result = false;
    p.step(10, [&] {
        if (isBlank(path)) {
            trace(QStringLiteral("Warning: File_Delete: File name null |Sub: ") + caller + QLatin1Char('>') +
                      kSystemeFileDelete,
                  false);
            return;
        }
        const int code = ShellDeleteFile(path);
        if (code == fileop::Ok) {
            result = true;
            return;
        }
        const LigneTraceFichier l = LigneErreurFileDelete(code, path, caller);
        trace(l.texte, l.forcee);
    });
    (void)flags;
    (void)window;
    return result;
}

bool File_Rename(const QString& source, const QString& target, int flags, int window, const QString& caller) {
    Procedure p("Lib_Systeme", "File_Rename");
    bool result = false;
    p.step(10, [&] {
        if (isBlank(source)) {
            trace(QStringLiteral("Warning: File_Rename: File name null |Sub: ") + caller, false);
            return;
        }
        if (!File_Exist(source, QStringLiteral("Lib_Systeme:File_Rename"), true)) {
            if (!source.contains(QLatin1String(".gpx"), Qt::CaseInsensitive))
                trace(QStringLiteral("Warning: File_Rename: File not found: ") + source +
                          QStringLiteral(" |Sub: ") + caller,
                      false);
            return;
        }
        const int code = ShellRenameFile(source, target);
        if (code == fileop::Ok) {
            result = true;
            return;
        }
        const LigneTraceFichier l = LigneErreurFileRename(code, source, target, caller);
        trace(l.texte, l.forcee);
    });
    (void)flags;
    (void)window;
    return result;
}

int FileAttributes(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    int attributes = 0;
    if (!(st.st_mode & S_IWUSR))
        attributes |= kAttrReadOnly;
    if (QFileInfo(path).fileName().startsWith(QLatin1Char('.')))
        attributes |= kAttrHidden;
    if (S_ISDIR(st.st_mode))
        attributes |= kAttrFolder;
    else if (S_ISREG(st.st_mode))
        attributes |= kAttrArchive;
    else
        attributes |= kAttrDevice;
    return attributes;
}

void File_RemoveFlag(const QString& path, int flags) {
    Procedure p("Lib_Systeme", "File_RemoveFlag");
    p.step(10, [&] {
        if (isBlank(path))
            return;
        if (!File_Exist(path, QStringLiteral("Lib_Systeme:File_RemoveFlag"), true)) {
            trace(QStringLiteral("Warning: File_RemoveFlag: File not found: ") + path, false);
            return;
        }
        const int attributes = FileAttributes(path);
        int sum = 0;
        for (int bit = 64; bit >= 1; bit /= 2)
            if ((attributes & bit) && (flags & bit))
                sum += bit;
        if (sum == 0 || attributes == 0)
            return;
        // Only the read-only bit exists as such here: clearing it gives the owner
        // the write permission back.
        if (sum & kAttrReadOnly) {
            const QByteArray native = QFile::encodeName(path);
            struct stat st {};
            if (::stat(native.constData(), &st) != 0 ||
                ::chmod(native.constData(), (st.st_mode & 07777) | S_IWUSR) != 0)
                raiseError(75, QStringLiteral("Path/File access error: ") + path);
        }
    });
}

QString LibSize(double bytes) {
    static const char* const units[] = {" Octets", " Ko", " Mo", " Go", " To", " Po", " Eo", " Zo", " Yo"};
    double value = bytes;
    for (const char* unit : units) {
        if (value < 1024) {
            // "###,###,##0.00" with a space between thousands and a decimal comma.
            const bool negative = value < 0;
            const long long cents = std::llround(std::fabs(value) * 100.0);
            QString whole = QString::number(cents / 100);
            for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
                whole.insert(i, QLatin1Char(' '));
            return (negative && cents != 0 ? QStringLiteral("-") : QString()) + whole + QLatin1Char(',') +
                   QStringLiteral("%1").arg(cents % 100, 2, 10, QLatin1Char('0')) + QLatin1String(unit);
        }
        value /= 1024;
    }
    return QString();
}

double EspaceLibreDisque(const QString& root) {
    if (isBlank(root))
        return 0;
    return FreeDiskBytes(root);
}

} // namespace ks3
