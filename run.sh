#!/usr/bin/env bash
# ./run.sh        set up, build and start the program
# ./run.sh test   set up, build and run every test
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev zlib1g-dev locales
    libepoxy-dev libegl-dev libegl-mesa0 libgl1-mesa-dri fonts-noto-cjk xvfb xauth)
packages+=(libstb-dev libopenal-dev libjpeg62-turbo-dev)

install_missing_packages() {
    local missing=() p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# The file tests check that a decimal-comma locale changes nothing in the files.
generate_test_locale() {
    locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "note: no de_DE.UTF-8 locale; its test is skipped"
}

# Tests of windows draw on virtual X servers of their own, one per test that runs at a time: windows of
# two programs on one server take the keyboard focus from each other, and the tests that type into the
# active window would see their keys go elsewhere. The servers are listed in a resource file from which
# ctest hands each window test a server of its own; they stop on exit.
display_pids=()
start_virtual_displays() {
    local count=$1 spec=$2 n=90 ids=() first=""
    trap 'kill "${display_pids[@]}" 2>/dev/null || true' EXIT
    while [ ${#ids[@]} -lt "$count" ]; do
        if [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; then
            n=$((n + 1))
            continue
        fi
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        display_pids+=($!)
        for _ in $(seq 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            sleep 0.1
        done
        if [ -z "$first" ]; then first=$n; fi
        ids+=("{\"id\": \"x$n\", \"slots\": 1}")
        n=$((n + 1))
    done
    local joined
    joined=$(IFS=,; echo "${ids[*]}")
    printf '{"version": {"major": 1, "minor": 0}, "local": [{"displays": [%s]}]}\n' "$joined" >"$spec"
    # Tests run by hand without the resource file use the first server.
    export DISPLAY=":$first"
}

configure_and_build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir"
}

install_missing_packages
werror=OFF
[ -n "${CI:-}" ] && werror=ON

case "${1:-run}" in
test)
    generate_test_locale
    # Tests run with the address and undefined-behaviour sanitizers so that memory faults fail loudly.
    configure_and_build build-test -DCMAKE_BUILD_TYPE=Debug -DFSMITH_SANITIZE=ON -DFSMITH_WERROR="$werror"
    start_virtual_displays "$(nproc)" "$PWD/build-test/displays.json"
    ctest --test-dir build-test --output-on-failure -j "$(nproc)" --resource-spec-file "$PWD/build-test/displays.json"
    ;;
run)
    configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFSMITH_WERROR="$werror"
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "no display: start the editor from a desktop session (or set DISPLAY, e.g. to an Xvfb server)" >&2
        exit 1
    fi
    # The editor reads its Data folder from the working directory, which is the repository here.
    exec ./build/src/editor/fieldsmith
    ;;
*)
    echo "usage: ./run.sh [test]" >&2
    exit 2
    ;;
esac
