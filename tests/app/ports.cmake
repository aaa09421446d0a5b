# Serial port registry and port access messages.
orvex_add_test(tst_portregistry
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_portregistry.cpp
  LIBS orvex_ports)
orvex_add_test(tst_portaccess
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_portaccess.cpp
  LIBS orvex_ports)
