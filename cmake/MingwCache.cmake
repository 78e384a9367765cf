# The folder of libraries that scripts/bootstrap builds for a cross build from Debian's
# sources (scripts/lib/mingw-cache.sh), outside the checkout: QUORVELLA_CACHE, else
# ~/.cache/quorvella. Sets qv_mingw_cache.
if(DEFINED ENV{QUORVELLA_CACHE})
    set(qv_mingw_cache "$ENV{QUORVELLA_CACHE}")
elseif(NOT DEFINED ENV{HOME})
    message(FATAL_ERROR "set QUORVELLA_CACHE or HOME: scripts/bootstrap's cache is under it")
else()
    set(qv_mingw_cache "$ENV{HOME}/.cache/quorvella")
endif()

# Stops the configuration unless every one of `parts` is in `folder`, which the script
# `script` builds.
function(qv_require_mingw_cache folder script)
    foreach(part ${ARGN})
        if(NOT EXISTS "${folder}/${part}")
            message(FATAL_ERROR "${script}'s build for the cross toolchain is missing or "
                                "incomplete at ${folder} (no ${part}): run scripts/bootstrap")
        endif()
    endforeach()
endfunction()
