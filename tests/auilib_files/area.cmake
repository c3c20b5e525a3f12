# The build enciphers the plain fixtures with auikw; the tool tests run it too.
auilib_encipher_files(test_auilib_files DESTINATION ${CMAKE_CURRENT_BINARY_DIR}/auilib_files
  BASE_DIR ${dir} FILES ${dir}/fixtures/form.ui)
add_dependencies(test_auilib_files auikw)
target_compile_definitions(test_auilib_files PRIVATE AUIKW_PATH="$<TARGET_FILE:auikw>"
  AUILIB_FILES_PLAIN="${dir}/fixtures"
  AUILIB_FILES_ENCIPHERED="${CMAKE_CURRENT_BINARY_DIR}/auilib_files/fixtures")
