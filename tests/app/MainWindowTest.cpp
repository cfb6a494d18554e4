#include "app/FrmAbout.h"
#include "app/Frm_Main.h"
#include "app/Standby.h"
#include "common/DateFormats.h"
#include "common/DoEvents.h"
#include "common/VersionApplication.h"
#include "common/WindowPosition.h"
#include "support/RunFixture.h"
#include "udp/FileTraitementsUDP.h"
#include "udp/LabelDataArrivalUDP_Change.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStringListModel>
#include <QTabWidget>
#include <QWindow>
#include <csignal>
#include <memory>

using namespace ks3;

namespace {
const QString kRefus = QStringLiteral("Conversion en cours. Vous ne pouvez pas quitter l'application");
const QString kQuitter = QStringLiteral("Voulez-vous quitter le programme ?");
const QString kStopper = QStringLiteral("Voulez-vous stopper la conversion en cours ?");
const QString kDejaEnCours = QStringLiteral("Conversion déjà en cours.");

struct MainWindowTest : test::RunFixture {
    std::unique_ptr<Frm_Main> w;
    int ended = 0;

    void TearDown() override {
        w.reset();
        RunFixture::TearDown();
    }
    Frm_Main& window() {
        w.reset();
        w = std::make_unique<Frm_Main>();
        w->timerMain().stop(); // ticks come from the tests
        w->finProgramme = [this] { ++ended; };
        return *w;
    }
    template <class T> T* child(const char* name) const { return w->findChild<T*>(QLatin1String(name)); }
    QPushButton* button(const char* name) const { return child<QPushButton>(name); }
    QAction* action(const char* name) const { return child<QAction>(name); }
    QLabel* label(const char* name) const { return child<QLabel>(name); }
    // The window's own close box: the window system's close event on the window.
    void closeBox() const {
        QCloseEvent event;
        QCoreApplication::sendEvent(w->windowHandle(), &event);
    }
};
} // namespace

TEST_F(MainWindowTest, ControlsMenusAndTheirStates) {
    Frm_Main& m = window();
    EXPECT_EQ(m.objectName(), QStringLiteral("Frm_Main"));
    EXPECT_EQ(m.windowTitle(), QStringLiteral("Kestrel: Tools Convert - ") + VersionApplication());

    const struct {
        const char* name;
        const char* caption;
        const char* tip;
    } buttons[] = {
        {"CommandConvert", "Convertir", "Lancer la conversion maintenant"},
        {"CommandStopConvert", "Stopper", "Stopper la conversion maintenant"},
        {"CommandMiseEnVeille", "Mettre en veille", ""},
        {"CommandQuitter", "Quitter", ""},
    };
    for (const auto& b : buttons) {
        QPushButton* pb = button(b.name);
        ASSERT_NE(pb, nullptr) << b.name;
        EXPECT_EQ(pb->text(), QString::fromUtf8(b.caption));
        EXPECT_EQ(pb->toolTip(), QString::fromUtf8(b.tip));
    }
    EXPECT_TRUE(button("CommandConvert")->isEnabled());
    EXPECT_FALSE(button("CommandStopConvert")->isEnabled());

    const struct {
        const char* name;
        QStringListModel* model;
    } lists[] = {
        {"ListeDossiersSource", &runState().listeDossiersSource},
        {"ListeFichiersSource", &runState().listeFichiersSource},
        {"ListeFichiersCible", &runState().listeFichiersCible},
        {"ListeLogTemp", &traceLists().listeLogTemp},
    };
    for (const auto& l : lists) {
        QListView* v = child<QListView>(l.name);
        ASSERT_NE(v, nullptr) << l.name;
        EXPECT_EQ(v->model(), l.model) << l.name;
        EXPECT_EQ(v->editTriggers(), QAbstractItemView::NoEditTriggers) << l.name;
    }
    for (const char* name : {"LabelDossierSourceEnCours", "LabelDossierSourceTraite", "LabelFichierTraite",
                             "LabelDossierCibleEnCours", "LabelDossierCibleTraite"})
        EXPECT_NE(label(name), nullptr) << name;
    EXPECT_EQ(label("LabelTimingConvert0")->text(), QStringLiteral("12:00:00"));
    EXPECT_EQ(label("LabelTimingConvert1")->text(), QStringLiteral("12:00:00"));
    EXPECT_TRUE(label("LabelTimingConvert1")->isHidden());
    ASSERT_NE(child<QTabWidget>("SftTabsMain"), nullptr);
    ASSERT_NE(child<MainTimer>("TimerMain"), nullptr);

    // Menus: entries in order, "-" for a separator.
    QStringList bar;
    for (QAction* a : m.menuBar()->actions())
        bar << a->menu()->objectName() + QLatin1Char(' ') + a->text();
    EXPECT_EQ(bar, (QStringList{"Mnu01 Fichier", "Mnu02 Conversion", "Mnu99 ?"}));
    auto entries = [&](const char* menu) {
        QStringList out;
        for (QAction* a : child<QMenu>(menu)->actions())
            out << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + QLatin1Char(' ') + a->text());
        return out;
    };
    EXPECT_EQ(entries("Mnu01"), (QStringList{"Mnu01Veille Mise en veille", "-", "Mnu01Options Options", "-",
                                             "Mnu01Log Log techniques", "-", "Mnu01Quitter Quitter"}));
    EXPECT_EQ(entries("Mnu02"),
              (QStringList{"Mnu02Lancer Lancer", "Mnu02Stopper Stopper", "-", "Mnu02Historique Historique"}));
    EXPECT_EQ(entries("Mnu99"), (QStringList{"Mnu99APropos A propos"}));
    EXPECT_TRUE(action("Mnu02Lancer")->isEnabled());
    EXPECT_FALSE(action("Mnu02Stopper")->isEnabled());
}

