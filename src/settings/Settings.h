#pragma once

#include "settings/SettingId.h"
#include "settings/TargetTypes.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace ks3 {

// The live settings of the program: the value of every control of the options
// window. Every reader (engine, UDP layer, main window) reads them here and sees
// unsaved edits at once; the options window binds its controls to them:
//
//     check->setChecked(settings().isOn(SettingId::EffetCutActive));
//     connect(check, &QCheckBox::toggled, [](bool on) { settings().setNumber(SettingId::EffetCutActive, 0,
//     on); }); connect(&settings(), &Settings::changed, [=](SettingId id, int n) { ... refresh that control
//     ... });
//
// A setter refuses a value its control could not take (out of its range, a list
// position outside its list) and returns false, leaving the value as it was. A
// change of a setting that is offered for saving marks the settings modified
// (SetupModifie), unless ChargementSetup is set.
class Settings : public QObject {
    Q_OBJECT
public:
    explicit Settings(QObject* parent = nullptr);

    // Generic access: QString for a text, int otherwise.
    QVariant value(SettingId id, int n = 0) const;
    bool setValue(SettingId id, int n, const QVariant& v);

    QString text(SettingId id, int n = 0) const;
    bool setText(SettingId id, int n, const QString& t);
    // Check box 0/1, selection 0/1, list position (-1 = none), option number, slider position.
    int number(SettingId id, int n = 0) const;
    bool setNumber(SettingId id, int n, int v);
    bool isOn(SettingId id, int n = 0) const { return number(id, n) != 0; }

    // The bounds a number of (id) may take now (a list position depends on its list).
    int minimum(SettingId id) const;
    int maximum(SettingId id) const;

    // Source types: entry n of sourceTypes() is selected.
    bool sourceSelectionnee(int n) const { return isOn(SettingId::FichiersSource, n); }
    // "Tout sélectionner" / "Tout désélectionner": the separator stays unselected.
    void selectionnerSources(bool selection);

    // Target type. Choosing a type (also the one already chosen) fills the
    // characteristics list with that type's entries and selects its preset.
    int cible() const { return number(SettingId::FichiersCible); }
    const TargetType* typeCible() const { return targetType(cible()); }
    bool choisirCible(int code) { return setNumber(SettingId::FichiersCible, 0, code); }
    // The characteristics list of the chosen type, as the window shows it.
    const QStringList& caracteristiques() const { return caracteristiques_; }
    int cibleCaracteristiques() const { return number(SettingId::FichiersCibleCaracteristiques); }
    // The selected characteristic's text; empty when none.
    QString caracteristiqueCible() const;

    // SetupModifie: changed by the user since the last load or save.
    bool setupModifie() const { return setupModifie_; }
    void setSetupModifie(bool on);
    // ChargementSetup: set while the options window loads; changes do not mark.
    bool chargementSetup() const { return chargementSetup_; }
    void setChargementSetup(bool on) { chargementSetup_ = on; }

    // This computer's IPv4 address, found by the UDP layer before the settings
    // are loaded; the default address of the receive rows.
    QString adresseIPPoste() const { return adresseIPPoste_; }
    void setAdresseIPPoste(const QString& a) { adresseIPPoste_ = a; }

    // Back to the controls of a window not yet loaded: empty texts, 0, nothing
    // selected in the lists. Emits changed for every value that moves.
    void reinitialiser();

signals:
    // One value changed (also by loading).
    void changed(ks3::SettingId id, int n);
    // The characteristics list was refilled (a target type was chosen).
    void caracteristiquesRemplies();
    void setupModifieChanged(bool on);

private:
    struct Slot {
        QString texte;
        int nombre = 0;
    };
    Slot* slot(SettingId id, int n);
    const Slot* slot(SettingId id, int n) const;
    bool accepte(SettingId id, int n, int v) const;
    void marque(SettingId id);
    void remplirCaracteristiques(int code);

    std::vector<std::vector<Slot>> slots_;
    QStringList caracteristiques_;
    bool setupModifie_ = false;
    bool chargementSetup_ = false;
    QString adresseIPPoste_;
};

// The settings of this process.
Settings& settings();

} // namespace ks3
