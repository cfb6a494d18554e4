#include "engine/CompareFichierEtDonnees.h"

#include "common/Clock.h"
#include "common/ErrorRoutine.h"
#include "engine/DossierCourant.h"

#include <QFile>

#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ks3 {

qint64& TailleDernierFichier() {
    static qint64 size = 0;
    return size;
}

namespace {
// The local time of a file date, with the offset from UTC in force at that
// date: a file keeps the same date text across daylight-saving changes and
// restarts, so no change of season makes every file look changed.
// (localtime_r reads the time-zone rules once, not at every call.)
QDateTime heureLocale(time_t secs) {
    struct tm local {};
    if (::localtime_r(&secs, &local) == nullptr)
        return QDateTime::fromSecsSinceEpoch(secs);
    return QDateTime::fromSecsSinceEpoch(secs, Qt::OffsetFromUTC, int(local.tm_gmtoff));
}
} // namespace

// Called for every file of every run: one stat, no file opened.
QDateTime DateFichier(const QString& path, bool accessTime) {
    Procedure p("Lib_Public", "DateFichier");
    QDateTime result;
    TailleDernierFichier() = 0;
    p.step(10, [&] {
        const QByteArray name = QFile::encodeName(path);
        // In the folder a run is going through, relative to it.
        const char* relative = name.constData();
        int dir = DossierCourant::descripteur(name, relative);
        if (dir < 0)
            dir = AT_FDCWD;
        struct stat st {};
        if (::fstatat(dir, relative, &st, 0) != 0 || !S_ISREG(st.st_mode))
            return;
        if (!DossierCourant::lisibleSansDemander(dir, st) && ::faccessat(dir, relative, R_OK, 0) != 0)
            return;
        // Nothing locks a file that another program is still writing: a file
        // modified moments ago counts as one that cannot be opened yet. The
        // margin holds on both sides, for a file written through a share by a
        // computer whose clock is a little ahead; a date far in the future is
        // no such sign.
        const qint64 modifiedMs = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
        const qint64 age = clock().msecsSinceEpoch() - modifiedMs;
        if (age > -kFichierEnCoursMs && age < kFichierEnCoursMs)
            return;
        result = heureLocale(accessTime ? st.st_atim.tv_sec : st.st_mtim.tv_sec);
        TailleDernierFichier() = qint64(st.st_size);
    });
    return result.isValid() ? result : clock().now();
}

} // namespace ks3
