#include "settings/ui/FrmSetup.h"

#include "common/ComputerName.h"
#include "common/ErrorRoutine.h"
#include "common/Messages.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "common/VersionApplication.h"
#include "common/WindowPosition.h"
#include "common/ui/FiltreClavier.h"
#include "common/ui/PositionFeuille.h"
#include "common/ui/Twips.h"
#include "engine/FrequenceAnalyse.h"
#include "runtime/Services.h"
#include "settings/OptionsLoader.h"
#include "settings/SettingChoices.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "settings/SourceTypes.h"
#include "settings/TargetTypes.h"
#include "settings/ui/FolderSelect.h"
#include "udp/Frm_MainBis.h"
#include "udp/UdpRows.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace ks3 {

namespace {

const char* kModule = "FrmSetup";

using I = SettingId;

constexpr int kLargeurFenetre = 860;
constexpr int kHauteurFenetre = 660;
constexpr int kMarge = 8;
constexpr int kLargeurBouton = 120;
constexpr int kHauteurBouton = 28;
// The bottom buttons' top is the window's outer height minus their height minus
// this margin, which takes in the title bar and the frame; a little more with
// the desktop theme.
constexpr int kMargeBasTwips = 495;
constexpr int kMargeBasThemeTwips = 525;
constexpr int kEcartOngletsTwips = 60;

const QStringList& bandesEQ() {
    static const QStringList b = {
        QStringLiteral("60 Hz"),  QStringLiteral("130 Hz"), QStringLiteral("260 Hz"),
        QStringLiteral("500 Hz"), QStringLiteral("1 KHz"),  QStringLiteral("2 KHz"),
        QStringLiteral("4 KHz"),  QStringLiteral("8 KHz"),  QStringLiteral("16 KHz")};
    return b;
}

QLabel* titre(const QString& texte, QWidget* parent) {
    auto* l = new QLabel(texte, parent);
    l->setStyleSheet(QStringLiteral("font-weight: bold"));
    return l;
}

QPointer<FrmSetup>& instance() {
    static QPointer<FrmSetup> w;
    return w;
}

} // namespace

QString FrmSetup::nomControle(const char* nom, int index) {
    return QLatin1String(nom) + QString::number(index);
}

FrmSetup::FrmSetup(QWidget* parent) : QWidget(parent, Qt::Window) {
    Procedure p(kModule, "Form_Initialize");
    p.step(10, [&] {
        setObjectName(QStringLiteral("FrmSetup"));
        setWindowTitle(QStringLiteral("Options: ") + QStringLiteral("Kestrel: Tools Convert") +
                       QStringLiteral(" - ") + VersionApplication());
    });
    p.step(20, [&] {
        sftTabsSetup_ = new QTabWidget(this);
        sftTabsSetup_->setObjectName(QStringLiteral("SftTabsSetup"));
        sftTabsSetup_->addTab(pageDossiers(), QStringLiteral("Dossiers"));
        sftTabsSetup_->addTab(pageFichiers(), QStringLiteral("Fichiers"));
        sftTabsSetup_->addTab(pageEffets(), QStringLiteral("Effets"));
        sftTabsSetup_->addTab(pagePeripheriques(), QStringLiteral("Périphériques"));
        sftTabsSetup_->addTab(pageLog(), QStringLiteral("Log"));

        commandSave_ = new QPushButton(QStringLiteral("Enregistrer"), this);
        commandSave_->setObjectName(QStringLiteral("CommandSave"));
        commandFermer_ = new QPushButton(QStringLiteral("Fermer"), this);
        commandFermer_->setObjectName(QStringLiteral("CommandFermer"));
        for (QPushButton* b : {commandSave_, commandFermer_})
            b->resize(kLargeurBouton, kHauteurBouton);
        connect(commandSave_, &QPushButton::clicked, this, &FrmSetup::CommandSave_Click);
        connect(commandFermer_, &QPushButton::clicked, this, &FrmSetup::CommandFermer_Click);
    });
    p.step(30, [&] {
        Settings& s = settings();
        connect(&s, &Settings::changed, this, &FrmSetup::afficher);
        connect(&s, &Settings::caracteristiquesRemplies, this, &FrmSetup::remplirCaracteristiques);
        // A typed frequency plans the next run at once; loading it does not.
        connect(&s, &Settings::changed, this, [](SettingId id, int) {
            if (id == I::DossiersFrequence && !settings().chargementSetup())
                FrequenceAnalyseModifiee(settings().text(I::DossiersFrequence));
        });
        remplirCaracteristiques();
        afficherTout();
    });
    p.step(40, [&] {
        resize(kLargeurFenetre, kHauteurFenetre);
        Form_Resize();
        // Keys record the modifiers as in the main window.
        new FiltreClavier(this);
    });
}

