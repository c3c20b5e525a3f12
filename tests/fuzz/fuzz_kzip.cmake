# The unpacking engine alone: it takes its temporary folder as an argument, so
# none of the agent library is needed. Its sources are compiled into the
# target itself, so they carry the target's instrumentation.
target_sources(fuzz_kzip PRIVATE ${PROJECT_SOURCE_DIR}/updater/KzipUnpack.cpp
  ${PROJECT_SOURCE_DIR}/updater/platform/NoFollowFile.cpp ${PROJECT_SOURCE_DIR}/updater/platform/FolderWalk.cpp)
target_include_directories(fuzz_kzip PRIVATE ${PROJECT_SOURCE_DIR}/updater ${PROJECT_SOURCE_DIR}/updater/platform)
target_link_libraries(fuzz_kzip PRIVATE Qt5::Core PkgConfig::LZMA)
