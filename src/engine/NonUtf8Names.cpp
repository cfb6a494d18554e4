#include "engine/NonUtf8Names.h"

#include <QByteArrayView>
#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace ks3 {

namespace {
// Length of the UTF-8 sequence that the byte starts; 0 for a byte that starts none.
int sequenceLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

QString escapedByte(unsigned char b) {
    return QStringLiteral("\\x") + QString::number(b, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}
} // namespace

QString EscapedFileName(const QByteArray& name) {
    QString text;
    qsizetype i = 0;
    while (i < name.size()) {
        const auto b = static_cast<unsigned char>(name.at(i));
        if (b < 0x80) {
            if (b < 0x20 || b == 0x7F)
                text += escapedByte(b);
            else
                text += QLatin1Char(char(b));
            ++i;
            continue;
        }
        const int n = sequenceLength(b);
        if (n > 0 && i + n <= name.size() && QByteArrayView(name.constData() + i, n).isValidUtf8()) {
            text += QString::fromUtf8(name.constData() + i, n);
            i += n;
        } else {
            text += escapedByte(b);
            ++i;
        }
    }
    return text;
}

QList<NonUtf8Name> NonUtf8Names(const QString& folder) {
    QList<NonUtf8Name> names;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (dir == nullptr)
        return names;
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        // Looked at in place: most names are UTF-8 and need no copy.
        const QByteArrayView view(entry->d_name);
        if (view.startsWith('.') || view.isValidUtf8())
            continue;
        const QByteArray name = view.toByteArray();
        struct stat st {};
        if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        bool isFolder = S_ISDIR(st.st_mode);
        if (S_ISLNK(st.st_mode)) {
            if (::fstatat(fd, entry->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode))
                continue;
            isFolder = false;
        } else if (!isFolder && !S_ISREG(st.st_mode)) {
            continue;
        }
        names.append({EscapedFileName(name), isFolder});
    }
    ::closedir(dir);
    return names;
}

} // namespace ks3
