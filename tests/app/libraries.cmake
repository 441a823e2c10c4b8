find_package(Qt6 REQUIRED COMPONENTS Test)
target_link_libraries(${_target} PRIVATE ombrik_app Qt6::Test)
# The second-instance test starts the real program twice.
add_dependencies(${_target} ombrik)
target_compile_definitions(${_target} PRIVATE OMBRIK_EXECUTABLE="$<TARGET_FILE:ombrik>")
target_compile_definitions(${_target} PRIVATE OMBRIK_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
# The Adjust panel's test compares the window with ombrik-cli on the same photo.
add_dependencies(${_target} ombrik-cli)
target_compile_definitions(${_target} PRIVATE OMBRIK_CLI_PATH="$<TARGET_FILE:ombrik-cli>")
