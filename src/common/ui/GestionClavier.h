#pragma once

class QKeyEvent;

namespace ks3 {

// Key codes and modifier bits of the suite's keyboard handling.
inline constexpr int kToucheF1 = 112;
inline constexpr int kMasqueShift = 1;
inline constexpr int kMasqueCtrl = 2;
inline constexpr int kMasqueAlt = 4;

// Records the modifier state of a key event of a window into ToucheCtrl,
// ToucheAlt and ToucheShift; F1 with Ctrl held clears ToucheCtrl. Returns the
// key code the window itself keeps: 0, the windows react to no key of their own.
int GestionClavier(int keyCode, int shift);

// The same for a key event of Qt: its key (F1 as kToucheF1) and its modifiers
// as the suite's shift mask (1 Shift, 2 Ctrl, 4 Alt). Every window's key
// handling goes through here.
int GestionClavier(const QKeyEvent& event);

} // namespace ks3
