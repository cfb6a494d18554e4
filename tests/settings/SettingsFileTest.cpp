#include "SettingsFixture.h"

#include "platform/IniFile.h"
#include "platform/Text1252.h"
#include "settings/SourceTypes.h"

#include <QFileInfo>

using namespace ks3;
using ks3::test::SettingsTest;
using I = SettingId;

namespace {

struct Attendu {
    SettingId id;
    int n;
    QVariant valeur;
};

void verifie(std::initializer_list<Attendu> attendus) {
    for (const Attendu& a : attendus) {
        SCOPED_TRACE(settingName(a.id, a.n).toStdString());
        EXPECT_EQ(settings().value(a.id, a.n), a.valeur);
    }
}

} // namespace

TEST_F(SettingsTest, AStartWithoutFileGivesTheDefaults) {
    InitSettings();
    Settings& s = settings();
    for (int n = 0; n < 10; ++n) {
        EXPECT_EQ(s.text(I::DossiersSource, n), "");
        EXPECT_EQ(s.text(I::DossiersCible, n), "");
    }
    for (int n = 0; n < kNombreTypesSource; ++n)
        EXPECT_FALSE(s.sourceSelectionnee(n)) << n;
    EXPECT_EQ(s.typeCible()->libelle, "MPEG-1 Layer 2 (*.mp2)");
    EXPECT_EQ(s.caracteristiqueCible(), "128 Kbits/s 48000 Hz"); // the stored 0 replaces the type's preset
    verifie({{I::FichiersCibleExistant, 0, 0},
             {I::DossiersFrequence, 0, "5"},
             {I::EffetCutSeuildB, 0, "-50"},
             {I::EffetCutSeuilDuree, 0, "100"},
             {I::EffetNormalisationValeurMax, 0, "8"},
             {I::EffetCutActive, 0, 0},
             {I::EffetNormalisationActive, 0, 0},
             {I::EffetEQActive, 0, 0},
             {I::EffetCutSilence, 0, 0},
             {I::EffetNormalisationNature, 0, 0},
             {I::EffetNormalisationValeurDesiree, 0, 0},
             {I::DossiersSourceRecursive, 0, 0},
             {I::FichiersSourcesDetruire, 0, 0},
             {I::FichiersConvertVoirFenetre, 0, 0}});
    for (int n = 0; n < 9; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(s.text(I::UdpInLib, n), "UDP In #" + QString::number(n + 1));
        EXPECT_EQ(s.text(I::UdpInIP, n), "192.168.1.20");
        EXPECT_EQ(s.text(I::UdpInPort, n), QString::number(96 + n));
        EXPECT_EQ(s.number(I::UdpInActif, n), 0);
        EXPECT_EQ(s.text(I::UdpOutLib, n), "UDP Out #" + QString::number(n + 1));
        EXPECT_EQ(s.text(I::UdpOutIP, n), "127.0.0.1");
        EXPECT_EQ(s.text(I::UdpOutPort, n), QString::number(96 + n));
    }
    EXPECT_FALSE(s.setupModifie());
    EXPECT_TRUE(QFileInfo(dir.file("Settings/KS3_Convert")).isDir());
    EXPECT_FALSE(QFileInfo::exists(fichier())); // created by the first save only
}

