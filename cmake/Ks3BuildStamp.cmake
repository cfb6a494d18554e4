# The program's version text is made of the date and time of its build
# (year.monthday.hourminute). The stamp is taken when CMake configures; the
# build scripts reconfigure at every build so it stays the build's own.
string(TIMESTAMP KS3_BUILD_YEAR "%Y")
string(TIMESTAMP KS3_BUILD_MONTHDAY "%m%d")
string(TIMESTAMP KS3_BUILD_HOURMINUTE "%H%M")
# The values become C++ integer literals: a leading zero would make them octal
# ("0039" does not compile, "0125" reads as 85).
foreach(part KS3_BUILD_MONTHDAY KS3_BUILD_HOURMINUTE)
    string(REGEX REPLACE "^0+([0-9])" "\\1" ${part} "${${part}}")
endforeach()