FrmSetup::~FrmSetup() = default;

// ---------------------------------------------------------------- bindings

void FrmSetup::lie(SettingId id, int n, QObject* controle) {
    controles_[{id, n}] = controle;
}

QLineEdit* FrmSetup::texte(SettingId id, int n, const QString& nom) {
    auto* e = new QLineEdit;
    e->setObjectName(nom);
    lie(id, n, e);
    connect(e, &QLineEdit::textChanged, this, [id, n](const QString& t) { settings().setText(id, n, t); });
    return e;
}

QCheckBox* FrmSetup::check(SettingId id, int n, const QString& nom, const QString& libelle) {
    auto* c = new QCheckBox(libelle);
    c->setObjectName(nom);
    lie(id, n, c);
    connect(c, &QCheckBox::toggled, this, [id, n](bool on) { settings().setNumber(id, n, on ? 1 : 0); });
    return c;
}

QSlider* FrmSetup::slider(SettingId id, int n, const QString& nom, Qt::Orientation orientation) {
    auto* s = new QSlider(orientation);
    s->setObjectName(nom);
    s->setRange(settingDef(id).min, settingDef(id).max);
    s->setPageStep(2);
    lie(id, n, s);
    connect(s, &QSlider::valueChanged, this, [id, n](int v) { settings().setNumber(id, n, v); });
    return s;
}

QComboBox* FrmSetup::combo(SettingId id, const QString& nom, const QStringList& entrees) {
    auto* c = new QComboBox;
    c->setObjectName(nom);
    c->addItems(entrees);
    lie(id, 0, c);
    // Connected once filled: adding the first entry selects it, which is not a choice.
    connect(c, &QComboBox::currentIndexChanged, this, [id](int i) { settings().setNumber(id, 0, i); });
    return c;
}

QButtonGroup* FrmSetup::options(SettingId id, const char* nom, const QStringList& libelles, QWidget* parent) {
    auto* g = new QButtonGroup(parent);
    g->setObjectName(QLatin1String(nom));
    for (int i = 0; i < libelles.size(); ++i) {
        auto* r = new QRadioButton(libelles.at(i), parent);
        r->setObjectName(nomControle(nom, i));
        g->addButton(r, i);
    }
    lie(id, 0, g);
    connect(g, &QButtonGroup::idToggled, this, [id](int i, bool on) {
        if (on)
            settings().setNumber(id, 0, i);
    });
    return g;
}

void FrmSetup::afficher(SettingId id, int n) {
    const auto it = controles_.find({id, n});
    const Settings& s = settings();
    if (id == I::FichiersSource) {
        if (QListWidgetItem* item = listeTypesSources_->item(n))
            item->setSelected(s.isOn(id, n));
        return;
    }
    if (it == controles_.end())
        return;
    QObject* c = it->second;
    if (auto* e = qobject_cast<QLineEdit*>(c)) {
        if (e->text() != s.text(id, n))
            e->setText(s.text(id, n));
    } else if (auto* b = qobject_cast<QCheckBox*>(c)) {
        b->setChecked(s.isOn(id, n));
    } else if (auto* sl = qobject_cast<QSlider*>(c)) {
        sl->setValue(s.number(id, n));
    } else if (auto* sp = qobject_cast<QSpinBox*>(c)) {
        sp->setValue(s.number(id, n));
    } else if (auto* cb = qobject_cast<QComboBox*>(c)) {
        cb->setCurrentIndex(s.number(id, n));
    } else if (auto* g = qobject_cast<QButtonGroup*>(c)) {
        if (QAbstractButton* r = g->button(s.number(id, n)))
            r->setChecked(true);
    }
}

void FrmSetup::afficherTout() {
    for (const auto& [cle, controle] : controles_)
        afficher(cle.first, cle.second);
    for (int n = 0; n < kNombreTypesSource; ++n)
        afficher(I::FichiersSource, n);
}

void FrmSetup::remplirCaracteristiques() {
    // The list is refilled as a whole; the position shown follows the setting
    // (the type's preset), never the other way round.
    const QSignalBlocker bloque(comboCaracteristiques_);
    comboCaracteristiques_->clear();
    comboCaracteristiques_->addItems(settings().caracteristiques());
    comboCaracteristiques_->setCurrentIndex(settings().cibleCaracteristiques());
}

// ---------------------------------------------------------------- pages

