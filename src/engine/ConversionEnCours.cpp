#include "engine/ConversionEnCours.h"

#include "common/TraceLog.h"
#include "engine/DeleteFile.h"
#include "engine/TargetPolicy.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <dirent.h>

namespace ks3 {

namespace {

const QLatin1StringView kDossierNotes("Err_Convert/");
const QLatin1StringView kDebutNote(".");
const QLatin1StringView kFinNote(".enCours");

QString noteOf(const QString& target) {
    // Not through DecomposeFichier: its process-wide record belongs to the caller.
    const QFileInfo t(target);
    return t.path() + QLatin1Char('/') + kDossierNotes + kDebutNote + t.fileName() + kFinNote;
}

QString dateText(const QDateTime& date) {
    return QString::number(date.toMSecsSinceEpoch());
}

} // namespace

void NoterConversionEnCours(const QString& target, const QString& source, const QDateTime& dateSource,
                            qint64 tailleSource, const QString& cibleEffective) {
    QSaveFile f(noteOf(target));
    if (!f.open(QIODevice::WriteOnly))
        return;
    const QStringList lines{source, dateText(dateSource), QString::number(tailleSource), cibleEffective};
    f.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
    f.commit();
}

QString CibleDejaEcrite(const QString& target, const QString& source, const QDateTime& dateSource,
                        qint64 tailleSource) {
    const QString note = noteOf(target);
    QFile f(note);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    if (lines.size() < 4 || lines.at(0) != source || lines.at(1) != dateText(dateSource) ||
        lines.at(2) != QString::number(tailleSource) || lines.at(3).isEmpty())
        return {};
    const QFileInfo written(lines.at(3));
    // A file there before the note is not the converter's (the policy removed
    // or avoided every existing one before it started).
    if (!written.isFile() || written.lastModified() < QFileInfo(note).lastModified())
        return {};
    return lines.at(3);
}

bool TerminerConversionInterrompue(const QString& target, const QString& source, const QDateTime& dateSource,
                                   qint64 tailleSource) {
    const QString written = CibleDejaEcrite(target, source, dateSource, tailleSource);
    if (written.isEmpty())
        return false;
    TraceLog(-1, -1, -1,
             QStringLiteral("Warning: conversion stopped before its clean-up, finished now |Source: ") +
                 source + QStringLiteral(" |Target: ") + written,
             true);
    if (currentTargetPolicySettings().detruireSource)
        DeleteFile(source, QStringLiteral("FrmMain:LancerConvertV13"));
    OublierConversionEnCours(target);
    return true;
}

QSet<QString> CiblesNotees(const QString& folder) {
    QSet<QString> cibles;
    DIR* dir = ::opendir(QFile::encodeName(folder + kDossierNotes).constData());
    if (dir == nullptr)
        return cibles;
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name.size() > kDebutNote.size() + kFinNote.size() && name.startsWith(kDebutNote) &&
            name.endsWith(kFinNote))
            cibles.insert(name.mid(kDebutNote.size(), name.size() - kDebutNote.size() - kFinNote.size()));
    }
    ::closedir(dir);
    return cibles;
}

void OublierConversionEnCours(const QString& target) {
    QFile::remove(noteOf(target));
}

} // namespace ks3
