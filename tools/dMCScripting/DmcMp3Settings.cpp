#include "DmcMp3Settings.h"

#include "DmcRegistry.h"

namespace dmc {

void DmcMp3Settings::Set(int bitRate, int frequency, int channelMode, int quality) {
    errorNumber_ = 0;
    errorDescription_.clear();
    const DmcRegistry r(registryFile_);
    if (!r.write("DMCMP3BitRate", bitRate) || !r.write("DMCMP3Freq", frequency) ||
        !r.write("DMCMP3Channels", channelMode) || !r.write("DMCMP3Quality", quality)) {
        errorNumber_ = kErrPathAccess;
        errorDescription_ = QStringLiteral("Path/File access error: ") + registryFile_;
    }
}

} // namespace dmc
