# ks3_add_library(name SOURCES ... [LINKS ...])
# One static library per source folder. Every library takes src/ as its
# include root ("layer/File.h") and links only the layers below it, which it
# names in LINKS (scripts/check-includes.sh holds the order of the layers).
function(ks3_add_library name)
    cmake_parse_arguments(L "" "" "SOURCES;LINKS" ${ARGN})
    add_library(${name} STATIC ${L_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${L_LINKS} PRIVATE ks3_warnings)
endfunction()
