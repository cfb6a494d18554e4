#include "app/Frm_Main.h"

#include "app/FrmAbout.h"
#include "app/ProgramIcon.h"
#include "app/Standby.h"
#include "common/ErrorRoutine.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "common/VersionApplication.h"
#include "common/WindowPosition.h"
#include "common/WorkingFolders.h"
#include "common/ui/FiltreClavier.h"
#include "common/ui/PositionFeuille.h"
#include "common/ui/Twips.h"
#include "engine/ConversionRun.h"
#include "engine/RunState.h"
#include "runtime/MainWindowHooks.h"
#include "runtime/Startup.h"
#include "runtime/TerminationSignals.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#ifndef QT_NO_SESSIONMANAGER
#include <QSessionManager>
#endif

namespace ks3 {

namespace {
const char* kModule = "FrmMain";

// Layout of the bottom row, in pixels (the window's rule is in twips).
constexpr int kMarge = 8;
constexpr int kLargeurBouton = 140;
constexpr int kHauteurBouton = 30;
constexpr int kLargeurFenetre = 780;
constexpr int kHauteurFenetre = 560;
// The buttons' top is the inner height minus their height minus 780 twips; the
// suite's second window look needed 810, and this program has only the first.
constexpr int kMargeBasBoutonsTwips = 780;
constexpr int kEcartOngletsTwips = 60;

const QString kHeureInitiale = QStringLiteral("12:00:00");

const char* labelName(int l) {
    switch (l) {
    case RunState::LabelDossierSourceEnCours:
        return "LabelDossierSourceEnCours";
    case RunState::LabelDossierSourceTraite:
        return "LabelDossierSourceTraite";
    case RunState::LabelDossierCibleEnCours:
        return "LabelDossierCibleEnCours";
    case RunState::LabelDossierCibleTraite:
        return "LabelDossierCibleTraite";
    case RunState::LabelFichierTraite:
        return "LabelFichierTraite";
    case RunState::LabelTimingConvert0:
        return "LabelTimingConvert0";
    default:
        return "LabelTimingConvert1";
    }
}
} // namespace

Frm_Main::Frm_Main(QWidget* parent) : QMainWindow(parent), timerMain_(nullptr, this) {
    Procedure p(kModule, "Form_Load");
    finProgramme = [] { QCoreApplication::exit(0); };
    p.step(10, [&] {
        setObjectName(QStringLiteral("Frm_Main"));
        timerMain_.setObjectName(QStringLiteral("TimerMain"));
        programValues().titreFenetre = QStringLiteral("Kestrel: Tools Convert - ") + VersionApplication();
        setWindowTitle(programValues().titreFenetre);
        setWindowIcon(IconeProgramme());
    });
    p.step(20, [&] {
        buildMenus();
        buildControls();
        bindRunState();
        resize(kLargeurFenetre, kHauteurFenetre);
        Form_Resize();
    });
    p.step(30, [&] { PositionFeuille(*this); });
    p.step(40, [&] {
        termination_ = new TerminationSignals(this);
        connect(termination_, &TerminationSignals::terminationRequested, this, [this](int signalNumber) {
            TraceLog(-1, -1, -1,
                     QStringLiteral("Close asked by the system (signal ") + QString::number(signalNumber) +
                         QLatin1Char(')'));
            FermetureSysteme();
        });
        if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
#ifndef QT_NO_SESSIONMANAGER
            connect(app, &QGuiApplication::commitDataRequest, this, &Frm_Main::onCommitData);
#endif
            // Whatever ends the event loop, the window is unloaded in order.
            connect(app, &QCoreApplication::aboutToQuit, this, [this] {
                if (!unloaded_)
                    Form_Unload();
            });
        }
        new FiltreClavier(this);
    });
    p.step(50, [&] { timerMain_.start(); });
}

Frm_Main::~Frm_Main() = default;

