#include "common/VersionApplication.h"

#include "common/BuildStamp.h"

namespace ks3 {

namespace {
QDateTime dateFromNumbers(int major, int minor, int revision) {
    if (major > 1999) {
        const QString md = QStringLiteral("%1").arg(minor, 4, 10, QLatin1Char('0'));
        const QString hm = QStringLiteral("%1").arg(revision, 4, 10, QLatin1Char('0'));
        const QDate d(major, md.left(2).toInt(), md.mid(2, 2).toInt());
        const QTime t(hm.left(2).toInt(), hm.mid(2, 2).toInt());
        if (d.isValid() && t.isValid())
            return QDateTime(d, t);
    }
    return QDateTime(QDate(2000, 1, 1), QTime(0, 0));
}
} // namespace

QDateTime DateApplication() {
    const BuildStamp stamp = buildStamp();
    return dateFromNumbers(stamp.year, stamp.monthDay, stamp.hourMinute);
}

QString VersionTexte(int major, int minor, int revision) {
    return dateFromNumbers(major, minor, revision).toString(QStringLiteral("yyyy.MMdd.HHmm"));
}

QString VersionApplication() {
    return DateApplication().toString(QStringLiteral("yyyy.MMdd.HHmm"));
}

} // namespace ks3
