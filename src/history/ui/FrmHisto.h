#pragma once

#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace ks3 {

struct LigneDetail;
struct LigneEntete;
struct Services;

// The history window "Historique": a search over the conversion headers (by
// day, by the beginning of a file name, or the failures only) in the upper list
// and, on a double-click, the attempts of one header in the lower list. It only
// reads; it may stay open beside the other windows.
class FrmHisto : public QWidget {
    Q_OBJECT
public:
    explicit FrmHisto(QWidget* parent = nullptr);
    ~FrmHisto() override;

    // "Fichier" selected, the window at its stored position.
    void Form_Load();
    // Runs the search of the chosen type on the text typed.
    void BtnRecherche_Click();
    // Lists the attempts of the header of the selected row.
    void ListViewRechercheMaitre_DblClick();
    // Places the two lists to the window's size.
    void Form_Resize();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void AjouteListViewMaitre(const LigneEntete& ligne);
    void AjouteListViewDetail(const LigneDetail& ligne);

    QComboBox* comboOrdreRecherche_ = nullptr;
    QLineEdit* texteRecherche_ = nullptr;
    QPushButton* btnRecherche_ = nullptr;
    QTreeWidget* listViewRechercheMaitre_ = nullptr;
    QTreeWidget* listViewRechercheDetail_ = nullptr;
};

// The history window of this process, loaded on first use; nullptr before.
FrmHisto* frmHisto();

// Loads the window when needed and shows it, not modal, in front.
void AfficherFrmHisto();

// Unloads the window (its position is stored); nothing when there is none.
void DechargerFrmHisto();

// Puts the window behind the main window's "Historique" (Services::windowHooks).
void InstallerFrmHisto(Services& services);

} // namespace ks3
