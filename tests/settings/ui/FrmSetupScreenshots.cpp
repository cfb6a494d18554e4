// Takes the pictures of the options window shown in README.md:
//     xvfb-run -a build/bin/frmsetup_screenshots docs/
// The window is loaded in a folder of its own (nothing of a real installation
// is read or written), filled as a newcomer would fill it, and each tab is
// grabbed to a PNG file.
#include "common/ProgramValues.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "settings/ui/FolderSelect.h"
#include "settings/ui/FrmSetup.h"
#include "support/ManualClock.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>

using namespace ks3;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: frmsetup_screenshots <output folder>\n", stderr);
        return 2;
    }
    const QString sortie = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + QLatin1Char('/');
    QTemporaryDir programme;
    test::ManualClock clock(QDateTime(QDate(2024, 2, 16), QTime(8, 5, 9)));
    programValues().dossierProgramme = programme.path() + QLatin1Char('/');
    ChargerFrmSetup();
    FrmSetup* w = frmSetup();
    if (!w)
        return 1;

    auto texte = [w](const QString& nom, const QString& t) { w->findChild<QLineEdit*>(nom)->setText(t); };
    texte(FrmSetup::nomControle("TexteDossierSource", 0), QStringLiteral("/srv/radio/Sons/Entrants/"));
    texte(FrmSetup::nomControle("TexteDossierCible", 0), QStringLiteral("/srv/radio/Sons/Convertis/"));
    texte(FrmSetup::nomControle("TexteDossierSource", 1), QStringLiteral("/srv/radio/Jingles/"));
    texte(FrmSetup::nomControle("TexteDossierCible", 1), QStringLiteral("/srv/radio/Jingles/mp3/"));
    w->findChild<QCheckBox*>(QStringLiteral("CheckDossiersSourcesSousDossiers"))->setChecked(true);
    auto* liste = w->findChild<QListWidget*>(QStringLiteral("ListeTypesFichiersSources"));
    for (int n : {1, 10, 13})
        liste->item(n)->setSelected(true);
    auto* type = w->findChild<QComboBox*>(QStringLiteral("ComboTypeFichierCible"));
    type->setCurrentIndex(type->findText(QStringLiteral("MPEG-1 Layer 3 (*.mp3)")));
    w->findChild<QCheckBox*>(FrmSetup::nomControle("CheckEffectActif", 0))->setChecked(true);
    w->findChild<QCheckBox*>(QStringLiteral("CheckEffetCutDebut"))->setChecked(true);
    w->findChild<QCheckBox*>(QStringLiteral("CheckEffetCutFin"))->setChecked(true);

    w->resize(860, 660);
    w->show();
    auto* onglets = w->findChild<QTabWidget*>(QStringLiteral("SftTabsSetup"));
    const struct {
        int onglet;
        const char* fichier;
    } images[] = {{0, "options-dossiers.png"}, {1, "options-fichiers.png"}, {2, "options-effets.png"}};
    int rc = 0;
    for (const auto& i : images) {
        onglets->setCurrentIndex(i.onglet);
        QApplication::processEvents();
        const QString chemin = sortie + QLatin1String(i.fichier);
        if (!w->grab().save(chemin)) {
            std::fprintf(stderr, "cannot write %s\n", chemin.toLocal8Bit().constData());
            rc = 1;
        }
    }
    // Nothing of this session is offered for saving.
    settings().setSetupModifie(false);
    DechargerFrmSetup();
    return rc;
}
