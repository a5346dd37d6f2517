# The main window: its form, the bot sliders and the two-arrow spin bars.
target_sources(gx3190core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/SliderMath.cpp ${CMAKE_CURRENT_LIST_DIR}/SliderMath.h)

if(GX_BUILD_GUI)
    target_sources(gx3190ui PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/SpinBar.cpp ${CMAKE_CURRENT_LIST_DIR}/SpinBar.h
        ${CMAKE_CURRENT_LIST_DIR}/BotSlider.cpp ${CMAKE_CURRENT_LIST_DIR}/BotSlider.h
        ${CMAKE_CURRENT_LIST_DIR}/FormMain.cpp ${CMAKE_CURRENT_LIST_DIR}/FormMain.h
        ${CMAKE_CURRENT_LIST_DIR}/FormMain.ui)
endif()

gx_add_test(tst_slidermath SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/tst_slidermath.cpp)
gx_add_test(tst_formmain GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/tst_formmain.cpp)
