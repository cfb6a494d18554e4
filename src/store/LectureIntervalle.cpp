#include "store/LectureIntervalle.h"

#include "platform/Btrcall.h"
#include "platform/Text1252.h"
#include "store/BtrieveState.h"
#include "store/CatalogueTables.h"
#include "store/RecordBuffers.h"
#include "store/RecordManagerCall.h"

#include <array>

namespace ks3 {

namespace {
std::array<std::uint64_t, NbTablesCatalogue>& ecritures() {
    static std::array<std::uint64_t, NbTablesCatalogue> compteurs{};
    return compteurs;
}
} // namespace

std::uint64_t EcrituresTable(int noFichier) {
    return noFichier >= 0 && noFichier < NbTablesCatalogue ? ecritures()[std::size_t(noFichier)] : 0;
}

void CompterEcriture(int noFichier) {
    if (noFichier >= 0 && noFichier < NbTablesCatalogue)
        ++ecritures()[std::size_t(noFichier)];
}

int LectureIntervalle(int base, int noFichier, int noCle, const QString& bas, const QString& haut,
                      int maximum, std::vector<QByteArray>& enregistrements) {
    enregistrements.clear();
    const RecordBufferRef buf = recordBufferOf(noFichier);
    if (!buf.data || buf.size <= 0 || maximum < 1 || base < 0 || base >= NbBases)
        return btr::StatusInvalidOperation;
    const int longueurCle = CatalogueTables()[noFichier].longueurCle(noCle);
    if (longueurCle <= 0)
        return btr::StatusInvalidKeyNumber;
    auto cle = [&](const QString& texte) {
        QByteArray octets = toCp1252(texte).left(longueurCle);
        return octets.leftJustified(longueurCle, ' ');
    };
    QByteArray bornes = cle(bas) + cle(haut);
    QByteArray donnees(qsizetype(buf.size) * maximum, ' ');
    std::uint32_t longueur = std::uint32_t(donnees.size());
    const std::int16_t statut = callRecordManager(
        btr::OpGetKeyRange, &btrieveState().BlocPosition(base, 1, noFichier), donnees.data(), &longueur,
        bornes.data(), std::uint16_t(bornes.size()), std::int16_t(noCle));
    if (statut == btr::StatusSuccess || statut == btr::StatusDataBufferTooShort)
        for (std::uint32_t at = 0; at + std::uint32_t(buf.size) <= longueur; at += std::uint32_t(buf.size))
            enregistrements.push_back(donnees.mid(qsizetype(at), buf.size));
    return statut;
}

} // namespace ks3
