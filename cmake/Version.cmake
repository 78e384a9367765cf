# The one version number, project()'s, as a header that C++ and the resource compiler
# read (quorvella/Version.h in the build folder). On Windows it also enables the
# resource compiler, which each folder that has .rc files includes this file for.
configure_file(${PROJECT_SOURCE_DIR}/cmake/Version.h.in
               ${PROJECT_BINARY_DIR}/generated/quorvella/Version.h @ONLY)
set(QUORVELLA_VERSION_INCLUDE_DIR ${PROJECT_BINARY_DIR}/generated)
if(WIN32)
    enable_language(RC)
endif()
