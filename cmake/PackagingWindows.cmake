# Windows: the executable's icon and version record, and the folder the installer and the portable .zip carry
# (tools/windows.sh makes both from it): the program, the DLLs it loads and nothing more. The program's folder
# holds them side by side, as Windows looks for DLLs beside the program first.
if(NOT GX_BUILD_GUI)
    return()
endif()
enable_language(RC)

# The icon is painted by the program's own artwork code, as the Linux menu icons are. Painting runs a program
# of this build, so a cross-build runs it under its emulator (Wine).
add_executable(gx3190-ico packaging/windows/MakeIco.cpp)
target_link_libraries(gx3190-ico PRIVATE gx3190artwork)
set(GX_ICO_FILE ${CMAKE_BINARY_DIR}/packaging/windows/gx3190editor.ico)
set(gx_run_on_build)
if(CMAKE_CROSSCOMPILING)
    set(gx_run_on_build ${CMAKE_CROSSCOMPILING_EMULATOR})
endif()
add_custom_command(
    OUTPUT ${GX_ICO_FILE}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen WINEQT_QPA_PLATFORM=offscreen ${gx_run_on_build}
            $<TARGET_FILE:gx3190-ico> ${GX_ICO_FILE}
    DEPENDS gx3190-ico
    COMMENT "Painting the program's icon"
    VERBATIM)
add_custom_target(gx3190-ico-file DEPENDS ${GX_ICO_FILE})

set(GX_RC_FILE ${CMAKE_BINARY_DIR}/packaging/windows/gx3190editor.rc)
configure_file(packaging/windows/gx3190editor.rc.in ${GX_RC_FILE} @ONLY)
target_sources(gx3190editor PRIVATE ${GX_RC_FILE})
set_source_files_properties(${GX_RC_FILE} TARGET_DIRECTORY gx3190editor PROPERTIES OBJECT_DEPENDS ${GX_ICO_FILE})
add_dependencies(gx3190editor gx3190-ico-file)

# The DLLs the program links (Qt, libzip), the plugins Qt loads (the platform and its style), and the runtime
# of the compiler and of zlib, which libzip loads.
install(FILES $<TARGET_RUNTIME_DLLS:gx3190editor> DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
if(TARGET Qt6::QWindowsVistaStylePlugin)
    install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
endif()
if(MINGW)
    foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll} OUTPUT_VARIABLE gx_dll
                        OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(NOT IS_ABSOLUTE "${gx_dll}")
            message(FATAL_ERROR "The compiler's runtime ${dll} is not found")
        endif()
        install(FILES ${gx_dll} DESTINATION .)
    endforeach()
endif()
# libzip comes through pkg-config, which names its import library only, so neither DLL is known to the
# target: both are looked for in the folders the libraries were found in.
find_file(GX_LIBZIP_DLL NAMES libzip.dll zip.dll PATHS ${CMAKE_PREFIX_PATH} ${CMAKE_FIND_ROOT_PATH}
          PATH_SUFFIXES bin NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
find_file(GX_ZLIB_DLL NAMES zlib1.dll libz.dll PATHS ${CMAKE_PREFIX_PATH} ${CMAKE_FIND_ROOT_PATH}
          PATH_SUFFIXES bin lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
foreach(gx_dll IN ITEMS GX_LIBZIP_DLL GX_ZLIB_DLL)
    if(NOT ${gx_dll})
        message(FATAL_ERROR "${gx_dll}: the DLL is not found")
    endif()
    install(FILES ${${gx_dll}} DESTINATION .)
endforeach()

# The installer's script, with the project's version.
configure_file(packaging/windows/installer.nsi.in ${CMAKE_BINARY_DIR}/packaging/windows/installer.nsi @ONLY)
file(WRITE ${CMAKE_BINARY_DIR}/packaging/windows/version ${PROJECT_VERSION})
