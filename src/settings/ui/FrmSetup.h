#pragma once

#include "history/PurgeHistorique.h"
#include "settings/SettingId.h"

#include <QWidget>
#include <map>
#include <utility>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QTabWidget;

namespace ks3 {

struct Services;

// The options window: a view over the live settings (settings()). Each control
// writes its setting as soon as the user changes it, so the engine reads the
// edit at its next run, and shows the setting whenever it changes (loading
// included). Loaded hidden at start-up, shown and hidden by the main window's
// "Options" menu, unloaded at the end of the program.
//
// Every control carries its name as objectName; a control of an indexed group
// has its index appended: "TexteDossierSource3", "SliderEffetEQ17",
// "CheckUDPInActif0". The history area purges the conversion history
// (CommandPurgerBase), showing the key being deleted (TexteSuiviDelete) and the
// count (LabelNbSuppression).
class FrmSetup : public QWidget, private SuiviPurge {
    Q_OBJECT
public:
    explicit FrmSetup(QWidget* parent = nullptr);
    ~FrmSetup() override;

    // The loading: title and lists, then the options (ChargerOptions: working
    // folders, the computer's address, the settings file), the computer's name
    // and address on the network tab, and the window's last position. The
    // window stays hidden.
    void Form_Load();
    // The unloading: stores the position and, when the settings were changed,
    // asks whether to save them. The window may then be deleted.
    void Form_Unload();

    // The commands of the window, as its buttons run them.
    void CommandSave_Click();
    void CommandFermer_Click();
    void BtnDossierSource_Click(int index);
    void BtnDossierCible_Click(int index);
    void CommandFormatSource_Click(int index);
    void CommandPurgerBase_Click();
    // Places the bottom buttons and sizes the tabs to the window's height.
    void Form_Resize();

    // The control name of entry `index` of an indexed group.
    static QString nomControle(const char* nom, int index);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* pageDossiers();
    QWidget* pageFichiers();
    QWidget* pageEffets();
    QWidget* pagePeripheriques();
    QWidget* pageLog();

    // Controls bound to one setting.
    QLineEdit* texte(SettingId id, int n, const QString& nom);
    QCheckBox* check(SettingId id, int n, const QString& nom, const QString& libelle);
    QSlider* slider(SettingId id, int n, const QString& nom, Qt::Orientation orientation);
    QComboBox* combo(SettingId id, const QString& nom, const QStringList& entrees);
    QButtonGroup* options(SettingId id, const char* nom, const QStringList& libelles, QWidget* parent);
    void lie(SettingId id, int n, QObject* controle);

    // Shows the current value of (id, n) in its control.
    void afficher(SettingId id, int n);
    void afficherTout();
    void remplirCaracteristiques();
    void dossierParcourir(SettingId id, int index);
    void cleEnCours(const QString& cle) override;
    void nombreSupprime(int nombre) override;

    std::map<std::pair<SettingId, int>, QObject*> controles_;
    QTabWidget* sftTabsSetup_ = nullptr;
    QPushButton* commandSave_ = nullptr;
    QPushButton* commandFermer_ = nullptr;
    QListWidget* listeTypesSources_ = nullptr;
    QComboBox* comboTypeCible_ = nullptr;
    QComboBox* comboCaracteristiques_ = nullptr;
    QLineEdit* texteComputerName_ = nullptr;
    QLineEdit* texteAdresseIP_ = nullptr;
    QLineEdit* texteSuiviDelete_ = nullptr;
    QLabel* labelNbSuppression_ = nullptr;
    bool dechargement_ = false;
};

// The options window of this process; nullptr before it is loaded and after it
// is unloaded.
FrmSetup* frmSetup();

// Creates the options window and loads it hidden (once; later calls do nothing).
void ChargerFrmSetup();

// Unloads the options window (position, save question) and deletes it.
void DechargerFrmSetup();

// The options window's part of the services: the start-up loads it
// (optionsWindowLoader), the main window shows, hides and unloads it
// (windowHooks).
void InstallerFrmSetup(Services& services);

} // namespace ks3
