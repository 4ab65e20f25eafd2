# One helper per kind of target, so that registering a library, a module, a test
# or a benchmark is a few lines in its folder.
#
#   verdanta_add_library(Name [SHARED|STATIC] SOURCES ... [DEPENDS ...] [PUBLIC_DEPENDS ...]
#                        [INCLUDE_ROOT dir] [PCH])
#   verdanta_add_module(Name SOURCES ... [DEPENDS ...] [PCH])
#   verdanta_add_executable(Name SOURCES ... [DEPENDS ...] [PCH])
#   verdanta_add_test(Name SOURCES ... [DEPENDS ...] [LOGIC] [DBUS] [PCH] [TIMEOUT s] [WRAPPER script])
#   verdanta_forbid_link(Target Library)
#   verdanta_add_benchmark(Name SOURCES ... [DEPENDS ...])

include(GenerateExportHeader)

set(VERDANTA_PCH_HEADERS
    <QtCore/QObject> <QtCore/QString> <QtCore/QStringList> <QtCore/QVariant>
    <QtCore/QDateTime> <QtCore/QHash> <QtCore/QList> <QtCore/QDir> <QtCore/QFile>
    <QtWidgets/QWidget> <QtWidgets/QDialog> <QtWidgets/QLabel> <QtWidgets/QPushButton>
    <QtWidgets/QLineEdit> <QtWidgets/QComboBox> <QtWidgets/QCheckBox> <QtWidgets/QLayout>
    <QtGui/QPainter> <memory> <vector> <map> <functional> <string>)
# The same without widgets, for targets that must not see them.
set(VERDANTA_LOGIC_PCH_HEADERS
    <QtCore/QObject> <QtCore/QString> <QtCore/QStringList> <QtCore/QVariant>
    <QtCore/QDateTime> <QtCore/QHash> <QtCore/QList> <QtCore/QDir> <QtCore/QFile>
    <QtGui/QPainter> <QtGui/QTextDocument> <memory> <vector> <map> <functional> <string>)

function(_verdanta_common target)
  target_compile_options(${target} PRIVATE ${VERDANTA_WARNINGS})
  target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_BYTEARRAY QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
endfunction()

function(_verdanta_pch target)
  target_precompile_headers(${target} PRIVATE ${VERDANTA_PCH_HEADERS})
endfunction()

# Adds every immediate sub-folder of dir that holds a CMakeLists.txt.
function(verdanta_add_subdirectories dir)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}/${dir}
       ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/${child}/CMakeLists.txt)
      add_subdirectory(${dir}/${child})
    endif()
  endforeach()
endfunction()

# A library. Shared libraries get hidden visibility and a generated export
# header "<name>_export.h" with the macro <NAME>_EXPORT. The parent of the
# library's folder is its public include root, so headers are included as
# "Folder/Header.h".
function(verdanta_add_library name)
  cmake_parse_arguments(ARG "SHARED;STATIC;PCH" "INCLUDE_ROOT;OUTPUT_NAME"
                        "SOURCES;DEPENDS;PUBLIC_DEPENDS" ${ARGN})
  set(kind SHARED)
  if(ARG_STATIC)
    set(kind STATIC)
  endif()
  add_library(${name} ${kind} ${ARG_SOURCES})
  add_library(Verdanta::${name} ALIAS ${name})
  if(NOT ARG_INCLUDE_ROOT)
    get_filename_component(ARG_INCLUDE_ROOT ${CMAKE_CURRENT_SOURCE_DIR} DIRECTORY)
  endif()
  string(TOLOWER ${name} lower)
  string(TOUPPER ${name} upper)
  generate_export_header(${name} BASE_NAME ${upper}
                         EXPORT_FILE_NAME ${CMAKE_CURRENT_BINARY_DIR}/export/${lower}_export.h)
  target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${ARG_INCLUDE_ROOT}>
                                            $<BUILD_INTERFACE:${CMAKE_CURRENT_BINARY_DIR}/export>)
  if(kind STREQUAL "STATIC")
    target_compile_definitions(${name} PUBLIC ${upper}_STATIC_DEFINE)
  endif()
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_DEPENDS} PRIVATE ${ARG_DEPENDS})
  if(ARG_OUTPUT_NAME)
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT_NAME})
  endif()
  _verdanta_common(${name})
  if(ARG_PCH)
    _verdanta_pch(${name})
  endif()
endfunction()

