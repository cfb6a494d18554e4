#include "settings/TargetTypes.h"

#include "settings/TypeLabel.h"

namespace ks3 {

namespace {

// One entry of a characteristics list and the converter's settings for it.
struct Entree {
    const char* libelle;
    QStringList reglages;
};

TargetType type(int code, const char* libelle, const char* codec, const std::vector<Entree>& entrees,
                int preset, QStringList reglagesCommuns = {}) {
    TargetType t;
    t.code = code;
    t.libelle = QString::fromLatin1(libelle);
    t.extension = motifsDuLibelle(t.libelle).remove(QLatin1Char('*'));
    t.codec = QString::fromLatin1(codec);
    for (const Entree& e : entrees) {
        t.caracteristiques << QString::fromLatin1(e.libelle);
        t.reglages.push_back(e.reglages);
    }
    t.reglagesCommuns = std::move(reglagesCommuns);
    t.preset = preset;
    return t;
}

QString s(const char* text) {
    return QString::fromLatin1(text);
}

} // namespace

const std::vector<TargetType>& targetTypes() {
    static const std::vector<TargetType> types = [] {
        const std::vector<Entree> layer2 = {
            {"128 Kbits/s 48000 Hz", {s("-s=48000"), s("-b=128"), s("-c=2")}},
            {"192 Kbits/s 48000 Hz", {s("-s=48000"), s("-b=192"), s("-c=2")}},
            {"256 Kbits/s 48000 Hz", {s("-s=48000"), s("-b=256"), s("-c=2")}},
            {"384 Kbits/s 48000 Hz", {s("-s=48000"), s("-b=384"), s("-c=2")}},
        };
        // FLAC shows the Layer 2 list, but its settings are the same for every entry.
        std::vector<Entree> flac = layer2;
        for (Entree& e : flac)
            e.reglages.clear();

        std::vector<TargetType> v{
            type(0, "AIFF (*.aiff)", "Aiff",
                 {{"16 bits 44100 Hz", {s("-bits=16"), s("-freq=44100"), s("-channels=2")}},
                  {"16 bits 48000 Hz", {s("-bits=16"), s("-freq=48000"), s("-channels=2")}},
                  {"16 bits 96000 Hz", {s("-bits=16"), s("-freq=96000"), s("-channels=2")}},
                  {"16 bits 192000 Hz", {s("-bits=16"), s("-freq=192000"), s("-channels=2")}}},
                 1),
            type(1, "MPEG-1 Layer 2 (*.mp2)", "mp2", layer2, 2),
            type(2, "MPEG-1 Layer 3 (*.mp3)", "mp3 (Lame)",
                 {{"128 Kbits/s 44100 Hz", {s("-s=44100"), s("-b=128")}},
                  {"192 Kbits/s 44100 Hz", {s("-s=44100"), s("-b=192")}},
                  {"256 Kbits/s 44100 Hz", {s("-s=44100"), s("-b=256")}},
                  {"320 Kbits/s 44100 Hz", {s("-s=44100"), s("-b=320")}}},
                 2),
            type(3, "Ogg Vorbis (*.ogg)", "Ogg Vorbis",
                 {{"q -0.1  48 KBits/s", {s("-q=-0.1"), s("-b=48"), s("--managed")}},
                  {"q  0.0  64 KBits/s", {s("-q=0.0"), s("-b=64"), s("--managed")}},
                  {"q  0.1  80 KBits/s", {s("-q=0.1"), s("-b=80"), s("--managed")}},
                  {"q  0.2  96 KBits/s", {s("-q=0.2"), s("-b=96"), s("--managed")}},
                  {"q  0.3 112 KBits/s", {s("-q=0.3"), s("-b=112"), s("--managed")}},
                  {"q  0.4 128 KBits/s", {s("-q=0.4"), s("-b=128"), s("--managed")}},
                  {"q  0.5 160 KBits/s", {s("-q=0.5"), s("-b=160"), s("--managed")}},
                  {"q  0.6 192 KBits/s", {s("-q=0.6"), s("-b=192"), s("--managed")}},
                  {"q  0.7 224 KBits/s", {s("-q=0.7"), s("-b=224"), s("--managed")}},
                  {"q  0.8 256 KBits/s", {s("-q=0.8"), s("-b=256"), s("--managed")}},
                  {"q  0.9 350 KBits/s", {s("-q=0.9"), s("-b=350"), s("--managed")}},
                  {"q  1.0 500 KBits/s", {s("-q=1.0"), s("-b=500"), s("--managed")}}},
                 9),
            type(4, "Wave (*.wav)", "wave",
                 {{" 8 bits 44100 Hz", {s("-compression=PCM"), s("-bits=8"), s("-freq=44100")}},
                  {"16 bits 44100 Hz", {s("-compression=PCM"), s("-bits=16"), s("-freq=44100")}},
                  {"24 bits 44100 Hz", {s("-compression=PCM"), s("-bits=24"), s("-freq=44100")}},
                  {"32 bits 44100 Hz", {s("-compression=PCM"), s("-bits=32"), s("-freq=44100")}}},
                 1),
            type(5, "Wave 64 (*.w64)", "Wave64",
                 {{" 8 bits 44100 Hz",
                   {s("-compression=PCM"), s("-bits=8"), s("-freq=44100"), s("-channels=2")}},
                  {"16 bits 44100 Hz",
                   {s("-compression=PCM"), s("-bits=16"), s("-freq=44100"), s("-channels=2")}},
                  {"24 bits 44100 Hz",
                   {s("-compression=PCM"), s("-bits=24"), s("-freq=44100"), s("-channels=2")}},
                  {"32 bits 44100 Hz",
                   {s("-compression=PCM"), s("-bits=32"), s("-freq=44100"), s("-channels=2")}}},
                 1),
            type(6, "Windows Media Audio (*.wma)", "Windows Media Audio 10",
                 {{"256 Kbits/s 48000 Hz",
                   {s("-codec=Windows Media Audio 10 Professional"),
                    s("-settings=256 kbps, 48 kHz, 2 channel 16 bit CBR")}}},
                 0),
            type(7, "FLAC (*.flac)", "FLAC", flac, 2, {s("-compression-level-5")}),
            type(8, "MPEG-1 Layer 2 (*.s48)", "mp2", {}, -1),
        };
        // The suite's format is Layer 2 and takes its settings by position,
        // though the window offers none of them (the suite fixes them).
        v[kCibleS48].reglages = v[1].reglages;
        return v;
    }();
    return types;
}

const TargetType* targetType(int code) {
    const auto& t = targetTypes();
    if (code < 0 || code >= static_cast<int>(t.size()))
        return nullptr;
    return &t[static_cast<std::size_t>(code)];
}

} // namespace ks3