TEST_F(MainWindowTest, ARunShowsItsWorkAndTurnsTheCommands) {
    window();
    struct DuringRun {
        bool lancer, stopperMenu, stopperButton, startShown;
        QString fichierTraite, startTime;
        int filesListed;
    } during{};
    steps.onCompare = [&](int file) {
        if (file != 1)
            return;
        during = {action("Mnu02Lancer")->isEnabled(),
                  action("Mnu02Stopper")->isEnabled(),
                  button("CommandStopConvert")->isEnabled(),
                  !label("LabelTimingConvert1")->isHidden(),
                  label("LabelFichierTraite")->text(),
                  label("LabelTimingConvert1")->text(),
                  child<QListView>("ListeFichiersSource")->model()->rowCount()};
    };
    const QTime started = clock.now().time();
    button("CommandConvert")->click();
    ASSERT_EQ(steps.compared.size(), 2);
    EXPECT_FALSE(during.lancer);
    EXPECT_TRUE(during.stopperMenu);
    EXPECT_TRUE(during.stopperButton);
    EXPECT_TRUE(during.startShown);
    EXPECT_EQ(during.fichierTraite, steps.compared.first());
    EXPECT_EQ(during.startTime, texteHeure(started));
    EXPECT_EQ(during.filesListed, 2);

    EXPECT_TRUE(action("Mnu02Lancer")->isEnabled());
    EXPECT_FALSE(action("Mnu02Stopper")->isEnabled());
    EXPECT_FALSE(button("CommandStopConvert")->isEnabled());
    EXPECT_TRUE(label("LabelTimingConvert1")->isHidden());
    EXPECT_EQ(label("LabelTimingConvert0")->text(), texteDateHeure(runState().prochaineConversion()));
    EXPECT_EQ(label("LabelDossierSourceEnCours")->text(), dir.file("In/") + " (2 fichiers)");
    const QAbstractItemModel* summary = child<QListView>("ListeFichiersCible")->model();
    ASSERT_EQ(summary->rowCount(), 4);
    EXPECT_EQ(summary->index(0, 0).data().toString(), QString(50, QLatin1Char('=')));

    // The menu entry starts a run as the button does.
    action("Mnu02Lancer")->trigger();
    EXPECT_EQ(steps.compared.size(), 4);
}

TEST_F(MainWindowTest, ConvertirDuringARunStartsNothing) {
    window();
    steps.onCompare = [&](int file) {
        if (file != 1)
            return;
        button("CommandConvert")->click();
        action("Mnu02Lancer")->trigger(); // disabled during a run
    };
    button("CommandConvert")->click();
    EXPECT_EQ(steps.compared.size(), 2);
    EXPECT_EQ(messages(), QStringList{kDejaEnCours});
}

