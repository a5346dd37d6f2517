# Installing and packaging: the program, its desktop entry, its icons and its AppStream metadata, and a
# .deb built by CPack (`cpack -G DEB` in the build folder; see README.md, "Install and package").
include(GNUInstallDirs)

set(GX_APP_ID io.github.gx3190editor.GX3190Editor)

if(GX_BUILD_GUI AND UNIX AND NOT APPLE)
    # The icons are painted by the program's own artwork code, so menu and window show the same picture.
    add_executable(gx3190-icons packaging/MakeIcons.cpp)
    target_link_libraries(gx3190-icons PRIVATE gx3190ui)
    set(GX_ICON_FOLDER ${CMAKE_BINARY_DIR}/icons/hicolor)
    set(GX_ICON_FILES)
    foreach(side 16 24 32 48 64 128 256)
        list(APPEND GX_ICON_FILES ${GX_ICON_FOLDER}/${side}x${side}/apps/${GX_APP_ID}.png)
    endforeach()
    add_custom_command(
        OUTPUT ${GX_ICON_FILES}
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:gx3190-icons> ${GX_ICON_FOLDER}
                ${GX_APP_ID}
        DEPENDS gx3190-icons
        COMMENT "Painting the application icons"
        VERBATIM)
    add_custom_target(gx3190-icon-files ALL DEPENDS ${GX_ICON_FILES})

    configure_file(packaging/${GX_APP_ID}.metainfo.xml.in ${CMAKE_BINARY_DIR}/packaging/${GX_APP_ID}.metainfo.xml
                   @ONLY)

    install(DIRECTORY ${GX_ICON_FOLDER} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
    install(FILES packaging/${GX_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/${GX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

    # Every window at 100 %, 150 % and 200 %: a window that is not drawn at the full device resolution fails
    # the test. The pictures are written only where GX_SCREENSHOTS asks for them.
    add_executable(gx3190-screenshots packaging/HiDpiShots.cpp)
    target_link_libraries(gx3190-screenshots PRIVATE gx3190ui gx3190demo)

    if(GX_BUILD_TESTS)
        foreach(percent 100 150 200)
            math(EXPR whole "${percent} / 100")
            math(EXPR part "${percent} % 100")
            add_test(NAME hidpi_screenshots_${percent}
                     COMMAND gx3190-screenshots)
            set_tests_properties(hidpi_screenshots_${percent} PROPERTIES
                ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_SCALE_FACTOR=${whole}.${part}" TIMEOUT 120)
        endforeach()
        find_program(GX_APPSTREAMCLI appstreamcli)
        if(GX_APPSTREAMCLI)
            add_test(NAME packaging_metainfo COMMAND ${GX_APPSTREAMCLI} validate --no-net
                                                     ${CMAKE_BINARY_DIR}/packaging/${GX_APP_ID}.metainfo.xml)
        endif()
        find_program(GX_DESKTOP_VALIDATE desktop-file-validate)
        if(GX_DESKTOP_VALIDATE)
            add_test(NAME packaging_desktop_entry COMMAND ${GX_DESKTOP_VALIDATE}
                                                          ${CMAKE_SOURCE_DIR}/packaging/${GX_APP_ID}.desktop)
        endif()
    endif()
endif()

if(WIN32)
    include(cmake/PackagingWindows.cmake)
endif()

set(CPACK_PACKAGE_NAME gx3190-editor)
set(CPACK_PACKAGE_VENDOR "The GX3190 Editor developers")
set(CPACK_PACKAGE_CONTACT "GX3190 Editor maintainers <maintainers@gx3190editor.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for the single-player settings of Gravix 3190")
set(CPACK_PACKAGE_DESCRIPTION
    "A small desktop editor for the single-player settings of an installed Gravix 3190: bot names, bot skill \
and count, friendly fire, the score constants, the per-level settings and the start-up movies. It writes \
back only what you choose to save, each file atomically.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
if(UNIX AND NOT APPLE)
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION games)
    # The libraries (and with them Qt's platform and sound plugins) are found by dpkg-shlibdeps; the windows'
    # typeface, which no library names, is added: P052 stands in for "Palatino Linotype".
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-urw-base35")
else()
    set(CPACK_GENERATOR ZIP)
endif()
include(CPack)
