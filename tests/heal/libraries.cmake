target_link_libraries(${_target} PRIVATE ombrik_heal)
