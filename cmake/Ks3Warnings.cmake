add_library(ks3_warnings INTERFACE)
target_compile_options(ks3_warnings INTERFACE -Wall -Wextra -Wno-unused-parameter)
