#include "udp/VerifieNoDrive.h"

#include "common/LeadingNumber.h"
#include "common/ProgramValues.h"

#include <cmath>

namespace ks3 {

namespace {

const QString* emplacement(int categorie, int slot) {
    auto& table = programValues().dossiersSons;
    if (categorie < 0 || categorie >= static_cast<int>(table.size()) || slot < 0 ||
        slot >= static_cast<int>(table[0].size()))
        return nullptr;
    return &table[static_cast<std::size_t>(categorie)][static_cast<std::size_t>(slot)];
}

bool rempli(int categorie, int slot) {
    const QString* e = emplacement(categorie, slot);
    return e != nullptr && !e->trimmed().isEmpty();
}

} // namespace

QString VerifieNoDrive(int categorie, const QString& slot, const QString& song, const QString& caller) {
    Q_UNUSED(caller);
    QString texte = slot.trimmed().isEmpty() ? QStringLiteral("0") : slot;
    if (texte == QLatin1String("-"))
        return texte;
    const bool chiffre =
        texte.size() == 1 && texte.at(0) >= QLatin1Char('0') && texte.at(0) <= QLatin1Char('9');
    if (chiffre && rempli(categorie, texte.at(0).digitValue()))
        return texte;
    int remplis = 0;
    while (remplis < 10 && rempli(categorie, remplis))
        ++remplis;
    texte = QStringLiteral("0");
    if (remplis > 0) {
        // The song's number, rounded as an integer operand is (halves to even).
        const double n = std::nearbyint(std::fabs(leadingNumber(song.mid(3))));
        const double reste = std::fmod(n, static_cast<double>(remplis));
        texte = QString::number(static_cast<int>(reste) % 10);
    }
    return texte;
}

} // namespace ks3
