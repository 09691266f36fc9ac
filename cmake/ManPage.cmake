# Manual pages and the package's other compressed documents.

# Compresses FILE with gzip -9n (the smallest, with no name or time stamp, so
# that rebuilding gives the same bytes) and installs FILE.gz to DESTINATION.
function(ovlix_install_gzipped file destination)
    get_filename_component(name "${file}" NAME)
    set(compressed "${CMAKE_CURRENT_BINARY_DIR}/gzipped/${name}.gz")
    add_custom_command(OUTPUT "${compressed}"
        COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_CURRENT_BINARY_DIR}/gzipped"
        COMMAND sh -c "gzip -9n < \"$1\" > \"$2\"" sh "${file}" "${compressed}"
        DEPENDS "${file}"
        VERBATIM)
    add_custom_target(gzip-${name} ALL DEPENDS "${compressed}")
    install(FILES "${compressed}" DESTINATION "${destination}")
endfunction()

# Writes the section 1 manual page of the program TARGET from its --help with
# help2man at build time, titled "TARGET - SUMMARY", and installs it.
function(ovlix_help2man_page target summary)
    find_program(HELP2MAN help2man REQUIRED)
    set(page "${CMAKE_CURRENT_BINARY_DIR}/man/${target}.1")
    add_custom_command(OUTPUT "${page}"
        COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_CURRENT_BINARY_DIR}/man"
        COMMAND ${HELP2MAN} --no-info --no-discard-stderr
                --version-string=${PROJECT_VERSION} --name=${summary}
                --output=${page} $<TARGET_FILE:${target}>
        DEPENDS ${target}
        VERBATIM)
    ovlix_install_gzipped("${page}" ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
