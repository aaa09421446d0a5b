# Tests of the terminal's user buttons: the button file and the edit dialog.
orvex_add_test(tst_buttonfile
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_buttonfile.cpp
  LIBS orvex_userbuttons)
orvex_add_test(tst_userbuttonsdlg
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_userbuttonsdlg.cpp
  LIBS orvex_userbuttons orvex_testsupport)
