#include "common/ui/GestionClavier.h"
#include "common/ProgramValues.h"

#include <gtest/gtest.h>

using namespace ks3;

TEST(GestionClavier, RecordsTheModifiersAndSwallowsTheKey) {
    const struct {
        int key, shift;
        bool ctrl, alt, shiftDown;
    } cases[] = {
        {65, 0, false, false, false},
        {65, kMasqueShift, false, false, true},
        {65, kMasqueCtrl | kMasqueAlt, true, true, false},
        {kToucheF1, kMasqueCtrl | kMasqueShift, false, false, true}, // Ctrl+F1 clears Ctrl
        {kToucheF1, kMasqueAlt, false, true, false},
    };
    const ProgramValues saved = programValues();
    for (const auto& c : cases) {
        EXPECT_EQ(GestionClavier(c.key, c.shift), 0);
        EXPECT_EQ(programValues().toucheCtrl, c.ctrl) << c.key << " " << c.shift;
        EXPECT_EQ(programValues().toucheAlt, c.alt) << c.key << " " << c.shift;
        EXPECT_EQ(programValues().toucheShift, c.shiftDown) << c.key << " " << c.shift;
    }
    programValues() = saved;
}
