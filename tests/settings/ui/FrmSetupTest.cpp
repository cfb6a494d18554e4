#include "settings/ui/FrmSetup.h"
#include "common/DateFormats.h"
#include "common/MessageBoxService.h"
#include "common/NomFichierSettings.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"
#include "engine/RunSettings.h"
#include "engine/RunState.h"
#include "platform/Btrcall.h"
#include "platform/IniFile.h"
#include "runtime/MainWindowHooks.h"
#include "runtime/Startup.h"
#include "settings/FolderTools.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "settings/SourceTypes.h"
#include "settings/TargetTypes.h"
#include "settings/ui/FolderSelect.h"
#include "store/BTRieve.h"
#include "store/BtrRequestBlock.h"
#include "store/BtrieveState.h"
#include "store/CatalogueTables.h"
#include "store/FichierPervasive.h"
#include "store/RecordBuffers.h"
#include "support/ManualClock.h"
#include "support/ScriptedMessageBoxService.h"
#include "support/ServicesGuard.h"
#include "support/TempDir.h"
#include "support/UdpPeer.h"
#include "udp/Frm_MainBis.h"
#include "udp/SocketUDP.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

using namespace ks3;
using I = SettingId;

namespace {

// A program folder of its own, scripted answers to the questions and to the
// folder picker, and the options window loaded as at start-up.
class FrmSetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetTraceLog();
        resetFolderTools();
        runState().reset();
        programValues().dossierProgramme = dir.path();
        programValues().noInstance = 0;
        DossierSettings().clear();
        settings().setChargementSetup(false);
        settings().reinitialiser();
    }
    void TearDown() override {
        settings().setSetupModifie(false);
        DechargerFrmSetup();
        settings().reinitialiser();
        DossierSettings().clear();
        programValues().dossierProgramme.clear();
        runState().reset();
        resetTraceLog();
    }

    FrmSetup& charge() {
        ChargerFrmSetup();
        EXPECT_NE(frmSetup(), nullptr);
        return *frmSetup();
    }
    template <class T> T* ctl(const QString& nom) {
        T* c = frmSetup() ? frmSetup()->findChild<T*>(nom) : nullptr;
        EXPECT_NE(c, nullptr) << nom.toStdString();
        return c;
    }
    template <class T> T* ctl(const char* nom, int index) {
        return ctl<T>(FrmSetup::nomControle(nom, index));
    }

    QString fichierSettings() const { return dir.file("Settings/KS3_Convert/KS3_Tools_Convert.Ini"); }
    QString ecritSettings(const QByteArray& contenu) const {
        return dir.write("Settings/KS3_Convert/KS3_Tools_Convert.Ini", contenu);
    }
    QStringList questions() const {
        QStringList q;
        for (const ChoiceBoxRequest& r : boites.seen())
            q << r.message;
        return q;
    }

    struct Demande {
        QString titre;
        QString depart;
    };
    test::ManualClock clock;
    test::TempDir dir;
    ScriptedMessageBoxService boites;
    QString reponseDossier;
    std::vector<Demande> demandes;
    test::ServicesGuard services{[this](Services& s) {
        s.questions = &boites;
        s.folderPicker = [this](QWidget*, const QString& titre, const QString& depart) {
            demandes.push_back({titre, depart});
            return reponseDossier;
        };
    }};
};

const char* const kQuestion = "Voulez-vous enregistrer les données du Setup ?";

