#pragma once

#include "store/RecordImage.h"

namespace ks3 {

// Start, stop and loop pointers (table 31, one file per station): 50 bytes.
// Key 0 = the first 11 bytes (CodeMorceau and the two fields after it).
class EnregPointeurs : public RecordImage<50> {
public:
    static constexpr int NoFichier = 31;

    static constexpr TextField CodeMorceauChamp{0, 8};
    static constexpr TextField Champ008{8, 1};
    static constexpr TextField Champ009{9, 2};
    static constexpr TextField Champ011{11, 10};
    static constexpr TextField Champ021{21, 10};
    static constexpr TextField Champ031{31, 2};
    static constexpr TextField Champ033{33, 1};
    static constexpr TextField Champ034{34, 10};
    static constexpr TextField Champ044{44, 6};

    static const std::vector<FieldDef>& layout();

    QString CodeMorceau() const { return text(CodeMorceauChamp); }
    void setCodeMorceau(const QString& v) { setText(CodeMorceauChamp, v); }
};

} // namespace ks3
