// The history window over real record files: its search, its messages, the
// attempts of a header, the layout of its lists.
#include "history/ui/FrmHisto.h"
#include "common/NomFichierSettings.h"
#include "common/ProgramValues.h"
#include "common/ui/Twips.h"
#include "runtime/Services.h"
#include "support/HistoryFixture.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTreeWidget>

using namespace ks3;

namespace {

class FrmHistoTest : public test::HistoryFixture {
protected:
    test::TempDir program;

    void SetUp() override {
        HistoryFixture::SetUp();
        programValues().dossierProgramme = program.path();
        DossierSettings().clear();
        header(1, QStringLiteral("abc.wav"), QStringLiteral("/a"), QStringLiteral("20240216080509"));
        header(2, QStringLiteral("ABC.wav"), QStringLiteral("/b"), QStringLiteral("20240215120000"),
               QStringLiteral("E"));
        header(3, QStringLiteral("abd.wav"), QStringLiteral("/a"), QStringLiteral("20240216100000"));
        detail(2, 1, QStringLiteral("E"), QStringLiteral("Erreur de décodage"), 1234);
        detail(2, 2, QStringLiteral("N"), QStringLiteral("Cible identique"));
        detail(2, 3, QStringLiteral("O"), QStringLiteral("kept out"), 0);
        AfficherFrmHisto();
    }
    void TearDown() override {
        DechargerFrmHisto();
        DossierSettings().clear();
        programValues().dossierProgramme.clear();
        HistoryFixture::TearDown();
    }
    template <class T> T* ctl(const char* name) {
        T* c = frmHisto()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static QList<QStringList> rows(QTreeWidget* list) {
        QList<QStringList> all;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < list->columnCount(); ++c)
                cells << list->topLevelItem(i)->text(c);
            all << cells;
        }
        return all;
    }
    static QStringList columns(QTreeWidget* list) {
        QStringList names;
        for (int c = 0; c < list->columnCount(); ++c)
            names << list->headerItem()->text(c);
        return names;
    }
    void search(int type, const QString& text) {
        ctl<QComboBox>("ComboOrdreRecherche")->setCurrentIndex(type);
        ctl<QLineEdit>("TexteRecherche")->setText(text);
        ctl<QPushButton>("BtnRecherche")->click();
    }
    void doubleClick(int row) {
        auto* upper = ctl<QTreeWidget>("ListViewRechercheMaitre");
        upper->setCurrentItem(upper->topLevelItem(row));
        emit upper->itemDoubleClicked(upper->topLevelItem(row), 0);
    }
};

TEST_F(FrmHistoTest, LoadsWithFichierAndItsColumns) {
    EXPECT_EQ(frmHisto()->windowTitle(), "Historique");
    EXPECT_TRUE(frmHisto()->isVisible());
    auto* combo = ctl<QComboBox>("ComboOrdreRecherche");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), "Date");
    EXPECT_EQ(combo->itemText(2), "Erreurs!");
    EXPECT_EQ(combo->currentText(), "Fichier");
    EXPECT_EQ(ctl<QPushButton>("BtnRecherche")->text(), "Rechercher");
    auto* upper = ctl<QTreeWidget>("ListViewRechercheMaitre");
    EXPECT_EQ(columns(upper), (QStringList{"Fichier", "Dossier", "Date traitement", "Date fichier", "Id"}));
    EXPECT_EQ(upper->toolTip(), "Double clique pour afficher le détail");
    EXPECT_EQ(
        columns(ctl<QTreeWidget>("ListViewRechercheDetail")),
        (QStringList{"Index", "Date Fichier", "Taille", "Debut Convert", "Fin Convert", "Ok", "Libellé"}));
}

