# The dialogs and panels of ui/, on Qt's offscreen platform.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
target_link_libraries(${_target} PRIVATE ombrik_ui Qt6::Widgets)
