# flurrix_unit_test(NAME SOURCES... LIBS...): one GoogleTest program per module, registered with CTest.
function(flurrix_unit_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  # Helpers every test may use: scoped hooks, the linked engine, a screen with the engine on it.
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "FLURRIX_BUILD_DIR=${CMAKE_BINARY_DIR};FLURRIX_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()

# FLTK 1.3 as the imported target Flurrix::fltk: the Linux message boxes, uninstall page and dialog.
function(flurrix_find_fltk)
  if(TARGET Flurrix::fltk)
    return()
  endif()
  find_path(FLTK_INCLUDE FL/Fl.H REQUIRED)
  find_library(FLTK_LIB fltk REQUIRED)
  add_library(Flurrix::fltk INTERFACE IMPORTED GLOBAL)
  target_include_directories(Flurrix::fltk SYSTEM INTERFACE ${FLTK_INCLUDE})
  find_package(X11 REQUIRED)
  target_link_libraries(Flurrix::fltk INTERFACE ${FLTK_LIB} X11::X11)
endfunction()

# flurrix_wayland_protocol(TARGET NAME XML): the client code of a Wayland protocol, made by
# wayland-scanner, built into TARGET, whose sources include "NAME-client-protocol.h".
function(flurrix_wayland_protocol target name xml)
  find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)
  set(generated ${CMAKE_CURRENT_BINARY_DIR}/generated)
  add_custom_command(
    OUTPUT ${generated}/${name}-client-protocol.h ${generated}/${name}-protocol.c
    COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}
    COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${generated}/${name}-client-protocol.h
    COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${generated}/${name}-protocol.c
    DEPENDS ${xml}
    COMMENT "Generating the ${name} protocol code")
  target_sources(${target} PRIVATE ${generated}/${name}-protocol.c)
  target_include_directories(${target} PRIVATE ${generated})
endfunction()
