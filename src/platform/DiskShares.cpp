#include "platform/DiskShares.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace ks3 {

namespace {

QString& configPath() {
    static QString p = QStringLiteral("/etc/samba/smb.conf");
    return p;
}

// Samba's parameter names ignore letter case and blanks ("Print OK" = "printok").
QString parameterName(const QString& key) {
    QString k = key.toLower();
    k.remove(QLatin1Char(' '));
    k.remove(QLatin1Char('\t'));
    k.remove(QLatin1Char('_'));
    return k;
}

bool yes(const QString& v) {
    const QString t = v.trimmed().toLower();
    return t == QLatin1String("yes") || t == QLatin1String("true") || t == QLatin1String("1") ||
           t == QLatin1String("on");
}

struct Section {
    QString name;
    QString path;
    bool printable = false;
    bool available = true;
};

class Reader {
public:
    QList<DiskShare> shares;

    void read(const QString& file, int depth) {
        QFile f(file);
        if (depth > 8 || !f.open(QIODevice::ReadOnly))
            return;
        const QStringList raw = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
        QString line;
        for (QString part : raw) {
            if (part.endsWith(QLatin1Char('\r')))
                part.chop(1);
            // A line ending with "\" goes on on the next one.
            if (part.endsWith(QLatin1Char('\\'))) {
                line += part.left(part.size() - 1);
                continue;
            }
            line += part;
            handle(line.trimmed(), file, depth);
            line.clear();
        }
        if (!line.isEmpty())
            handle(line.trimmed(), file, depth);
    }

    void finish() {
        if (!inShare_)
            return;
        inShare_ = false;
        const Section& s = current_;
        if (!s.available || s.path.isEmpty() || s.path.contains(QLatin1Char('%')))
            return;
        shares.append(DiskShare{s.name, s.path, !s.printable});
    }

private:
    void handle(const QString& line, const QString& file, int depth) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
            return;
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype end = line.indexOf(QLatin1Char(']'));
            if (end < 0)
                return;
            finish();
            const QString name = line.mid(1, end - 1).trimmed();
            const QString n = name.toLower();
            inShare_ =
                n != QLatin1String("global") && n != QLatin1String("homes") && n != QLatin1String("printers");
            current_ = Section{name, QString(), false, true};
            return;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            return;
        const QString key = parameterName(line.left(eq));
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("include")) {
            if (value.contains(QLatin1Char('%')) ||
                value.compare(QLatin1String("registry"), Qt::CaseInsensitive) == 0)
                return;
            const QString included = QFileInfo(value).isAbsolute()
                                         ? value
                                         : QFileInfo(file).absolutePath() + QLatin1Char('/') + value;
            read(included, depth + 1);
            return;
        }
        if (!inShare_)
            return;
        if (key == QLatin1String("path") || key == QLatin1String("directory"))
            current_.path = value;
        else if (key == QLatin1String("printable") || key == QLatin1String("printok"))
            current_.printable = yes(value);
        else if (key == QLatin1String("available"))
            current_.available = yes(value);
    }

    bool inShare_ = false;
    Section current_;
};

} // namespace

void setSambaConfigPath(const QString& path) {
    configPath() = path;
}

QList<DiskShare> LirePartagesSamba(const QString& smbConf) {
    Reader r;
    r.read(smbConf, 0);
    r.finish();
    return r.shares;
}

QList<DiskShare> ListeDesPartages() {
    return LirePartagesSamba(configPath());
}

} // namespace ks3