void Frm_Main::buildMenus() {
    QMenu* fichier = menuBar()->addMenu(QStringLiteral("Fichier"));
    fichier->setObjectName(QStringLiteral("Mnu01"));
    QMenu* conversion = menuBar()->addMenu(QStringLiteral("Conversion"));
    conversion->setObjectName(QStringLiteral("Mnu02"));
    QMenu* aide = menuBar()->addMenu(QStringLiteral("?"));
    aide->setObjectName(QStringLiteral("Mnu99"));

    auto entry = [this](QMenu* menu, const char* name, const QString& caption, auto handler) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    entry(fichier, "Mnu01Veille", QStringLiteral("Mise en veille"), &Frm_Main::LocalMiseEnVeille);
    fichier->addSeparator();
    entry(fichier, "Mnu01Options", QStringLiteral("Options"), &Frm_Main::Mnu01Options_Click);
    fichier->addSeparator();
    entry(fichier, "Mnu01Log", QStringLiteral("Log techniques"), &Frm_Main::Mnu01Log_Click);
    fichier->addSeparator();
    entry(fichier, "Mnu01Quitter", QStringLiteral("Quitter"), &Frm_Main::Quitter);

    mnu02Lancer_ =
        entry(conversion, "Mnu02Lancer", QStringLiteral("Lancer"), &Frm_Main::CommandConvert_Click);
    mnu02Stopper_ =
        entry(conversion, "Mnu02Stopper", QStringLiteral("Stopper"), &Frm_Main::CommandStopConvert_Click);
    conversion->addSeparator();
    entry(conversion, "Mnu02Historique", QStringLiteral("Historique"), &Frm_Main::Mnu02Historique_Click);

    entry(aide, "Mnu99APropos", QStringLiteral("A propos"), &Frm_Main::Mnu99APropos_Click);
}

void Frm_Main::buildControls() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Frm_Main_Client"));
    setCentralWidget(central);

    sftTabsMain_ = new QTabWidget(central);
    sftTabsMain_->setObjectName(QStringLiteral("SftTabsMain"));
    sftTabsMain_->setGeometry(kMarge, kMarge, kLargeurFenetre - 2 * kMarge, 400);

    // Page 1: where the run is, and its lists.
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("SftTabsMainConversion"));
    auto* grid = new QGridLayout(page);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    auto heading = [page](const QString& text) {
        auto* l = new QLabel(text, page);
        l->setStyleSheet(QStringLiteral("font-weight: bold"));
        return l;
    };
    auto value = [this, page](int which) {
        auto* l = new QLabel(page);
        l->setObjectName(QLatin1String(labelName(which)));
        // Long paths are cut at the window's edge rather than widening it.
        l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        labels_[which] = l;
        return l;
    };
    const struct {
        const char* heading;
        int label;
    } rows[] = {
        {"Dossier source en cours:", RunState::LabelDossierSourceEnCours},
        {"Dossier source traité:", RunState::LabelDossierSourceTraite},
        {"Fichier traité:", RunState::LabelFichierTraite},
        {"Dossier cible en cours:", RunState::LabelDossierCibleEnCours},
        {"Fichier cible traité:", RunState::LabelDossierCibleTraite},
    };
    int row = 0;
    for (const auto& r : rows) {
        grid->addWidget(heading(QString::fromUtf8(r.heading)), row, 0);
        grid->addWidget(value(r.label), row, 1, 1, 3);
        ++row;
    }
    grid->addWidget(heading(QStringLiteral("Timing prochaine conversion:")), row, 0);
    grid->addWidget(value(RunState::LabelTimingConvert0), row, 1);
    headingStart_ = heading(QStringLiteral("Conversion démarrée à:"));
    headingStart_->setObjectName(QStringLiteral("LabelTitreConversionDemarree"));
    grid->addWidget(headingStart_, row, 2);
    grid->addWidget(value(RunState::LabelTimingConvert1), row, 3);
    ++row;
    labels_[RunState::LabelTimingConvert0]->setText(kHeureInitiale);
    labels_[RunState::LabelTimingConvert1]->setText(kHeureInitiale);

    auto list = [page](const char* name, QStringListModel& model) {
        auto* v = new QListView(page);
        v->setObjectName(QLatin1String(name));
        v->setModel(&model);
        v->setEditTriggers(QAbstractItemView::NoEditTriggers);
        v->setUniformItemSizes(true);
        return v;
    };
    RunState& s = runState();
    auto* sources = new QHBoxLayout;
    sources->addWidget(list("ListeDossiersSource", s.listeDossiersSource), 1);
    sources->addWidget(list("ListeFichiersSource", s.listeFichiersSource), 1);
    grid->addLayout(sources, row, 0, 1, 4);
    grid->setRowStretch(row, 2);
    ++row;
    grid->addWidget(list("ListeFichiersCible", s.listeFichiersCible), row, 0, 1, 4);
    grid->setRowStretch(row, 1);
    sftTabsMain_->addTab(page, QStringLiteral("Conversion"));

    // Page 2: the trace lines waiting for the log file.
    auto* logPage = new QWidget;
    logPage->setObjectName(QStringLiteral("SftTabsMainLog"));
    auto* logLayout = new QVBoxLayout(logPage);
    auto* logList = new QListView(logPage);
    logList->setObjectName(QStringLiteral("ListeLogTemp"));
    logList->setModel(&traceLists().listeLogTemp);
    logList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    logList->setUniformItemSizes(true);
    logLayout->addWidget(logList);
    sftTabsMain_->addTab(logPage, QStringLiteral("Log"));

    auto button = [central](const char* name, const QString& caption, int x) {
        auto* b = new QPushButton(caption, central);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(x, 0, kLargeurBouton, kHauteurBouton);
        return b;
    };
    const int step = kLargeurBouton + kMarge;
    commandConvert_ = button("CommandConvert", QStringLiteral("Convertir"), kMarge);
    commandConvert_->setToolTip(QStringLiteral("Lancer la conversion maintenant"));
    commandStopConvert_ = button("CommandStopConvert", QStringLiteral("Stopper"), kMarge + step);
    commandStopConvert_->setToolTip(QStringLiteral("Stopper la conversion maintenant"));
    commandMiseEnVeille_ = button("CommandMiseEnVeille", QStringLiteral("Mettre en veille"),
                                  kLargeurFenetre - kMarge - 2 * step + kMarge);
    commandQuitter_ =
        button("CommandQuitter", QStringLiteral("Quitter"), kLargeurFenetre - kMarge - kLargeurBouton);
    connect(commandConvert_, &QPushButton::clicked, this, &Frm_Main::CommandConvert_Click);
    connect(commandStopConvert_, &QPushButton::clicked, this, &Frm_Main::CommandStopConvert_Click);
    connect(commandMiseEnVeille_, &QPushButton::clicked, this, &Frm_Main::LocalMiseEnVeille);
    connect(commandQuitter_, &QPushButton::clicked, this, &Frm_Main::Quitter);
}

