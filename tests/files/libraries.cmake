# Tests of the files layer link it here (no widgets); the end-to-end test runs ombrik-cli.
target_link_libraries(${_target} PRIVATE ombrik_files ombrik_effects PkgConfig::GRAPHICSMAGICKPP)
target_compile_definitions(${_target} PRIVATE OMBRIK_CLI_PATH="$<TARGET_FILE:ombrik-cli>")
add_dependencies(${_target} ombrik-cli)
# The loader fuzzer's corpus is replayed as a normal test.
target_sources(${_target} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz/fuzz_input.cpp)
target_compile_definitions(${_target} PRIVATE OMBRIK_FUZZ_CORPUS="${PROJECT_SOURCE_DIR}/fuzz/corpus"
  OMBRIK_FUZZ_CORPUS_MODERN="${PROJECT_SOURCE_DIR}/fuzz/corpus-modern")
# The desktop entry is checked against the format table.
target_compile_definitions(${_target} PRIVATE OMBRIK_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
