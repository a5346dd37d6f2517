# gx_add_test(<name> SOURCES <files...> [GUI] [LIBS <libs...>])
# One Qt Test program per class or window. Core tests link the core only, so that they prove it builds
# without widgets; GUI tests run on the offscreen platform. A run writes pictures of the windows only when
# GX_SCREENSHOTS names a folder for them.
function(gx_add_test name)
    if(NOT GX_BUILD_TESTS)
        return()
    endif()
    cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS" ${ARGN})
    if(T_GUI AND NOT GX_BUILD_GUI)
        return()
    endif()
    add_executable(${name} ${T_SOURCES})
    if(T_GUI)
        target_link_libraries(${name} PRIVATE gx3190ui Qt6::Test ${T_LIBS})
    else()
        target_link_libraries(${name} PRIVATE gx3190core gx3190testsupport Qt6::Test ${T_LIBS})
    endif()
    if(T_GUI)
        target_link_libraries(${name} PRIVATE gx3190testsupport gx3190windowtestsupport)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
        TIMEOUT 300)
endfunction()
