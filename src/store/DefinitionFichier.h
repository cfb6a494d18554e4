#pragma once

#include "store/RecordImage.h"

namespace ks3 {

// The 160-byte file definition handed to the record manager's Create: record
// length, page size, number of keys, flags, then nine 16-byte key segment
// definitions (the ninth stays zero). Numbers are 16-bit little-endian.
class DefinitionFichier : public RecordImage<160> {
public:
    static constexpr Int16Field LongueurEnregChamp{0};
    static constexpr Int16Field TaillePageChamp{2};
    static constexpr Int16Field NbClesChamp{4};
    static constexpr Int32Field NbEnregChamp{6};
    static constexpr Int16Field FlagsFichierChamp{10};
    static constexpr Int16Field ReserveChamp{12};
    static constexpr Int16Field PreAllocationChamp{14};
    static constexpr int DebutSegments = 16;
    static constexpr int TailleSegment = 16;
    static constexpr int NbSegments = 9;
    static constexpr int FlagCompression = 8;

    DefinitionFichier() { clear(); }
    void clear() { setBytes(QByteArray(size(), '\0')); }

    int LongueurEnreg() const { return quint16(int16(LongueurEnregChamp)); }
    int TaillePage() const { return quint16(int16(TaillePageChamp)); }
    int NbCles() const { return int16(NbClesChamp); }
    int FlagsFichier() const { return int16(FlagsFichierChamp); }
    int positionSegment(int i) const { return int16(Int16Field{DebutSegments + i * TailleSegment}); }
    int longueurSegment(int i) const { return int16(Int16Field{DebutSegments + i * TailleSegment + 2}); }
    int flagsSegment(int i) const {
        return quint16(int16(Int16Field{DebutSegments + i * TailleSegment + 4}));
    }
    int typeEtenduSegment(int i) const { return quint8(data()[DebutSegments + i * TailleSegment + 10]); }
};

// Fills the layer's DefinitionFichier from the catalogue entry of a table.
void InitStructureFichierBTR(int noFichier, bool compression = true);

} // namespace ks3