TEST_F(FrmHistoTest, SearchThenDoubleClickListsTheAttempts) {
    search(1, QStringLiteral("abc"));
    auto* upper = ctl<QTreeWidget>("ListViewRechercheMaitre");
    EXPECT_EQ(
        rows(upper),
        (QList<QStringList>{{"abc.wav", "/a", "16/02/2024 08:05:09", "01/01/2024 10:10:10", "0000000001"},
                            {"ABC.wav", "/b", "15/02/2024 12:00:00", "01/01/2024 10:10:10", "0000000002"}}));
    doubleClick(1);
    auto* lower = ctl<QTreeWidget>("ListViewRechercheDetail");
    const QList<QStringList> attempts = rows(lower);
    ASSERT_EQ(attempts.size(), 3);
    EXPECT_EQ(attempts[0], (QStringList{"1", "16/02/2024 08:05:09", "1234", "16/02/2024 09:00:00",
                                        "16/02/2024 09:01:07", "E", "Erreur de décodage"}));
    EXPECT_EQ(attempts[1][0], "2");
    EXPECT_EQ(attempts[2][0], "3");
    EXPECT_EQ(attempts[2][5], "Ok");
    EXPECT_EQ(attempts[2][6], "");

    // A new search empties the upper list only.
    search(0, QStringLiteral("16/02/2024"));
    EXPECT_EQ(rows(upper).size(), 2);
    EXPECT_EQ(rows(upper)[1][4], "0000000003");
    EXPECT_EQ(rows(lower), attempts);
    EXPECT_TRUE(boxes.seen().isEmpty());
}

TEST_F(FrmHistoTest, AnUnreadableDateLeavesTheListsAsTheyWere) {
    search(1, QStringLiteral("ab"));
    doubleClick(1);
    auto* upper = ctl<QTreeWidget>("ListViewRechercheMaitre");
    auto* lower = ctl<QTreeWidget>("ListViewRechercheDetail");
    const QList<QStringList> before = rows(upper), attempts = rows(lower);
    ASSERT_EQ(before.size(), 3);
    search(0, QStringLiteral("16-13-2024x"));
    ASSERT_EQ(boxes.seen().size(), 1);
    EXPECT_EQ(boxes.seen()[0].message, "Format de date non valide (jj/mm/aaaa)");
    EXPECT_EQ(boxes.seen()[0].icon, 48);
    EXPECT_EQ(boxes.seen()[0].buttons, QStringList{"Ok"});
    EXPECT_EQ(boxes.seen()[0].title, "Historique");
    EXPECT_EQ(rows(upper), before);
    EXPECT_EQ(rows(lower), attempts);
}

TEST_F(FrmHistoTest, ListsFollowTheWindowSize) {
    FrmHisto& w = *frmHisto();
    w.resize(800, 600);
    auto* upper = ctl<QTreeWidget>("ListViewRechercheMaitre");
    auto* lower = ctl<QTreeWidget>("ListViewRechercheDetail");
    const int width = pixelsDeTwips(twipsDePixels(800) - 30 - 150);
    EXPECT_EQ(upper->geometry(), QRect(pixelsDeTwips(30), pixelsDeTwips(420), width, pixelsDeTwips(2925)));
    EXPECT_EQ(lower->geometry(), QRect(pixelsDeTwips(30), pixelsDeTwips(3360), width,
                                       pixelsDeTwips(twipsDePixels(600) - 3360 - 550)));
    w.resize(100, 100); // too small: the lists stay
    EXPECT_EQ(upper->width(), width);
}

TEST_F(FrmHistoTest, TheWindowComesBackWhereItWasLeft) {
    frmHisto()->move(230, 140);
    const QPoint before = frmHisto()->pos();
    DechargerFrmHisto();
    EXPECT_EQ(frmHisto(), nullptr);
    AfficherFrmHisto();
    EXPECT_EQ(frmHisto()->pos(), before);
}

} // namespace

