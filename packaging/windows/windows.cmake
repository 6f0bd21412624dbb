# Windows: programador.exe as a GUI program with its icon and version resource,
# everything it loads installed beside it, and CPack's NSIS installer and zip.
# Included from packaging/CMakeLists.txt, so the CPack settings land there.

set(win_dir ${CMAKE_CURRENT_LIST_DIR})

# No console window behind the panel.
set_target_properties(programador PROPERTIES WIN32_EXECUTABLE ON)

# The icon, from the same renderings of icon.svg the Linux menu uses.
find_program(CONVERT_PROGRAM convert)
if(NOT CONVERT_PROGRAM)
    message(FATAL_ERROR "ImageMagick's convert is needed to make programador.ico")
endif()
set(icon_pngs)
foreach(size IN ITEMS 16 24 32 48 64 128 256)
    list(APPEND icon_pngs ${PROJECT_SOURCE_DIR}/packaging/icons/${size}.png)
endforeach()
set(PROGRAMADOR_ICO ${CMAKE_CURRENT_BINARY_DIR}/programador.ico)
add_custom_command(OUTPUT ${PROGRAMADOR_ICO}
    COMMAND ${CONVERT_PROGRAM} ${icon_pngs} ${PROGRAMADOR_ICO}
    DEPENDS ${icon_pngs}
    COMMENT "Making programador.ico"
    VERBATIM)
add_custom_target(programador_ico DEPENDS ${PROGRAMADOR_ICO})

configure_file(${win_dir}/programador.rc.in programador.rc @ONLY)
target_sources(programador PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/programador.rc)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/programador.rc
    TARGET_DIRECTORY programador PROPERTIES OBJECT_DEPENDS ${PROGRAMADOR_ICO})
add_dependencies(programador programador_ico)

# --- What programador.exe loads, beside it ----------------------------------
# Layout: bin/ holds the program, Qt's and MinGW's DLLs and qt.conf, which points
# Qt at plugins/ and translations/ one level up.
set(qt_prefix ${QT6_INSTALL_PREFIX})
install(FILES
    $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
    $<TARGET_FILE:Qt6::SerialPort>
    ${win_dir}/qt.conf
    DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION plugins/platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION plugins/styles)

# MinGW's C++ runtime: the compiler knows where its own DLLs are.
foreach(dll IN ITEMS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${dll_path}" OR NOT EXISTS "${dll_path}")
        message(FATAL_ERROR "MinGW runtime ${dll} not found")
    endif()
    install(FILES ${dll_path} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

# Qt's and MinGW's DLLs come with their symbol tables; the program needs none.
install(CODE "
    file(GLOB_RECURSE dlls \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.dll\")
    foreach(dll IN LISTS dlls)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\${dll}\" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()")

# Qt's own texts in Spanish, from Debian's qt6-translations-l10n (same Qt release).
set(qt_l10n_dir /usr/share/qt6/translations)
foreach(qm IN ITEMS qtbase_es.qm qtserialport_es.qm)
    if(NOT EXISTS ${qt_l10n_dir}/${qm})
        message(FATAL_ERROR "${qt_l10n_dir}/${qm} missing: install qt6-translations-l10n")
    endif()
    install(FILES ${qt_l10n_dir}/${qm} DESTINATION translations)
endforeach()

# The licences: ours, and Qt's with where its source comes from. Qt stays in its
# own DLLs (LGPL), so anyone may replace them.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES ${qt_prefix}/SOURCES.txt DESTINATION licenses/qt)
install(DIRECTORY ${qt_prefix}/licenses/ DESTINATION licenses/qt)
install(FILES /usr/share/doc/qt6-translations-l10n/copyright
    DESTINATION licenses/qt/qttranslations RENAME copyright.txt)

# --- Installer and zip -------------------------------------------------------
set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_VENDOR "the Programador authors")
set(CPACK_PACKAGE_FILE_NAME programador-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Programador)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Programador)
set(CPACK_PACKAGE_EXECUTABLES programador Programador)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME Programador)
set(CPACK_NSIS_DISPLAY_NAME Programador)
set(CPACK_NSIS_MUI_ICON ${PROGRAMADOR_ICO})
set(CPACK_NSIS_MUI_UNIICON ${PROGRAMADOR_ICO})
set(CPACK_NSIS_INSTALLED_ICON_NAME ${CMAKE_INSTALL_BINDIR}\\\\programador.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MODIFY_PATH OFF)
# Board programs are text files: Explorer's "Open with" offers the panel,
# which opens the file in its program window. No file type is taken over.
# Backslashes and quotes escaped: CPack writes these into a CMake string of its own.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS [=[
  WriteRegStr SHCTX \"Software\\Classes\\Applications\\programador.exe\\shell\\open\\command\" \"\" '\"$INSTDIR\\bin\\programador.exe\" \"%1\"'
  WriteRegStr SHCTX \"Software\\Classes\\Applications\\programador.exe\\SupportedTypes\" \".txt\" \"\"
  WriteRegStr SHCTX \"Software\\Classes\\.txt\\OpenWithList\\programador.exe\" \"\" \"\"
]=])
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS [=[
  DeleteRegKey SHCTX \"Software\\Classes\\Applications\\programador.exe\"
  DeleteRegKey SHCTX \"Software\\Classes\\.txt\\OpenWithList\\programador.exe\"
]=])
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ${CMAKE_INSTALL_BINDIR})
# A 64-bit installer for a 64-bit program: it sees the 64-bit Program Files and
# registry directly, and runs where there is no 32-bit Windows layer (wine64).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
