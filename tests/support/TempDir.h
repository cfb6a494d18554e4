#pragma once

#include "support/QtPrinters.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace ks3::test {

// A fresh folder per test, removed afterwards. path() ends with "/".
class TempDir {
public:
    TempDir() : dir_(QDir::tempPath() + QStringLiteral("/ks3test-XXXXXX")) {}
    QString path() const { return dir_.path() + QLatin1Char('/'); }
    QString file(const QString& relative) const { return path() + relative; }
    // Writes bytes to a file below the folder, creating the folders on the way.
    QString write(const QString& relative, const QByteArray& bytes) const {
        const QString p = file(relative);
        QDir().mkpath(p.left(p.lastIndexOf(QLatin1Char('/'))));
        QFile f(p);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return p;
    }
    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QTemporaryDir dir_;
};

} // namespace ks3::test