TEST_F(FrmSetupTest, AFirstStartShowsTheDefaults) {
    FrmSetup& w = charge();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(w.windowTitle().startsWith("Options: Kestrel: Tools Convert - 20"))
        << w.windowTitle().toStdString();

    QStringList onglets;
    auto* tabs = ctl<QTabWidget>("SftTabsSetup");
    for (int i = 0; i < tabs->count(); ++i)
        onglets << tabs->tabText(i);
    EXPECT_EQ(onglets, QStringList({"Dossiers", "Fichiers", "Effets", "Périphériques", "Log"}));

    for (int n = 0; n < 10; ++n) {
        EXPECT_EQ(ctl<QLineEdit>("TexteDossierSource", n)->text(), "");
        EXPECT_EQ(ctl<QLineEdit>("TexteDossierCible", n)->text(), "");
    }
    auto* liste = ctl<QListWidget>("ListeTypesFichiersSources");
    ASSERT_EQ(liste->count(), kNombreTypesSource);
    EXPECT_TRUE(liste->selectedItems().isEmpty());
    EXPECT_EQ(ctl<QComboBox>("ComboTypeFichierCible")->currentText(), "MPEG-1 Layer 2 (*.mp2)");
    EXPECT_EQ(ctl<QComboBox>("ComboFichierCibleCaracteristiques")->currentText(), "128 Kbits/s 48000 Hz");
    EXPECT_EQ(ctl<QComboBox>("ComboFichierCibleExistant")->currentText(), "Ecraser");
    EXPECT_EQ(ctl<QLineEdit>("TexteFrequenceAnalyse")->text(), "5");
    EXPECT_EQ(ctl<QLineEdit>("TexteEffetCutSeuil", 0)->text(), "-50");
    EXPECT_EQ(ctl<QLineEdit>("TexteEffetCutSeuil", 1)->text(), "100");
    EXPECT_EQ(ctl<QLineEdit>("TexteEffetNormalisationMax")->text(), "8");
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(ctl<QCheckBox>("CheckEffectActif", i)->isChecked()) << i;
    for (const char* nom : {"CheckDossiersSourcesSousDossiers", "CheckDossiersCiblesSousDossiers",
                            "CheckDetruireApresConversion", "CheckNePasConvertirSiCibleExiste",
                            "CheckConvertVisualiser", "CheckEffetCutDebut", "CheckEffetCutFin"})
        EXPECT_FALSE(ctl<QCheckBox>(QLatin1String(nom))->isChecked()) << nom;
    EXPECT_TRUE(ctl<QRadioButton>("OptionEffetTrim", 0)->isChecked());
    EXPECT_EQ(ctl<QRadioButton>("OptionEffetTrim", 0)->text(), "Silence digital");
    EXPECT_TRUE(ctl<QRadioButton>("OptionEffetNormalise", 0)->isChecked());
    EXPECT_EQ(ctl<QSlider>("SliderEffetNormalisation", 0)->minimum(), -40);
    for (int n = 0; n < 18; ++n)
        EXPECT_EQ(ctl<QSlider>("SliderEffetEQ", n)->value(), 0);

    const QString adresse = settings().adresseIPPoste();
    EXPECT_FALSE(adresse.isEmpty());
    EXPECT_EQ(ctl<QLineEdit>("TexteAdresseIP")->text(), adresse);
    for (int n = 0; n < 9; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(ctl<QLineEdit>("TexteUDPLibelleSource", n)->text(), "UDP In #" + QString::number(n + 1));
        EXPECT_EQ(ctl<QLineEdit>("TexteUDPIPSource", n)->text(), adresse);
        EXPECT_EQ(ctl<QLineEdit>("TexteUDPPortSource", n)->text(), QString::number(96 + n));
        EXPECT_FALSE(ctl<QCheckBox>("CheckUDPInActif", n)->isChecked());
        EXPECT_EQ(ctl<QLineEdit>("TexteUDPLibelleCible", n)->text(), "UDP Out #" + QString::number(n + 1));
        EXPECT_EQ(ctl<QLineEdit>("TexteUDPIPCible", n)->text(), "127.0.0.1");
        EXPECT_EQ(ctl<QLineEdit>("TexteUDPPortCible", n)->text(), QString::number(96 + n));
        EXPECT_EQ(ctl<QLineEdit>("TexteUDPSend", n)->text(), "");
    }
    EXPECT_FALSE(settings().setupModifie());
    EXPECT_TRUE(traceLists().frmSetupCharge);
    EXPECT_EQ(ctl<QListView>("ListeLog")->model(), &traceLists().listeLog);
    EXPECT_TRUE(ctl<QPushButton>("CommandPurgerBase")->isEnabled());
}

