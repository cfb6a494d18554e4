#include "engine/RunState.h"

#include "common/DateFormats.h"

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

void RunState::reset() {
    timerActif = false;
    conversionEnCours = false;
    stopConversion = false;
    clearList(listeDossiersSource);
    clearList(listeFichiersSource);
    clearList(listeFichiersCible);
    prochaineConversion_ = QDateTime();
    for (int i = 0; i < LabelCount; ++i)
        setLabel(Label(i), QString());
    setStartTimeVisible(false);
    setRunCommands(false);
}

} // namespace ks3
