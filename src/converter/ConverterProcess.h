#pragma once

namespace ks3::conv {

// The process around one conversion, shared by the converter programs
// (CoreConverter, MusicConverter): the arguments read, the usage on --help or
// on bad arguments, the temporary output removed when the process is stopped
// by SIGINT, SIGTERM or SIGHUP, the remarks on the standard output and the
// reason of a failure on the standard error. Returns the exit status
// (ConverterError.h). program names the program in the usage text.
int converterProcessMain(const char* program, int argc, char** argv);

} // namespace ks3::conv
