#include "common/ProgramValues.h"

namespace ks3 {

ProgramValues& programValues() {
    static ProgramValues v;
    return v;
}

} // namespace ks3