QWidget* FrmSetup::pageDossiers() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("SftTabsSetupDossiers"));
    auto* grille = new QGridLayout(page);
    grille->addWidget(titre(QStringLiteral("Dossiers sources"), page), 0, 0, 1, 2);
    grille->addWidget(titre(QStringLiteral("Dossiers cibles"), page), 0, 2, 1, 2);
    grille->setColumnStretch(0, 1);
    grille->setColumnStretch(2, 1);
    auto bouton = [page](const QString& nom) {
        auto* b = new QPushButton(QStringLiteral("..."), page);
        b->setObjectName(nom);
        b->setFixedWidth(32);
        return b;
    };
    for (int n = 0; n < 10; ++n) {
        grille->addWidget(texte(I::DossiersSource, n, nomControle("TexteDossierSource", n)), n + 1, 0);
        QPushButton* bs = bouton(nomControle("BtnDossierSource", n));
        connect(bs, &QPushButton::clicked, this, [this, n] { BtnDossierSource_Click(n); });
        grille->addWidget(bs, n + 1, 1);
        grille->addWidget(texte(I::DossiersCible, n, nomControle("TexteDossierCible", n)), n + 1, 2);
        QPushButton* bc = bouton(nomControle("BtnDossierCible", n));
        connect(bc, &QPushButton::clicked, this, [this, n] { BtnDossierCible_Click(n); });
        grille->addWidget(bc, n + 1, 3);
    }
    grille->addWidget(check(I::DossiersSourceRecursive, 0, QStringLiteral("CheckDossiersSourcesSousDossiers"),
                            QStringLiteral("Inclure les sous dossiers")),
                      11, 0, 1, 2);
    grille->addWidget(check(I::DossiersCibleRecursive, 0, QStringLiteral("CheckDossiersCiblesSousDossiers"),
                            QStringLiteral("Inclure les sous dossiers")),
                      11, 2, 1, 2);
    grille->setRowMinimumHeight(12, 12);

    auto* frequence = new QHBoxLayout;
    frequence->addWidget(new QLabel(QStringLiteral("Fréquence d'analyse des dossiers (en minutes)"), page));
    QLineEdit* texteFrequence = texte(I::DossiersFrequence, 0, QStringLiteral("TexteFrequenceAnalyse"));
    texteFrequence->setFixedWidth(70);
    frequence->addWidget(texteFrequence);
    frequence->addStretch();
    grille->addLayout(frequence, 13, 0, 1, 4);
    grille->addWidget(check(I::FichiersSourcesDetruire, 0, QStringLiteral("CheckDetruireApresConversion"),
                            QStringLiteral("Détruire les fichiers sources après conversion")),
                      14, 0, 1, 4);
    grille->setRowStretch(15, 1);
    return page;
}

