# The terminal's user buttons: the entries, their profile keys, the ".btn"
# button file and the dialog that edits them.
add_library(orvex_userbuttons STATIC
  ${CMAKE_CURRENT_LIST_DIR}/UserButtonInfo.h ${CMAKE_CURRENT_LIST_DIR}/UserButtonInfo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UserButtonProfile.h ${CMAKE_CURRENT_LIST_DIR}/UserButtonProfile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ButtonFile.h ${CMAKE_CURRENT_LIST_DIR}/ButtonFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UserButtonsDlg.h ${CMAKE_CURRENT_LIST_DIR}/UserButtonsDlg.cpp
)
target_include_directories(orvex_userbuttons PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(orvex_userbuttons PUBLIC Qt6::Widgets orvex_common orvex_components)
orvex_set_warnings(orvex_userbuttons)
