# SPDX-License-Identifier: GPL-3.0-or-later
# What telkaro.exe, telkaro-read.exe and telkaro-assay.exe need beside them
# on Windows. Where the Qt they are built with has windeployqt (an MSVC or
# MinGW Qt from Qt's installer), Qt's deploy script runs it (for
# telkaro-assay.exe from windows.cmake, whose rules run after the program's
# own). A cross-built Qt (scripts/windows-build.sh) has none: the list below
# says what is needed, and that script checks it against the imports of
# every installed executable and library (objdump -p).
if(TARGET Qt6::windeployqt)
    qt_generate_deploy_app_script(TARGET telkaro FILENAME_VARIABLE _deploy_script
                                  NO_UNSUPPORTED_PLATFORM_ERROR)
    install(SCRIPT ${_deploy_script})
else()
    # Qt's libraries the programs link: telkaro-assay.exe also Print Support
    # (its report printed and written as PDF; Qt 6 has Windows' printing in
    # this library, with no printsupport plugin) and SVG (QSvgRenderer, which
    # needs no plugin either).
    install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
                  $<TARGET_FILE:Qt6::SerialPort> $<TARGET_FILE:Qt6::PrintSupport> $<TARGET_FILE:Qt6::Svg>
            DESTINATION ${CMAKE_INSTALL_BINDIR})
    # The plugins Qt loads: the Windows platform, the Windows style, and
    # offscreen (for running without a desktop, as the tests do). Qt looks
    # for plugin folders beside the program.
    install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>
                  $<TARGET_FILE:Qt6::QOffscreenIntegrationPlugin>
            DESTINATION ${CMAKE_INSTALL_BINDIR}/platforms)
    install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>
            DESTINATION ${CMAKE_INSTALL_BINDIR}/styles)
    # MinGW's run-time libraries, where the compiler has them.
    if(MINGW)
        foreach(_dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
            execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${_dll}
                            OUTPUT_VARIABLE _path OUTPUT_STRIP_TRAILING_WHITESPACE)
            if(NOT IS_ABSOLUTE "${_path}")
                find_file(_path_${_dll} ${_dll} PATHS ${CMAKE_FIND_ROOT_PATH} PATH_SUFFIXES lib bin
                          NO_DEFAULT_PATH)
                set(_path ${_path_${_dll}})
            endif()
            if(NOT EXISTS "${_path}")
                message(FATAL_ERROR "MinGW's ${_dll} not found")
            endif()
            install(FILES ${_path} DESTINATION ${CMAKE_INSTALL_BINDIR})
        endforeach()
    endif()
endif()

# Qt's Russian catalogues: the Windows Qt's own, else those of the host Qt
# it was built with (the same files on every platform).
set(TELKARO_QT_TRANSLATIONS "" CACHE PATH "Folder with qtbase_ru.qm and qtserialport_ru.qm")
if(NOT TELKARO_QT_TRANSLATIONS)
    foreach(_folder "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}"
                    "${QT_HOST_PATH}/share/qt6/translations")
        if(EXISTS "${_folder}/qtbase_ru.qm")
            set(TELKARO_QT_TRANSLATIONS ${_folder})
            break()
        endif()
    endforeach()
endif()
if(TELKARO_QT_TRANSLATIONS)
    install(FILES ${TELKARO_QT_TRANSLATIONS}/qtbase_ru.qm ${TELKARO_QT_TRANSLATIONS}/qtserialport_ru.qm
            DESTINATION ${CMAKE_INSTALL_BINDIR}/translations)
else()
    message(WARNING "Qt's Russian translations not found: the installed program shows Qt's own "
                    "texts (file dialogs, buttons) in English. Set TELKARO_QT_TRANSLATIONS.")
endif()

# The example kits, where telkaro-assay.exe looks for the installed kits: in
# assays/ beside it.
if(WIN32)
    install(FILES ${TELKARO_EXAMPLE_KITS} DESTINATION ${CMAKE_INSTALL_BINDIR}/assays)
endif()
