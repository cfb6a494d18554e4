#include "store/BtrieveState.h"

#include "store/BtrRequestBlock.h"

#include <memory>

namespace ks3 {

namespace {
std::unique_ptr<BtrieveState>& instance() {
    static std::unique_ptr<BtrieveState> s = std::make_unique<BtrieveState>();
    return s;
}
} // namespace

BtrRequestBlock& btrRequest() {
    static BtrRequestBlock r;
    return r;
}

BtrieveState& btrieveState() {
    return *instance();
}

void resetBtrieveState() {
    instance() = std::make_unique<BtrieveState>();
    btrRequest() = BtrRequestBlock();
}

bool adresseBtrValide(int base, int station, int noFichier) {
    return base >= 0 && base < NbBases && station >= 1 && station <= NbStationsMax && noFichier >= 0 &&
           noFichier < NbTablesCatalogue;
}

bool FichierEstOuvert(int base, int station, int noFichier) {
    return adresseBtrValide(base, station, noFichier) &&
           btrieveState().FichierOuvert(base, station, noFichier);
}

} // namespace ks3
