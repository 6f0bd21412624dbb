# Windows test programs run under Wine through CMake's cross-compiling emulator:
# add_test(... COMMAND target) becomes run_under_wine.sh ... target.exe.
find_program(WINE64 wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(NOT WINE64)
    message(WARNING "wine64 not found: the Windows tests cannot run here")
    return()
endif()

set(PROGRAMADOR_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine)
set(wine_dll_dirs ${QT6_INSTALL_PREFIX}/bin)
foreach(dll IN ITEMS libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(dll_dir ${dll_path} DIRECTORY)
    get_filename_component(dll_dir ${dll_dir} REALPATH)
    list(APPEND wine_dll_dirs ${dll_dir})
endforeach()
list(JOIN wine_dll_dirs : wine_dll_dirs)

# Qt finds its plugins beside its DLLs. Widgets use the Windows platform on a
# virtual X server, as on Windows: Wine passes on no QT_QPA_PLATFORM.
set(PROGRAMADOR_WINE_RUN bash ${CMAKE_CURRENT_LIST_DIR}/run_under_wine.sh
    ${WINE64} ${PROGRAMADOR_WINE_PREFIX} ${wine_dll_dirs})
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROGRAMADOR_WINE_RUN})

# A fresh prefix for each run, before any test that uses it.
add_test(NAME wine_prefix COMMAND ${PROGRAMADOR_WINE_RUN} --fresh-prefix)
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 300)
set(PROGRAMADOR_TEST_FIXTURES wine_prefix)
