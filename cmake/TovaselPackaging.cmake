# What a system installation holds beyond the two programs: manual pages,
# desktop metadata, shell completion.
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
    COMMAND ${TOVASEL_HELP2MAN} --no-info --no-discard-stderr
            --include=${TOVASEL_PACKAGING_DIR}/man/tovasel-cli.h2m
            --output=${man_dir}/tovasel-cli.1
            "sh ${TOVASEL_PACKAGING_DIR}/man/cli-full-help.sh $<TARGET_FILE:tovasel-cli>"
    DEPENDS tovasel-cli ${TOVASEL_PACKAGING_DIR}/man/tovasel-cli.h2m
            ${TOVASEL_PACKAGING_DIR}/man/cli-full-help.sh
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
if(TARGET tovasel)
  install(FILES ${TOVASEL_PACKAGING_DIR}/io.github.tovasel.Tovasel.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
