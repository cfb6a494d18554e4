#pragma once

#include <QString>

namespace ks3 {

// Window positions are stored in twips, as the suite's other programs store
// theirs: 15 twips to a device-independent pixel (1440 to the inch at 96 dpi).
inline constexpr int kTwipsParPixel = 15;

// Left and top of a window's frame, in twips.
struct PositionFenetre {
    int left = 0;
    int top = 0;
    bool operator==(const PositionFenetre&) const = default;
};

// The corrections applied to a stored position so that a window reopens where
// it can be reached: below the screen it comes to mid-height, wholly above the
// screen it comes to the top, far to the left (a minimised window's position)
// it comes to the left edge. Far to the right is left alone. Heights in twips.
PositionFenetre CorrigePositionFenetre(PositionFenetre stored, int hauteurFenetre, int hauteurEcran);

// The positions file of this instance: NomFichierSettings("_Positions", ".Ini").
QString FichierPositions();

// The stored position of window `nom` (keys nom_Left and nom_Top of [FrmPos],
// with "_" + qualificatif appended when it is not blank), corrected; 0, 0 when
// nothing is stored.
PositionFenetre LecturePositionFenetre(const QString& nom, const QString& qualificatif, int hauteurFenetre,
                                       int hauteurEcran);

// Stores the position of window `nom` under the same keys. A failed write is
// not reported (EcritureIni returns false).
void EcriturePositionFenetre(const QString& nom, const QString& qualificatif, PositionFenetre position);

} // namespace ks3
