cmake_minimum_required(VERSION 3.25)

# Fails when a file includes from a layer above its own. Run as
#   cmake -DROOT=<source tree> -P CheckLayers.cmake
#
# Layers, lowest first: platform, framework, then the system's subsystems
# (res, controls, widget, then templates / supportfiles / browsers side by
# side, then the publishing engine in output/publishing, then output), then
# app. A folder may include from its own layer and the ones below, never from
# a peer of its own rank. The publishing engine uses no Qt Widgets header
# (QT_WIDGETS_DIR names their folder), so the command line that uses it
# needs no window. The widget server may include only the dispatch contract.
# Tests, tools, benchmarks and fuzz targets are outside the layers.

set(rank_platform 0)
set(rank_framework 1)
set(rank_res 2)
set(rank_controls 3)
set(rank_widget 4)
set(rank_templates 5)
set(rank_supportfiles 5)
set(rank_browsers 5)
set(rank_publishing 6)
set(rank_output 7)
set(rank_app 8)
set(layers platform framework res controls widget templates supportfiles browsers output app)

# The document runs the New, Save as Template and Support Files dialogs:
# the one edge that goes upwards, allowed by name.
set(allowed
  "widget/VellwickToolDoc.cpp -> templates/NewWidgetDlg.h"
  "widget/VellwickToolDoc.cpp -> templates/SaveTemplateDlg.h"
  "widget/VellwickToolDoc.cpp -> supportfiles/SupportFilesDlg.h")

set(sources)
foreach(folder IN LISTS layers ITEMS tavoletserver)
  file(GLOB_RECURSE found RELATIVE ${ROOT} ${ROOT}/${folder}/*.cpp ${ROOT}/${folder}/*.h)
  list(APPEND sources ${found})
endforeach()
list(FILTER sources EXCLUDE REGEX "^platform/tools/")

set(violations 0)
foreach(source IN LISTS sources)
  string(REGEX MATCH "^[^/]+" layer "${source}")
  if(source MATCHES "^output/publishing/")
    set(layer publishing)
    file(STRINGS ${ROOT}/${source} system REGEX "^[ \t]*#[ \t]*include[ \t]*<")
    foreach(line IN LISTS system)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*<([^>]+)>.*" "\\1" included "${line}")
      if(included MATCHES "^QtWidgets/" OR (QT_WIDGETS_DIR AND EXISTS "${QT_WIDGETS_DIR}/${included}"))
        message("LAYER VIOLATION: ${source} includes ${included}: the publishing engine uses no Qt Widgets")
        math(EXPR violations "${violations} + 1")
      endif()
    endforeach()
  endif()
  file(STRINGS ${ROOT}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" included "${line}")
    set(bad "")
    if(layer STREQUAL "tavoletserver")
      if(included MATCHES "/" AND NOT included STREQUAL "platform/DispatchContract.h")
        set(bad "the widget server may include only platform/DispatchContract.h")
      endif()
    elseif(included MATCHES "^([^/]+)/")
      set(target ${CMAKE_MATCH_1})
      if(included MATCHES "^output/publishing/")
        set(target publishing)
      endif()
      if(target STREQUAL layer OR "${source} -> ${included}" IN_LIST allowed)
        continue()
      endif()
      if(NOT DEFINED rank_${target})
        set(bad "${target}/ is no layer the system may use")
      elseif(rank_${target} GREATER rank_${layer})
        set(bad "${target}/ is a layer above ${layer}/")
      elseif(rank_${target} EQUAL rank_${layer})
        set(bad "${target}/ is a peer of ${layer}/")
      endif()
    endif()
    if(bad)
      message("LAYER VIOLATION: ${source} includes ${included}: ${bad}")
      math(EXPR violations "${violations} + 1")
    endif()
  endforeach()
endforeach()

list(LENGTH sources checked)
if(violations GREATER 0)
  message(FATAL_ERROR "${violations} include(s) cross a layer boundary (${checked} files checked)")
endif()
message("Layers kept: ${checked} files checked")
