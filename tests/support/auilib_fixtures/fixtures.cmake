# The widget library's form and language fixtures, plain in the repository,
# enciphered by the build into <destination> laid out as a working folder:
# auiresources/ui/<form>.ui.kw and lang/<language>/<file>.kw.
set(AUILIB_FIXTURE_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR})
function(auilib_test_fixtures target destination)
  file(GLOB_RECURSE fixture_files CONFIGURE_DEPENDS
    ${AUILIB_FIXTURE_SOURCE_DIR}/auiresources/*.ui ${AUILIB_FIXTURE_SOURCE_DIR}/lang/*.ts
    ${AUILIB_FIXTURE_SOURCE_DIR}/lang/*.xml)
  auilib_encipher_files(${target} DESTINATION ${destination} BASE_DIR ${AUILIB_FIXTURE_SOURCE_DIR}
    SUFFIX .kw FILES ${fixture_files})
  target_compile_definitions(${target} PRIVATE AUILIB_FIXTURES_PLAIN="${AUILIB_FIXTURE_SOURCE_DIR}"
    AUILIB_FIXTURES_ENCIPHERED="${destination}")
endfunction()