TEST_F(SettingsTest, SaveThenLoadKeepsEveryValue) {
    Settings& s = settings();
    InitSettings();
    // Every setting away from its default; texts with the accents of the code page.
    for (int n = 0; n < 10; ++n) {
        s.setText(I::DossiersSource, n, dir.path() + QString::fromUtf8("Entrée é€ %1/").arg(n));
        s.setText(I::DossiersCible, n, dir.path() + QString::fromUtf8("Sortie œ %1/").arg(n));
    }
    for (I id : {I::DossiersSourceRecursive, I::DossiersCibleRecursive, I::FichiersSourcesDetruire,
                 I::FichiersCiblesNePasConverir, I::FichiersConvertVoirFenetre, I::EffetCutActive,
                 I::EffetCutDebut, I::EffetCutFin, I::EffetNormalisationActive, I::EffetEQActive})
        s.setNumber(id, 0, 1);
    s.setText(I::DossiersFrequence, 0, "2.5 min");
    for (int n = 0; n < kNombreTypesSource; n += 3)
        s.setNumber(I::FichiersSource, n, n == kSourceSeparateur ? 0 : 1);
    s.choisirCible(3);
    s.setNumber(I::FichiersCibleCaracteristiques, 0, 11);
    s.setNumber(I::FichiersCibleExistant, 0, 2);
    s.setNumber(I::EffetCutSilence, 0, 1);
    s.setText(I::EffetCutSeuildB, 0, "-62.5");
    s.setText(I::EffetCutSeuilDuree, 0, "250");
    s.setNumber(I::EffetNormalisationNature, 0, 3);
    s.setNumber(I::EffetNormalisationValeurDesiree, 0, -40);
    s.setNumber(I::EffetNormalisationValeurFixe, 0, -12);
    s.setText(I::EffetNormalisationValeurMax, 0, "12");
    for (int n = 0; n < 18; ++n)
        s.setNumber(I::EffetEQBande, n, n - 9);
    for (int n = 0; n < 9; ++n) {
        s.setText(I::UdpInLib, n, QString::fromUtf8("Réception n°%1").arg(n));
        s.setText(I::UdpInIP, n, QStringLiteral("10.0.0.%1").arg(n));
        s.setText(I::UdpInPort, n, QString::number(5000 + n));
        s.setNumber(I::UdpInActif, n, n % 2);
        s.setText(I::UdpOutLib, n, QString::fromUtf8("Émission %1").arg(n));
        s.setText(I::UdpOutIP, n, QStringLiteral("10.1.0.%1").arg(n));
        s.setText(I::UdpOutPort, n, QString::number(6000 + n));
        s.setText(I::UdpOutMsg, n, QString::fromUtf8("<Info:Changé %1>").arg(n));
    }
    ASSERT_TRUE(s.setupModifie());

    std::vector<QVariant> avant;
    for (int i = 0; i < kNombreSettingIds; ++i)
        for (int n = 0; n < std::max(1, settingDef(SettingId(i)).count); ++n)
            avant.push_back(s.value(SettingId(i), n));

    ASSERT_TRUE(SaveSettings());
    EXPECT_FALSE(s.setupModifie());
    const QByteArray fichierSauve = test::TempDir::read(fichier());
    EXPECT_TRUE(fichierSauve.contains("UDP_IN]\r\nLib_0=R\xe9"
                                      "ception n\xb0"
                                      "0\r\n"));
    EXPECT_TRUE(fichierSauve.contains("\r\nSource_0=" + toCp1252(dir.path()) +
                                      "Entr\xe9"
                                      "e \xe9\x80 0/\r\n"));
    EXPECT_FALSE(fichierSauve.contains("Source_14"));
    EXPECT_TRUE(fichierSauve.contains("[Fichiers]\r\nSource_0=True\r\nSource_1=False\r\n"));

    s.reinitialiser();
    InitSettings();
    std::size_t k = 0;
    for (int i = 0; i < kNombreSettingIds; ++i)
        for (int n = 0; n < std::max(1, settingDef(SettingId(i)).count); ++n, ++k)
            EXPECT_EQ(s.value(SettingId(i), n), avant[k]) << settingName(SettingId(i), n).toStdString();
    EXPECT_EQ(s.caracteristiqueCible(), "q  1.0 500 KBits/s");
    EXPECT_FALSE(s.setupModifie());

    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(test::TempDir::read(fichier()), fichierSauve);
}

