# qpdf for minihost and the tests, as the imported target qv::qpdf: Debian's libqpdf
# natively; for the cross build, the static libraries that scripts/bootstrap builds
# from Debian's sources into its cache, outside the checkout.
if(TARGET qv::qpdf)
    return()
endif()
add_library(qv::qpdf INTERFACE IMPORTED GLOBAL)
# qpdf's headers warn about their pointer transition unless told which side we are on.
target_compile_definitions(qv::qpdf INTERFACE POINTERHOLDER_TRANSITION=4)
if(CMAKE_CROSSCOMPILING)
    set(QV_CACHE_DIR "$ENV{HOME}/.cache/quorvella" CACHE PATH "scripts/bootstrap's cache")
    set(QV_QPDF_MINGW_PREFIX "${QV_CACHE_DIR}/qpdf-mingw-i686" CACHE PATH
        "qpdf and libjpeg built for the cross toolchain")
    set(qpdf_lib "${QV_QPDF_MINGW_PREFIX}/lib/libqpdf.a")
    if(NOT EXISTS "${qpdf_lib}")
        message(FATAL_ERROR "qpdf for the cross build is missing at ${QV_QPDF_MINGW_PREFIX}: "
                            "run scripts/bootstrap")
    endif()
    target_include_directories(qv::qpdf SYSTEM INTERFACE "${QV_QPDF_MINGW_PREFIX}/include")
    target_link_libraries(qv::qpdf INTERFACE "${qpdf_lib}" "${QV_QPDF_MINGW_PREFIX}/lib/libjpeg.a"
                                             /usr/i686-w64-mingw32/lib/libz.a bcrypt advapi32)
else()
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(QV_QPDF REQUIRED IMPORTED_TARGET libqpdf)
    target_link_libraries(qv::qpdf INTERFACE PkgConfig::QV_QPDF)
endif()
