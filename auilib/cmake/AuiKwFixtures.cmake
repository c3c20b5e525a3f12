# auilib_encipher_files(<target> DESTINATION <dir> [BASE_DIR <dir>] [SUFFIX <text>] FILES <file>...)
#
# Enciphers plain text sources kept in the repository (forms, translation
# files, string tables) with the auikw tool into the build tree, and makes
# <target> depend on the results. Each output keeps the file's path relative
# to BASE_DIR (default: the calling directory's source folder) below
# DESTINATION, with SUFFIX appended to its name (default: none, so
# "forms/main.ui" becomes "<DESTINATION>/forms/main.ui"). Relative FILES are
# taken from the calling directory's source folder.
function(auilib_encipher_files target)
  cmake_parse_arguments(PARSE_ARGV 1 KW "" "DESTINATION;BASE_DIR;SUFFIX" "FILES")
  if(NOT KW_DESTINATION OR NOT KW_FILES)
    message(FATAL_ERROR "auilib_encipher_files: DESTINATION and FILES are required")
  endif()
  if(NOT KW_BASE_DIR)
    set(KW_BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  get_filename_component(KW_BASE_DIR "${KW_BASE_DIR}" ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  set(outputs "")
  foreach(file IN LISTS KW_FILES)
    get_filename_component(source "${file}" ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    file(RELATIVE_PATH relative "${KW_BASE_DIR}" "${source}")
    if(relative MATCHES "^\\.\\./")
      message(FATAL_ERROR "auilib_encipher_files: ${source} is not below ${KW_BASE_DIR}")
    endif()
    set(output "${KW_DESTINATION}/${relative}${KW_SUFFIX}")
    get_filename_component(output_dir "${output}" DIRECTORY)
    add_custom_command(OUTPUT "${output}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${output_dir}"
      COMMAND $<TARGET_FILE:auikw> enc "${source}" "${output}"
      DEPENDS "${source}" auikw
      COMMENT "Enciphering ${relative}"
      VERBATIM)
    list(APPEND outputs "${output}")
  endforeach()
  # An enciphered form may keep its ".ui" name: automatic form compilation
  # must not take it for a form to compile (it is not even XML), which it
  # otherwise would in a build folder outside the source tree.
  set_source_files_properties(${outputs} PROPERTIES SKIP_AUTOGEN ON)
  # One custom target per call site keeps the outputs owned by a single target.
  string(MD5 call_id "${KW_DESTINATION};${KW_FILES}")
  string(SUBSTRING "${call_id}" 0 8 call_id)
  set(fixtures_target ${target}_enciphered_${call_id})
  add_custom_target(${fixtures_target} DEPENDS ${outputs})
  add_dependencies(${target} ${fixtures_target})
endfunction()