TEST_F(MainWindowTest, StopperEndsTheRunAfterTheCurrentFileWhenAnsweredOui) {
    const struct {
        const char* answer;
        const char* command;
        int filesCompared;
        int stopTraced;
    } cases[] = {
        {"Oui", "CommandStopConvert", 1, 1},
        {"Non", "CommandStopConvert", 2, 0},
        {"Oui", "Mnu02Stopper", 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " " + c.answer);
        window();
        resetTraceLog();
        traceLists().frmSetupCharge = true;
        boxes.clear();
        steps.compared.clear();
        steps.onCompare = [&](int file) {
            if (file != 1)
                return;
            boxes.answer(QString::fromLatin1(c.answer));
            if (QPushButton* b = button(c.command))
                b->click();
            else
                action(c.command)->trigger();
        };
        button("CommandConvert")->click();
        EXPECT_EQ(steps.compared.size(), c.filesCompared);
        ASSERT_EQ(boxes.seen().size(), 1);
        EXPECT_EQ(boxes.seen().first().message, kStopper);
        EXPECT_EQ(boxes.seen().first().buttons, (QStringList{"Oui", "Non"}));
        EXPECT_EQ(boxes.seen().first().icon, 32);
        EXPECT_EQ(tracedCount(QStringLiteral("Conversion stoppée")), c.stopTraced);
        EXPECT_FALSE(runState().stopConversion) << "cleared at the end of the run";
        EXPECT_FALSE(runState().conversionEnCours);
    }
}

TEST_F(MainWindowTest, ClosingDuringARunIsRefusedWhoeverAsks) {
    Frm_Main& m = window();
    m.show();
    steps.onCompare = [&](int file) {
        if (file != 1)
            return;
        closeBox();
        m.close();
        m.FermetureSysteme();
        std::raise(SIGTERM);
        DoEvents();
    };
    button("CommandConvert")->click();
    EXPECT_EQ(messages(), (QStringList{kRefus, kRefus, kRefus, kRefus})) << "refused, never questioned";
    EXPECT_EQ(boxes.seen().first().icon, 48);
    EXPECT_EQ(steps.compared.size(), 2) << "the run goes on";
    EXPECT_FALSE(m.unloaded());
    EXPECT_TRUE(m.isVisible());
    EXPECT_EQ(ended, 0);
}

// A request's handling lets events run at many points, and a close may come
// at any of them: unloading there would close the record files under the
// request, which would then report a closed file and end the program halfway.
TEST_F(MainWindowTest, ClosingDuringTheHandlingOfAUdpRequestIsRefused) {
    Frm_Main& m = window();
    m.show();
    // The closes come while the request is handled, as its action is traced.
    bool tried = false;
    auto closeDuringTheRequest = [&](const QModelIndex& line) {
        if (tried || !line.data().toString().endsWith(QStringLiteral("UDP: Action: Convert")))
            return;
        tried = true;
        closeBox();
        m.close();
        m.FermetureSysteme();
    };
    for (QStringListModel* list : {&traceLists().listeLog, &traceLists().listeLogTemp})
        QObject::connect(list, &QAbstractItemModel::dataChanged, &m, closeDuringTheRequest);
    traitementsUDP().recevoir(0, QStringLiteral("<Do:Convert><Song:JIN00123><SoundFile:") +
                                     dir.file("none.wav") + QLatin1Char('>'));
    ASSERT_TRUE(tried);
    EXPECT_EQ(tracedCount(QStringLiteral("UDP: Err: File not found: ") + dir.file("none.wav")), 1)
        << "the request went on to its end";
    EXPECT_EQ(messages(), (QStringList{kRefus, kRefus, kRefus}));
    EXPECT_FALSE(m.unloaded());
    EXPECT_EQ(ended, 0);

    // Once the request is handled, the program closes.
    m.FermetureSysteme();
    EXPECT_TRUE(m.unloaded());
    EXPECT_EQ(ended, 1);
}

