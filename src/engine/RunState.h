#pragma once

#include "common/ListLines.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringListModel>

namespace ks3 {

// The run flags, the time of the next run, and what a run shows of its work:
// the labels' texts, the three lists and the enabled state of the commands.
// The main window is a view over it.
class RunState : public QObject {
    Q_OBJECT
public:
    bool timerActif = false;
    bool conversionEnCours = false;
    bool stopConversion = false;

    QStringListModel listeDossiersSource;
    QStringListModel listeFichiersSource;
    QStringListModel listeFichiersCible;

    QDateTime prochaineConversion() const { return prochaineConversion_; }
    void setProchaineConversion(const QDateTime& when); // also updates the label
    // Moves the time of the next run and leaves the label as it is (a due run
    // postponed while another one is in progress).
    void reporteProchaineConversion(const QDateTime& when) { prochaineConversion_ = when; }

    // Label texts, by control name.
    enum Label {
        LabelDossierSourceEnCours,
        LabelDossierSourceTraite,
        LabelDossierCibleEnCours,
        LabelDossierCibleTraite,
        LabelFichierTraite,
        LabelTimingConvert0, // "Timing prochaine conversion:" value
        LabelTimingConvert1, // "Conversion démarrée à:" value
        LabelCount
    };
    QString label(Label l) const { return labels_[l]; }
    void setLabel(Label l, const QString& text);
    bool startTimeVisible() const { return startTimeVisible_; }
    void setStartTimeVisible(bool v);

    bool lancerEnabled() const { return lancerEnabled_; }
    bool stopperEnabled() const { return stopperEnabled_; }
    void setRunCommands(bool running); // "Lancer" off and "Stopper" on while running

    // The targets a run has written, each with the source it came from, so that
    // a second source of the same target never replaces the first one's sound
    // (the first source may be deleted already). Emptied at each run start.
    void noteCibleEcrite(const QString& target, const QString& source);
    // The source a target was written from in this run; empty when none was.
    QString sourceDeLaCible(const QString& target) const;
    void oublieCiblesEcrites() { ciblesEcrites_.clear(); }

    // The targets that converters of the run are writing at the moment (with
    // several conversions at once): a target is never given to a second one
    // meanwhile, nor taken as a free "name(n)" by the indexing.
    QSet<QString> ciblesEnCours;

    void reset(); // back to the start-up state (tests)

signals:
    void labelChanged(int label, const QString& text);
    void startTimeVisibleChanged(bool visible);
    void commandsChanged();

private:
    QDateTime prochaineConversion_;
    QHash<QString, QString> ciblesEcrites_; // canonical target -> canonical source
    QString labels_[LabelCount];
    bool startTimeVisible_ = false;
    bool lancerEnabled_ = true;
    bool stopperEnabled_ = false;
};

RunState& runState();

} // namespace ks3
