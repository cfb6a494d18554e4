#include "common/ui/GestionClavier.h"

#include "common/ProgramValues.h"

#include <QKeyEvent>

namespace ks3 {

int GestionClavier(int keyCode, int shift) {
    ProgramValues& v = programValues();
    v.toucheCtrl = (shift & kMasqueCtrl) != 0;
    v.toucheAlt = (shift & kMasqueAlt) != 0;
    v.toucheShift = (shift & kMasqueShift) != 0;
    if (keyCode == kToucheF1 && v.toucheCtrl)
        v.toucheCtrl = false;
    return 0;
}

int GestionClavier(const QKeyEvent& event) {
    const Qt::KeyboardModifiers m = event.modifiers();
    const int shift = (m & Qt::ShiftModifier ? kMasqueShift : 0) |
                      (m & Qt::ControlModifier ? kMasqueCtrl : 0) | (m & Qt::AltModifier ? kMasqueAlt : 0);
    return GestionClavier(event.key() == Qt::Key_F1 ? kToucheF1 : event.key(), shift);
}

} // namespace ks3