TEST_F(MainWindowTest, QuitterDuringARunStopsTheRunAndKeepsTheProgramOpen) {
    Frm_Main& m = window();
    steps.onCompare = [&](int file) {
        if (file != 1)
            return;
        boxes.answer(QStringLiteral("Oui"));
        button("CommandQuitter")->click();
    };
    button("CommandConvert")->click();
    EXPECT_EQ(messages(), (QStringList{kQuitter, kRefus}));
    EXPECT_EQ(steps.compared.size(), 1) << "stopped after the current file";
    EXPECT_EQ(tracedCount(QStringLiteral("Application closed by human action (Menu action)")), 1);
    EXPECT_EQ(tracedCount(QStringLiteral("Conversion stoppée")), 1);
    EXPECT_FALSE(m.unloaded());
    EXPECT_EQ(ended, 0);

    // Once the run is over, quitting again ends the program.
    boxes.answer(QStringLiteral("Oui"));
    action("Mnu01Quitter")->trigger();
    EXPECT_TRUE(m.unloaded());
    EXPECT_EQ(ended, 1);
}

TEST_F(MainWindowTest, OnlyTheCloseBoxIsQuestioned) {
    const struct {
        const char* how;
        const char* answer;
        int questions;
        bool unloads;
    } cases[] = {
        {"close box", "Non", 1, false}, {"close box", "Oui", 1, true}, {"Quitter", "Non", 1, false},
        {"Quitter", "Oui", 1, true},    {"program", "", 0, true},      {"SIGTERM", "", 0, true},
        {"system", "", 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.how) + " " + c.answer);
        Frm_Main& m = window();
        m.show();
        boxes.clear();
        ended = 0;
        runState().stopConversion = false;
        if (*c.answer)
            boxes.answer(QString::fromLatin1(c.answer));
        const QString how = QString::fromLatin1(c.how);
        if (how == "close box")
            closeBox();
        else if (how == "Quitter")
            button("CommandQuitter")->click();
        else if (how == "program")
            m.close();
        else if (how == "system")
            m.FermetureSysteme();
        else {
            std::raise(SIGTERM);
            for (int i = 0; i < 10 && !m.unloaded(); ++i)
                QCoreApplication::processEvents();
        }
        EXPECT_EQ(messages(), QStringList(c.questions, kQuitter));
        EXPECT_EQ(m.unloaded(), c.unloads);
        EXPECT_EQ(ended, c.unloads ? 1 : 0);
        EXPECT_EQ(m.isVisible(), !c.unloads);
        EXPECT_EQ(runState().stopConversion, c.unloads);
    }
}

TEST_F(MainWindowTest, TheUnloadTracesSavesFlushesThenUnloadsOptionsThenEnds) {
    Frm_Main& m = window();
    m.move(150, 90);
    QStringList order;
    QStringList fileAtOptions;
    int waitingAtOptions = -1;
    QString positionsAtOptions;
    test::ServicesGuard options([&](Services& s) {
        s.windowHooks.dechargerOptions = [&] {
            order << QStringLiteral("options");
            fileAtOptions = traced();
            waitingAtOptions = traceLists().listeLog.rowCount();
            positionsAtOptions = QString::fromLatin1(test::TempDir::read(FichierPositions()));
            traceLists().frmSetupCharge = false; // the options window held the trace list
        };
    });
    m.finProgramme = [&] { order << QStringLiteral("end"); };
    m.close();
    EXPECT_EQ(order, (QStringList{"options", "end"}));
    EXPECT_EQ(waitingAtOptions, 0) << "the log was flushed before the options window was unloaded";
    const qsizetype start = fileAtOptions.indexOf(QRegularExpression(".*---------- Form_Unload: Start$"));
    const qsizetype end = fileAtOptions.indexOf(QRegularExpression(".*---------- Form_Unload: End$"));
    ASSERT_GE(start, 0);
    EXPECT_GT(end, start);
    EXPECT_TRUE(positionsAtOptions.contains("Frm_Main_Left=2250\r\nFrm_Main_Top=1350"));
    EXPECT_EQ(traceLists().listeLog.rowCount() + traceLists().listeLogTemp.rowCount(), 0)
        << "the last lines reach the file too";
    EXPECT_EQ(tracedCount(QStringLiteral("Pervasive files closed")), 1);
    EXPECT_TRUE(runState().stopConversion);
}

