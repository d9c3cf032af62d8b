# SPDX-License-Identifier: GPL-3.0-or-later
# A program's Russian texts: its .ts file is the source, lrelease makes the
# .qm at build time and the program carries it as the resource
# :/i18n/<name>_ru.qm. The target <name>-ts brings the .ts file up to date
# with the sources in the folders named; then translate the new entries.
find_program(TELKARO_LRELEASE NAMES lrelease lrelease-qt6
    HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} ${QT_HOST_PATH}/bin /usr/lib/qt6/bin
    REQUIRED)
find_program(TELKARO_LUPDATE NAMES lupdate lupdate-qt6
    HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} ${QT_HOST_PATH}/bin /usr/lib/qt6/bin)

# telkaro_translation(<target> <name> <folder>...): the .ts file is
# translations/<name>_ru.ts in the current source folder.
function(telkaro_translation target name)
    set(ts ${CMAKE_CURRENT_SOURCE_DIR}/translations/${name}_ru.ts)
    set(qm ${CMAKE_CURRENT_BINARY_DIR}/${name}_ru.qm)
    add_custom_command(OUTPUT ${qm}
        COMMAND ${TELKARO_LRELEASE} -silent ${ts} -qm ${qm}
        DEPENDS ${ts} VERBATIM)
    set_source_files_properties(${qm} PROPERTIES QT_RESOURCE_ALIAS ${name}_ru.qm)
    qt_add_resources(${target} "${name}_translations" PREFIX "/i18n"
        BASE ${CMAKE_CURRENT_BINARY_DIR} FILES ${qm})
    if(TELKARO_LUPDATE)
        add_custom_target(${name}-ts
            COMMAND ${TELKARO_LUPDATE} -no-obsolete -locations none ${ARGN} -ts ${ts}
            VERBATIM)
    endif()
endfunction()
