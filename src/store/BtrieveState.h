#pragma once

#include "platform/Btrcall.h"
#include "store/CatalogueTables.h"
#include "store/DefinitionFichier.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace ks3 {

constexpr int NbBases = 4;        // bases 0..3
constexpr int NbStationsMax = 10; // stations 1..10
constexpr int NbHistoriqueBtr = 6;

// Everything the record layer keeps between calls. Stations are 1-based in
// every accessor; base, station and file number must be in range.
struct BtrieveState {
    template <class T>
    using ParFichier = std::array<std::array<std::array<T, NbTablesCatalogue>, NbStationsMax>, NbBases>;

    ParFichier<bool> fichierOuvert{};
    ParFichier<QString> cheminFichierBtr{};
    ParFichier<btr::PositionBlock> blocPosition{};
    // The record as last read through each position block, so that an update
    // that meets a record conflict can be merged into the record as re-read.
    ParFichier<QByteArray> dernierLu{};
    std::array<std::uint32_t, NbTablesCatalogue> longueurEnreg{};
    std::array<std::array<QString, NbHistoriqueBtr>, NbBases> historiqueBtr{};
    bool transactionEnCours = false;
    bool enregOccupe = false;
    QString listeFichiersOuverts; // every path opened so far, each followed by "::"
    DefinitionFichier definitionFichier;
    std::uint64_t tickDerniereErreurReseau = 0; // 0: none yet

    bool& FichierOuvert(int base, int station, int noFichier) {
        return fichierOuvert[base][station - 1][noFichier];
    }
    QString& CheminFichierBtr(int base, int station, int noFichier) {
        return cheminFichierBtr[base][station - 1][noFichier];
    }
    btr::PositionBlock& BlocPosition(int base, int station, int noFichier) {
        return blocPosition[base][station - 1][noFichier];
    }
    QByteArray& DernierLu(int base, int station, int noFichier) {
        return dernierLu[base][station - 1][noFichier];
    }
    std::array<QString, NbHistoriqueBtr>& HistoriqueBtr(int base) { return historiqueBtr[base]; }
};

BtrieveState& btrieveState();
// Back to the state of a fresh start (tests): nothing open, history empty.
void resetBtrieveState();

// True when base, station (1-based) and file number address a slot of the layer.
bool adresseBtrValide(int base, int station, int noFichier);
// True when the file of that base, station and number is open.
bool FichierEstOuvert(int base, int station, int noFichier);

} // namespace ks3
