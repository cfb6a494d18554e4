#include "udp/FileTraitementsUDP.h"

#include "common/ErrorRoutine.h"
#include "common/TraceLog.h"
#include "common/TrimSpaces.h"

namespace ks3 {

bool FileTraitementsUDP::TraitementUDPEnCours(int index) const {
    return occupe_.at(static_cast<std::size_t>(index));
}

void FileTraitementsUDP::recevoir(int index, const QString& texte) {
    bool& occupe = occupe_.at(static_cast<std::size_t>(index));
    if (occupe) {
        if (!trimSpaces(texte).isEmpty())
            TraceLogEncadre(index, -1, -1,
                            QStringLiteral("UDP: Receipt: ") + texte +
                                QStringLiteral(" But InProcess: Aborted"),
                            QStringLiteral("="), false);
        return;
    }
    occupe = true;
    if (enCours_) {
        attente_.emplace_back(index, texte);
        return;
    }
    enCours_ = true;
    traiter(index, texte);
    while (!attente_.empty()) {
        auto [suivant, texteSuivant] = std::move(attente_.front());
        attente_.pop_front();
        traiter(suivant, texteSuivant);
    }
    enCours_ = false;
}

void FileTraitementsUDP::traiter(int index, const QString& texte) {
    Procedure p("FrmSetup", "LabelDataArrivalUDP_Change");
    p.step(10, [&] { traitement_(index, texte); });
    // Whatever happened, the row takes requests again.
    occupe_.at(static_cast<std::size_t>(index)) = false;
}

} // namespace ks3