QWidget* FrmSetup::pageFichiers() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("SftTabsSetupFichiers"));
    auto* rangee = new QHBoxLayout(page);

    // Source files: a multi-selection list whose separator line cannot be selected.
    auto* sources = new QGroupBox(QStringLiteral("Fichiers sources"), page);
    sources->setObjectName(QStringLiteral("FrameFichiersSources"));
    auto* colonne = new QVBoxLayout(sources);
    listeTypesSources_ = new QListWidget(sources);
    listeTypesSources_->setObjectName(QStringLiteral("ListeTypesFichiersSources"));
    listeTypesSources_->setSelectionMode(QAbstractItemView::MultiSelection);
    for (const SourceType& t : sourceTypes()) {
        auto* item = new QListWidgetItem(t.libelle, listeTypesSources_);
        item->setData(Qt::UserRole, t.code);
        if (t.separateur)
            item->setFlags(Qt::ItemIsEnabled);
    }
    connect(listeTypesSources_, &QListWidget::itemSelectionChanged, this, [this] {
        for (int n = 0; n < listeTypesSources_->count(); ++n)
            settings().setNumber(I::FichiersSource, n, listeTypesSources_->item(n)->isSelected() ? 1 : 0);
    });
    colonne->addWidget(listeTypesSources_);
    auto* boutons = new QHBoxLayout;
    const QString libelles[2] = {QStringLiteral("Tout sélectionner"), QStringLiteral("Tout désélectionner")};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QPushButton(libelles[i], sources);
        b->setObjectName(nomControle("CommandFormatSource", i));
        connect(b, &QPushButton::clicked, this, [this, i] { CommandFormatSource_Click(i); });
        boutons->addWidget(b);
    }
    colonne->addLayout(boutons);
    rangee->addWidget(sources, 1);

    auto* droite = new QVBoxLayout;
    auto* cible = new QGroupBox(QStringLiteral("Fichier cible"), page);
    cible->setObjectName(QStringLiteral("FrameFichierCible"));
    auto* formulaire = new QFormLayout(cible);
    QStringList types;
    for (const TargetType& t : targetTypes())
        types << t.libelle;
    comboTypeCible_ = new QComboBox(cible);
    comboTypeCible_->setObjectName(QStringLiteral("ComboTypeFichierCible"));
    comboTypeCible_->addItems(types);
    lie(I::FichiersCible, 0, comboTypeCible_);
    // Choosing a type, also the one shown, refills the characteristics with its
    // preset; showing the type that loading chose is not a choice.
    connect(comboTypeCible_, &QComboBox::activated, this, [](int i) { settings().choisirCible(i); });
    connect(comboTypeCible_, &QComboBox::currentIndexChanged, this, [](int i) {
        if (i != settings().cible())
            settings().choisirCible(i);
    });
    formulaire->addRow(QStringLiteral("Type de fichier"), comboTypeCible_);
    comboCaracteristiques_ = new QComboBox(cible);
    comboCaracteristiques_->setObjectName(QStringLiteral("ComboFichierCibleCaracteristiques"));
    lie(I::FichiersCibleCaracteristiques, 0, comboCaracteristiques_);
    connect(comboCaracteristiques_, &QComboBox::currentIndexChanged, this,
            [](int i) { settings().setNumber(I::FichiersCibleCaracteristiques, 0, i); });
    formulaire->addRow(QStringLiteral("Caractéristiques"), comboCaracteristiques_);
    formulaire->addRow(
        QStringLiteral("Fichier cible existant"),
        combo(I::FichiersCibleExistant, QStringLiteral("ComboFichierCibleExistant"), choixCibleExistant()));
    formulaire->addRow(check(I::FichiersCiblesNePasConverir, 0,
                             QStringLiteral("CheckNePasConvertirSiCibleExiste"),
                             QStringLiteral("Ne pas convertir si la cible existe")));
    formulaire->addRow(check(I::FichiersConvertVoirFenetre, 0, QStringLiteral("CheckConvertVisualiser"),
                             QStringLiteral("Visualiser la fenêtre de conversion")));
    // Conversions a run may have going at once; 0 shows as one per processor.
    auto* simultanees = new QSpinBox(cible);
    simultanees->setObjectName(QStringLiteral("SpinConversionsSimultanees"));
    simultanees->setRange(settingDef(I::FichiersConversionsSimultanees).min,
                          settingDef(I::FichiersConversionsSimultanees).max);
    simultanees->setSpecialValueText(QStringLiteral("Une par processeur"));
    lie(I::FichiersConversionsSimultanees, 0, simultanees);
    connect(simultanees, &QSpinBox::valueChanged, this,
            [](int v) { settings().setNumber(I::FichiersConversionsSimultanees, 0, v); });
    formulaire->addRow(QStringLiteral("Conversions simultanées"), simultanees);
    droite->addWidget(cible);

    // The purge of the conversion history.
    auto* historique = new QGroupBox(QStringLiteral("Historique des conversions"), page);
    historique->setObjectName(QStringLiteral("FrameHistorique"));
    auto* h = new QHBoxLayout(historique);
    auto* purger = new QPushButton(QStringLiteral("Purger"), historique);
    purger->setObjectName(QStringLiteral("CommandPurgerBase"));
    connect(purger, &QPushButton::clicked, this, [this] { CommandPurgerBase_Click(); });
    texteSuiviDelete_ = new QLineEdit(historique);
    texteSuiviDelete_->setObjectName(QStringLiteral("TexteSuiviDelete"));
    texteSuiviDelete_->setReadOnly(true);
    labelNbSuppression_ = new QLabel(historique);
    labelNbSuppression_->setObjectName(QStringLiteral("LabelNbSuppression"));
    labelNbSuppression_->setMinimumWidth(60);
    h->addWidget(purger);
    h->addWidget(texteSuiviDelete_, 1);
    h->addWidget(labelNbSuppression_);
    droite->addWidget(historique);
    droite->addStretch();
    rangee->addLayout(droite, 1);
    return page;
}

