# Manual pages made from a program's own --help by help2man, at build time, so
# that the page can never disagree with the program. The version is the
# project's: the simulator's --version sets the firmware version it reports.
#
#   ovlix_add_man_page(TARGET "one-line description")
#
# builds TARGET.1 beside the program and installs it, compressed as Debian
# wants it, to share/man/man1. Skipped, with a note, where help2man is missing
# or the program cannot run on the build machine.
find_program(HELP2MAN_PROGRAM help2man)
find_program(GZIP_PROGRAM gzip)

function(ovlix_add_man_page target description)
    if(NOT HELP2MAN_PROGRAM OR NOT GZIP_PROGRAM OR CMAKE_CROSSCOMPILING)
        message(STATUS "No manual page for ${target}: help2man or gzip missing, or cross-compiling")
        return()
    endif()
    set(page ${CMAKE_CURRENT_BINARY_DIR}/${target}.1)
    add_custom_command(
        OUTPUT ${page} ${page}.gz
        COMMAND ${HELP2MAN_PROGRAM} --no-info --no-discard-stderr --section=1
                "--name=${description}" --version-string=${PROJECT_VERSION}
                --output=${page} $<TARGET_FILE:${target}>
        COMMAND ${GZIP_PROGRAM} -9 -n -f -k ${page}
        DEPENDS ${target}
        COMMENT "Writing the manual page ${target}.1"
        VERBATIM)
    add_custom_target(${target}-man-page ALL DEPENDS ${page} ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

# Installs FILE, a document or a manual page written by hand, compressed as
# Debian wants it, to DESTINATION.
function(ovlix_install_gzipped file destination)
    get_filename_component(name ${file} NAME)
    set(copy ${CMAKE_CURRENT_BINARY_DIR}/gzipped/${name})
    add_custom_command(
        OUTPUT ${copy}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${file} ${copy}
        COMMAND ${GZIP_PROGRAM} -9 -n -f ${copy}
        DEPENDS ${file}
        VERBATIM)
    add_custom_target(${name}-gzipped ALL DEPENDS ${copy}.gz)
    install(FILES ${copy}.gz DESTINATION ${destination})
endfunction()
