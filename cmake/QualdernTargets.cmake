# Shared settings for the project's own targets: strict warnings, optional sanitizers.
set(QD_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
    -Woverloaded-virtual -Wimplicit-fallthrough -Werror)

# lld links the many test programs several times faster than the system's default linker.
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=lld QD_HAVE_LLD)
if(QD_HAVE_LLD)
    add_link_options(-fuse-ld=lld)
endif()

if(QD_SANITIZE)
    set(QD_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_compile_options(${QD_SANITIZER_FLAGS})
    add_link_options(${QD_SANITIZER_FLAGS})
endif()
if(QD_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# qd_program_allocator: what the tracker and the benchmarks that measure it allocate with. A report of a
# whole year makes and frees tens of thousands of small records, and with glibc's malloc a fifth of that
# time went to its free lists (consolidating and unlinking chunks); with jemalloc the report takes a
# quarter less. The sanitizers bring their own allocator, so those builds keep the system's. Its settings
# are in src/app/HXAllocatorSettings.cpp.
function(qd_find_program_allocator)
    add_library(qd_program_allocator INTERFACE)
    if(NOT QD_JEMALLOC OR QD_SANITIZE OR QD_FUZZ)
        return()
    endif()
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(JEMALLOC REQUIRED IMPORTED_TARGET GLOBAL jemalloc)
    target_link_libraries(qd_program_allocator INTERFACE PkgConfig::JEMALLOC)
    target_sources(qd_program_allocator INTERFACE ${PROJECT_SOURCE_DIR}/src/app/HXAllocatorSettings.cpp)
endfunction()

# Precompiled Qt and GoogleTest headers cut a clean build by a quarter (test.sh turns them on); off by
# default because ccache cannot cache files compiled with them.
option(QD_PRECOMPILED_HEADERS "Precompile the Qt and GoogleTest headers most files include" OFF)
set(QD_COMMON_HEADERS <QtCore/QObject> <QtCore/QString> <QtCore/QList> <QtCore/QHash> <QtCore/QVariant>
    <algorithm> <functional> <memory> <optional> <vector>)

# qd_precompile_headers(target DEPS ... [TEST]): the common headers, those of the Qt modules among DEPS
# and, for tests, GoogleTest's.
function(qd_precompile_headers target)
    cmake_parse_arguments(ARG "TEST" "" "DEPS" ${ARGN})
    if(NOT QD_PRECOMPILED_HEADERS)
        return()
    endif()
    set(headers ${QD_COMMON_HEADERS})
    if("Qt6::Gui" IN_LIST ARG_DEPS OR "Qt6::Widgets" IN_LIST ARG_DEPS)
        list(APPEND headers <QtGui/QImage> <QtGui/QPainter>)
    endif()
    if("Qt6::Widgets" IN_LIST ARG_DEPS)
        list(APPEND headers <QtWidgets/QWidget>)
    endif()
    if("Qt6::Test" IN_LIST ARG_DEPS)
        list(APPEND headers <QtTest/QTest>)
    endif()
    if(ARG_TEST)
        list(APPEND headers <gtest/gtest.h> <gmock/gmock.h>)
    endif()
    target_precompile_headers(${target} PRIVATE ${headers})
endfunction()

function(qd_apply_settings target)
    target_compile_options(${target} PRIVATE ${QD_WARNINGS})
    target_compile_definitions(${target} PRIVATE QT_NO_KEYWORDS QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII
                                                 QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
endfunction()

# qd_library(name SOURCES ... DEPS ...)
function(qd_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    qd_apply_settings(${name})
    qd_precompile_headers(${name} DEPS ${ARG_DEPS})
endfunction()

# qd_test(name SOURCES ... DEPS ... [GUI] [OWN_MAIN]) registers a GoogleTest program with CTest. Without
# OWN_MAIN the program gets GoogleTest's main.
function(qd_test name)
    cmake_parse_arguments(ARG "GUI;OWN_MAIN" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock qd_testsupport)
    if(NOT ARG_OWN_MAIN)
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    qd_apply_settings(${name})
    qd_precompile_headers(${name} DEPS ${ARG_DEPS} TEST)
    set(labels unit)
    if(ARG_GUI)
        set(labels gui)
    endif()
    # Widgets draw offscreen unless a test asks for the X server itself.
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 DISCOVERY_MODE PRE_TEST
                         PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen LABELS ${labels})
endfunction()
