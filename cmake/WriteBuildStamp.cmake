# cmake -DOUTPUT=<file> -P WriteBuildStamp.cmake: writes the build stamp source.
string(TIMESTAMP year "%Y")
string(TIMESTAMP monthday "%m%d")
string(TIMESTAMP hourminute "%H%M")
# The values become C++ integer literals: a leading zero would make them octal
# ("0039" does not compile, "0125" reads as 85).
foreach(part monthday hourminute)
    string(REGEX REPLACE "^0+([0-9])" "\\1" ${part} "${${part}}")
endforeach()
file(WRITE ${OUTPUT} "// Written by the build: the date and time of this build.
#include \"common/BuildStamp.h\"

namespace ks3 {
BuildStamp buildStamp() {
    return {${year}, ${monthday}, ${hourminute}};
}
} // namespace ks3
")