# A component server (or other run-time loaded plug-in), placed in the
# program's modules folder.
function(verdanta_add_module name)
  cmake_parse_arguments(ARG "PCH" "OUTPUT_NAME" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} MODULE ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  set_target_properties(${name} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${VERDANTA_MODULES_OUTPUT_DIRECTORY}
                                           BUILD_RPATH "$ORIGIN;$ORIGIN/..")
  if(ARG_OUTPUT_NAME)
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT_NAME})
  endif()
  _verdanta_common(${name})
  if(ARG_PCH)
    _verdanta_pch(${name})
  endif()
endfunction()

function(verdanta_add_executable name)
  cmake_parse_arguments(ARG "PCH" "OUTPUT_NAME" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
  if(ARG_OUTPUT_NAME)
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT_NAME})
  endif()
  _verdanta_common(${name})
  if(ARG_PCH)
    _verdanta_pch(${name})
  endif()
endfunction()

# A GoogleTest program. Every test runs with the offscreen platform plugin, a
# pinned locale and a throw-away home, set up by the shared test main. A LOGIC
# test runs without widgets: its main makes a QGuiApplication, the build
# refuses to link it with Qt Widgets, and the main fails when the library is
# loaded all the same. With DBUS every test case runs on a session bus of its
# own (dbus-run-session), so that names it registers and peers it starts never
# meet the user's bus or another test. A WRAPPER script runs the program (its
# discovery and every test case) in the surroundings it sets up.
function(verdanta_add_test name)
  cmake_parse_arguments(ARG "PCH;LOGIC;DBUS" "TIMEOUT;WRAPPER" "SOURCES;DEPENDS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_LOGIC)
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} VerdantaTestMainLogic GTest::gtest GTest::gmock)
    verdanta_forbid_link(${name} Qt6::Widgets)
  else()
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} VerdantaTestMainWidgets GTest::gtest GTest::gmock)
  endif()
  _verdanta_common(${name})
  if(ARG_PCH)
    if(ARG_LOGIC)
      target_precompile_headers(${name} PRIVATE ${VERDANTA_LOGIC_PCH_HEADERS})
    else()
      _verdanta_pch(${name})
    endif()
  endif()
  if(ARG_DBUS)
    find_program(VERDANTA_DBUS_RUN_SESSION dbus-run-session REQUIRED)
    # Discovery and every discovered test run through the target's emulator.
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${VERDANTA_DBUS_RUN_SESSION};--")
  elseif(ARG_WRAPPER)
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${ARG_WRAPPER}")
  endif()
  # The shared test main sets the test environment itself (offscreen platform,
  # modules folder, fixtures folder, sanitizer options): properties of
  # discovered tests cannot carry more than one environment variable.
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS ${name})
endfunction()

function(verdanta_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  _verdanta_common(${name})
endfunction()

# Fails the configuration when a target reaches a library through its links,
# directly or through any target it links (checked once every target exists).
function(verdanta_forbid_link target library)
  set_property(GLOBAL APPEND PROPERTY VERDANTA_FORBIDDEN_LINKS "${target}|${library}")
endfunction()

function(_verdanta_links_of target out)
  set(found)
  foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
    get_target_property(links ${target} ${property})
    if(links)
      foreach(link IN LISTS links)
        # Generator expressions such as $<LINK_ONLY:x> still name x.
        string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
        list(APPEND found ${link})
      endforeach()
    endif()
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

function(_verdanta_check_forbidden_links)
  get_property(pairs GLOBAL PROPERTY VERDANTA_FORBIDDEN_LINKS)
  foreach(pair IN LISTS pairs)
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 target)
    list(GET pair 1 library)
    set(queue ${target})
    set(seen)
    while(queue)
      list(POP_FRONT queue current)
      if(current IN_LIST seen)
        continue()
      endif()
      list(APPEND seen ${current})
      if(current STREQUAL library)
        message(FATAL_ERROR "${target} must not link ${library}, but reaches it through its links.")
      endif()
      if(TARGET ${current})
        get_target_property(aliased ${current} ALIASED_TARGET)
        if(aliased)
          list(APPEND queue ${aliased})
          if(aliased STREQUAL library)
            message(FATAL_ERROR "${target} must not link ${library}.")
          endif()
        endif()
        _verdanta_links_of(${current} links)
        list(APPEND queue ${links})
      endif()
    endwhile()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _verdanta_check_forbidden_links)
