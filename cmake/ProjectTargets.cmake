# Shared target settings: warnings as errors in our code, GBK literals above the platform layer.

function(quenbo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-error=deprecated-declarations)
endfunction()

# Texts above the platform layer are GBK byte strings; literals are compiled as GBK.
function(quenbo_gbk_target target)
  target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=GBK)
  quenbo_warnings(${target})
endfunction()

# A library made of every .cpp file in one folder; while the folder has none yet it is an
# interface library, so that the layers above can already be configured. Headers are included
# as "layer/module.h" relative to src/.
#   quenbo_module(target folder [GBK] [FLAT] [PUBLIC libs...] [PRIVATE libs...])
# FLAT takes only the folder's own files, not those of its sub-folders.
function(quenbo_module target folder)
  cmake_parse_arguments(M "GBK;FLAT" "" "PUBLIC;PRIVATE" ${ARGN})
  if(M_FLAT)
    file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  else()
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  endif()
  if(NOT sources)
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${target} INTERFACE ${M_PUBLIC})
    return()
  endif()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR}/src ${folder})
  target_link_libraries(${target} PUBLIC ${M_PUBLIC} PRIVATE ${M_PRIVATE})
  if(M_GBK)
    quenbo_gbk_target(${target})
  else()
    quenbo_warnings(${target})
  endif()
endfunction()

# One GoogleTest executable whose tests carry a CTest label. Tests run headless.
#   quenbo_test(NAME name LABEL label SOURCES ... LIBS ... [GBK] [GUI])
# GUI tests get a main() that starts the platform's application object first
# (tests/support/gui_test_main.cpp); the others use GoogleTest's own main().
function(quenbo_test)
  cmake_parse_arguments(T "GBK;GUI" "NAME;LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  if(T_GUI)
    target_link_libraries(${T_NAME} PRIVATE quenbo_gui_test_main)
  else()
    target_link_libraries(${T_NAME} PRIVATE GTest::gtest_main)
  endif()
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  if(T_GBK)
    quenbo_gbk_target(${T_NAME})
  else()
    quenbo_warnings(${T_NAME})
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${T_LABEL}
               ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QUENBO_TEST_ARTIFACTS=${CMAKE_BINARY_DIR}/test-artifacts"
               TIMEOUT 300)
endfunction()
