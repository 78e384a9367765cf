# expat, which reads the host's XML actions, as the imported target qv::expat: Debian's
# libexpat natively; for a cross build, the static library of its target that
# scripts/build-expat-mingw (run by scripts/bootstrap) builds from Debian's sources into
# its cache, outside the checkout.
if(TARGET qv::expat)
    return()
endif()
add_library(qv::expat INTERFACE IMPORTED GLOBAL)
if(CMAKE_CROSSCOMPILING)
    include(${CMAKE_CURRENT_LIST_DIR}/MingwCache.cmake)
    set(QV_EXPAT_MINGW_PREFIX "${qv_mingw_cache}/expat-mingw-${CMAKE_SYSTEM_PROCESSOR}"
        CACHE PATH "expat built for the cross toolchain by scripts/build-expat-mingw")
    qv_require_mingw_cache("${QV_EXPAT_MINGW_PREFIX}" scripts/build-expat-mingw STAMP
                           include/expat.h lib/libexpat.a)
    target_include_directories(qv::expat SYSTEM INTERFACE "${QV_EXPAT_MINGW_PREFIX}/include")
    # A static library: its declarations must not ask for a DLL's imports.
    target_compile_definitions(qv::expat INTERFACE XML_STATIC)
    target_link_libraries(qv::expat INTERFACE "${QV_EXPAT_MINGW_PREFIX}/lib/libexpat.a")
else()
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(QV_EXPAT REQUIRED IMPORTED_TARGET expat)
    target_link_libraries(qv::expat INTERFACE PkgConfig::QV_EXPAT)
endif()
