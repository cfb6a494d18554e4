#include "engine/NonUtf8Names.h"

#include "engine/FolderList.h"

#include <QByteArrayView>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    QList<QByteArray> names;
    ForEachFile(
        folder, false, true, [](const char*) { return true; }, &names);
    return NonUtf8Names(folder, names);
}

QList<NonUtf8Name> NonUtf8Names(const QString& folder, const QList<QByteArray>& names) {
    QList<NonUtf8Name> found;
    if (names.isEmpty())
        return found;
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return found;
    for (const QByteArray& name : names) {
        struct stat st {};
        if (::fstatat(fd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        bool isFolder = S_ISDIR(st.st_mode);
        if (S_ISLNK(st.st_mode)) {
            if (::fstatat(fd, name.constData(), &st, 0) != 0 || !S_ISREG(st.st_mode))
                continue;
            isFolder = false;
        } else if (!isFolder && !S_ISREG(st.st_mode)) {
            continue;
        }
        found.append({EscapedFileName(name), isFolder});
    }
    ::close(fd);
    return found;
}

} // namespace ks3
