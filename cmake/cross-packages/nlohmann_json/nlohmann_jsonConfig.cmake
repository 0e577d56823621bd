# nlohmann_json for a cross build: the build machine's headers only.
include(${CMAKE_CURRENT_LIST_DIR}/../HeaderOnly.cmake)
morvex_header_only_package(nlohmann_json::nlohmann_json nlohmann)
