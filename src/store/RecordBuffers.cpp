#include "store/RecordBuffers.h"

namespace ks3 {

namespace {

struct Buffers {
    EnregArtiste artiste;
    EnregVoixGroupe voixGroupe;
    EnregMorceau morceau;
    EnregMorceauMagneto morceauMagneto;
    EnregMorceauCles morceauCles;
    EnregPointeurs pointeurs;
    EnregInfoSon infoSon;
    EnregConvertEntete convertEntete;
    EnregConvertDetail convertDetail;
};

Buffers& buffers() {
    static Buffers b;
    return b;
}

template <class R> RecordBufferRef ref(R& r) {
    return {r.data(), r.size()};
}

// Binary fields start at zero rather than at four spaces.
void zeroBinaryFields(EnregArtiste& a) {
    a.setInt16(EnregArtiste::Champ192, 0);
}
void zeroBinaryFields(EnregMorceau& m) {
    m.setInt16(EnregMorceau::Champ854, 0);
    m.setInt16(EnregMorceau::Champ858, 0);
}
void zeroBinaryFields(EnregMorceauMagneto& m) {
    m.setDureeMs(0);
}
void zeroBinaryFields(EnregInfoSon& s) {
    s.setTailleSon(0);
    s.setDureeMs(0);
    for (int i = 0; i < EnregInfoSon::Valeurs044Champ.count; ++i)
        s.setInt32(EnregInfoSon::Valeurs044Champ, 0, i);
    s.setInt16(EnregInfoSon::Valeur088Champ, 0);
    s.setInt32(EnregInfoSon::Valeur092Champ, 0);
    for (int i = 0; i < EnregInfoSon::Valeurs100Champ.count; ++i)
        s.setInt32(EnregInfoSon::Valeurs100Champ, 0, i);
}

Buffers makeBuffers() {
    Buffers b;
    zeroBinaryFields(b.artiste);
    zeroBinaryFields(b.morceau);
    zeroBinaryFields(b.morceauMagneto);
    zeroBinaryFields(b.infoSon);
    return b;
}

bool initialised = false;

Buffers& initialisedBuffers() {
    if (!initialised) {
        buffers() = makeBuffers();
        initialised = true;
    }
    return buffers();
}

} // namespace

EnregArtiste& enregArtiste() {
    return initialisedBuffers().artiste;
}
EnregVoixGroupe& enregVoixGroupe() {
    return initialisedBuffers().voixGroupe;
}
EnregMorceau& enregMorceau() {
    return initialisedBuffers().morceau;
}
EnregMorceauMagneto& enregMorceauMagneto() {
    return initialisedBuffers().morceauMagneto;
}
EnregMorceauCles& enregMorceauCles() {
    return initialisedBuffers().morceauCles;
}
EnregPointeurs& enregPointeurs() {
    return initialisedBuffers().pointeurs;
}
EnregInfoSon& enregInfoSon() {
    return initialisedBuffers().infoSon;
}
EnregConvertEntete& enregConvertEntete() {
    return initialisedBuffers().convertEntete;
}
EnregConvertDetail& enregConvertDetail() {
    return initialisedBuffers().convertDetail;
}

RecordBufferRef recordBufferOf(int noFichier) {
    switch (noFichier) {
    case EnregArtiste::NoFichier:
        return ref(enregArtiste());
    case EnregVoixGroupe::NoFichier:
        return ref(enregVoixGroupe());
    case EnregMorceau::NoFichier:
        return ref(enregMorceau());
    case EnregMorceauMagneto::NoFichier:
        return ref(enregMorceauMagneto());
    case EnregMorceauCles::NoFichier:
        return ref(enregMorceauCles());
    case EnregPointeurs::NoFichier:
        return ref(enregPointeurs());
    case EnregInfoSon::NoFichier:
        return ref(enregInfoSon());
    case EnregConvertEntete::NoFichier:
        return ref(enregConvertEntete());
    case EnregConvertDetail::NoFichier:
        return ref(enregConvertDetail());
    default:
        return {};
    }
}

void resetRecordBuffers() {
    buffers() = makeBuffers();
    initialised = true;
}

} // namespace ks3
