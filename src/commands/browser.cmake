# The command browser the terminal opens: picks a command from the command
# database and hands its text back.
add_library(orvex_commandbrowser STATIC
  ${CMAKE_CURRENT_LIST_DIR}/OrvexCommandDlg.h ${CMAKE_CURRENT_LIST_DIR}/OrvexCommandDlg.cpp
)
target_include_directories(orvex_commandbrowser PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(orvex_commandbrowser PUBLIC
  Qt6::Widgets orvex_commanddb orvex_common orvex_components)
orvex_set_warnings(orvex_commandbrowser)
