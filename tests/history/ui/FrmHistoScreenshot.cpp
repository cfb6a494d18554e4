// Takes the picture of the history window shown in README.md:
//     xvfb-run -a build/bin/frmhisto_screenshot docs/history-window.png
// A history of its own is filled in a temporary folder through the record
// layer, searched by file name, and the attempts of a failed file are listed.
#include "common/ProgramValues.h"
#include "common/WorkingFolders.h"
#include "history/ui/FrmHisto.h"
#include "platform/Btrcall.h"
#include "store/BTRieve.h"
#include "store/CatalogueTables.h"
#include "store/FichierPervasive.h"
#include "store/RecordBuffers.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdio>

using namespace ks3;

namespace {
void entete(int n, const QString& nom, const QString& dossier, const QString& date, const QString& ok) {
    EnregConvertEntete& e = enregConvertEntete();
    e.setIdEntete(n);
    e.setNomFichierSource(nom);
    e.setDossierSource(dossier);
    e.setDateTraitement(date);
    e.setDateFichierSource(date.left(8) + QStringLiteral("074500"));
    e.setTailleFichierSource(4200000 + n * 1000);
    e.setConversionOK(ok);
    QString cle(10, QLatin1Char(' '));
    BTRieve(0, btr::OpInsert, cle, 0, EnregConvertEntete::NoFichier, 1, QString());
}
void detail(int n, int d, const QString& debut, const QString& ok, const QString& libelle) {
    EnregConvertDetail& e = enregConvertDetail();
    e.setIdEntete(n);
    e.setIdDetail(d);
    e.setDateFichierSource(QStringLiteral("20240216074500"));
    e.setTailleFichierSource(4203000);
    e.setDebutConversion(debut);
    e.setFinConversion(debut.left(12) + QStringLiteral("58"));
    e.setConversionOK(ok);
    e.setLibelleDetail(libelle);
    QString cle(20, QLatin1Char(' '));
    BTRieve(0, btr::OpInsert, cle, 0, EnregConvertDetail::NoFichier, 1, QString());
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: frmhisto_screenshot <file.png>\n", stderr);
        return 2;
    }
    QTemporaryDir dossier;
    programValues().dossierProgramme = dossier.path() + QLatin1Char('/');
    InitGeneralData();
    workingFolders().dataFolder = dossier.path() + QLatin1Char('/');
    workingFolders().logTechFolder = dossier.path() + QLatin1Char('/');
    workingFolders().nbStation = 1;
    FichierPervasiveOuvrir(0, 1, 1, 41);
    FichierPervasiveOuvrir(0, 1, 1, 42);
    entete(1, QStringLiteral("Jingle matin.wav"), QStringLiteral("/srv/radio/Jingles"),
           QStringLiteral("20240216080509"), QStringLiteral("O"));
    entete(2, QStringLiteral("Jingle nuit.aif"), QStringLiteral("/srv/radio/Jingles"),
           QStringLiteral("20240216080512"), QStringLiteral("E"));
    entete(3, QStringLiteral("jingle soir.wav"), QStringLiteral("/srv/radio/Jingles/Anciens"),
           QStringLiteral("20240215170044"), QStringLiteral("O"));
    detail(1, 1, QStringLiteral("20240216080509"), QStringLiteral("O"), QString());
    detail(2, 1, QStringLiteral("20240216080512"), QStringLiteral("E"),
           QStringLiteral("Fichier source illisible: format AIFF-C non reconnu"));
    detail(2, 2, QStringLiteral("20240216081012"), QStringLiteral("E"),
           QStringLiteral("Fichier source illisible: format AIFF-C non reconnu"));
    detail(2, 3, QStringLiteral("20240216091544"), QStringLiteral("O"), QString());

    AfficherFrmHisto();
    FrmHisto* w = frmHisto();
    w->resize(1000, 480);
    w->move(0, 0);
    w->findChild<QLineEdit*>(QStringLiteral("TexteRecherche"))->setText(QStringLiteral("jingle"));
    w->BtnRecherche_Click();
    auto* maitre = w->findChild<QTreeWidget*>(QStringLiteral("ListViewRechercheMaitre"));
    maitre->setCurrentItem(maitre->topLevelItem(1));
    w->ListViewRechercheMaitre_DblClick();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    const bool ok = w->grab().save(QString::fromLocal8Bit(argv[1]), "PNG");
    DechargerFrmHisto();
    FichierPervasiveFermer(0, 1, 1, 42);
    FichierPervasiveFermer(0, 1, 1, 41);
    return ok ? 0 : 1;
}
