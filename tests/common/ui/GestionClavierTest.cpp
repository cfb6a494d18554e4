#include "common/ui/GestionClavier.h"
#include "common/ProgramValues.h"
#include "common/ui/FiltreClavier.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>
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

// Qt's key events reach the same rule: their modifiers as the shift mask, F1
// as the suite's F1.
TEST(GestionClavier, QtKeyEventsGiveTheSuitesMask) {
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool ctrl, alt, shiftDown;
    } cases[] = {
        {Qt::Key_A, Qt::ShiftModifier, false, false, true},
        {Qt::Key_A, Qt::ControlModifier | Qt::AltModifier, true, true, false},
        {Qt::Key_F1, Qt::ControlModifier | Qt::ShiftModifier, false, false, true},
        {Qt::Key_F2, Qt::ControlModifier, true, false, false},
    };
    const ProgramValues saved = programValues();
    for (const auto& c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers);
        EXPECT_EQ(GestionClavier(event), 0);
        EXPECT_EQ(programValues().toucheCtrl, c.ctrl) << c.key;
        EXPECT_EQ(programValues().toucheAlt, c.alt) << c.key;
        EXPECT_EQ(programValues().toucheShift, c.shiftDown) << c.key;
    }
    programValues() = saved;
}

// The filter of a window takes the keys of its own controls only, and lets
// them go on to the control.
TEST(FiltreClavier, TakesTheKeysOfItsWindowsControls) {
    const ProgramValues saved = programValues();
    QWidget window;
    auto* box = new QLineEdit(&window);
    new FiltreClavier(&window);
    QWidget other;
    auto* otherBox = new QLineEdit(&other);

    programValues().toucheCtrl = false;
    QKeyEvent elsewhere(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    QCoreApplication::sendEvent(otherBox, &elsewhere);
    EXPECT_FALSE(programValues().toucheCtrl);

    QKeyEvent typed(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier,
                    QStringLiteral("a"));
    QCoreApplication::sendEvent(box, &typed);
    EXPECT_TRUE(programValues().toucheCtrl);
    EXPECT_TRUE(programValues().toucheShift);
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
    QCoreApplication::sendEvent(box, &letter);
    EXPECT_FALSE(programValues().toucheCtrl);
    EXPECT_EQ(box->text(), QStringLiteral("b")); // the control still gets its keys
    programValues() = saved;
}