TEST_F(FrmHistoTest, TheMainWindowsHistoriqueOpensItBesideTheOthers) {
    DechargerFrmHisto();
    Services s;
    InstallerFrmHisto(s);
    QWidget mainWindow;
    ASSERT_TRUE(s.windowHooks.afficherHistorique);
    s.windowHooks.afficherHistorique(mainWindow);
    ASSERT_NE(frmHisto(), nullptr);
    EXPECT_TRUE(frmHisto()->isVisible());
    EXPECT_FALSE(frmHisto()->isModal());
    EXPECT_EQ(ctl<QComboBox>("ComboOrdreRecherche")->currentText(), "Fichier");
}

// The program's --history on the data folder of a copy of the program prints
// what the window lists.
class HistoryCommandLine : public FrmHistoTest {
protected:
    QString prog;

    void SetUp() override {
        prog = program.file("prog/");
        QDir().mkpath(prog + "BTRieve/Data");
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(KS3_BIN_DIR "/KS3_Tools_Convert"), prog + "KS3_Tools_Convert"));
        QFile(prog + "KS3_Tools_Convert")
            .setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner);
        // The records go where the program finds its data.
        resetBtrieveState();
        resetRecordBuffers();
        InitGeneralData();
        workingFolders().dataFolder = prog + "BTRieve/Data/";
        workingFolders().logTechFolder = data.path();
        workingFolders().nbStation = 1;
        FichierPervasiveOuvrir(0, 1, 1, 41);
        FichierPervasiveOuvrir(0, 1, 1, 42);
        programValues().dossierProgramme = program.path();
        header(1, QStringLiteral("abc été.wav"), QStringLiteral("/a/é"), QStringLiteral("20240216080509"));
        header(2, QStringLiteral("ABC.wav"), QStringLiteral("/b"), QStringLiteral("20240215120000"),
               QStringLiteral("E"));
        header(3, QStringLiteral("abd.wav"), QStringLiteral("/a"), QStringLiteral("20240216100000"));
        header(4, QStringLiteral("abc.wav"), QStringLiteral("/c"), QStringLiteral("20240216100000"));
        detail(2, 1, QStringLiteral("E"), QStringLiteral("Erreur de décodage"), 1234);
        detail(2, 2, QStringLiteral("O"), QString());
        AfficherFrmHisto();
    }

    struct Output {
        int status = -1;
        QList<QStringList> rows;
        QString err;
    };
    Output run(const QStringList& args) {
        QProcess p;
        p.start(prog + "KS3_Tools_Convert", args);
        EXPECT_TRUE(p.waitForFinished(30000));
        Output o;
        o.status = p.exitCode();
        o.err = QString::fromUtf8(p.readAllStandardError());
        for (const QString& line :
             QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
            o.rows << line.split('\t');
        return o;
    }
};

TEST_F(HistoryCommandLine, PrintsTheRowsOfTheWindow) {
    search(1, QStringLiteral("abc"));
    auto* upper = ctl<QTreeWidget>("ListViewRechercheMaitre");
    ASSERT_EQ(rows(upper).size(), 3);
    const Output o = run({"--history", "Fichier", "abc"});
    EXPECT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_EQ(o.rows, QList<QStringList>{columns(upper)} + rows(upper));

    doubleClick(1); // ABC.wav, header 2
    auto* lower = ctl<QTreeWidget>("ListViewRechercheDetail");
    ASSERT_EQ(rows(lower).size(), 2);
    const Output d = run({"--history-detail", "0000000002"});
    EXPECT_EQ(d.status, 0);
    EXPECT_EQ(d.rows, QList<QStringList>{columns(lower)} + rows(lower));

    search(0, QStringLiteral("16/02/2024"));
    EXPECT_EQ(run({"/I=0", "--history", "Date", "16/02/2024"}).rows,
              QList<QStringList>{columns(upper)} + rows(upper));
}

TEST_F(HistoryCommandLine, AnUnreadableDateEndsWithTheMessageAndStatus2) {
    const Output o = run({"--history", "Date", "16/13/2024"});
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(o.rows.isEmpty());
    EXPECT_EQ(o.err.trimmed(), "Format de date non valide (jj/mm/aaaa)");
}