TEST_F(MainWindowTest, ResizingPlacesTheButtonsAtTheBottomAndSizesTheTabs) {
    Frm_Main& m = window();
    m.show();
    QWidget* tabs = child<QTabWidget>("SftTabsMain");
    const int tabsWidth = tabs->width();
    const char* names[] = {"CommandConvert", "CommandStopConvert", "CommandMiseEnVeille", "CommandQuitter"};
    auto checkRule = [&] {
        const int top = m.centralWidget()->height() - button("CommandQuitter")->height() - 780 / 15;
        for (const char* n : names)
            EXPECT_EQ(button(n)->y(), top) << n;
        EXPECT_EQ(tabs->height(), std::max(0, top - 60 / 15 - tabs->y()));
        EXPECT_EQ(tabs->width(), tabsWidth) << "widths do not change";
    };
    for (const QSize size : {QSize(780, 560), QSize(1000, 760), QSize(600, 300), QSize(500, 90)}) {
        SCOPED_TRACE(size.height());
        m.resize(size);
        QCoreApplication::processEvents();
        checkRule();
    }
    EXPECT_EQ(tabs->height(), 0) << "never below 0";

    m.resize(780, 560);
    QCoreApplication::processEvents();
    const int topBefore = button("CommandQuitter")->y();
    const int heightBefore = tabs->height();
    m.showMinimized();
    m.resize(900, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(button("CommandQuitter")->y(), topBefore) << "nothing while minimised";
    EXPECT_EQ(tabs->height(), heightBefore);
    m.showNormal();
    QCoreApplication::processEvents();
    checkRule();
    EXPECT_NE(button("CommandQuitter")->y(), topBefore) << "restoring re-applies the layout";
}

TEST_F(MainWindowTest, OpensWhereItsInstanceLeftIt) {
    Frm_Main& first = window();
    first.move(120, 60);
    first.close();

    programValues().noInstance = 3;
    Frm_Main& other = window();
    EXPECT_EQ(other.pos(), QPoint(0, 0)) << "instance 3 stored nothing yet";
    other.move(300, 45);
    other.close();
    EXPECT_EQ(window().pos(), QPoint(300, 45));

    programValues().noInstance = 0;
    EXPECT_EQ(window().pos(), QPoint(120, 60));

    // A position stored below the desktop comes back to mid-height.
    const int screenHeight = QGuiApplication::primaryScreen()->virtualGeometry().bottom() + 1;
    w->move(200, screenHeight + 50);
    w->close();
    EXPECT_EQ(window().pos(), QPoint(200, screenHeight / 2));
}

TEST_F(MainWindowTest, TheCommandsReachTheOtherWindows) {
    Frm_Main& m = window();

    // Options: shown, then hidden again; nothing happens while there is none.
    action("Mnu01Options")->trigger();
    QWidget options;
    test::ServicesGuard optionsWindow(
        [&](Services& s) { s.windowHooks.fenetreOptions = [&] { return &options; }; });
    action("Mnu01Options")->trigger();
    EXPECT_TRUE(options.isVisible());
    action("Mnu01Options")->trigger();
    EXPECT_FALSE(options.isVisible());

    // History.
    QWidget* historyOwner = nullptr;
    action("Mnu02Historique")->trigger(); // no history window yet: nothing
    test::ServicesGuard history([&](Services& s) {
        s.windowHooks.afficherHistorique = [&](QWidget& owner) { historyOwner = &owner; };
    });
    action("Mnu02Historique")->trigger();
    EXPECT_EQ(historyOwner, &m);

    // Standby, from the button and the menu.
    struct Recorder : StandbyService {
        QList<QWidget*> calls;
        void SysTrayMiseEnVeille(QWidget& main) override { calls << &main; }
    } tray;
    test::ServicesGuard standby([&](Services& s) { s.standby = &tray; });
    button("CommandMiseEnVeille")->click();
    action("Mnu01Veille")->trigger();
    EXPECT_EQ(tray.calls, (QList<QWidget*>{&m, &m}));

    // About: owned by the main window, not modal, with the version and the instance.
    programValues().noInstance = 4;
    action("Mnu99APropos")->trigger();
    auto* about = m.findChild<FrmAbout*>(QStringLiteral("FrmAbout"));
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(about->findChild<QLabel*>("LabelVersion")->text(),
              QStringLiteral("Version ") + VersionApplication());
    EXPECT_EQ(about->findChild<QLabel*>("LabelInstance")->text(), QStringLiteral("Instance: 4"));
    EXPECT_TRUE(messages().isEmpty());
}