void Frm_Main::bindRunState() {
    RunState& s = runState();
    for (int l = 0; l < RunState::LabelCount; ++l)
        showLabel(l, s.label(RunState::Label(l)));
    connect(&s, &RunState::labelChanged, this, &Frm_Main::showLabel);
    auto showStart = [this](bool visible) {
        headingStart_->setVisible(visible);
        labels_[RunState::LabelTimingConvert1]->setVisible(visible);
    };
    showStart(s.startTimeVisible());
    connect(&s, &RunState::startTimeVisibleChanged, this, showStart);
    updateCommands();
    connect(&s, &RunState::commandsChanged, this, &Frm_Main::updateCommands);
}

void Frm_Main::showLabel(int label, const QString& text) {
    if (label < 0 || label >= RunState::LabelCount)
        return;
    const bool timing = label == RunState::LabelTimingConvert0 || label == RunState::LabelTimingConvert1;
    // The timing labels keep their first caption until the program gives them one.
    if (timing && text.isEmpty())
        return;
    labels_[label]->setText(text);
}

void Frm_Main::updateCommands() {
    const RunState& s = runState();
    mnu02Lancer_->setEnabled(s.lancerEnabled());
    mnu02Stopper_->setEnabled(s.stopperEnabled());
    commandStopConvert_->setEnabled(s.stopperEnabled());
}

void Frm_Main::CommandConvert_Click() {
    Procedure p(kModule, "CommandConvert_Click");
    p.step(10, [] { LancerAnalyseConvertStart(); });
}

void Frm_Main::CommandStopConvert_Click() {
    DemandeArretConversion();
}

void Frm_Main::LocalMiseEnVeille() {
    Procedure p(kModule, "LocalMiseEnVeille");
    p.step(10, [this] { standbyService().SysTrayMiseEnVeille(*this); });
}

