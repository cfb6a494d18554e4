#include "common/Messages.h"
#include "common/MessageBoxService.h"
#include "common/TraceLog.h"
#include "support/ManualClock.h"
#include "support/ScriptedMessageBoxService.h"
#include "support/ServicesGuard.h"

#include <gtest/gtest.h>

using namespace ks3;

namespace {

// A scripted service that can also pretend a window of the program is active.
class Service : public ScriptedMessageBoxService {
public:
    std::optional<QString> active;
    std::optional<QString> activeWindowTitle() const override { return active; }
};

struct MessagesFixture : ::testing::Test {
    test::ManualClock clock;
    Service service;
    test::ServicesGuard services{[this](Services& s) { s.questions = &service; }};
    void SetUp() override { resetTraceLog(); }
    void TearDown() override { resetTraceLog(); }
    // Lines traced so far (the options window is not loaded in these tests).
    QString trace() const { return traceLists().listeLogTemp.stringList().join(QLatin1Char('\n')); }
    const ChoiceBoxRequest& last() const { return service.seen().last(); }
};

} // namespace

TEST_F(MessagesFixture, AffMsgDecodesTheStyleIntoIconButtonsAndAnswers) {
    struct Case {
        int style;
        int icon;
        QStringList captions;
        QList<int> answers; // answer of each button, pressed in turn
    } cases[] = {
        {0, 64, {"Ok"}, {1}},
        {16, 16, {"Ok"}, {1}},
        {18, 16, {"Abandonner", "Réessayer", "Ignorer"}, {2, 4, 5}},
        {48, 48, {"Ok"}, {1}},
        {64, 64, {"Ok"}, {1}},
        {65584, 48, {"Ok"}, {1}},
        {1, 64, {"Ok", "Abandonner"}, {1, 2}},
        {35, 32, {"Oui", "Non", "Annuler"}, {6, 7, 2}},
        {36, 32, {"Oui", "Non"}, {6, 7}},
        {53, 48, {"Réessayer", "Annuler"}, {4, 2}},
        {6, 64, {"Ok"}, {1}},  // not a button set: "Ok"
        {80, 16, {"Ok"}, {1}}, // 64 then 16: each icon test is made once, the last one wins
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        for (int i = 0; i < c.captions.size(); ++i) {
            service.answer(i + 1);
            EXPECT_EQ(AffMsg(QStringLiteral("Texte"), c.style, QStringLiteral("Titre")), c.answers.at(i));
            EXPECT_EQ(last().icon, c.icon);
            EXPECT_EQ(last().buttons, c.captions);
        }
    }
}

TEST_F(MessagesFixture, AffMsgPassesItsRequestAndMapsOtherResultsToZero) {
    service.answer(9);
    EXPECT_EQ(AffMsg(QStringLiteral("  Deux\r\nlignes  "), 4, QStringLiteral(" Titre "), false, 5000, 3), 0);
    const ChoiceBoxRequest& r = last();
    EXPECT_EQ(r.message, QStringLiteral("Deux\r\nlignes"));
    EXPECT_EQ(r.title, QStringLiteral("Titre"));
    EXPECT_EQ(r.defaultButton, 1);
    EXPECT_EQ(r.alignment, 2);
    EXPECT_LT(r.xPos, 0);
    EXPECT_LT(r.yPos, 0);
    EXPECT_EQ(r.timeoutMs, 5000);
    EXPECT_EQ(r.zone, 3);
    EXPECT_FALSE(r.noWait);

    // Without waiting the call answers 1 whatever the style.
    service.answer(2);
    EXPECT_EQ(AffMsg(QStringLiteral("x"), 18, QStringLiteral("t"), true), 1);
    EXPECT_TRUE(last().noWait);
}

TEST_F(MessagesFixture, AffMsgWithoutTitleTakesTheActiveWindowsCaption) {
    service.active = QStringLiteral("Kestrel: Tools Convert - 2024.0216.0805");
    AffMsg(QStringLiteral("x"), 0, QStringLiteral("   "));
    EXPECT_EQ(last().title, service.active);
    EXPECT_FALSE(trace().contains(QStringLiteral("Err:")));

    // No active window: the failure is traced and the box gets the program's title.
    service.active.reset();
    AffMsg(QStringLiteral("x"), 0, QString());
    EXPECT_TRUE(last().title.isEmpty());
    EXPECT_TRUE(trace().contains(QStringLiteral("Source:Lib_Public Sub:AffMsg:30")));
}

TEST_F(MessagesFixture, GestErrFraBuildsTheSuitesNumberedMessages) {
    struct Case {
        int number;
        QString detail, title, procedure;
        QString message, boxTitle;
        int icon;
    } cases[] = {
        {9, "12", "BTrieve (Source:Lib_Data_Pervasive Sub:BTRieve)", "", "N° station hors limite:12",
         "BTrieve (Source:Lib_Data_Pervasive Sub:BTRieve)", 16},
        {2003, "#: 41", "(Source:FrmSetup Sub:LabelDataArrivalUDP_Change)", "",
         "Fichier #: 41 non ouvert\r\n(Source:FrmSetup Sub:LabelDataArrivalUDP_Change)", "Erreur", 48},
        {2003, "#: 7", "(source:X)", "", "Fichier #: 7 non ouvert\r\n(source:X)", "Erreur", 48},
        {12345, "", "", "", "Err:12345 inconnue", "Erreur", 48},
        {9, "1\t2", "T", "", "N° station hors limite:1 2", "T", 16},
        {2000, QString::fromUtf8("  é û ü\x01ÿ  "), "T", "", QString::fromUtf8("é û"), "T", 48},
        {1000, "ignoré", "T", "", "Fichier de paramètres défectueux", "T", 48},
        {1010, "Sons", "", "InitGeneral", "Dossier 'Sons' non trouvé\n(Sub: InitGeneral)", "Erreur", 48},
        {1001, "", "T", "", "Erreur 1001", "T", 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        GestErr_Fra(c.number, c.detail, c.title, false, c.procedure);
        ASSERT_FALSE(service.seen().isEmpty());
        EXPECT_EQ(last().message, c.message.trimmed());
        EXPECT_EQ(last().title, c.boxTitle);
        EXPECT_EQ(last().icon, c.icon);
        EXPECT_EQ(last().buttons, QStringList{QStringLiteral("Ok")});
        service.clear();
    }
}

TEST_F(MessagesFixture, GestErrFraSilentShowsAndWritesNothing) {
    GestErr_Fra(2003, QStringLiteral("#: 41"), QStringLiteral("(Source:A Sub:B)"), true, QStringLiteral("P"));
    EXPECT_TRUE(service.seen().isEmpty());
    EXPECT_TRUE(trace().isEmpty());
}

TEST(LibelleMessage, SectionsAreMatchedWithTheirLetterCase) {
    struct Case {
        const char* section;
        int number;
        int format;
        QString text;
    } cases[] = {
        {"Droits", 3, 0, "Erreur"},
        {"Internet", 8, 0, "Fichier"},
        {"Divers00", 34, 0, "Faîtes une restauration de ce fichier"},
        {"Divers00", 99, 0, "???:Divers00:99:???"},
        {"divers00", 34, 0, "???:divers00:34:???"},
        {"Jour", 1, 0, "Lundi"},
        {"Jour", 1, 3, "Lun"},
        {"Droits", 3, 3, "Erreur"},
        {"Nulle", -4, 0, "???:Nulle:-4:???"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LibelleMessage(QString::fromLatin1(c.section), c.number, c.format), c.text) << c.section;
}
