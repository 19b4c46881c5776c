# Embeds the bootstrap scripts the web view injects into every page as C++ raw string constants, so the
# core needs no files at run time. Included from the core's CMakeLists.txt: runs in its directory scope.
# Editing a script re-runs the configuration step, which rewrites the header.

set(NORLA_SCRIPT_DIR ${CMAKE_CURRENT_LIST_DIR})
set(NORLA_SCRIPT_HEADER ${CMAKE_CURRENT_BINARY_DIR}/generated/web/BootstrapScriptSources.h)
set(NORLA_SCRIPT_DELIMITER "norla_js")

set(NORLA_SCRIPT_HEADER_TEXT "// Generated from src/core/web/scripts/*.js by EmbedScripts.cmake: edit the scripts, not this file.\n")
string(APPEND NORLA_SCRIPT_HEADER_TEXT "#pragma once\n\n#include <string_view>\n\nnamespace norla::scripts {\n")

foreach(pair "recorder-bootstrap.js;recorderBootstrapTemplate" "shell-bootstrap.js;shellBootstrapTemplate")
  list(GET pair 0 file)
  list(GET pair 1 name)
  set(path ${NORLA_SCRIPT_DIR}/${file})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${path})
  file(READ ${path} text)
  string(FIND "${text}" ")${NORLA_SCRIPT_DELIMITER}\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${file} contains the raw-string delimiter )${NORLA_SCRIPT_DELIMITER}\"")
  endif()
  string(APPEND NORLA_SCRIPT_HEADER_TEXT
    "\ninline constexpr std::string_view ${name} = R\"${NORLA_SCRIPT_DELIMITER}(${text})${NORLA_SCRIPT_DELIMITER}\";\n")
endforeach()
string(APPEND NORLA_SCRIPT_HEADER_TEXT "\n} // namespace norla::scripts\n")

# Rewrite only on change, so an unrelated reconfiguration does not rebuild what includes the header.
set(NORLA_SCRIPT_HEADER_OLD "")
if(EXISTS ${NORLA_SCRIPT_HEADER})
  file(READ ${NORLA_SCRIPT_HEADER} NORLA_SCRIPT_HEADER_OLD)
endif()
if(NOT NORLA_SCRIPT_HEADER_OLD STREQUAL NORLA_SCRIPT_HEADER_TEXT)
  file(WRITE ${NORLA_SCRIPT_HEADER} "${NORLA_SCRIPT_HEADER_TEXT}")
endif()