void Frm_Main::Mnu01Options_Click() {
    Procedure p(kModule, "Mnu01Options_Click");
    p.step(10, [] {
        const auto& hook = mainWindowHooks().fenetreOptions;
        QWidget* options = hook ? hook() : nullptr;
        if (!options) {
            TraceLog(-1, -1, -1, QStringLiteral("Options window not loaded |Sub: Mnu01Options_Click"));
            return;
        }
        if (options->isVisible()) {
            options->hide();
            return;
        }
        // Without owner and not modal: it stays independent of this window.
        options->setWindowModality(Qt::NonModal);
        options->show();
        options->raise();
        options->activateWindow();
    });
}

void Frm_Main::Mnu01Log_Click() {
    Procedure p(kModule, "Mnu01Log_Click");
    p.step(10, [] { VoirLog(workingFolders().logTechFolder); });
}

void Frm_Main::Mnu02Historique_Click() {
    Procedure p(kModule, "Mnu02Historique_Click");
    p.step(10, [this] {
        const auto& hook = mainWindowHooks().afficherHistorique;
        if (hook)
            hook(*this);
        else
            TraceLog(-1, -1, -1, QStringLiteral("History window not available |Sub: Mnu02Historique_Click"));
    });
}

void Frm_Main::Mnu99APropos_Click() {
    Procedure p(kModule, "Mnu99APropos_Click");
    p.step(10, [this] { AfficherAPropos(this); });
}

void Frm_Main::Quitter() {
    if (!ConfirmeQuitter())
        return;
    closeAs(OrigineFermeture::Programme);
}

void Frm_Main::FermetureSysteme() {
    closeAs(OrigineFermeture::Systeme);
}

void Frm_Main::closeAs(OrigineFermeture origine) {
    if (unloaded_)
        return;
    pendingOrigin_ = origine;
    close();
    pendingOrigin_.reset();
}

void Frm_Main::closeEvent(QCloseEvent* event) {
    if (unloaded_) {
        event->accept();
        return;
    }
    // The close box comes from the window system; any other close is the program's.
    const OrigineFermeture origine = pendingOrigin_ ? *pendingOrigin_
                                                    : (event->spontaneous() ? OrigineFermeture::CaseFermeture
                                                                            : OrigineFermeture::Programme);
    pendingOrigin_.reset();
    if (!FermetureAutorisee(origine)) {
        event->ignore();
        return;
    }
    event->accept();
    Form_Unload();
}

void Frm_Main::Form_Unload() {
    Procedure p(kModule, "Form_Unload");
    unloaded_ = true;
    p.step(10, [] { runState().stopConversion = true; });
    p.step(20, [] { TraceLog(-1, -1, -1, QStringLiteral("---------- Form_Unload: Start")); });
    p.step(30, [this] { PositionFeuilleSauvegarde(*this); });
    p.step(35, [] { standbyService().unload(); });
    p.step(40, [] { ArretProgramme(mainWindowHooks().dechargerOptions); });
    p.step(50, [this] {
        timerMain_.stop();
        if (finProgramme)
            finProgramme();
    });
}

#ifndef QT_NO_SESSIONMANAGER
void Frm_Main::onCommitData(QSessionManager& manager) {
    TraceLog(-1, -1, -1, QStringLiteral("Close asked by the desktop session"));
    FermetureSysteme();
    // Refused (a run is in progress): the session is asked not to end.
    if (!unloaded_)
        manager.cancel();
}
#endif

void Frm_Main::Form_Resize() {
    Procedure p(kModule, "Form_Resize");
    p.step(10, [this] {
        if (isMinimized())
            return;
        const QWidget* client = centralWidget();
        const int top = client->height() - commandQuitter_->height() - pixelsDeTwips(kMargeBasBoutonsTwips);
        for (QPushButton* b : {commandQuitter_, commandMiseEnVeille_, commandConvert_, commandStopConvert_})
            b->move(b->x(), top);
        const int height = std::max(0, top - pixelsDeTwips(kEcartOngletsTwips) - sftTabsMain_->y());
        sftTabsMain_->resize(sftTabsMain_->width(), height);
    });
}

void Frm_Main::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Frm_Main::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

} // namespace ks3
