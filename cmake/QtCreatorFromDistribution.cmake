# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# The QtCreator::* targets and a small add_qtc_plugin/add_qtc_library for a
# Qt Creator installed by the distribution (libraries, no SDK), with the
# headers of the release's source package at QTC_SOURCE_DIR.

set(QTC_SOURCE_DIR "$ENV{TAMAREK_QTC_SOURCE}" CACHE PATH "Qt Creator sources matching the installed IDE")
if(NOT EXISTS "${QTC_SOURCE_DIR}/src/plugins/coreplugin/icore.h")
  message(FATAL_ERROR "No Qt Creator headers in QTC_SOURCE_DIR='${QTC_SOURCE_DIR}'. "
                      "Build through scripts/env.sh, which provides them.")
endif()

find_path(QTC_LIBRARY_DIR libUtils.so.16 PATH_SUFFIXES qtcreator
          PATHS /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE} /usr/lib REQUIRED)
find_program(QTC_EXECUTABLE qtcreator REQUIRED)
set(QTC_PLUGIN_DIR "${QTC_LIBRARY_DIR}/plugins")
set(IDE_VERSION 16.0.1)
set(IDE_VERSION_COMPAT 16.0.0)
set(IDE_PLUGIN_PATH lib/qtcreator/plugins)

# cmake --install mirrors the installed IDE's own layout below its prefix
# (/usr/bin/qtcreator: prefix /usr), so that the prefix /usr puts the plug-in
# beside the IDE's plug-ins and its translations into its resource folder.
# The archive's staging asks for the SDK's layout instead.
if(NOT IDE_PLUGIN_INSTALL_PATH)
  get_filename_component(_qtc_prefix "${QTC_EXECUTABLE}" DIRECTORY)
  get_filename_component(_qtc_prefix "${_qtc_prefix}" DIRECTORY)
  file(RELATIVE_PATH IDE_PLUGIN_INSTALL_PATH "${_qtc_prefix}" "${QTC_PLUGIN_DIR}")
endif()
set(IDE_DATA_PATH share/qtcreator)

# The defines that the official SDK adds to every plug-in.
set(QTC_DEFAULT_DEFINES
  QT_CREATOR
  QT_NO_JAVA_STYLE_ITERATORS
  QT_NO_CAST_TO_ASCII QT_RESTRICTED_CAST_FROM_ASCII QT_NO_FOREACH
  QT_DISABLE_DEPRECATED_UP_TO=0x050900
  QT_WARN_DEPRECATED_UP_TO=0x060400
  QT_USE_QSTRINGBUILDER
)

function(_qtc_import name file)
  add_library(QtCreator::${name} SHARED IMPORTED GLOBAL)
  # A plug-in built against this IDE asks for its interface version.
  set_target_properties(QtCreator::${name} PROPERTIES
    IMPORTED_LOCATION "${file}"
    QTC_PLUGIN_VERSION "${IDE_VERSION_COMPAT}")
  target_link_libraries(QtCreator::${name} INTERFACE ${ARGN})
endfunction()

_qtc_import(Utils "${QTC_LIBRARY_DIR}/libUtils.so.16" Qt6::Core Qt6::Widgets Qt6::Concurrent)
target_include_directories(QtCreator::Utils INTERFACE
  "${QTC_SOURCE_DIR}/src/libs" "${QTC_SOURCE_DIR}/src/libs/3rdparty"
  "${QTC_SOURCE_DIR}/src/plugins" "${QTC_SOURCE_DIR}/src/libs/utils/mimetypes2")
_qtc_import(Aggregation "${QTC_LIBRARY_DIR}/libAggregation.so.16" QtCreator::Utils)
_qtc_import(ExtensionSystem "${QTC_LIBRARY_DIR}/libExtensionSystem.so.16" QtCreator::Aggregation)
_qtc_import(Core "${QTC_PLUGIN_DIR}/libCore.so" QtCreator::ExtensionSystem Qt6::Gui)
_qtc_import(ProjectExplorer "${QTC_PLUGIN_DIR}/libProjectExplorer.so" QtCreator::Core)
add_library(QtCreator::Tasking ALIAS QtCreator::Utils)

