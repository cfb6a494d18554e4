#pragma once

namespace ks3 {

// Reads the station's sound folders (DossiersSons) from the suite's BW_SYS.ini
// in the global configuration folder.
void InitGeneralSysteme();

} // namespace ks3
