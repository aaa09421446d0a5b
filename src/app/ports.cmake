# The serial port registry: which serial devices are present and which "COM%d"
# number each one has, and why one cannot be opened. No widgets.
add_library(orvex_ports STATIC
  ${CMAKE_CURRENT_LIST_DIR}/SerialDeviceInfo.h
  ${CMAKE_CURRENT_LIST_DIR}/SerialDeviceSource.h ${CMAKE_CURRENT_LIST_DIR}/SerialDeviceSource.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PortRegistry.h ${CMAKE_CURRENT_LIST_DIR}/PortRegistry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PortAccess.h ${CMAKE_CURRENT_LIST_DIR}/PortAccess.cpp
)
target_include_directories(orvex_ports PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(orvex_ports PUBLIC orvex_components Qt6::Core Qt6::SerialPort)
orvex_set_warnings(orvex_ports)