TEST_F(FrmSetupTest, PurgerEmptiesTheHistoryAndShowsItsProgress) {
    charge();
    test::TempDir data;
    resetBtrieveState();
    resetRecordBuffers();
    InitGeneralData();
    workingFolders().dataFolder = data.path();
    workingFolders().nbStation = 1;
    FichierPervasiveOuvrir(0, 1, 1, 41);
    FichierPervasiveOuvrir(0, 1, 1, 42);
    for (int n = 1; n <= 2; ++n) {
        enregConvertEntete().setIdEntete(n);
        enregConvertEntete().setNomFichierSource(QStringLiteral("f.wav"));
        QString cle(10, QLatin1Char(' '));
        BTRieve(0, btr::OpInsert, cle, 0, EnregConvertEntete::NoFichier, 1, QString());
        enregConvertDetail().setIdEntete(n);
        enregConvertDetail().setIdDetail(1);
        cle = QString(20, QLatin1Char(' '));
        BTRieve(0, btr::OpInsert, cle, 0, EnregConvertDetail::NoFichier, 1, QString());
    }
    boites.answer(QStringLiteral("Oui"));
    boites.answer(QStringLiteral("Oui"));
    ctl<QPushButton>("CommandPurgerBase")->click();
    EXPECT_EQ(ctl<QLineEdit>("TexteSuiviDelete")->text(), "00000000010000000001");
    EXPECT_EQ(ctl<QLabel>("LabelNbSuppression")->text(), "4");
    ASSERT_EQ(boites.seen().size(), 3);
    EXPECT_EQ(boites.seen()[2].message, "Destruction de l'historique terminée: 4 enregistrements supprimés");
    EXPECT_EQ(boites.seen()[2].title, frmSetup()->windowTitle());
    QString cle;
    BTRieve(0, btr::OpGetFirst, cle, 0, EnregConvertDetail::NoFichier, 1, QString());
    EXPECT_EQ(btrRequest().BtrStatut, 9);
    FichierPervasiveFermer(0, 1, 1, 42);
    FichierPervasiveFermer(0, 1, 1, 41);
    resetBtrieveState();
    workingFolders() = WorkingFolders();
}

TEST_F(FrmSetupTest, LoadingShowsTheStoredValuesAndNeverMarks) {
    ecritSettings("[Dossiers]\r\nSource_2=" + dir.path().toUtf8() + "in/\r\nCible_2=" + dir.path().toUtf8() +
                  "out/\r\nSource_Recursive=1\r\nFrequence=12\r\n"
                  "[Fichiers]\r\nSource_8=True\r\nSource_10=True\r\nCible=3\r\nCibleCaracteristiques=4\r\n"
                  "CibleExistant=2\r\n"
                  "[Effet_Cut]\r\nActive=1\r\nSilence=1\r\nSeuildB=-42\r\n"
                  "[Effet_Normalisation]\r\nNature=3\r\nValeurFixe=-7\r\n"
                  "[Effet_EQ]\r\nBande_5=4\r\n"
                  "[UDP_IN]\r\nActif_0=1\r\nLib_0=Studio\r\n"
                  "[UDP_OUT]\r\nMsg_1=hello\r\n");
    charge();
    EXPECT_EQ(ctl<QLineEdit>("TexteDossierSource", 2)->text(), dir.path() + "in/");
    EXPECT_EQ(ctl<QLineEdit>("TexteDossierCible", 2)->text(), dir.path() + "out/");
    EXPECT_TRUE(ctl<QCheckBox>("CheckDossiersSourcesSousDossiers")->isChecked());
    EXPECT_EQ(ctl<QLineEdit>("TexteFrequenceAnalyse")->text(), "12");
    QStringList choisis;
    for (QListWidgetItem* item : ctl<QListWidget>("ListeTypesFichiersSources")->selectedItems())
        choisis << item->text();
    choisis.sort();
    EXPECT_EQ(choisis, QStringList({"MPEG-1 Layer 3 (*.mp3)", "Wave (*.wave; *.wav)"}));
    // The stored position replaces the preset of the type.
    EXPECT_EQ(ctl<QComboBox>("ComboTypeFichierCible")->currentText(), "Ogg Vorbis (*.ogg)");
    EXPECT_EQ(ctl<QComboBox>("ComboFichierCibleCaracteristiques")->count(), 12);
    EXPECT_EQ(ctl<QComboBox>("ComboFichierCibleCaracteristiques")->currentText(), "q  0.3 112 KBits/s");
    EXPECT_EQ(ctl<QComboBox>("ComboFichierCibleExistant")->currentText(), "Demander pour écraser");
    EXPECT_TRUE(ctl<QCheckBox>("CheckEffectActif", 0)->isChecked());
    EXPECT_TRUE(ctl<QRadioButton>("OptionEffetTrim", 1)->isChecked());
    EXPECT_EQ(ctl<QLineEdit>("TexteEffetCutSeuil", 0)->text(), "-42");
    EXPECT_TRUE(ctl<QRadioButton>("OptionEffetNormalise", 3)->isChecked());
    EXPECT_EQ(ctl<QSlider>("SliderEffetNormalisation", 1)->value(), -7);
    EXPECT_EQ(ctl<QSlider>("SliderEffetEQ", 5)->value(), 4);
    EXPECT_TRUE(ctl<QCheckBox>("CheckUDPInActif", 0)->isChecked());
    EXPECT_EQ(ctl<QLineEdit>("TexteUDPLibelleSource", 0)->text(), "Studio");
    EXPECT_EQ(ctl<QLineEdit>("TexteUDPSend", 1)->text(), "hello");
    EXPECT_FALSE(settings().setupModifie());
    // Loading does not re-plan the next run: the start-up plans it afterwards.
    EXPECT_FALSE(runState().prochaineConversion().isValid());
}

