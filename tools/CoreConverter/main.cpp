// CoreConverter: the command-line converter that KS3_Tools_Convert starts for
// each file. It reads any sound FFmpeg decodes, applies the requested effects
// and writes the requested type. The target appears only when it is complete
// (it is written under a temporary name in the target folder and renamed at
// the end); on failure the reason is written to the error file and the exit
// status is not 0. The conversion itself is the converter library's
// (src/converter/ConverterRun.h), and so is the process around it
// (src/converter/ConverterProcess.h).

#include "converter/ConverterProcess.h"

int main(int argc, char** argv) {
    return ks3::conv::converterProcessMain("CoreConverter", argc, argv);
}
