# The compiler settings every target of the project shares, in one place:
# link ovlix_build_options and a target gets them all.
#
# OVLIX_WERROR turns warnings into errors. The test and CI builds set it; a
# user's build leaves it off, so that a newer compiler's new warning does not
# stop someone who only wants to run the program.
option(OVLIX_WERROR "Treat compiler warnings as errors" OFF)

add_library(ovlix_build_options INTERFACE)

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(ovlix_build_options INTERFACE
        -Wall -Wextra -Wpedantic
        -Wshadow -Wold-style-cast -Woverloaded-virtual -Wcast-qual -Wnon-virtual-dtor
        $<$<BOOL:${OVLIX_WERROR}>:-Werror>)
endif()

# Qt's string safety: no silent conversion between 8-bit text and QString, and
# no URL made from a string without saying how it is to be read. A target may
# set OVLIX_ASCII_CASTS to allow the conversion from 8-bit literals (tests only).
target_compile_definitions(ovlix_build_options INTERFACE
    QT_NO_KEYWORDS
    $<$<NOT:$<BOOL:$<TARGET_PROPERTY:OVLIX_ASCII_CASTS>>>:QT_NO_CAST_FROM_ASCII>
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING)
