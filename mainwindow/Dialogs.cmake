# The value edit window and the save window.
if(GX_BUILD_GUI)
    target_sources(gx3190ui PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/FormEdit.cpp ${CMAKE_CURRENT_LIST_DIR}/FormEdit.h ${CMAKE_CURRENT_LIST_DIR}/FormEdit.ui
        ${CMAKE_CURRENT_LIST_DIR}/FormSave.cpp ${CMAKE_CURRENT_LIST_DIR}/FormSave.h ${CMAKE_CURRENT_LIST_DIR}/FormSave.ui)
endif()

gx_add_test(tst_formedit GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/tst_formedit.cpp)
gx_add_test(tst_formsave GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/tst_formsave.cpp)
