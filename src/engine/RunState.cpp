#include "engine/RunState.h"

#include "common/DateFormats.h"

#include <QFileInfo>

namespace ks3 {

RunState& runState() {
    static RunState s;
    return s;
}

void RunState::setProchaineConversion(const QDateTime& when) {
    prochaineConversion_ = when;
    setLabel(LabelTimingConvert0, texteDateHeure(when));
}

void RunState::setLabel(Label l, const QString& text) {
    if (labels_[l] == text)
        return;
    labels_[l] = text;
    emit labelChanged(l, text);
}

void RunState::setStartTimeVisible(bool v) {
    if (startTimeVisible_ == v)
        return;
    startTimeVisible_ = v;
    emit startTimeVisibleChanged(v);
}

void RunState::setRunCommands(bool running) {
    lancerEnabled_ = !running;
    stopperEnabled_ = running;
    emit commandsChanged();
}

void RunState::noteCibleEcrite(const QString& target, const QString& source) {
    const QString cible = QFileInfo(target).canonicalFilePath();
    const QString origine = QFileInfo(source).canonicalFilePath();
    if (!cible.isEmpty())
        ciblesEcrites_.insert(cible, origine.isEmpty() ? source : origine);
}

QString RunState::sourceDeLaCible(const QString& target) const {
    const QString cible = QFileInfo(target).canonicalFilePath();
    return cible.isEmpty() ? QString() : ciblesEcrites_.value(cible);
}

void RunState::reset() {
    timerActif = false;
    conversionEnCours = false;
    stopConversion = false;
    clearList(listeDossiersSource);
    clearList(listeFichiersSource);
    clearList(listeFichiersCible);
    prochaineConversion_ = QDateTime();
    ciblesEcrites_.clear();
    ciblesEnCours.clear();
    for (int i = 0; i < LabelCount; ++i)
        setLabel(Label(i), QString());
    setStartTimeVisible(false);
    setRunCommands(false);
}

} // namespace ks3
