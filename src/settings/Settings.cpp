#include "settings/Settings.h"

#include "settings/SettingChoices.h"
#include "settings/SourceTypes.h"

namespace ks3 {

namespace {

int taille(SettingId id) {
    const int c = settingDef(id).count;
    return c == 0 ? 1 : c;
}

// What a control holds before anything is loaded: lists without selection,
// the first option, the middle of nothing (0) elsewhere.
int nombreInitial(SettingId id) {
    return settingDef(id).kind == SettingKind::Index ? -1 : 0;
}

} // namespace

Settings::Settings(QObject* parent) : QObject(parent) {
    slots_.resize(kNombreSettingIds);
    for (int i = 0; i < kNombreSettingIds; ++i) {
        const auto id = static_cast<SettingId>(i);
        slots_[static_cast<std::size_t>(i)].assign(static_cast<std::size_t>(taille(id)),
                                                   Slot{QString(), nombreInitial(id)});
    }
}

Settings::Slot* Settings::slot(SettingId id, int n) {
    if (!settingExiste(id, n))
        return nullptr;
    return &slots_[static_cast<std::size_t>(id)][static_cast<std::size_t>(n)];
}

const Settings::Slot* Settings::slot(SettingId id, int n) const {
    return const_cast<Settings*>(this)->slot(id, n);
}

QVariant Settings::value(SettingId id, int n) const {
    if (!settingExiste(id, n))
        return QVariant();
    if (settingDef(id).kind == SettingKind::Texte)
        return text(id, n);
    return number(id, n);
}

bool Settings::setValue(SettingId id, int n, const QVariant& v) {
    if (!settingExiste(id, n))
        return false;
    if (settingDef(id).kind == SettingKind::Texte)
        return setText(id, n, v.toString());
    bool ok = false;
    const int i = v.typeId() == QMetaType::Bool ? int(v.toBool()) : v.toInt(&ok);
    if (v.typeId() != QMetaType::Bool && !ok)
        return false;
    return setNumber(id, n, i);
}

QString Settings::text(SettingId id, int n) const {
    const Slot* s = slot(id, n);
    return s && settingDef(id).kind == SettingKind::Texte ? s->texte : QString();
}

bool Settings::setText(SettingId id, int n, const QString& t) {
    Slot* s = slot(id, n);
    if (!s || settingDef(id).kind != SettingKind::Texte)
        return false;
    if (s->texte == t)
        return true;
    s->texte = t;
    marque(id);
    emit changed(id, n);
    return true;
}

int Settings::number(SettingId id, int n) const {
    const Slot* s = slot(id, n);
    return s && settingDef(id).kind != SettingKind::Texte ? s->nombre : 0;
}

int Settings::minimum(SettingId id) const {
    const SettingDef& d = settingDef(id);
    return d.kind == SettingKind::Index ? -1 : d.min;
}

int Settings::maximum(SettingId id) const {
    switch (id) {
    case SettingId::FichiersCible:
        return kNombreTypesCible - 1;
    case SettingId::FichiersCibleCaracteristiques:
        return static_cast<int>(caracteristiques_.size()) - 1;
    case SettingId::FichiersCibleExistant:
        return static_cast<int>(choixCibleExistant().size()) - 1;
    default:
        return settingDef(id).max;
    }
}

bool Settings::accepte(SettingId id, int n, int v) const {
    if (v < minimum(id) || v > maximum(id))
        return false;
    // The separator line of the source types cannot be selected.
    if (id == SettingId::FichiersSource && n == kSourceSeparateur && v != 0)
        return false;
    return true;
}

bool Settings::setNumber(SettingId id, int n, int v) {
    Slot* s = slot(id, n);
    if (!s || settingDef(id).kind == SettingKind::Texte || !accepte(id, n, v))
        return false;
    const bool bouge = s->nombre != v;
    s->nombre = v;
    if (bouge) {
        marque(id);
        emit changed(id, n);
    }
    if (id == SettingId::FichiersCible)
        remplirCaracteristiques(v);
    return true;
}

void Settings::remplirCaracteristiques(int code) {
    const TargetType* t = targetType(code);
    caracteristiques_ = t ? t->caracteristiques : QStringList();
    emit caracteristiquesRemplies();
    Slot* s = slot(SettingId::FichiersCibleCaracteristiques, 0);
    const int preset = t && !t->caracteristiques.isEmpty() ? t->preset : -1;
    if (s->nombre != preset) {
        s->nombre = preset;
        marque(SettingId::FichiersCibleCaracteristiques);
        emit changed(SettingId::FichiersCibleCaracteristiques, 0);
    }
}

QString Settings::caracteristiqueCible() const {
    const int i = cibleCaracteristiques();
    return i >= 0 && i < caracteristiques_.size() ? caracteristiques_.at(i) : QString();
}

void Settings::selectionnerSources(bool selection) {
    for (int n = 0; n < kNombreTypesSource; ++n)
        setNumber(SettingId::FichiersSource, n, selection && n != kSourceSeparateur ? 1 : 0);
}

void Settings::marque(SettingId id) {
    if (!chargementSetup_ && settingDef(id).marque)
        setSetupModifie(true);
}

void Settings::setSetupModifie(bool on) {
    if (setupModifie_ == on)
        return;
    setupModifie_ = on;
    emit setupModifieChanged(on);
}

void Settings::reinitialiser() {
    const bool chargement = chargementSetup_;
    chargementSetup_ = true;
    // The list of the target type first, so that its position can be cleared.
    setNumber(SettingId::FichiersCible, 0, -1);
    for (int i = 0; i < kNombreSettingIds; ++i) {
        const auto id = static_cast<SettingId>(i);
        for (int n = 0; n < taille(id); ++n) {
            if (settingDef(id).kind == SettingKind::Texte)
                setText(id, n, QString());
            else
                setNumber(id, n, nombreInitial(id));
        }
    }
    chargementSetup_ = chargement;
    setSetupModifie(false);
}

Settings& settings() {
    static Settings* s = new Settings; // lives until the process ends, as the options window's controls do
    return *s;
}

} // namespace ks3