QWidget* FrmSetup::pageEffets() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("SftTabsSetupEffets"));
    auto* v = new QVBoxLayout(page);
    auto* onglets = new QTabWidget(page);
    onglets->setObjectName(QStringLiteral("SftTabsEffets"));
    v->addWidget(onglets);

    // Cut
    auto* cut = new QWidget;
    cut->setObjectName(QStringLiteral("SftTabsEffetsCut"));
    auto* cv = new QVBoxLayout(cut);
    cv->addWidget(check(I::EffetCutActive, 0, nomControle("CheckEffectActif", 0), QStringLiteral("Actif")));
    cv->addWidget(check(I::EffetCutDebut, 0, QStringLiteral("CheckEffetCutDebut"),
                        QStringLiteral("Couper le silence au début du fichier")));
    cv->addWidget(check(I::EffetCutFin, 0, QStringLiteral("CheckEffetCutFin"),
                        QStringLiteral("Couper le silence à la fin du fichier")));
    auto* silence = new QGroupBox(QStringLiteral("Un silence correspond à:"), cut);
    silence->setObjectName(QStringLiteral("FrameEffetTrim"));
    auto* sg = new QGridLayout(silence);
    QButtonGroup* trim = options(I::EffetCutSilence, "OptionEffetTrim", choixSilence(), silence);
    sg->addWidget(trim->button(0), 0, 0, 1, 3);
    sg->addWidget(trim->button(1), 1, 0);
    QLineEdit* seuildB = texte(I::EffetCutSeuildB, 0, nomControle("TexteEffetCutSeuil", 0));
    seuildB->setFixedWidth(70);
    sg->addWidget(seuildB, 1, 1);
    sg->addWidget(new QLabel(QStringLiteral("dB"), silence), 1, 2);
    sg->addWidget(new QLabel(QStringLiteral("Seuil de déclenchement"), silence), 2, 0);
    QLineEdit* seuilms = texte(I::EffetCutSeuilDuree, 0, nomControle("TexteEffetCutSeuil", 1));
    seuilms->setFixedWidth(70);
    sg->addWidget(seuilms, 2, 1);
    sg->addWidget(new QLabel(QStringLiteral("ms"), silence), 2, 2);
    sg->setColumnStretch(3, 1);
    cv->addWidget(silence);
    cv->addStretch();
    const int iCut = onglets->addTab(cut, QStringLiteral("Cut"));
    onglets->setTabToolTip(iCut, QStringLiteral("Cut Début et Fin"));

    // Normalisation
    auto* norm = new QWidget;
    norm->setObjectName(QStringLiteral("SftTabsEffetsNormalisation"));
    auto* ng = new QGridLayout(norm);
    ng->addWidget(
        check(I::EffetNormalisationActive, 0, nomControle("CheckEffectActif", 1), QStringLiteral("Actif")), 0,
        0, 1, 3);
    QButtonGroup* nature =
        options(I::EffetNormalisationNature, "OptionEffetNormalise", choixNormalisation(), norm);
    for (int i = 0; i < 4; ++i)
        ng->addWidget(nature->button(i), 1 + i, 0, 1, 3);
    auto valeur = [norm](QSlider* s) {
        auto* l = new QLabel(norm);
        l->setMinimumWidth(50);
        auto montre = [l](int v) { l->setText(QString::number(v) + QStringLiteral(" dB")); };
        montre(s->value());
        connect(s, &QSlider::valueChanged, l, montre);
        return l;
    };
    ng->addWidget(new QLabel(QStringLiteral("Valeur désirée (en dB)"), norm), 5, 0);
    QSlider* desiree = slider(I::EffetNormalisationValeurDesiree, 0,
                              nomControle("SliderEffetNormalisation", 0), Qt::Horizontal);
    desiree->setTickPosition(QSlider::TicksBelow);
    desiree->setTickInterval(5);
    ng->addWidget(desiree, 5, 1);
    ng->addWidget(valeur(desiree), 5, 2);
    ng->addWidget(new QLabel(QStringLiteral("Amplification fixe"), norm), 6, 0);
    QSlider* fixe = slider(I::EffetNormalisationValeurFixe, 0, nomControle("SliderEffetNormalisation", 1),
                           Qt::Horizontal);
    fixe->setTickPosition(QSlider::TicksBelow);
    fixe->setTickInterval(2);
    ng->addWidget(fixe, 6, 1);
    ng->addWidget(valeur(fixe), 6, 2);
    ng->addWidget(new QLabel(QStringLiteral("Amplification maximale"), norm), 7, 0);
    auto* maxi = new QHBoxLayout;
    QLineEdit* texteMax =
        texte(I::EffetNormalisationValeurMax, 0, QStringLiteral("TexteEffetNormalisationMax"));
    texteMax->setFixedWidth(70);
    maxi->addWidget(texteMax);
    maxi->addWidget(new QLabel(QStringLiteral("dB"), norm));
    maxi->addStretch();
    ng->addLayout(maxi, 7, 1, 1, 2);
    ng->setColumnStretch(1, 1);
    ng->setRowStretch(8, 1);
    onglets->addTab(norm, QStringLiteral("Normalisation"));

    // Equaliser: eighteen bands, the scale from -12 dB to +12 dB.
    auto* eq = new QWidget;
    eq->setObjectName(QStringLiteral("SftTabsEffetsEqualiseur"));
    auto* eg = new QGridLayout(eq);
    eg->setVerticalSpacing(0);
    eg->addWidget(check(I::EffetEQActive, 0, nomControle("CheckEffectActif", 2), QStringLiteral("Actif")), 0,
                  0, 1, 4);
    auto* echelle = new QHBoxLayout;
    echelle->addWidget(new QLabel(QStringLiteral("-12 dB"), eq));
    echelle->addStretch();
    echelle->addWidget(new QLabel(QStringLiteral("0 dB"), eq));
    echelle->addStretch();
    echelle->addWidget(new QLabel(QStringLiteral("+12 dB"), eq));
    eg->addLayout(echelle, 1, 1);
    for (int n = 0; n < 18; ++n) {
        if (n % 2 == 0)
            eg->addWidget(new QLabel(bandesEQ().at(n / 2), eq), 2 + n, 0);
        QSlider* bande = slider(I::EffetEQBande, n, nomControle("SliderEffetEQ", n), Qt::Horizontal);
        bande->setTickPosition(QSlider::TicksBelow);
        bande->setTickInterval(2);
        eg->addWidget(bande, 2 + n, 1);
        auto* l = new QLabel(eq);
        l->setMinimumWidth(50);
        auto montre = [l](int v) { l->setText(QString::number(v) + QStringLiteral(" dB")); };
        montre(bande->value());
        connect(bande, &QSlider::valueChanged, l, montre);
        eg->addWidget(l, 2 + n, 2);
    }
    eg->setColumnStretch(1, 1);
    eg->setRowStretch(20, 1);
    onglets->addTab(eq, QStringLiteral("Equaliseur"));
    return page;
}

