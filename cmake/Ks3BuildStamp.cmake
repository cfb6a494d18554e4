# The program's version text is made of the date and time of its build
# (year.monthday.hourminute). The stamp lives in one generated source file,
# compiled alone: it is written again only when a source of the project
# changed, so a build with nothing to do compiles nothing, and a build after
# an edit recompiles that one file beside the edited ones.
file(GLOB_RECURSE KS3_STAMPED_SOURCES CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/src/*.cpp ${PROJECT_SOURCE_DIR}/src/*.h
    ${PROJECT_SOURCE_DIR}/tools/*.cpp ${PROJECT_SOURCE_DIR}/tools/*.h)
set(KS3_BUILD_STAMP_SOURCE ${CMAKE_BINARY_DIR}/generated/BuildStamp.cpp)
add_custom_command(
    OUTPUT ${KS3_BUILD_STAMP_SOURCE}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${KS3_BUILD_STAMP_SOURCE} -P ${PROJECT_SOURCE_DIR}/cmake/WriteBuildStamp.cmake
    DEPENDS ${KS3_STAMPED_SOURCES} ${PROJECT_SOURCE_DIR}/cmake/WriteBuildStamp.cmake
    COMMENT "Build stamp"
    VERBATIM)
