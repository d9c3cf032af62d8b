# SPDX-License-Identifier: GPL-3.0-or-later
# The virtual instrument's own test: the program on its pty, and its pieces from
# telkaro_instrument_lib on their own. Included from tests/CMakeLists.txt; needs the
# telkaro-instrument, telkaro_instrument_lib and telkaro_test_support targets.
add_executable(test_instrument ${CMAKE_CURRENT_LIST_DIR}/test_instrument.cpp)
target_link_libraries(test_instrument PRIVATE Qt6::Test Qt6::SerialPort telkaro_test_support
    telkaro_instrument_lib)
add_test(NAME instrument COMMAND test_instrument)
set_tests_properties(instrument PROPERTIES TIMEOUT 120)