QWidget* FrmSetup::pagePeripheriques() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("SftTabsSetupPeripheriques"));
    auto* v = new QVBoxLayout(page);
    auto* peripheriques = new QTabWidget(page);
    peripheriques->setObjectName(QStringLiteral("SftTabsPeripheriques"));
    v->addWidget(peripheriques);

    auto* reseau = new QWidget;
    reseau->setObjectName(QStringLiteral("SftTabsPeripheriquesReseau"));
    auto* rv = new QVBoxLayout(reseau);
    auto* poste = new QFormLayout;
    texteComputerName_ = new QLineEdit(reseau);
    texteComputerName_->setObjectName(QStringLiteral("TexteComputerName"));
    texteComputerName_->setReadOnly(true);
    texteAdresseIP_ = new QLineEdit(reseau);
    texteAdresseIP_->setObjectName(QStringLiteral("TexteAdresseIP"));
    texteAdresseIP_->setReadOnly(true);
    for (QLineEdit* e : {texteComputerName_, texteAdresseIP_})
        e->setMaximumWidth(320);
    poste->addRow(QStringLiteral("Nom du poste"), texteComputerName_);
    poste->addRow(QStringLiteral("Adresse IP du poste"), texteAdresseIP_);
    rv->addLayout(poste);

    auto* sens = new QTabWidget(reseau);
    sens->setObjectName(QStringLiteral("SftTabsReseau"));
    rv->addWidget(sens, 1);

    // One tab "UDP" in each direction, as the suite's other programs have it.
    auto ongletUDP = [](const char* nom, QWidget*& grillePage) {
        auto* t = new QTabWidget;
        t->setObjectName(QLatin1String(nom));
        grillePage = new QWidget;
        t->addTab(grillePage, QStringLiteral("UDP"));
        return t;
    };

    QWidget* pageIn = nullptr;
    sens->addTab(ongletUDP("SftTabsReception", pageIn), QStringLiteral("Réception"));
    auto* gi = new QGridLayout(pageIn);
    const QStringList colonnesIn = {QStringLiteral("Libellé"), QStringLiteral("IP source"),
                                    QStringLiteral("Port"), QString(), QStringLiteral("Données reçues")};
    for (int c = 0; c < colonnesIn.size(); ++c)
        gi->addWidget(titre(colonnesIn.at(c), pageIn), 0, c);
    for (int n = 0; n < 9; ++n) {
        gi->addWidget(texte(I::UdpInLib, n, nomControle("TexteUDPLibelleSource", n)), n + 1, 0);
        QLineEdit* ip = texte(I::UdpInIP, n, nomControle("TexteUDPIPSource", n));
        ip->setFixedWidth(120);
        gi->addWidget(ip, n + 1, 1);
        QLineEdit* port = texte(I::UdpInPort, n, nomControle("TexteUDPPortSource", n));
        port->setFixedWidth(60);
        gi->addWidget(port, n + 1, 2);
        gi->addWidget(check(I::UdpInActif, n, nomControle("CheckUDPInActif", n), QStringLiteral("Activer")),
                      n + 1, 3);
        auto* recues = new QLineEdit(pageIn);
        recues->setObjectName(nomControle("TexteUDPDonneeRecues", n));
        recues->setReadOnly(true);
        recues->setText(frmMainBis().TexteUDPDonneeRecues(n));
        connect(&frmMainBis(), &Frm_MainBis::donneeRecue, recues,
                [recues, n](int ligne, const QString& texte) {
                    if (ligne == n)
                        recues->setText(texte);
                });
        // While the row is bound, its address and port cannot be edited.
        ip->setReadOnly(frmMainBis().champsVerrouilles(n));
        port->setReadOnly(frmMainBis().champsVerrouilles(n));
        connect(&frmMainBis(), &Frm_MainBis::verrouillageChange, this, [ip, port, n](int ligne, bool verrou) {
            if (ligne != n)
                return;
            ip->setReadOnly(verrou);
            port->setReadOnly(verrou);
        });
        gi->addWidget(recues, n + 1, 4);
        // The hand-over of a received text to its handler; never shown.
        auto* arrivee = new QLabel(pageIn);
        arrivee->setObjectName(nomControle("LabelDataArrivalUDP", n));
        arrivee->setVisible(false);
    }
    gi->setColumnStretch(0, 1);
    gi->setColumnStretch(4, 2);
    gi->setRowStretch(10, 1);

    QWidget* pageOut = nullptr;
    sens->addTab(ongletUDP("SftTabsEmission", pageOut), QStringLiteral("Emission"));
    auto* go = new QGridLayout(pageOut);
    const QStringList colonnesOut = {QStringLiteral("Libellé"), QStringLiteral("IP cible"),
                                     QStringLiteral("Port"), QStringLiteral("Données à envoyer")};
    for (int c = 0; c < colonnesOut.size(); ++c)
        go->addWidget(titre(colonnesOut.at(c), pageOut), 0, c);
    for (int n = 0; n < 9; ++n) {
        go->addWidget(texte(I::UdpOutLib, n, nomControle("TexteUDPLibelleCible", n)), n + 1, 0);
        QLineEdit* ip = texte(I::UdpOutIP, n, nomControle("TexteUDPIPCible", n));
        ip->setFixedWidth(120);
        go->addWidget(ip, n + 1, 1);
        QLineEdit* port = texte(I::UdpOutPort, n, nomControle("TexteUDPPortCible", n));
        port->setFixedWidth(60);
        go->addWidget(port, n + 1, 2);
        go->addWidget(texte(I::UdpOutMsg, n, nomControle("TexteUDPSend", n)), n + 1, 3);
        auto* envoyer = new QPushButton(QStringLiteral("Envoyer"), pageOut);
        envoyer->setObjectName(nomControle("BtnUDPSend", n));
        connect(envoyer, &QPushButton::clicked, this, [n] { BtnUDPSend_Click(n); });
        go->addWidget(envoyer, n + 1, 4);
    }
    go->setColumnStretch(0, 1);
    go->setColumnStretch(3, 2);
    go->setRowStretch(10, 1);

    peripheriques->addTab(reseau, QStringLiteral("Réseau"));
    return page;
}