function(_qtc_common_target target)
  target_compile_definitions(${target} PRIVATE ${QTC_DEFAULT_DEFINES})
  set_target_properties(${target} PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    BUILD_RPATH "${QTC_LIBRARY_DIR};${QTC_PLUGIN_DIR};${PROJECT_BINARY_DIR}/lib/qtcreator")
endfunction()

# add_qtc_library(NAME DEFINES ... DEPENDS ... SOURCES ...)
function(add_qtc_library name)
  cmake_parse_arguments(_arg "" "" "DEFINES;DEPENDS;PUBLIC_DEPENDS;SOURCES" ${ARGN})
  add_library(${name} SHARED ${_arg_SOURCES})
  add_library(QtCreator::${name} ALIAS ${name})
  _qtc_common_target(${name})
  target_compile_definitions(${name} PRIVATE ${_arg_DEFINES})
  target_link_libraries(${name} PRIVATE ${_arg_DEPENDS} PUBLIC ${_arg_PUBLIC_DEPENDS})
  target_include_directories(${name} PUBLIC "${CMAKE_CURRENT_SOURCE_DIR}/..")
  set_target_properties(${name} PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}/lib/qtcreator")
endfunction()

# add_qtc_plugin(NAME VERSION v PLUGIN_CLASS c DEFINES ... DEPENDS ...
#                PLUGIN_DEPENDS ... SOURCES ...)
function(add_qtc_plugin name)
  cmake_parse_arguments(_arg "" "VERSION;PLUGIN_CLASS"
    "DEFINES;DEPENDS;PUBLIC_DEPENDS;PLUGIN_DEPENDS;SOURCES" ${ARGN})
  if(NOT _arg_VERSION)
    set(_arg_VERSION ${IDE_VERSION})
  endif()
  set(deps "")
  foreach(dep IN LISTS _arg_PLUGIN_DEPENDS)
    get_target_property(version ${dep} QTC_PLUGIN_VERSION)
    string(REPLACE "QtCreator::" "" id ${dep})
    string(TOLOWER ${id} id)
    list(APPEND deps "        { \"Id\" : \"${id}\", \"Version\" : \"${version}\" }")
  endforeach()
  list(JOIN deps ",\n" deps)
  set(IDE_PLUGIN_DEPENDENCIES "\"Dependencies\" : [\n${deps}\n    ]")
  configure_file(${name}.json.in "${CMAKE_CURRENT_BINARY_DIR}/${name}.json")

  add_library(${name} SHARED ${name}.json.in ${_arg_SOURCES})
  add_library(QtCreator::${name} ALIAS ${name})
  _qtc_common_target(${name})
  target_compile_definitions(${name} PRIVATE ${_arg_DEFINES})
  # The source folder too: forms name the headers of their custom widgets bare.
  target_include_directories(${name} PRIVATE "${CMAKE_CURRENT_BINARY_DIR}"
                                             "${CMAKE_CURRENT_SOURCE_DIR}"
                                     PUBLIC "${CMAKE_CURRENT_SOURCE_DIR}/..")
  target_link_libraries(${name} PRIVATE ${_arg_DEPENDS} ${_arg_PLUGIN_DEPENDS}
                                PUBLIC ${_arg_PUBLIC_DEPENDS})
  set_target_properties(${name} PROPERTIES
    QTC_PLUGIN_VERSION "${_arg_VERSION}"
    LIBRARY_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}/${IDE_PLUGIN_PATH}")
endfunction()

# extend_qtc_plugin(NAME CONDITION cond SOURCES ... DEFINES ... DEPENDS ...)
function(extend_qtc_plugin name)
  cmake_parse_arguments(_arg "" "" "CONDITION;DEFINES;DEPENDS;SOURCES;INCLUDES" ${ARGN})
  if(_arg_CONDITION AND NOT (${_arg_CONDITION}))
    return()
  endif()
  target_sources(${name} PRIVATE ${_arg_SOURCES})
  target_compile_definitions(${name} PRIVATE ${_arg_DEFINES})
  target_include_directories(${name} PRIVATE ${_arg_INCLUDES})
  target_link_libraries(${name} PRIVATE ${_arg_DEPENDS})
endfunction()
