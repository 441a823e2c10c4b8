target_link_libraries(${_target} PRIVATE ombrik_effects)
target_compile_definitions(${_target} PRIVATE OMBRIK_PINNED_REFERENCES="${PROJECT_SOURCE_DIR}/tests/data/pinned_outputs.txt")
