#pragma once

#include "runtime/MainCommands.h"
#include "runtime/MainTimer.h"

#include <QMainWindow>
#include <functional>
#include <optional>

class QAction;
class QLabel;
class QListView;
class QPushButton;
class QTabWidget;
#ifndef QT_NO_SESSIONMANAGER
class QSessionManager;
#endif

namespace ks3 {

class TerminationSignals;

// The main window: the progress of the runs (a view over runState()), the
// program's commands and the conversion timer. Closing it ends the program.
// Every control carries its name as objectName.
class Frm_Main : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window over the run state and places it at its stored
    // position; the conversion timer starts ticking. The start-up itself
    // (DemarrageProgramme) comes before.
    explicit Frm_Main(QWidget* parent = nullptr);
    ~Frm_Main() override;

    MainTimer& timerMain() { return timerMain_; }

    // "Quitter": asks, then closes as the program (refused during a run).
    void Quitter();
    // A closing asked by the operating system: not questioned, refused during a run.
    void FermetureSysteme();
    // Places the bottom buttons and sizes the tab control to the window's height.
    void Form_Resize();
    // True once the window has been unloaded (the program is ending).
    bool unloaded() const { return unloaded_; }

    // What ends the program after the unload: QCoreApplication::exit(0) unless
    // replaced (tests record it instead).
    std::function<void()> finProgramme;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildMenus();
    void buildControls();
    void bindRunState();
    void showLabel(int label, const QString& text);
    void updateCommands();

    void CommandConvert_Click();
    void CommandStopConvert_Click();
    void LocalMiseEnVeille();
    void Mnu01Options_Click();
    void Mnu01Log_Click();
    void Mnu02Historique_Click();
    void Mnu99APropos_Click();
    void Form_Unload();
    void closeAs(OrigineFermeture origine);
#ifndef QT_NO_SESSIONMANAGER
    void onCommitData(QSessionManager& manager);
#endif

    MainTimer timerMain_;
    TerminationSignals* termination_ = nullptr;
    std::optional<OrigineFermeture> pendingOrigin_;
    bool unloaded_ = false;

    QTabWidget* sftTabsMain_ = nullptr;
    QPushButton* commandConvert_ = nullptr;
    QPushButton* commandStopConvert_ = nullptr;
    QPushButton* commandMiseEnVeille_ = nullptr;
    QPushButton* commandQuitter_ = nullptr;
    QLabel* labels_[7] = {};
    QLabel* headingStart_ = nullptr;
    QAction* mnu02Lancer_ = nullptr;
    QAction* mnu02Stopper_ = nullptr;
};

} // namespace ks3
