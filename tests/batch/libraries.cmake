# The batch library, and ombrik-cli run as a real process on real files. The
# window's Save As is drawn by a canvas widget here to compare against.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
target_link_libraries(${_target} PRIVATE ombrik_batch ombrik_view ombrik_ui Qt6::Widgets PkgConfig::GRAPHICSMAGICKPP)
# Pictures made at run time, shared with the files tests.
target_sources(${_target} PRIVATE ${PROJECT_SOURCE_DIR}/tests/files/files_test_support.cpp)
add_dependencies(${_target} ombrik-cli)
target_compile_definitions(${_target} PRIVATE OMBRIK_CLI_PATH="$<TARGET_FILE:ombrik-cli>"
  OMBRIK_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
