# shellcheck shell=bash
# What scripts/build-qpdf-mingw and scripts/build-expat-mingw share: a library built for a
# Windows target (i686 or x86_64; mingw-w64) from Debian's source packages into a cache
# outside the checkout that every checkout and CI share, ${QUORVELLA_CACHE:-$HOME/.cache/
# quorvella}/NAME-mingw-TARGET/{include,lib,STAMP}. The build runs once; later runs find
# the STAMP, which names everything the result depends on, and do nothing. A change of
# version, flags, compiler or toolchain file changes the STAMP and so rebuilds. The result
# is built in a staging folder and moved into place only when complete, so an interrupted
# build never leaves a cache that a later run trusts. Needs root (or sudo) only to enable
# Debian's source lists the first time.
#
# The sourcing script sets `name` (the cache's and the messages' name), `target` and
# `source_package` (one whose source apt must know), and defines describe_recipe (prints
# the STAMP) and build_into STAGE WORK (builds into STAGE, using WORK for sources and
# logs); then it calls build_cached.

triple=$target-w64-mingw32
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cache=${QUORVELLA_CACHE:-${HOME:?neither QUORVELLA_CACHE nor HOME is set}/.cache/quorvella}
prefix=$cache/$name-mingw-$target
toolchain=$repo/cmake/mingw-$target.cmake
mingw_root=/usr/$triple

say() { echo "build-$name-mingw $target: $*"; }
# Runs a command with its output appended to a log, whose end it shows on failure.
logged() {
    local log=$1
    shift
    "$@" >>"$log" 2>&1 || { tail -n 30 "$log" >&2; say "failed: $* (log: $log)" >&2; exit 1; }
}
as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# What every recipe depends on: the cross compiler and the toolchain files.
describe_compiler() {
    echo "compiler: $("$triple-g++-posix" --version | head -n 1)"
}
describe_toolchain() {
    echo "toolchain: $(cat "$toolchain" "$repo/cmake/mingw-common.cmake" | sha256sum | cut -d ' ' -f 1)"
}

# apt-get source needs source lists; Debian 12 ships only binary ones. Adds a copy of
# the binary list with the source type, unless a source list is there already, and
# fetches the source indexes unless apt knows the source package already.
enable_source_lists() {
    if [ -n "$(apt-cache showsrc "$source_package" 2>/dev/null)" ]; then
        return
    fi
    local lists=/etc/apt/sources.list.d
    if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list "$lists"; then
        if [ -f "$lists/debian.sources" ]; then
            say "enabling Debian's source lists ($lists/debian-src.sources)"
            sed 's/^Types:.*/Types: deb-src/' "$lists/debian.sources" |
                as_root tee "$lists/debian-src.sources" >/dev/null
        elif [ -f /etc/apt/sources.list ]; then
            say "enabling Debian's source lists ($lists/debian-src.list)"
            sed -n 's/^deb /deb-src /p' /etc/apt/sources.list |
                as_root tee "$lists/debian-src.list" >/dev/null
        else
            say "no apt source list to copy; add a deb-src entry by hand" >&2
            exit 1
        fi
    fi
    say "apt-get update"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
}

# Downloads and unpacks one source package in the current folder; prints its folder.
fetch_source() {
    local package=$1 version=$2
    logged "$PWD/fetch.log" apt-get source -q "$package"
    local folder=$package-$version
    if [ ! -d "$folder" ]; then
        say "apt-get source $package gave $(echo "$package"-*/) rather than $folder;" \
            "update the version in $0" >&2
        exit 1
    fi
    echo "$PWD/$folder"
}

build_cached() {
    local wanted
    wanted=$(describe_recipe)
    if [ -f "$prefix/STAMP" ] && [ "$(cat "$prefix/STAMP")" = "$wanted" ]; then
        say "up to date in $prefix"
        return
    fi

    mkdir -p "$cache"
    # One build at a time, for checkouts that bootstrap at once.
    exec 9>"$cache/$name-mingw-$target.lock"
    flock 9
    if [ -f "$prefix/STAMP" ] && [ "$(cat "$prefix/STAMP")" = "$wanted" ]; then
        say "up to date in $prefix (built by another run meanwhile)"
        return
    fi

    # Staging folders of builds that were killed outright; none is running now.
    rm -rf "$cache"/"$name"-mingw-"$target".staging.*
    enable_source_lists
    local started=$SECONDS
    local work stage
    work=$(mktemp -d "${TMPDIR:-/tmp}/$name-mingw-$target.XXXXXX")
    stage=$(mktemp -d "$cache/$name-mingw-$target.staging.XXXXXX")
    # A failed build leaves its sources and logs in $work to read, never a cache.
    # shellcheck disable=SC2064 # the folders are fixed now
    trap "rm -rf '$stage'; say 'failed; sources and logs are in $work' >&2" EXIT
    trap 'exit 130' INT TERM HUP
    say "building in $work, staging in $stage"

    build_into "$stage" "$work"
    # Which Debian packages went in, for whoever reads the cache.
    basename -a "$work"/*.dsc >"$stage/SOURCES"
    describe_recipe >"$stage/STAMP"
    trap - EXIT
    rm -rf "$work"

    if [ -e "$prefix" ]; then
        say "replacing the earlier build, whose recipe differs"
        mv "$prefix" "$stage.old"
        rm -rf "$stage.old"
    fi
    chmod 755 "$stage"
    mv "$stage" "$prefix"
    say "built in $((SECONDS - started)) s into $prefix"
}
