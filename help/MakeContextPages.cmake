# Writes OUT/<number>.html for every line of the context map MAP: a page that
# sends the browser on to its topic at once, with a visible link for a reader
# whose browser does not follow the refresh. Pages of numbers no longer in the
# map are removed.
#   cmake -DMAP=contexts.txt -DOUT=<book>/context -P MakeContextPages.cmake

cmake_minimum_required(VERSION 3.25)

set(base_topic 0)
set(base_command 65536)
set(base_resource 131072)

function(escape_html out text)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  string(REPLACE "\"" "&quot;" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Leaves an unchanged page alone, so its time stamp says when it last changed.
function(write_if_changed path content)
  if(EXISTS "${path}")
    file(READ "${path}" old)
    if(old STREQUAL content)
      return()
    endif()
  endif()
  file(WRITE "${path}" "${content}")
endfunction()

file(STRINGS "${MAP}" lines)
set(numbers "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]*(#|$)")
    continue()
  endif()
  if(NOT line MATCHES "^(topic|command|resource) +([0-9]+) +([^ ]+) +(.+)$")
    message(FATAL_ERROR "${MAP}: not <kind> <id> <target> <title>: ${line}")
  endif()
  set(target "${CMAKE_MATCH_3}")
  set(title "${CMAKE_MATCH_4}")
  math(EXPR number "${base_${CMAKE_MATCH_1}} + ${CMAKE_MATCH_2}")
  if(number IN_LIST numbers)
    message(FATAL_ERROR "${MAP}: context ${number} is given twice")
  endif()
  list(APPEND numbers ${number})

  escape_html(href "../${target}")
  escape_html(title "${title}")
  write_if_changed("${OUT}/${number}.html" "<!DOCTYPE html>
<html lang=\"en\">
<head>
<meta charset=\"utf-8\">
<meta http-equiv=\"refresh\" content=\"0; url=${href}\">
<title>${title} - Vellwick Glimmerkey Help</title>
<link rel=\"stylesheet\" href=\"../help.css\">
</head>
<body>
<main>
<h1>${title}</h1>
<p>This help topic is on another page: <a href=\"${href}\">${title}</a>.</p>
</main>
</body>
</html>
")
endforeach()

file(GLOB existing "${OUT}/*.html")
foreach(page IN LISTS existing)
  get_filename_component(number "${page}" NAME_WE)
  if(NOT number IN_LIST numbers)
    file(REMOVE "${page}")
  endif()
endforeach()
