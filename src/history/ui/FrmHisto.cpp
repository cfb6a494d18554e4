#include "history/ui/FrmHisto.h"

#include "common/ErrorRoutine.h"
#include "common/Messages.h"
#include "common/ui/FiltreClavier.h"
#include "common/ui/PositionFeuille.h"
#include "common/ui/Twips.h"
#include "history/DetailHistorique.h"
#include "history/RechercheHistorique.h"
#include "runtime/Services.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <memory>

namespace ks3 {

namespace {
const char* const kModule = "FrmHisto";
constexpr int kAvertissementOk = 48;
constexpr int kEvenementsToutesLes = 20;

// The layout rule of the lists, in twips.
constexpr int kGaucheListes = 30;
constexpr int kHautMaitre = 420;
constexpr int kHauteurMaitre = 2925;
constexpr int kHautDetail = 3360;
constexpr int kMargeDroite = 150;
constexpr int kMargeBas = 550;

std::unique_ptr<FrmHisto>& instance() {
    static std::unique_ptr<FrmHisto> w;
    return w;
}

QString origine(const char* operation) {
    return QString::fromLatin1(kModule) + QLatin1Char(':') + QString::fromLatin1(operation);
}

QTreeWidget* liste(QWidget* parent, const char* nom, const QStringList& colonnes) {
    auto* l = new QTreeWidget(parent);
    l->setObjectName(QString::fromLatin1(nom));
    l->setHeaderLabels(colonnes);
    l->setRootIsDecorated(false);
    l->setUniformRowHeights(true);
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    l->setAllColumnsShowFocus(true);
    l->header()->setStretchLastSection(true);
    return l;
}
} // namespace

FrmHisto::FrmHisto(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FrmHisto"));
    setWindowTitle(QStringLiteral("Historique"));
    auto* libelle = new QLabel(QStringLiteral("Type de recherche"), this);
    libelle->setGeometry(pixelsDeTwips(kGaucheListes), 8, 110, 22);
    comboOrdreRecherche_ = new QComboBox(this);
    comboOrdreRecherche_->setObjectName(QStringLiteral("ComboOrdreRecherche"));
    for (TypeRecherche t : {TypeRecherche::Date, TypeRecherche::Fichier, TypeRecherche::Erreurs})
        comboOrdreRecherche_->addItem(NomTypeRecherche(t));
    comboOrdreRecherche_->setGeometry(120, 6, 100, 24);
    texteRecherche_ = new QLineEdit(this);
    texteRecherche_->setObjectName(QStringLiteral("TexteRecherche"));
    texteRecherche_->setGeometry(228, 6, 260, 24);
    btnRecherche_ = new QPushButton(QStringLiteral("Rechercher"), this);
    btnRecherche_->setObjectName(QStringLiteral("BtnRecherche"));
    btnRecherche_->setGeometry(496, 5, 100, 26);
    connect(btnRecherche_, &QPushButton::clicked, this, [this] { BtnRecherche_Click(); });
    connect(texteRecherche_, &QLineEdit::returnPressed, this, [this] { BtnRecherche_Click(); });

    listViewRechercheMaitre_ =
        liste(this, "ListViewRechercheMaitre",
              {QStringLiteral("Fichier"), QStringLiteral("Dossier"), QStringLiteral("Date traitement"),
               QStringLiteral("Date fichier"), QStringLiteral("Id")});
    listViewRechercheMaitre_->setToolTip(QStringLiteral("Double clique pour afficher le détail"));
    listViewRechercheMaitre_->setColumnWidth(0, 220);
    listViewRechercheMaitre_->setColumnWidth(1, 260);
    listViewRechercheMaitre_->setColumnWidth(2, 140);
    listViewRechercheMaitre_->setColumnWidth(3, 140);
    connect(listViewRechercheMaitre_, &QTreeWidget::itemDoubleClicked, this,
            [this] { ListViewRechercheMaitre_DblClick(); });
    listViewRechercheDetail_ =
        liste(this, "ListViewRechercheDetail",
              {QStringLiteral("Index"), QStringLiteral("Date Fichier"), QStringLiteral("Taille"),
               QStringLiteral("Debut Convert"), QStringLiteral("Fin Convert"), QStringLiteral("Ok"),
               QStringLiteral("Libellé")});
    listViewRechercheDetail_->setColumnWidth(0, 50);
    for (int c : {1, 3, 4})
        listViewRechercheDetail_->setColumnWidth(c, 140);
    listViewRechercheDetail_->setColumnWidth(2, 90);
    listViewRechercheDetail_->setColumnWidth(5, 40);
    resize(900, 520);
    new FiltreClavier(this);
}

FrmHisto::~FrmHisto() = default;

void FrmHisto::Form_Load() {
    Procedure p(kModule, "Form_Load");
    p.step(10, [&] { comboOrdreRecherche_->setCurrentIndex(int(TypeRecherche::Fichier)); });
    p.step(20, [&] { PositionFeuille(*this); });
}

void FrmHisto::BtnRecherche_Click() {
    Procedure p(kModule, "BtnRecherche_Click");
    const auto type = TypeRecherche(comboOrdreRecherche_->currentIndex());
    const QString texte = texteRecherche_->text();
    if (!BornesDeRecherche(type, texte)) {
        AffMsg(kFormatDateNonValide, kAvertissementOk, windowTitle());
        return;
    }
    listViewRechercheMaitre_->clear();
    RechercherEntetes(type, texte, origine("BtnRecherche_Click"),
                      [this](const LigneEntete& l) { AjouteListViewMaitre(l); });
}

void FrmHisto::AjouteListViewMaitre(const LigneEntete& l) {
    Procedure p(kModule, "AjouteListViewMaitre");
    p.step(10, [&] {
        new QTreeWidgetItem(listViewRechercheMaitre_,
                            QStringList{l.fichier, l.dossier, l.dateTraitement, l.dateFichier, l.id});
        if (listViewRechercheMaitre_->topLevelItemCount() % kEvenementsToutesLes == 0)
            QCoreApplication::processEvents();
    });
}

void FrmHisto::ListViewRechercheMaitre_DblClick() {
    Procedure p(kModule, "ListViewRechercheMaitre_DblClick");
    listViewRechercheDetail_->clear();
    QTreeWidgetItem* ligne = listViewRechercheMaitre_->currentItem();
    if (ligne)
        ListerDetails(ligne->text(4), origine("ListViewRechercheMaitre_DblClick"),
                      [this](const LigneDetail& l) { AjouteListViewDetail(l); });
    listViewRechercheDetail_->viewport()->update();
}

void FrmHisto::AjouteListViewDetail(const LigneDetail& l) {
    Procedure p(kModule, "AjouteListViewDetail");
    p.step(10, [&] {
        new QTreeWidgetItem(listViewRechercheDetail_,
                            QStringList{l.index, l.dateFichier, l.taille, l.debut, l.fin, l.ok, l.libelle});
        if (listViewRechercheDetail_->topLevelItemCount() % kEvenementsToutesLes == 0)
            QCoreApplication::processEvents();
    });
}

void FrmHisto::Form_Resize() {
    // A window made too small gives negative sizes: the lists then stay as they are.
    const int largeur = twipsDePixels(width()) - kGaucheListes - kMargeDroite;
    const int hauteurDetail = twipsDePixels(height()) - kHautDetail - kMargeBas;
    if (largeur <= 0 || hauteurDetail <= 0 || isMinimized())
        return;
    listViewRechercheMaitre_->setGeometry(pixelsDeTwips(kGaucheListes), pixelsDeTwips(kHautMaitre),
                                          pixelsDeTwips(largeur), pixelsDeTwips(kHauteurMaitre));
    listViewRechercheDetail_->setGeometry(pixelsDeTwips(kGaucheListes), pixelsDeTwips(kHautDetail),
                                          pixelsDeTwips(largeur), pixelsDeTwips(hauteurDetail));
}

void FrmHisto::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void FrmHisto::closeEvent(QCloseEvent* event) {
    PositionFeuilleSauvegarde(*this);
    QWidget::closeEvent(event);
}

void FrmHisto::keyPressEvent(QKeyEvent* event) {
    // The keyboard filter has handed it to the common key handling already;
    // the window itself does nothing with it.
    event->accept();
}

FrmHisto* frmHisto() {
    return instance().get();
}

void AfficherFrmHisto() {
    if (!instance()) {
        instance() = std::make_unique<FrmHisto>();
        instance()->Form_Load();
    }
    instance()->show();
    instance()->raise();
    instance()->activateWindow();
}

void DechargerFrmHisto() {
    if (!instance())
        return;
    if (instance()->isVisible())
        PositionFeuilleSauvegarde(*instance());
    instance().reset();
}

void InstallerFrmHisto(Services& s) {
    s.windowHooks.afficherHistorique = [](QWidget&) { AfficherFrmHisto(); };
}

} // namespace ks3
