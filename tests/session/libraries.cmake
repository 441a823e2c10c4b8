target_link_libraries(${_target} PRIVATE ombrik_session)
target_compile_definitions(${_target} PRIVATE OMBRIK_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
