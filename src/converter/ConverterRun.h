#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ks3::conv {

// What one run of the converter did: the exit status (ConverterError.h) and
// what it has to say on its standard output (remarks and the line of the
// conversion) or, after a failure, on its standard error (the reason).
struct ConverterRunResult {
    int status = 0;
    std::string output;
    std::string errors;
};

// One whole conversion, as the CoreConverter command does it from its
// arguments: the options are read, the source checked, the target written
// under a hidden temporary name in its folder and renamed once complete and
// on disk. After a failure the temporary file is removed, an existing target
// is left as it was, and the reason goes to the error file; after a success
// an older report there is emptied. temporaryFile is told the temporary
// file's path before it is created, so that a caller stopped by a signal can
// remove it.
ConverterRunResult runConverter(const std::vector<std::string>& args,
                                const std::function<void(const std::string&)>& temporaryFile = {});

} // namespace ks3::conv
