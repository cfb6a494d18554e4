#include "common/ui/GestionClavier.h"

#include "common/ProgramValues.h"

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

} // namespace ks3
