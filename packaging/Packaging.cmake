# The Debian package (cpack -G DEB in the build folder): the programs in
# /usr/lib/kestrel-tools-convert/, /usr/bin/KS3_Tools_Convert a link to the
# program, the desktop entry and its icon, the manual page, the systemd units.

set(KS3_PACKAGE_NAME kestrel-tools-convert)
set(KS3_PROGRAM_DIR lib/${KS3_PACKAGE_NAME})
set(KS3_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(KS3_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)

# The programs installed beside KS3_Tools_Convert, where it looks for them:
# one line each.
set(KS3_PACKAGE_PROGRAMS KS3_Tools_Convert)
list(APPEND KS3_PACKAGE_PROGRAMS CoreConverter)
list(APPEND KS3_PACKAGE_PROGRAMS MusicConverter)
# Plug-ins (shared modules) loaded from the program's folder: one line each.
set(KS3_PACKAGE_PLUGINS)
list(APPEND KS3_PACKAGE_PLUGINS dMCScripting)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS ${KS3_PACKAGE_PROGRAMS} RUNTIME DESTINATION ${KS3_PROGRAM_DIR})
if(KS3_PACKAGE_PLUGINS)
    install(TARGETS ${KS3_PACKAGE_PLUGINS} LIBRARY DESTINATION ${KS3_PROGRAM_DIR})
endif()

# /usr/bin/KS3_Tools_Convert -> ../lib/kestrel-tools-convert/KS3_Tools_Convert
file(MAKE_DIRECTORY ${KS3_PACKAGING_OUT})
file(CREATE_LINK ../${KS3_PROGRAM_DIR}/KS3_Tools_Convert ${KS3_PACKAGING_OUT}/KS3_Tools_Convert SYMBOLIC)
install(FILES ${KS3_PACKAGING_OUT}/KS3_Tools_Convert DESTINATION bin)

install(FILES ${KS3_PACKAGING_DIR}/${KS3_PACKAGE_NAME}.desktop DESTINATION share/applications)
install(FILES ${KS3_PACKAGING_DIR}/${KS3_PACKAGE_NAME}.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${KS3_PACKAGING_DIR}/${KS3_PACKAGE_NAME}.service DESTINATION lib/systemd/user)
install(FILES ${KS3_PACKAGING_DIR}/${KS3_PACKAGE_NAME}@.service DESTINATION lib/systemd/system)

# Manual page and changelog, compressed as Debian wants them.
set(KS3_DEB_VERSION "${PROJECT_VERSION}-1")
configure_file(${KS3_PACKAGING_DIR}/changelog.in ${KS3_PACKAGING_OUT}/changelog.Debian @ONLY)
add_custom_command(
    OUTPUT ${KS3_PACKAGING_OUT}/KS3_Tools_Convert.1.gz ${KS3_PACKAGING_OUT}/changelog.Debian.gz
    COMMAND gzip -9n -c ${KS3_PACKAGING_DIR}/KS3_Tools_Convert.1 > ${KS3_PACKAGING_OUT}/KS3_Tools_Convert.1.gz
    COMMAND gzip -9n -c ${KS3_PACKAGING_OUT}/changelog.Debian > ${KS3_PACKAGING_OUT}/changelog.Debian.gz
    DEPENDS ${KS3_PACKAGING_DIR}/KS3_Tools_Convert.1 ${KS3_PACKAGING_OUT}/changelog.Debian
    VERBATIM)
add_custom_target(ks3_package_files ALL
    DEPENDS ${KS3_PACKAGING_OUT}/KS3_Tools_Convert.1.gz ${KS3_PACKAGING_OUT}/changelog.Debian.gz)
install(FILES ${KS3_PACKAGING_OUT}/KS3_Tools_Convert.1.gz DESTINATION share/man/man1)
install(FILES ${KS3_PACKAGING_DIR}/lintian-overrides DESTINATION share/lintian/overrides
        RENAME ${KS3_PACKAGE_NAME})
install(FILES ${KS3_PACKAGING_DIR}/copyright ${KS3_PACKAGING_OUT}/changelog.Debian.gz
        DESTINATION share/doc/${KS3_PACKAGE_NAME})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${KS3_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "Kestrel Tools Convert maintainers <maintainers@kestrel.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "audio conversion utility of the Kestrel radio-automation suite")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "KS3_Tools_Convert walks up to ten source folders at an interval and converts
every new, changed or previously failed sound file into the chosen format in
the paired target folder, keeping a history of every file and attempt. On a
UDP request from the suite's other programs it turns a sound file into the
suite's own format (MPEG-1 Layer 2, 48 kHz, 256 kbit/s).

It runs as a window program, once from a script, or as an unattended systemd
service (a user unit, and a system unit template for a dedicated account).")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so unseen by dpkg-shlibdeps: the window program's
# platform plug-ins.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
