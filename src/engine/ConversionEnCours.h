#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>

namespace ks3 {

// The note of a conversion under way, kept beside the converter's error file
// ("Err_Convert/.<target name>.enCours") from the start of the converter until
// the attempt is in the history. A program killed in between leaves it: the
// next attempt on the same target finds there that the target was written by
// the converter of this very source, and takes it as converted instead of
// converting it again (with "Indexer", into a "(1)" copy).

// Writes the note before the converter starts: the source, its date and size,
// and the file the converter is to write.
void NoterConversionEnCours(const QString& target, const QString& source, const QDateTime& dateSource,
                            qint64 tailleSource, const QString& cibleEffective);

// The file an interrupted attempt of this source (same path, date and size)
// wrote for this target, when it is there and newer than the note; empty
// otherwise.
QString CibleDejaEcrite(const QString& target, const QString& source, const QDateTime& dateSource,
                        qint64 tailleSource);

// For a file that change detection found converted: when the note of an
// attempt of this source is still there with its target written, the program
// was stopped after recording the attempt but before its clean-up. The
// clean-up is done now: the source is deleted when the options ask for it
// (FichiersSources.Detruire), and the note removed. True when it was.
bool TerminerConversionInterrompue(const QString& target, const QString& source, const QDateTime& dateSource,
                                   qint64 tailleSource);

// The names of the targets of folder (a path ending in "/") that have a note,
// read in one listing of its "Err_Convert" folder: a run over thousands of
// converted files looks for a note only where there is one.
QSet<QString> CiblesNotees(const QString& folder);

// Removes the note once the attempt is recorded.
void OublierConversionEnCours(const QString& target);

} // namespace ks3
