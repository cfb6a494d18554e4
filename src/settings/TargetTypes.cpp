#include "settings/TargetTypes.h"

#include "settings/TypeLabel.h"

namespace ks3 {

namespace {

QStringList liste(std::initializer_list<const char*> entrees) {
    QStringList l;
    for (const char* e : entrees)
        l << QString::fromLatin1(e);
    return l;
}

TargetType type(int code, const char* libelle, QStringList caracteristiques, int preset) {
    TargetType t;
    t.code = code;
    t.libelle = QString::fromLatin1(libelle);
    t.extension = motifsDuLibelle(t.libelle).remove(QLatin1Char('*'));
    t.caracteristiques = std::move(caracteristiques);
    t.preset = preset;
    return t;
}

} // namespace

const std::vector<TargetType>& targetTypes() {
    static const std::vector<TargetType> types = [] {
        const QStringList bits =
            liste({" 8 bits 44100 Hz", "16 bits 44100 Hz", "24 bits 44100 Hz", "32 bits 44100 Hz"});
        const QStringList mp2 = liste(
            {"128 Kbits/s 48000 Hz", "192 Kbits/s 48000 Hz", "256 Kbits/s 48000 Hz", "384 Kbits/s 48000 Hz"});
        return std::vector<TargetType>{
            type(0, "AIFF (*.aiff)",
                 liste({"16 bits 44100 Hz", "16 bits 48000 Hz", "16 bits 96000 Hz", "16 bits 192000 Hz"}), 1),
            type(1, "MPEG-1 Layer 2 (*.mp2)", mp2, 2),
            type(2, "MPEG-1 Layer 3 (*.mp3)",
                 liste({"128 Kbits/s 44100 Hz", "192 Kbits/s 44100 Hz", "256 Kbits/s 44100 Hz",
                        "320 Kbits/s 44100 Hz"}),
                 2),
            type(3, "Ogg Vorbis (*.ogg)",
                 liste({"q -0.1  48 KBits/s", "q  0.0  64 KBits/s", "q  0.1  80 KBits/s",
                        "q  0.2  96 KBits/s", "q  0.3 112 KBits/s", "q  0.4 128 KBits/s",
                        "q  0.5 160 KBits/s", "q  0.6 192 KBits/s", "q  0.7 224 KBits/s",
                        "q  0.8 256 KBits/s", "q  0.9 350 KBits/s", "q  1.0 500 KBits/s"}),
                 9),
            type(4, "Wave (*.wav)", bits, 1),
            type(5, "Wave 64 (*.w64)", bits, 1),
            type(6, "Windows Media Audio (*.wma)", liste({"256 Kbits/s 48000 Hz"}), 0),
            type(7, "FLAC (*.flac)", mp2, 2),
            type(8, "MPEG-1 Layer 2 (*.s48)", QStringList(), -1),
        };
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