QWidget* FrmSetup::pageLog() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("SftTabsSetupLog"));
    auto* v = new QVBoxLayout(page);
    auto* liste = new QListView(page);
    liste->setObjectName(QStringLiteral("ListeLog"));
    liste->setModel(&traceLists().listeLog);
    liste->setEditTriggers(QAbstractItemView::NoEditTriggers);
    liste->setUniformItemSizes(true);
    // The newest line stays in sight.
    connect(&traceLists().listeLog, &QAbstractItemModel::rowsInserted, liste,
            [liste] { liste->scrollToBottom(); });
    v->addWidget(liste);
    return page;
}

// ---------------------------------------------------------------- loading and unloading

void FrmSetup::Form_Load() {
    Procedure p(kModule, "Form_Load");
    // The core loading sets and clears ChargementSetup itself, around the
    // working folders, the computer's address and the settings file.
    // Every row saved active is bound as the settings load its "Activer" box.
    p.step(5, [] { LierCasesActivationUDP(); });
    p.step(10, [] { ChargerOptions(); });
    p.step(20, [&] {
        // InitGeneralUDP: what the network tab shows of this computer.
        texteComputerName_->setText(ComputerName());
        texteAdresseIP_->setText(settings().adresseIPPoste());
    });
    p.step(30, [&] { afficherTout(); });
    p.step(40, [&] { PositionFeuille(*this); });
}