TEST_F(FrmSetupTest, ChoosingATargetTypeSelectsItsPreset) {
    charge();
    auto* type = ctl<QComboBox>("ComboTypeFichierCible");
    auto* carac = ctl<QComboBox>("ComboFichierCibleCaracteristiques");
    struct Case {
        const char* libelle;
        int entrees;
        const char* preset; // nullptr: no characteristic at all
    } cases[] = {
        {"MPEG-1 Layer 3 (*.mp3)", 4, "256 Kbits/s 44100 Hz"},
        {"Ogg Vorbis (*.ogg)", 12, "q  0.8 256 KBits/s"},
        {"Windows Media Audio (*.wma)", 1, "256 Kbits/s 48000 Hz"},
        {"MPEG-1 Layer 2 (*.s48)", 0, nullptr},
        {"AIFF (*.aiff)", 4, "16 bits 48000 Hz"},
        {"Wave (*.wav)", 4, "16 bits 44100 Hz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.libelle);
        settings().setSetupModifie(false);
        const int i = type->findText(QString::fromUtf8(c.libelle));
        ASSERT_GE(i, 0);
        type->setCurrentIndex(i);
        EXPECT_EQ(settings().cible(), i);
        EXPECT_EQ(carac->count(), c.entrees);
        if (c.preset) {
            EXPECT_EQ(carac->currentText(), QString::fromUtf8(c.preset));
            EXPECT_EQ(settings().caracteristiqueCible(), QString::fromUtf8(c.preset));
        } else {
            EXPECT_EQ(carac->currentIndex(), -1);
            EXPECT_EQ(settings().cibleCaracteristiques(), -1);
        }
        EXPECT_TRUE(settings().setupModifie());
    }

    // Choosing again the type shown brings its preset back.
    type->setCurrentIndex(type->findText("MPEG-1 Layer 3 (*.mp3)"));
    carac->setCurrentIndex(0);
    EXPECT_EQ(settings().caracteristiqueCible(), "128 Kbits/s 44100 Hz");
    emit type->activated(type->currentIndex());
    EXPECT_EQ(carac->currentText(), "256 Kbits/s 44100 Hz");
    EXPECT_EQ(settings().caracteristiqueCible(), "256 Kbits/s 44100 Hz");
}

TEST_F(FrmSetupTest, WhichChangesMarkTheSettingsModified) {
    charge();
    struct Case {
        const char* quoi;
        std::function<void()> change;
        bool marque;
    } cases[] = {
        {"folder box", [&] { ctl<QLineEdit>("TexteDossierCible", 4)->setText("/x/"); }, true},
        {"check box", [&] { ctl<QCheckBox>("CheckDossiersCiblesSousDossiers")->setChecked(true); }, true},
        {"source list", [&] { ctl<QListWidget>("ListeTypesFichiersSources")->item(3)->setSelected(true); },
         true},
        {"existing-target combo", [&] { ctl<QComboBox>("ComboFichierCibleExistant")->setCurrentIndex(3); },
         true},
        {"characteristics combo",
         [&] { ctl<QComboBox>("ComboFichierCibleCaracteristiques")->setCurrentIndex(2); }, true},
        {"option", [&] { ctl<QRadioButton>("OptionEffetNormalise", 2)->setChecked(true); }, true},
        {"threshold box", [&] { ctl<QLineEdit>("TexteEffetCutSeuil", 1)->setText("250"); }, true},
        {"maximum gain box", [&] { ctl<QLineEdit>("TexteEffetNormalisationMax")->setText("6"); }, true},
        {"slider", [&] { ctl<QSlider>("SliderEffetEQ", 17)->setValue(-6); }, true},
        {"receive row label", [&] { ctl<QLineEdit>("TexteUDPLibelleSource", 8)->setText("Régie"); }, true},
        {"receive row port", [&] { ctl<QLineEdit>("TexteUDPPortSource", 2)->setText("5000"); }, true},
        {"send row address", [&] { ctl<QLineEdit>("TexteUDPIPCible", 0)->setText("10.0.0.9"); }, true},
        {"receive row activation", [&] { ctl<QCheckBox>("CheckUDPInActif", 5)->setChecked(true); }, true},
        {"frequency", [&] { ctl<QLineEdit>("TexteFrequenceAnalyse")->setText("30"); }, false},
        {"send row message", [&] { ctl<QLineEdit>("TexteUDPSend", 3)->setText("<Do:Ping>"); }, false},
    };
    for (const Case& c : cases) {
        settings().setSetupModifie(false);
        c.change();
        EXPECT_EQ(settings().setupModifie(), c.marque) << c.quoi;
    }
    // Every edit is in the live settings at once.
    EXPECT_EQ(settings().text(I::DossiersCible, 4), "/x/");
    EXPECT_EQ(settings().number(I::EffetEQBande, 17), -6);
    EXPECT_EQ(settings().text(I::UdpOutMsg, 3), "<Do:Ping>");
}

TEST_F(FrmSetupTest, AChangeHiddenThenUnloadedAsksAndNoLeavesTheFileAsItWas) {
    // A file as another program may have left it: LF ends, a foreign key.
    const QByteArray avant = "[Dossiers]\nSource_0=/radio/in/\nAutre=1\n[Fichiers]\nCible=2\n";
    ecritSettings(avant);
    for (const bool parLaCase : {false, true}) {
        SCOPED_TRACE(parLaCase ? "close button" : "Fermer");
        boites.clear();
        FrmSetup& w = charge();
        w.show();
        ctl<QLineEdit>("TexteDossierSource", 0)->setText("/radio/autre/");
        if (parLaCase)
            w.close();
        else
            ctl<QPushButton>("CommandFermer")->click();
        // Hidden, not unloaded: the edit stays in force.
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(frmSetup(), &w);
        EXPECT_EQ(currentRunSettings().sources[0], "/radio/autre/");

        boites.answer(QStringLiteral("Non"));
        DechargerFrmSetup();
        EXPECT_EQ(frmSetup(), nullptr);
        ASSERT_EQ(boites.seen().size(), 1);
        const ChoiceBoxRequest& q = boites.seen().first();
        EXPECT_EQ(q.message, QString::fromUtf8(kQuestion));
        EXPECT_EQ(q.buttons, QStringList({"Oui", "Non"}));
        EXPECT_EQ(q.icon, 32);
        EXPECT_TRUE(q.title.startsWith("Options: Kestrel: Tools Convert - "));
        EXPECT_EQ(test::TempDir::read(fichierSettings()), avant);
        EXPECT_FALSE(settings().setupModifie());
        EXPECT_FALSE(traceLists().frmSetupCharge);
        settings().reinitialiser();
    }
}

TEST_F(FrmSetupTest, YesAtUnloadSavesTheEdit) {
    charge();
    ctl<QLineEdit>("TexteDossierCible", 9)->setText("/radio/out/");
    boites.answer(QStringLiteral("Oui"));
    DechargerFrmSetup();
    EXPECT_EQ(questions(), QStringList{QString::fromUtf8(kQuestion)});
    EXPECT_EQ(LectureIni(fichierSettings(), "Dossiers", "Cible_9", "?"), "/radio/out/");
}

TEST_F(FrmSetupTest, ChangingOnlyTheFrequencyReplansAndAsksNothing) {
    charge();
    ctl<QLineEdit>("TexteFrequenceAnalyse")->setText("1.5");
    const QDateTime attendu = QDateTime(clock.now().date(), QTime(8, 5, 9)).addSecs(90);
    EXPECT_EQ(runState().prochaineConversion(), attendu);
    EXPECT_EQ(runState().label(RunState::LabelTimingConvert0), texteDateHeure(attendu));
    EXPECT_EQ(currentRunSettings().frequence, "1.5");
    DechargerFrmSetup();
    EXPECT_TRUE(boites.seen().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(fichierSettings()));
}

TEST_F(FrmSetupTest, AnEditAppliesToTheNextRunBeforeItIsSaved) {
    charge();
    ctl<QLineEdit>("TexteDossierSource", 0)->setText("/radio/in/");
    ctl<QLineEdit>("TexteDossierCible", 0)->setText("/radio/out/");
    ctl<QCheckBox>("CheckDossiersSourcesSousDossiers")->setChecked(true);
    auto* liste = ctl<QListWidget>("ListeTypesFichiersSources");
    liste->item(10)->setSelected(true);
    auto* type = ctl<QComboBox>("ComboTypeFichierCible");
    type->setCurrentIndex(type->findText("FLAC (*.flac)"));

    const RunSettings r = currentRunSettings();
    EXPECT_EQ(r.sources[0], "/radio/in/");
    EXPECT_EQ(r.cibles[0], "/radio/out/");
    EXPECT_TRUE(r.sourceRecursive);
    ASSERT_EQ(r.selectedSourceTypes.size(), 1u);
    EXPECT_EQ(r.selectedSourceTypes.front()->libelle, "Wave (*.wave; *.wav)");
    ASSERT_NE(r.targetType, nullptr);
    EXPECT_EQ(r.targetType->libelle, "FLAC (*.flac)");
    EXPECT_FALSE(QFileInfo::exists(fichierSettings()));

    // "Enregistrer" writes them and the window stays as it is.
    frmSetup()->show();
    ctl<QPushButton>("CommandSave")->click();
    EXPECT_TRUE(frmSetup()->isVisible());
    EXPECT_FALSE(settings().setupModifie());
    EXPECT_EQ(LectureIni(fichierSettings(), "Fichiers", "Cible", "?"), "7");
    EXPECT_EQ(LectureIni(fichierSettings(), "Fichiers", "Source_10", "?"), "True");
}

TEST_F(FrmSetupTest, SelectAllNeverSelectsTheSeparator) {
    charge();
    auto* liste = ctl<QListWidget>("ListeTypesFichiersSources");
    EXPECT_EQ(liste->item(kSourceSeparateur)->text(), "===== Logiciels =====");
    ctl<QPushButton>("CommandFormatSource", 0)->click();
    EXPECT_EQ(ctl<QPushButton>("CommandFormatSource", 0)->text(), "Tout sélectionner");
    for (int n = 0; n < kNombreTypesSource; ++n) {
        EXPECT_EQ(liste->item(n)->isSelected(), n != kSourceSeparateur) << n;
        EXPECT_EQ(settings().sourceSelectionnee(n), n != kSourceSeparateur) << n;
    }
    EXPECT_EQ(currentRunSettings().selectedSourceTypes.size(), std::size_t(kNombreTypesSource - 1));
    // Not even the list's own select-all takes it.
    liste->clearSelection();
    liste->selectAll();
    EXPECT_FALSE(liste->item(kSourceSeparateur)->isSelected());
    EXPECT_FALSE(settings().sourceSelectionnee(kSourceSeparateur));

    ctl<QPushButton>("CommandFormatSource", 1)->click();
    EXPECT_EQ(ctl<QPushButton>("CommandFormatSource", 1)->text(), "Tout désélectionner");
    EXPECT_TRUE(liste->selectedItems().isEmpty());
    EXPECT_TRUE(currentRunSettings().selectedSourceTypes.empty());
}

TEST_F(FrmSetupTest, TheFolderPicker) {
    charge();
    auto* box = ctl<QLineEdit>("TexteDossierSource", 1);

    // Cancelled: nothing changes.
    reponseDossier.clear();
    ctl<QPushButton>("BtnDossierSource", 1)->click();
    ASSERT_EQ(demandes.size(), 1u);
    EXPECT_EQ(demandes[0].titre, "Sélectionnez un dossier: ");
    EXPECT_EQ(demandes[0].depart, dir.path().chopped(1)); // the program's folder, without its "/"
    EXPECT_EQ(box->text(), "");
    EXPECT_FALSE(settings().setupModifie());

    // A folder that does not exist yet is created and put in the box.
    reponseDossier = dir.path() + "sons/nouveaux";
    ctl<QPushButton>("BtnDossierSource", 1)->click();
    EXPECT_EQ(box->text(), dir.path() + "sons/nouveaux/");
    EXPECT_TRUE(QFileInfo(dir.path() + "sons/nouveaux").isDir());
    EXPECT_TRUE(settings().setupModifie());

    // The picker opens in the box's folder; cancelling keeps the box.
    reponseDossier.clear();
    ctl<QPushButton>("BtnDossierSource", 1)->click();
    EXPECT_EQ(demandes.back().depart, dir.path() + "sons/nouveaux");
    EXPECT_EQ(box->text(), dir.path() + "sons/nouveaux/");

    // The target browse button fills the target box of its own row only.
    reponseDossier = dir.path() + "cibles/";
    ctl<QPushButton>("BtnDossierCible", 7)->click();
    EXPECT_EQ(ctl<QLineEdit>("TexteDossierCible", 7)->text(), dir.path() + "cibles/");
    EXPECT_EQ(ctl<QLineEdit>("TexteDossierCible", 1)->text(), "");
}

TEST(FolderSelect, StartFolderAndAnswers) {
    test::TempDir dir;
    programValues().dossierProgramme = dir.path();
    QString depart;
    QString titre;
    QString reponse;
    test::ServicesGuard services([&](Services& s) {
        s.folderPicker = [&](QWidget*, const QString& t, const QString& d) {
            titre = t;
            depart = d;
            return reponse;
        };
    });
    struct Case {
        QString texte;
        QString reponse;
        QString depart;
        QString resultat;
    } cases[] = {
        {"", "", dir.path().chopped(1), "*"},  {"   ", "", dir.path().chopped(1), "*"},
        {"/radio/in/", "/", "/radio/in", "/"}, {"/radio/in/file.wav", dir.path(), "/radio/in", dir.path()},
        {"/", "relative/folder", "/", "*"}, // not a folder of the file system
    };
    for (const Case& c : cases) {
        reponse = c.reponse;
        EXPECT_EQ(FolderSelect(nullptr, c.texte, QStringLiteral("Choix")), c.resultat)
            << c.texte.toStdString();
        EXPECT_EQ(depart, c.depart) << c.texte.toStdString();
        EXPECT_EQ(titre, "Choix");
    }
    programValues().dossierProgramme.clear();
}

TEST_F(FrmSetupTest, ButtonsFollowTheWindowsHeight) {
    FrmSetup& w = charge();
    w.show(); // a hidden window gets its resize when it is shown
    w.resize(900, 700);
    auto* fermer = ctl<QPushButton>("CommandFermer");
    auto* enregistrer = ctl<QPushButton>("CommandSave");
    auto* tabs = ctl<QTabWidget>("SftTabsSetup");
    EXPECT_EQ(fermer->y(), w.frameGeometry().height() - fermer->height() - 495 / 15);
    EXPECT_EQ(enregistrer->y(), fermer->y());
    EXPECT_LT(enregistrer->x() + enregistrer->width(), fermer->x());
    EXPECT_EQ(tabs->geometry().bottom() + 1, fermer->y() - 60 / 15);
    programValues().themeActif = 1;
    w.resize(900, 640);
    EXPECT_EQ(fermer->y(), w.frameGeometry().height() - fermer->height() - 525 / 15);
    programValues().themeActif = 0;
}

TEST_F(FrmSetupTest, TheWindowComesBackWhereItWasLeft) {
    FrmSetup& w = charge();
    w.move(210, 135);
    const QPoint avant = w.pos();
    DechargerFrmSetup();
    FrmSetup& encore = charge();
    EXPECT_EQ(encore.pos(), avant);
}

TEST_F(FrmSetupTest, KeysRecordTheModifiersAsTheMainWindowDoes) {
    charge();
    QLineEdit* box = ctl<QLineEdit>("TexteDossierSource", 0);
    QKeyEvent appui(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    QCoreApplication::sendEvent(box, &appui);
    EXPECT_TRUE(programValues().toucheCtrl);
    EXPECT_TRUE(programValues().toucheShift);
    EXPECT_FALSE(programValues().toucheAlt);
    QKeyEvent relache(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &relache);
    EXPECT_FALSE(programValues().toucheCtrl);
    EXPECT_FALSE(programValues().toucheShift);
}

TEST_F(FrmSetupTest, StartUpLoadsItThroughTheHooks) {
    test::ServicesGuard window([](Services& s) { InstallerFrmSetup(s); });
    ChargerFenetreOptions();
    ASSERT_NE(frmSetup(), nullptr);
    EXPECT_EQ(mainWindowHooks().fenetreOptions(), frmSetup());
    EXPECT_FALSE(frmSetup()->isVisible());
    ctl<QCheckBox>("CheckEffectActif", 2)->setChecked(true);
    boites.answer(QStringLiteral("Non"));
    mainWindowHooks().dechargerOptions();
    EXPECT_EQ(frmSetup(), nullptr);
    EXPECT_EQ(mainWindowHooks().fenetreOptions(), nullptr);
    EXPECT_EQ(questions(), QStringList{QString::fromUtf8(kQuestion)});
}

} // namespace

TEST_F(FrmSetupTest, TheUdpRowsAreLive) {
    test::UdpPeer peer;
    const quint16 port = test::portLibre();
    ecritSettings("[UDP_IN]\r\nIP_1=127.0.0.1\r\nPort_1=" + QByteArray::number(port) +
                  "\r\nActif_1=1\r\n[UDP_OUT]\r\nIP_2=127.0.0.1\r\nPort_2=" +
                  QByteArray::number(peer.port()) + "\r\nMsg_2=hello\r\n");
    charge();
    // The row saved active is bound at loading, its fields locked.
    auto* ip = ctl<QLineEdit>("TexteUDPIPSource", 1);
    auto* portSource = ctl<QLineEdit>("TexteUDPPortSource", 1);
    auto* activer = ctl<QCheckBox>("CheckUDPInActif", 1);
    EXPECT_TRUE(frmMainBis().socketUDP(1).isOpen());
    EXPECT_TRUE(ip->isReadOnly());
    EXPECT_TRUE(portSource->isReadOnly());
    EXPECT_FALSE(settings().setupModifie());

    peer.envoie("PING", QStringLiteral("127.0.0.1"), port);
    EXPECT_TRUE(test::attendre([&] { return ctl<QLineEdit>("TexteUDPDonneeRecues", 1)->text() == "PING"; }));

    activer->click();
    EXPECT_FALSE(frmMainBis().socketUDP(1).isOpen());
    EXPECT_FALSE(ip->isReadOnly());
    EXPECT_FALSE(portSource->isReadOnly());
    EXPECT_TRUE(settings().setupModifie());
    activer->click();
    EXPECT_TRUE(frmMainBis().socketUDP(1).isOpen());
    EXPECT_TRUE(ip->isReadOnly());

    ctl<QPushButton>("BtnUDPSend", 2)->click();
    const QNetworkDatagram d = peer.recoit();
    ASSERT_TRUE(d.isValid());
    EXPECT_EQ(d.data(), QByteArray("hello"));
}

TEST_F(FrmSetupTest, SimultaneousConversionsAreShownEditedAndSaved) {
    ecritSettings("[Fichiers]\r\nConversionsSimultanees=3\r\n");
    charge();
    auto* spin = ctl<QSpinBox>("SpinConversionsSimultanees");
    EXPECT_EQ(spin->value(), 3);
    EXPECT_EQ(currentRunSettings().conversionsSimultanees, 3);
    EXPECT_FALSE(settings().setupModifie());

    // 0: one per processor, and said so.
    spin->setValue(0);
    EXPECT_EQ(spin->text(), "Une par processeur");
    EXPECT_EQ(currentRunSettings().conversionsSimultanees, std::max(1, QThread::idealThreadCount()));
    EXPECT_TRUE(settings().setupModifie());
    frmSetup()->show();
    ctl<QPushButton>("CommandSave")->click();
    EXPECT_EQ(LectureIni(fichierSettings(), "Fichiers", "ConversionsSimultanees", "?"), "0");
}
