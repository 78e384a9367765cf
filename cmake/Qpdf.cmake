# qpdf for minihost and the tests, as the imported target qv::qpdf: Debian's libqpdf
# natively; for a cross build, the static libraries of its target that scripts/bootstrap builds
# from Debian's sources into its cache, outside the checkout.
if(TARGET qv::qpdf)
    return()
endif()
add_library(qv::qpdf INTERFACE IMPORTED GLOBAL)
# qpdf's headers warn about their pointer transition unless told which side we are on.
target_compile_definitions(qv::qpdf INTERFACE POINTERHOLDER_TRANSITION=4)
if(CMAKE_CROSSCOMPILING)
    # scripts/build-qpdf-mingw (run by scripts/bootstrap) builds this folder, stamps it and
    # moves it into place only when complete; QUORVELLA_CACHE moves it for both.
    include(${CMAKE_CURRENT_LIST_DIR}/MingwCache.cmake)
    set(QV_QPDF_MINGW_PREFIX "${qv_mingw_cache}/qpdf-mingw-${CMAKE_SYSTEM_PROCESSOR}" CACHE PATH
        "qpdf and libjpeg built for the cross toolchain by scripts/build-qpdf-mingw")
    qv_require_mingw_cache("${QV_QPDF_MINGW_PREFIX}" scripts/build-qpdf-mingw STAMP
                           include/qpdf/QPDF.hh include/jpeglib.h lib/libqpdf.a lib/libjpeg.a)
    find_library(QV_MINGW_ZLIB NAMES libz.a)
    if(NOT QV_MINGW_ZLIB)
        message(FATAL_ERROR "mingw's static zlib is missing (package libz-mingw-w64-dev): "
                            "run scripts/bootstrap")
    endif()
    target_include_directories(qv::qpdf SYSTEM INTERFACE "${QV_QPDF_MINGW_PREFIX}/include")
    # In link order. qpdf's native crypto takes its random bytes from CryptGenRandom
    # (advapi32); the rest of what it calls is in kernel32 and the C runtime.
    target_link_libraries(qv::qpdf INTERFACE "${QV_QPDF_MINGW_PREFIX}/lib/libqpdf.a"
                                             "${QV_QPDF_MINGW_PREFIX}/lib/libjpeg.a"
                                             "${QV_MINGW_ZLIB}" advapi32)
else()
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(QV_QPDF REQUIRED IMPORTED_TARGET libqpdf)
    target_link_libraries(qv::qpdf INTERFACE PkgConfig::QV_QPDF)
endif()
