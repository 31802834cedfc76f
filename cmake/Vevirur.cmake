# Shared build rules: compiler options and the one-library-per-subsystem helpers.

set(VEVIRUR_SANITIZE "" CACHE STRING "Comma-separated sanitizers for native builds (address,undefined / thread)")

add_library(vevirur_options INTERFACE)
target_compile_options(vevirur_options INTERFACE -Wall -Wextra -Wno-unused-parameter)
if(VEVIRUR_SANITIZE)
  target_compile_options(vevirur_options INTERFACE -fsanitize=${VEVIRUR_SANITIZE} -fno-omit-frame-pointer
                                                   -fno-sanitize-recover=undefined)
  target_link_options(vevirur_options INTERFACE -fsanitize=${VEVIRUR_SANITIZE})
endif()
if(EMSCRIPTEN)
  # The frame loop and the hand-off catch what a frame throws; WebAssembly needs that asked for.
  target_compile_options(vevirur_options INTERFACE -fexceptions)
  target_link_options(vevirur_options INTERFACE -fexceptions)
endif()
if(WIN32)
  # Everything the DLL needs from the compiler's runtime is linked in, so it imports only system DLLs.
  target_link_options(vevirur_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()

# vevirur_add_library(NAME [DEPS lib...])
# Takes every .cpp in the current folder plus the ones of the platform's backend folder
# (win32/ on Windows, posix/ elsewhere), so a backend is chosen by file, not by #ifdef.
function(vevirur_add_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(WIN32)
    file(GLOB backend CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/win32/*.cpp)
  else()
    file(GLOB backend CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/posix/*.cpp)
  endif()
  if(NOT sources AND NOT backend)
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS} vevirur_options)
    return()
  endif()
  add_library(${name} STATIC ${sources} ${backend})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} vevirur_options)
endfunction()

# vevirur_add_test(NAME [DEPS lib...] [LABELS label...])
# One GoogleTest executable from every .cpp in the current tests/ folder.
function(vevirur_add_test name)
  cmake_parse_arguments(ARG "" "" "DEPS;LABELS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main vevirur_options)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS unit
                       WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  # A label list inside PROPERTIES above would be split into separate arguments and all but the
  # first label lost, so the full list is set by a script that ctest runs after discovery.
  if(ARG_LABELS)
    set(label_script ${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake)
    file(WRITE ${label_script}
         "if(${name}_TESTS)\n  set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS \"unit;${ARG_LABELS}\")\nendif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${label_script})
  endif()
endfunction()

# vevirur_version.h: the project's version for the programs' own texts (`vevirur --version`).
configure_file(${PROJECT_SOURCE_DIR}/cmake/vevirur_version.h.in
               ${PROJECT_BINARY_DIR}/generated/vevirur_version.h @ONLY)
add_library(vevirur_version INTERFACE)
target_include_directories(vevirur_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
