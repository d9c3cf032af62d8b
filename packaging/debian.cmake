# SPDX-License-Identifier: GPL-3.0-or-later
# What a Debian system gets besides the programs: the menu entries (the
# classic window's and the assay window's) with their metadata for software
# centres, the icons, the manual pages, the bash completions, the copyright
# file and the changelog. Compressed files are made with gzip -9n, without a
# name or time of their own, so the same sources give the same package.
find_program(TELKARO_GZIP gzip REQUIRED)
set(_out ${CMAKE_CURRENT_BINARY_DIR})

install(FILES ${TELKARO_APP_ID}.desktop ${TELKARO_APP_ID}.assay.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${TELKARO_APP_ID}.metainfo.xml ${_out}/${TELKARO_APP_ID}.metainfo.xml @ONLY)
install(FILES ${_out}/${TELKARO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/app/images/telkaro-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME telkaro.png)
    install(FILES ${PROJECT_SOURCE_DIR}/assaywin/images/telkaro-assay-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME telkaro-assay.png)
endforeach()

# gzip -9n <input> into <output>, at build time.
set(_compressed)
function(telkaro_gzip input output)
    add_custom_command(OUTPUT ${output}
        COMMAND ${TELKARO_GZIP} -9n -c ${input} > ${output}
        DEPENDS ${input}
        VERBATIM)
    set(_compressed ${_compressed} ${output} PARENT_SCOPE)
endfunction()

# Manual pages: English for every program, Russian for the two windows and
# for telkaro-read.
foreach(page telkaro telkaro-read telkaro-assay telkaro-instrument
             ru/telkaro ru/telkaro-read ru/telkaro-assay)
    configure_file(${PROJECT_SOURCE_DIR}/docs/man/${page}.1.in ${_out}/man/${page}.1 @ONLY)
    telkaro_gzip(${_out}/man/${page}.1 ${_out}/man/${page}.1.gz)
endforeach()
install(FILES ${_out}/man/telkaro.1.gz ${_out}/man/telkaro-read.1.gz
              ${_out}/man/telkaro-assay.1.gz ${_out}/man/telkaro-instrument.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_out}/man/ru/telkaro.1.gz ${_out}/man/ru/telkaro-read.1.gz
              ${_out}/man/ru/telkaro-assay.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/ru/man1)

# Bash completion of the two windows' and telkaro-read's command lines, in
# the folder bash-completion loads a command's completion from on its first
# use.
install(FILES completions/telkaro completions/telkaro-read completions/telkaro-assay
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# The changelog of a native package, from CHANGELOG.md.
add_custom_command(OUTPUT ${_out}/changelog
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/debian-changelog.sh ${PROJECT_SOURCE_DIR}/CHANGELOG.md
            telkaro ${CPACK_PACKAGE_CONTACT} > ${_out}/changelog
    DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${CMAKE_CURRENT_SOURCE_DIR}/debian-changelog.sh
    VERBATIM)
telkaro_gzip(${_out}/changelog ${_out}/changelog.gz)
add_custom_target(telkaro_docs ALL DEPENDS ${_compressed})

install(FILES copyright ${_out}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The example kits with a plate each, and the kit files' description.
install(FILES ${TELKARO_EXAMPLE_KITS} DESTINATION ${CMAKE_INSTALL_DATADIR}/telkaro/assays)
install(FILES ${PROJECT_SOURCE_DIR}/docs/assay-format.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
