# What a system installation holds beyond the two programs (manual pages,
# desktop metadata, the thumbnailer entry, shell completion, copyright) and the Debian package
# `cpack -G DEB` (the `package` target) builds from it.
include(GNUInstallDirs)

set(TOVASEL_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

# Manual pages: tovasel-cli(1) is read from the built tool's own --help by
# help2man, so an option added to the tool is in the page at the next build.
# The window takes no options, so its page is written once.
find_program(TOVASEL_HELP2MAN help2man)
find_program(TOVASEL_GZIP gzip)
set(man_dir ${CMAKE_BINARY_DIR}/man)
string(TIMESTAMP TOVASEL_MAN_DATE "%B %Y" UTC)
configure_file(${TOVASEL_PACKAGING_DIR}/man/tovasel.1.in ${man_dir}/tovasel.1 @ONLY)
set(man_pages)
if(TOVASEL_HELP2MAN AND TOVASEL_GZIP AND TARGET tovasel-cli)
  add_custom_command(
    OUTPUT ${man_dir}/tovasel-cli.1
    COMMAND sh -c "sh ${TOVASEL_PACKAGING_DIR}/man/optional-examples.sh $<TARGET_FILE:tovasel-cli> > ${man_dir}/optional-examples.h2m"
    COMMAND ${TOVASEL_HELP2MAN} --no-info --no-discard-stderr
            --include=${TOVASEL_PACKAGING_DIR}/man/tovasel-cli.h2m
            --include=${man_dir}/optional-examples.h2m
            --output=${man_dir}/tovasel-cli.1
            "sh ${TOVASEL_PACKAGING_DIR}/man/cli-full-help.sh $<TARGET_FILE:tovasel-cli>"
    DEPENDS tovasel-cli ${TOVASEL_PACKAGING_DIR}/man/tovasel-cli.h2m
            ${TOVASEL_PACKAGING_DIR}/man/cli-full-help.sh
            ${TOVASEL_PACKAGING_DIR}/man/optional-examples.sh
    COMMENT "Writing the tovasel-cli(1) manual page"
    VERBATIM)
  list(APPEND man_pages tovasel-cli.1)
else()
  message(STATUS "help2man not found: the tovasel-cli(1) manual page is not built")
endif()
if(TARGET tovasel)
  list(APPEND man_pages tovasel.1)
endif()
set(man_files)
foreach(page IN LISTS man_pages)
  # Debian installs manual pages compressed; -n keeps the date out so the
  # same page gives the same bytes.
  add_custom_command(
    OUTPUT ${man_dir}/${page}.gz
    COMMAND sh -c "${TOVASEL_GZIP} -9nc ${man_dir}/${page} > ${man_dir}/${page}.gz"
    DEPENDS ${man_dir}/${page}
    VERBATIM)
  list(APPEND man_files ${man_dir}/${page} ${man_dir}/${page}.gz)
  install(FILES ${man_dir}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
if(man_files)
  add_custom_target(tovasel_man_pages ALL DEPENDS ${man_files})
endif()

install(FILES ${TOVASEL_PACKAGING_DIR}/tovasel-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME tovasel-cli)
install(FILES ${TOVASEL_PACKAGING_DIR}/tovasel-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME tovasel.xml)
# File managers show frame 1 of each FLIC file through `tovasel-cli thumbnail`.
install(FILES ${TOVASEL_PACKAGING_DIR}/tovasel.thumbnailer DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)
if(TARGET tovasel)
  install(FILES ${TOVASEL_PACKAGING_DIR}/io.github.tovasel.Tovasel.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
# Debian looks for the licence and the changelog under the package's name,
# not the project's.
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tovasel)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${doc_dir} RENAME copyright)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
  COMMAND sh -c "${TOVASEL_GZIP} -9nc ${TOVASEL_PACKAGING_DIR}/changelog > ${CMAKE_BINARY_DIR}/changelog.gz"
  DEPENDS ${TOVASEL_PACKAGING_DIR}/changelog
  VERBATIM)
add_custom_target(tovasel_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tovasel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tovasel developers")
set(CPACK_PACKAGE_CONTACT "Tovasel developers <tovasel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert FLIC animations into animated GIF files")
# Debian shows the description as it is, so its lines are kept short here.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Tovasel converts FLIC animations (.fli, .flc) into looping animated\n"
  "GIF89a files, with optional transparency, a merged palette, inter-frame\n"
  "merging and cropping. A Qt window opens a FLIC, steps through its frames\n"
  "and converts it; the command-line tool tovasel-cli converts single files\n"
  "and whole folder trees.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/tovasel/tovasel")
# The runtime dependencies come from the libraries the programs link, so
# the package asks for exactly what this build needs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
