#include "engine/CompareFichierEtDonnees.h"

#include "common/Clock.h"
#include "common/ErrorRoutine.h"

#include <QFileInfo>

namespace ks3 {

qint32& TailleDernierFichier() {
    static qint32 size = 0;
    return size;
}

QDateTime DateFichier(const QString& path, bool accessTime) {
    Procedure p("Lib_Public", "DateFichier");
    const QDateTime now = clock().now();
    QDateTime result = now;
    TailleDernierFichier() = 0;
    p.step(10, [&] {
        const QFileInfo info(path);
        if (!info.isFile() || !info.isReadable())
            return;
        const QDateTime modified = info.lastModified();
        // Nothing locks a file that another program is still writing: a file
        // modified moments ago counts as one that cannot be opened yet. The
        // margin holds on both sides, for a file written through a share by a
        // computer whose clock is a little ahead; a date far in the future is
        // no such sign.
        const qint64 age = modified.msecsTo(now);
        if (age > -kFichierEnCoursMs && age < kFichierEnCoursMs)
            return;
        QDateTime t = accessTime ? info.lastRead() : modified;
        t = t.toLocalTime();
        t.setTime(QTime(t.time().hour(), t.time().minute(), t.time().second()));
        result = t;
        TailleDernierFichier() = static_cast<qint32>(static_cast<quint32>(info.size() & 0xFFFFFFFF));
    });
    return result;
}

} // namespace ks3
