#pragma once

#include <QString>
#include <array>

namespace ks3 {

// Values fixed at start-up and read by the whole program.
struct ProgramValues {
    QString dossierProgramme; // folder of the executable, through links, ending with "/"
    // The data root (common/DataRoot.h), ending with "/": where everything the
    // program writes lives. Empty: dossierProgramme.
    QString dossierDonnees;
    int noInstance = 0; // 0, or 1..10 from the command line
    bool convertisseurLigneCommande = false;
    QString cheminConvertisseur;
    QString formatDate = QStringLiteral("dd/MM/yyyy");
    QString formatHeure = QStringLiteral("HH:MM:SS");
    QString formatDateCourt = QStringLiteral("dd/MM/yy");
    QString formatHeureCourt = QStringLiteral("HH:MM:");
    int themeActif = 0;
    int hauteurTitre = 450;
    QString titreFenetre = QStringLiteral("Kestrel: Tools Convert"); // the main window's title
    std::array<std::array<QString, 10>, 9> dossiersSons;             // station sound folders by category
    // Modifier keys of the last key event in a window (GestionClavier).
    bool toucheCtrl = false;
    bool toucheAlt = false;
    bool toucheShift = false;
};

ProgramValues& programValues();

// The data root in force: dossierDonnees, else dossierProgramme.
QString DossierDonnees();

} // namespace ks3
