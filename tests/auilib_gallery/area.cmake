# The gallery: its dialog and enciphered form come with the gallery program,
# which ctest also runs once to write its light and dark pictures.
target_link_libraries(test_auilib_gallery PRIVATE auilib_gallery)
add_test(NAME auilib_gallery.screenshots
  COMMAND auilib-gallery --screenshots ${PROJECT_BINARY_DIR}/screenshots)
# The label also gives it, in the sanitizer build, the leak checking and
# suppressions of every widget-library test (tests/CMakeLists.txt).
set_tests_properties(auilib_gallery.screenshots PROPERTIES LABELS auilib TIMEOUT 120
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
target_compile_definitions(test_auilib_gallery PRIVATE
  AUILIB_GALLERY_FORM_PLAIN="${PROJECT_SOURCE_DIR}/tools/auilib-gallery/auiresources/ui/gallery.ui")
