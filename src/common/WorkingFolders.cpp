#include "common/WorkingFolders.h"

namespace ks3 {

WorkingFolders& workingFolders() {
    static WorkingFolders f;
    return f;
}

} // namespace ks3
