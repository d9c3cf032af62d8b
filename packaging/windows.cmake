# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows installer: `cpack -G NSIS` in the build folder, with Debian's
# makensis in the cross build (scripts/windows-build.sh), after `cmake
# --install`'s deployment of Qt beside the program (windows-deploy.cmake). Start-menu entries for the program, for
# its port chooser and for the assay window; the programs, Qt's libraries and
# plugins, Qt's Russian translations, the operator's guide and the example
# kits (in assays/) all in the programs' folder.
set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME "TELKARO")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "TELKARO")
# Each program with its shortcut's name; CPack's uninstaller removes them.
set(CPACK_PACKAGE_EXECUTABLES telkaro "ТЕЛКАРО" telkaro-assay "ТЕЛКАРО Анализ")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_NSIS_DISPLAY_NAME "ТЕЛКАРО ${PROJECT_VERSION}")
set(CPACK_NSIS_PACKAGE_NAME "ТЕЛКАРО")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/app/images/telkaro.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/app/images/telkaro.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\telkaro.exe")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# The script CPack writes is UTF-8 and names things in Russian: a Unicode
# installer, reading its script as UTF-8, and a 64-bit one like the program
# (NSIS's amd64-unicode target), which installs under Program Files and runs
# where only 64-bit programs can. CPack passes each word of its
# pre-arguments as an option of its own, so the target cannot go there: it
# heads a copy of CPack's own script template instead.
set(CPACK_NSIS_EXECUTABLE_PRE_ARGUMENTS "-INPUTCHARSET UTF8")
file(READ ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in _nsis_template)
# Its first line is a comment that starts with a byte-order mark, which
# makensis reads as a command anywhere but at the start of the file.
string(FIND "${_nsis_template}" "\n" _first_line_end)
string(SUBSTRING "${_nsis_template}" ${_first_line_end} -1 _nsis_template)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/nsis/NSIS.template.in "Target amd64-unicode\n${_nsis_template}")
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_BINARY_DIR}/nsis)
# The port chooser: the same program with --choose-port.
set(CPACK_NSIS_CREATE_ICONS_EXTRA
    "CreateShortCut '$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\Выбрать порт прибора.lnk' '$INSTDIR\\\\bin\\\\telkaro.exe' '--choose-port'")
set(CPACK_NSIS_DELETE_ICONS_EXTRA
    "Delete '$SMPROGRAMS\\\\$START_MENU\\\\Выбрать порт прибора.lnk'")

# With windeployqt (a Qt from Qt's installer), what telkaro-assay.exe needs
# beyond telkaro.exe (Print Support, SVG) is deployed for it here, after its
# own install rule in assaywin/ has put it in place.
if(TARGET Qt6::windeployqt)
    qt_generate_deploy_app_script(TARGET telkaro-assay FILENAME_VARIABLE _assay_deploy_script
                                  NO_UNSUPPORTED_PLATFORM_ERROR)
    install(SCRIPT ${_assay_deploy_script})
endif()