TEST_F(SettingsTest, TargetTypeAndCharacteristicsRules) {
    struct Case {
        const char* name;
        QByteArray fichiers;
        int cible;
        int caracteristique;
        const char* texte;
    } cases[] = {
        {"s48 has no characteristics", "Cible=8\r\nCibleCaracteristiques=1\r\n", 8, -1, ""},
        {"unknown code selects mp3, then the stored index", "Cible=42\r\n", 2, 0, "128 Kbits/s 44100 Hz"},
        {"unknown code keeps the mp3 preset when the index does not fit",
         "Cible=42\r\nCibleCaracteristiques=9\r\n", 2, 2, "256 Kbits/s 44100 Hz"},
        {"negative code", "Cible=-1\r\n", 2, 0, "128 Kbits/s 44100 Hz"},
        {"no selection stored selects the first entry", "Cible=3\r\nCibleCaracteristiques=-1\r\n", 3, 0,
         "q -0.1  48 KBits/s"},
        {"leading-number parse", "Cible= 7 flac\r\nCibleCaracteristiques=3.4\r\n", 7, 3,
         "384 Kbits/s 48000 Hz"},
        {"halves round to even", "Cible=6.5\r\nCibleCaracteristiques=0.5\r\n", 6, 0, "256 Kbits/s 48000 Hz"},
        {"text without a number is code 0", "Cible=aiff\r\n", 0, 0, "16 bits 44100 Hz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settings().reinitialiser();
        ecrit("[Fichiers]\r\n" + c.fichiers);
        InitSettings();
        EXPECT_EQ(settings().cible(), c.cible);
        EXPECT_EQ(settings().cibleCaracteristiques(), c.caracteristique);
        EXPECT_EQ(settings().caracteristiqueCible(), c.texte);
    }
}

TEST_F(SettingsTest, TheS48TypeSavesNoCharacteristic) {
    ecrit("[Fichiers]\r\nCible=8\r\n");
    InitSettings();
    EXPECT_TRUE(settings().caracteristiques().isEmpty());
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(LectureIni(fichier(), "Fichiers", "CibleCaracteristiques"), "-1");
    EXPECT_EQ(LectureIni(fichier(), "Fichiers", "Cible"), "8");
}

TEST_F(SettingsTest, AValueItsControlCannotTakeIsSkipped) {
    Settings& s = settings();
    // What the controls hold before loading: the skipped values must keep it.
    s.choisirCible(1);
    s.setNumber(I::FichiersCibleExistant, 0, 3);
    s.setNumber(I::EffetCutSilence, 0, 1);
    s.setNumber(I::EffetNormalisationNature, 0, 2);
    s.setNumber(I::EffetNormalisationValeurDesiree, 0, -7);
    s.setNumber(I::EffetNormalisationValeurFixe, 0, 4);
    s.setNumber(I::EffetEQBande, 3, 5);
    s.setNumber(I::EffetEQBande, 4, 6);
    s.setNumber(I::EffetCutActive, 0, 1);
    s.setNumber(I::FichiersSource, 2, 1);
    s.setNumber(I::FichiersSource, 3, 1);
    ecrit("[Fichiers]\r\nCibleExistant=4\r\nSource_0=TRUE\r\nSource_1=-1\r\nSource_2=maybe\r\nSource_3=\r\n"
          "Source_4=0\r\nSource_14=True\r\n"
          "[Effet_Cut]\r\nSilence=2\r\nActive=2\r\n"
          "[Effet_Normalisation]\r\nNature=-1\r\nValeurDesiree=5\r\n"
          "[Effet_EQ]\r\nBande_3=13\r\nBande_0=-3.5\r\nBande_1=2.5\r\nBande_2=x\r\n"
          "[Dossiers]\r\nFrequence=\r\n");
    InitSettings();
    verifie({{I::FichiersCibleExistant, 0, 3},
             {I::EffetCutSilence, 0, 1},
             {I::EffetCutActive, 0, 1},
             {I::EffetNormalisationNature, 0, 2},
             {I::EffetNormalisationValeurDesiree, 0, -7},
             {I::EffetNormalisationValeurFixe, 0, 4}, // absent: the slider's own position
             {I::EffetEQBande, 3, 5},
             {I::EffetEQBande, 4, 6},
             {I::EffetEQBande, 0, -4},
             {I::EffetEQBande, 1, 2},
             {I::EffetEQBande, 2, 0}, // no number reads as 0
             {I::FichiersSource, 0, 1},
             {I::FichiersSource, 1, 1},
             {I::FichiersSource, 2, 1},
             {I::FichiersSource, 3, 1},
             {I::FichiersSource, 4, 0},
             {I::FichiersSource, kSourceSeparateur, 0},
             {I::DossiersFrequence, 0, ""}}); // present and empty is not the default
}

TEST_F(SettingsTest, LoadingCreatesTheFoldersNamedInTheSettings) {
    const QString source = dir.path() + QString::fromUtf8("Sources/Été/");
    ecrit("[Dossiers]\r\nSource_4=" + toCp1252(source) + "\r\nCible_9=" + toCp1252(dir.path()) +
          "Out/A/B/\r\n");
    InitSettings();
    EXPECT_EQ(settings().text(I::DossiersSource, 4), source);
    EXPECT_TRUE(QFileInfo(source).isDir());
    EXPECT_TRUE(QFileInfo(dir.file("Out/A/B")).isDir());
}

TEST_F(SettingsTest, ChangesMarkTheSettingsModifiedExceptTheFrequencyAndMessages) {
    Settings& s = settings();
    InitSettings();
    struct Case {
        const char* name;
        std::function<void()> change;
        bool marque;
    } cases[] = {
        {"folder", [&] { s.setText(I::DossiersCible, 2, "/x/"); }, true},
        {"check box", [&] { s.setNumber(I::EffetEQActive, 0, 1); }, true},
        {"source type", [&] { s.setNumber(I::FichiersSource, 8, 1); }, true},
        {"target type", [&] { s.choisirCible(4); }, true},
        {"slider", [&] { s.setNumber(I::EffetEQBande, 17, 12); }, true},
        {"receive address", [&] { s.setText(I::UdpInIP, 0, "10.0.0.1"); }, true},
        {"frequency", [&] { s.setText(I::DossiersFrequence, 0, "10"); }, false},
        {"send message", [&] { s.setText(I::UdpOutMsg, 3, "<Do:Convert>"); }, false},
        {"same value", [&] { s.setNumber(I::EffetCutActive, 0, 0); }, false},
        {"refused value", [&] { s.setNumber(I::EffetCutActive, 0, 2); }, false},
        {"separator", [&] { s.setNumber(I::FichiersSource, kSourceSeparateur, 1); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        s.setSetupModifie(false);
        c.change();
        EXPECT_EQ(s.setupModifie(), c.marque);
        s.setSetupModifie(false);
        s.setChargementSetup(true);
        s.reinitialiser();
        InitSettings();
        c.change();
        EXPECT_FALSE(s.setupModifie()) << "while loading";
        s.setChargementSetup(false);
    }
}

TEST_F(SettingsTest, LoadingNeverMarksAndTellsTheWindowWhatMoved) {
    Settings& s = settings();
    ecrit("[Fichiers]\r\nCible=2\r\n[Effet_EQ]\r\nBande_5=3\r\n");
    int bande5 = 0, listes = 0;
    auto c1 = QObject::connect(&s, &Settings::changed, [&](SettingId id, int n) {
        if (id == I::EffetEQBande && n == 5)
            ++bande5;
    });
    auto c2 = QObject::connect(&s, &Settings::caracteristiquesRemplies, [&] { ++listes; });
    s.setSetupModifie(true);
    InitSettings();
    QObject::disconnect(c1);
    QObject::disconnect(c2);
    EXPECT_EQ(bande5, 1);
    EXPECT_EQ(listes, 1);
    EXPECT_EQ(s.caracteristiques(), targetType(2)->caracteristiques);
    EXPECT_FALSE(s.setupModifie());
    EXPECT_FALSE(s.chargementSetup());
}

TEST_F(SettingsTest, SelectAllNeverSelectsTheSeparator) {
    settings().selectionnerSources(true);
    for (int n = 0; n < kNombreTypesSource; ++n)
        EXPECT_EQ(settings().sourceSelectionnee(n), n != kSourceSeparateur) << n;
    settings().selectionnerSources(false);
    for (int n = 0; n < kNombreTypesSource; ++n)
        EXPECT_FALSE(settings().sourceSelectionnee(n)) << n;
}

TEST_F(SettingsTest, FileNamesFollowTheInstance) {
    struct Case {
        int instance;
        const char* suffix;
        const char* nom;
    } cases[] = {
        {0, "", "KS3_Tools_Convert.Ini"},
        {3, "", "KS3_Tools_Convert_3.Ini"},
        {10, "_Positions", "KS3_Tools_Convert_10_Positions.Ini"},
    };
    for (const Case& c : cases) {
        programValues().noInstance = c.instance;
        DossierSettings().clear();
        EXPECT_EQ(NomFichierSettings(c.suffix, ".Ini"), dir.path() + "Settings/KS3_Convert/" + c.nom);
    }
    EXPECT_EQ(DossierSettings(), dir.path() + "Settings/KS3_Convert/");
}

TEST_F(SettingsTest, APathWithAQuestionMarkIsNeverReadNorWritten) {
    const QString programme = dir.path() + "why?/";
    const QString dansLeDossier = programme + "Settings/KS3_Convert/KS3_Tools_Convert.Ini";
    dir.write("why?/Settings/KS3_Convert/KS3_Tools_Convert.Ini", "[Dossiers]\r\nFrequence=42\r\n");
    programValues().dossierProgramme = programme;
    InitSettings();
    EXPECT_EQ(settings().text(I::DossiersFrequence), "5");
    settings().setNumber(I::EffetCutActive, 0, 1);
    EXPECT_FALSE(SaveSettings());
    EXPECT_TRUE(settings().setupModifie()); // still offered for saving
    EXPECT_EQ(test::TempDir::read(dansLeDossier), QByteArray("[Dossiers]\r\nFrequence=42\r\n"));
}

TEST_F(SettingsTest, AFailedSaveKeepsTheChangesOfferedWithoutRealWaiting) {
    dir.write("Settings", "a file where the folder should be");
    InitSettings();
    settings().setNumber(I::EffetCutActive, 0, 1);
    EXPECT_FALSE(SaveSettings());
    EXPECT_TRUE(settings().setupModifie());
    EXPECT_EQ(clock.waits, 2); // the three attempts of one replacement of the file
}

TEST_F(SettingsTest, AReceiveRowListensOnThisComputerUnlessItNamesAnAddress) {
    // Blank and "0.0.0.0" (every interface) become this computer's address; any
    // other text, the same address behind a space included, is kept.
    ecrit("[UDP_IN]\r\nIP_0=0.0.0.0\r\nIP_1=\r\nIP_2=   \r\nIP_3=10.1.2.3\r\nIP_4=0.0.0.0x\r\n");
    InitSettings();
    verifie({{I::UdpInIP, 0, "192.168.1.20"},
             {I::UdpInIP, 1, "192.168.1.20"},
             {I::UdpInIP, 2, "192.168.1.20"},
             {I::UdpInIP, 3, "10.1.2.3"},
             {I::UdpInIP, 4, "0.0.0.0x"},
             {I::UdpInIP, 5, "192.168.1.20"}}); // absent
}
