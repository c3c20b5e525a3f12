include(${CMAKE_CURRENT_SOURCE_DIR}/support/auilib_fixtures/fixtures.cmake)
auilib_test_fixtures(test_auilib_forms ${CMAKE_CURRENT_BINARY_DIR}/auilib_forms/work)
# The agent's and the gallery's forms, checked against the form limits.
target_compile_definitions(test_auilib_forms PRIVATE AGENT_FORMS_DIR="${PROJECT_SOURCE_DIR}/dialogs"
  GALLERY_FORMS_DIR="${PROJECT_SOURCE_DIR}/tools/auilib-gallery/auiresources/ui")
