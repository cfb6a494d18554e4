#include "settings/SettingsFile.h"

#include "common/DoEvents.h"
#include "common/ErrorRoutine.h"
#include "common/LeadingNumber.h"
#include "common/NomFichierSettings.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "common/TrimSpaces.h"
#include "platform/IniFile.h"
#include "settings/Settings.h"
#include "settings/SourceTypes.h"

#include <QDir>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace ks3 {

namespace {

using I = SettingId;
using Cle = std::pair<SettingId, int>;

// The order of loading and saving. It matters: the target type fills the
// characteristics list before its position is read, and a receive row has its
// address and port before it is activated.
const std::vector<Cle>& ordre() {
    static const std::vector<Cle> o = [] {
        std::vector<Cle> v;
        auto un = [&](SettingId id) { v.emplace_back(id, 0); };
        auto tous = [&](SettingId id) {
            for (int n = 0; n < settingDef(id).count; ++n)
                if (settingStocke(id, n))
                    v.emplace_back(id, n);
        };
        tous(I::DossiersSource);
        tous(I::DossiersCible);
        for (SettingId id :
             {I::DossiersSourceRecursive, I::DossiersCibleRecursive, I::FichiersSourcesDetruire,
              I::FichiersCiblesNePasConverir, I::DossiersFrequence})
            un(id);
        tous(I::FichiersSource);
        for (SettingId id :
             {I::FichiersCible, I::FichiersCibleCaracteristiques, I::FichiersCibleExistant,
              I::FichiersConvertVoirFenetre, I::FichiersConversionsSimultanees, I::EffetCutActive,
              I::EffetCutDebut, I::EffetCutFin, I::EffetCutSeuildB, I::EffetCutSeuilDuree, I::EffetCutSilence,
              I::EffetNormalisationActive, I::EffetNormalisationNature, I::EffetNormalisationValeurDesiree,
              I::EffetNormalisationValeurFixe, I::EffetNormalisationValeurMax, I::EffetEQActive})
            un(id);
        tous(I::EffetEQBande);
        for (int n = 0; n < 9; ++n)
            for (SettingId id : {I::UdpInLib, I::UdpInIP, I::UdpInPort, I::UdpInActif})
                v.emplace_back(id, n);
        for (int n = 0; n < 9; ++n)
            for (SettingId id : {I::UdpOutLib, I::UdpOutIP, I::UdpOutPort, I::UdpOutMsg})
                v.emplace_back(id, n);
        return v;
    }();
    return o;
}

// The value read when the file has none (the table of SettingId.cpp).
QString defaut(const Settings& s, SettingId id, int n) {
    switch (settingDef(id).defaultKind) {
    case SettingDefault::HostAddress:
        return s.adresseIPPoste();
    case SettingDefault::Unchanged:
        return QString::number(s.number(id, n));
    default:
        return settingDefault(id, n);
    }
}

// "True"/"False" in any case, or a number (non-zero is true); nothing else.
std::optional<bool> booleen(const QString& texte) {
    const QString t = texte.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return d != 0.0;
}

// Puts one value read into its control; a value the control cannot take is
// skipped and the setting keeps what it had.
void applique(Settings& s, SettingId id, int n, const QString& v) {
    // A receive row listens on this computer's address unless it names one:
    // never on every interface by accident.
    if (id == I::UdpInIP && (trimSpaces(v).isEmpty() || v == QLatin1String("0.0.0.0"))) {
        s.setText(id, n, s.adresseIPPoste());
        return;
    }
    switch (settingDef(id).kind) {
    case SettingKind::Texte:
        s.setText(id, n, v);
        return;
    case SettingKind::Selection:
        if (const auto b = booleen(v))
            s.setNumber(id, n, *b ? 1 : 0);
        return;
    default:
        if (const auto i = LeadingInteger(v))
            s.setNumber(id, n, *i);
        return;
    }
}

// Makes sure a folder named in the settings exists.
void assureDossier(const QString& dossier) {
    if (dossier.trimmed().isEmpty())
        return;
    if (!QDir().mkpath(dossier))
        TraceLog(-1, -1, -1,
                 QStringLiteral("Err: Folder cannot be created: ") + dossier +
                     QStringLiteral(" |Sub: FrmSetup:InitSettings"),
                 true);
}

QString texteEcrit(const Settings& s, SettingId id, int n) {
    switch (settingDef(id).kind) {
    case SettingKind::Texte:
        return s.text(id, n);
    case SettingKind::Selection:
        return s.isOn(id, n) ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return QString::number(s.number(id, n));
    }
}

} // namespace

void InitSettings() {
    Procedure p("FrmSetup", "InitSettings");
    Settings& s = settings();
    const bool chargement = s.chargementSetup();
    s.setChargementSetup(true);

    QString fichier;
    p.step(20, [&] { fichier = NomFichierSettings(QString(), QStringLiteral(".Ini")); });

    int ligne = 100;
    for (const auto& [id, n] : ordre()) {
        p.step(ligne++, [&, id = id, n = n] {
            const QString section = QString::fromLatin1(settingDef(id).section);
            const QString v = LectureIni(fichier, section, settingKey(id, n), defaut(s, id, n));
            if (id == I::FichiersCible) {
                // A code that no type has selects the mp3 type.
                const auto code = LeadingInteger(v);
                s.choisirCible(code && targetType(*code) ? *code : kCibleParDefaut);
                return;
            }
            applique(s, id, n, v);
            if (id == I::FichiersCibleCaracteristiques && s.cibleCaracteristiques() < 0)
                s.setNumber(id, 0, 0); // impossible with an empty list: it stays without selection
            if (id == I::DossiersSource || id == I::DossiersCible)
                assureDossier(s.text(id, n));
        });
    }

    p.step(900, [&] {
        s.setChargementSetup(chargement);
        s.setSetupModifie(false);
    });
}

bool SaveSettings() {
    Procedure p("FrmSetup", "SaveSettings");
    Settings& s = settings();
    QString fichier;
    QList<IniEntree> entrees;
    bool ok = false;
    p.step(10, [&] { fichier = NomFichierSettings(QString(), QStringLiteral(".Ini")); });
    p.step(20, [&] {
        entrees.reserve(static_cast<qsizetype>(ordre().size()));
        for (const auto& [id, n] : ordre()) {
            // An option group without a selected option writes nothing.
            if (settingDef(id).kind == SettingKind::Option && s.number(id, n) < 0)
                continue;
            entrees.push_back(
                {QString::fromLatin1(settingDef(id).section), settingKey(id, n), texteEcrit(s, id, n)});
        }
    });
    p.step(30, [&] { ok = EcritureIni(fichier, entrees); });
    p.step(40, [] { DoEvents(); });
    p.step(50, [&] {
        if (ok)
            s.setSetupModifie(false);
        else
            TraceLog(-1, -1, -1,
                     QStringLiteral("Err: SaveSettings: the settings could not all be written: ") + fichier +
                         QStringLiteral(" |Sub: FrmSetup:SaveSettings"),
                     true);
    });
    return ok;
}

} // namespace ks3