void FrmSetup::Form_Unload() {
    Procedure p(kModule, "Form_Unload");
    dechargement_ = true;
    p.step(10, [&] { PositionFeuilleSauvegarde(*this); });
    p.step(20, [&] {
        if (!settings().setupModifie())
            return;
        const int reponse =
            AffMsg(QStringLiteral("Voulez-vous enregistrer les données du Setup ?"), 4 + 32, windowTitle());
        if (reponse == 6)
            SaveSettings();
    });
    p.step(30, [] { settings().setSetupModifie(false); });
    p.step(40, [] { traceLists().frmSetupCharge = false; });
}

// ---------------------------------------------------------------- commands

void FrmSetup::CommandSave_Click() {
    Procedure p(kModule, "CommandSave_Click");
    p.step(10, [] { SaveSettings(); });
}

void FrmSetup::CommandFermer_Click() {
    Procedure p(kModule, "CommandFermer_Click");
    p.step(10, [&] { hide(); });
}

void FrmSetup::dossierParcourir(SettingId id, int index) {
    const QString choisi = FolderSelect(this, settings().text(id, index));
    if (choisi != QLatin1String("*"))
        settings().setText(id, index, choisi);
}

void FrmSetup::BtnDossierSource_Click(int index) {
    Procedure p(kModule, "BtnDossierSource_Click");
    p.step(10, [&] { dossierParcourir(I::DossiersSource, index); });
}

void FrmSetup::BtnDossierCible_Click(int index) {
    Procedure p(kModule, "BtnDossierCible_Click");
    p.step(10, [&] { dossierParcourir(I::DossiersCible, index); });
}

void FrmSetup::CommandFormatSource_Click(int index) {
    Procedure p(kModule, "CommandFormatSource_Click");
    p.step(10, [&] { settings().selectionnerSources(index == 0); });
}

void FrmSetup::CommandPurgerBase_Click() {
    Procedure p(kModule, "CommandPurgerBase_Click");
    p.step(10, [&] { ks3::CommandPurgerBase_Click(windowTitle(), *this); });
}

void FrmSetup::cleEnCours(const QString& cle) {
    texteSuiviDelete_->setText(cle);
}

void FrmSetup::nombreSupprime(int nombre) {
    labelNbSuppression_->setText(QString::number(nombre));
}

// ---------------------------------------------------------------- window events

void FrmSetup::Form_Resize() {
    Procedure p(kModule, "Form_Resize");
    p.step(10, [&] {
        if (isMinimized())
            return;
        const int marge = pixelsDeTwips(programValues().themeActif ? kMargeBasThemeTwips : kMargeBasTwips);
        const int haut = std::max(kMarge, frameGeometry().height() - commandFermer_->height() - marge);
        commandFermer_->move(width() - kMarge - commandFermer_->width(), haut);
        commandSave_->move(commandFermer_->x() - kMarge - commandSave_->width(), haut);
        const int hauteurOnglets = std::max(0, haut - pixelsDeTwips(kEcartOngletsTwips) - kMarge);
        sftTabsSetup_->setGeometry(kMarge, kMarge, std::max(0, width() - 2 * kMarge), hauteurOnglets);
    });
}

void FrmSetup::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void FrmSetup::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void FrmSetup::closeEvent(QCloseEvent* event) {
    // The window's own close button only hides it: it stays loaded, with the
    // settings it shows in force, until the program ends.
    if (dechargement_) {
        event->accept();
        return;
    }
    event->ignore();
    hide();
}

// ---------------------------------------------------------------- the window of the process

FrmSetup* frmSetup() {
    return instance().data();
}

void ChargerFrmSetup() {
    if (instance())
        return;
    Procedure p(kModule, "ChargerFrmSetup");
    p.step(10, [] {
        Settings& s = settings();
        // Building the controls shows the settings as they are; nothing it does is a change.
        const bool chargement = s.chargementSetup();
        s.setChargementSetup(true);
        instance() = new FrmSetup;
        s.setChargementSetup(chargement);
    });
    p.step(20, [] {
        if (instance())
            instance()->Form_Load();
    });
}

void DechargerFrmSetup() {
    FrmSetup* w = instance();
    if (!w)
        return;
    w->Form_Unload();
    instance() = nullptr;
    delete w;
}

void InstallerFrmSetup(Services& s) {
    s.optionsWindowLoader = [] { ChargerFrmSetup(); };
    s.windowHooks.fenetreOptions = []() -> QWidget* { return frmSetup(); };
    s.windowHooks.dechargerOptions = [] { DechargerFrmSetup(); };
}

} // namespace ks3
