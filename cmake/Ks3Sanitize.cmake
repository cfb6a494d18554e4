# -DKS3_SANITIZE=ON: every target of the build, the program, its converter and
# the tests, is compiled and linked with AddressSanitizer and
# UndefinedBehaviorSanitizer. Meant for a build folder of its own (build-asan,
# .ci/sanitize.sh); the program's behaviour is the same, only slower.
option(KS3_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(KS3_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# -DKS3_FUZZ=ON (with clang++): the libraries are instrumented for libFuzzer
# as well, and fuzz/ builds one fuzzing program per target (.ci/fuzz.sh).
option(KS3_FUZZ "Build the libFuzzer targets of fuzz/ (clang only)" OFF)
if(KS3_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "KS3_FUZZ needs clang++ (-DCMAKE_CXX_COMPILER=clang++)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
