# German texts for the prompts, compiled from their .ts as the reader's own
# catalogues are.
find_package(Qt5LinguistTools REQUIRED)
set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/dialogs/fixtures/prompts_de.ts
  PROPERTIES OUTPUT_LOCATION ${CMAKE_CURRENT_BINARY_DIR}/dialogs_fixtures)
qt5_add_translation(DIALOGS_GERMAN_QM ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/fixtures/prompts_de.ts)
target_sources(test_dialogs PRIVATE ${DIALOGS_GERMAN_QM})
target_compile_definitions(test_dialogs PRIVATE PROMPTS_GERMAN_QM="${DIALOGS_GERMAN_QM}")
