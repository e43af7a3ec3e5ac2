# The include half of the layering rule as a test (cmake -DSOURCE_DIR=... -DQT_INCLUDE_ROOT=... -P), so
# that an include added after configuring is caught by ctest as well; configuring checks the same and
# the targets' link libraries too.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/QualdernLayering.cmake)
qd_check_include_layering("${SOURCE_DIR}/src" "${QT_INCLUDE_ROOT}")
