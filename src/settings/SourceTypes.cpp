#include "settings/SourceTypes.h"

#include "settings/TypeLabel.h"

namespace ks3 {

const std::vector<SourceType>& sourceTypes() {
    static const std::vector<SourceType> types = [] {
        const char* const libelles[kNombreTypesSource] = {
            "AIFC (*.aifc)",
            "AIFF (*.aiff; *.aif)",
            "CD Audio (*.cda)",
            "MPEG (*.mpg; *.mpeg)",
            "MPEG Audio (*.mpga; *.mpa)",
            "MPEG X (*.mpx)",
            "MPEG-1 Layer 1 (*.mp1)",
            "MPEG-1 Layer 2 (*.mp2; *.m2a)",
            "MPEG-1 Layer 3 (*.mp3)",
            "Ogg Vorbis (*.oga; *.ogg)",
            "Wave (*.wave; *.wav)",
            "Wave 64 (*.w64)",
            "Windows Media Audio (*.wmv; *.asf; *.wma)",
            "FLAC (*.fla; *.flac)",
            "===== Logiciels =====",
            "Dalet (*.snd)",
            "Kestrel (*.s48)",
            "Virtual Studio (*.mus)",
        };
        std::vector<SourceType> v;
        for (int code = 0; code < kNombreTypesSource; ++code) {
            SourceType t;
            t.code = code;
            t.libelle = QString::fromLatin1(libelles[code]);
            t.motifs = motifsDuLibelle(t.libelle);
            for (QString m : t.motifs.split(QLatin1Char(';'), Qt::SkipEmptyParts))
                t.extensions << m.remove(QLatin1Char('*'));
            t.separateur = code == kSourceSeparateur;
            v.push_back(t);
        }
        return v;
    }();
    return types;
}

} // namespace ks3
