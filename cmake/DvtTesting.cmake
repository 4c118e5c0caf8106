# dvt_add_test(NAME <name> SOURCES <files...> [LIBS <targets...>] [GUI] [ENV <VAR=value...>]
#              [DESKTOP <test functions...>])
#
# One Qt Test program registered with CTest. Plain C++ areas get the label
# "core" and also run in the sanitizer build; GUI tests get the label "gui",
# run with the offscreen platform and are left out of core-only builds.
# DESKTOP registers the named test functions once more as "<name>_desktop",
# label "desktop": on the X display that scripts/test-desktop starts (a
# window manager and a compositor on it), skipped without one. Such a program
# uses DVT_TEST_MAIN (tests/desktop_main.h).
function(dvt_add_test)
  cmake_parse_arguments(T "GUI" "NAME" "SOURCES;LIBS;ENV;DESKTOP" ${ARGN})
  if(T_GUI AND DVT_CORE_ONLY)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY
                                             ${CMAKE_BINARY_DIR}/tests/bin)
  target_link_libraries(${T_NAME} PRIVATE Qt6::Test dvt_warnings ${T_LIBS})
  # Every Qt Test class is a QObject; core-only builds do not turn AUTOMOC on globally.
  set_target_properties(${T_NAME} PROPERTIES AUTOMOC ON)
  if(T_GUI)
    target_link_libraries(${T_NAME} PRIVATE dvt_qt_defaults Qt6::Widgets)
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set(env ${T_ENV})
  if(T_GUI)
    list(APPEND env QT_QPA_PLATFORM=offscreen)
    set_tests_properties(${T_NAME} PROPERTIES LABELS gui)
  else()
    set_tests_properties(${T_NAME} PROPERTIES LABELS core)
  endif()
  if(env)
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${env}")
  endif()
  if(T_GUI AND T_DESKTOP)
    add_test(NAME ${T_NAME}_desktop COMMAND ${T_NAME} ${T_DESKTOP})
    set_tests_properties(${T_NAME}_desktop PROPERTIES
      LABELS desktop RUN_SERIAL TRUE SKIP_RETURN_CODE 77
      ENVIRONMENT "DVT_DESKTOP_TEST=1;${T_ENV}")
  endif()
endfunction()
