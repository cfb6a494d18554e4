// MusicConverter: the older converter's program. Its automation component
// (dMCScripting) starts it for each conversion with the options of the
// CoreConverter command (-infile=, -outfile=, -convert_to= and the format
// settings). The target appears only when it is complete; on failure the
// reason goes to the standard error and the exit status is not 0. The
// conversion and the process around it are the converter library's, shared
// with CoreConverter (src/converter/ConverterProcess.h).

#include "converter/ConverterProcess.h"

int main(int argc, char** argv) {
    return ks3::conv::converterProcessMain("MusicConverter", argc, argv);
}
