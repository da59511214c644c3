#!/usr/bin/env bash
# ./run.sh        set up, build and start the program
# ./run.sh test   set up, build and run every test
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev zlib1g-dev locales
    libepoxy-dev libegl-dev libegl-mesa0 libgl1-mesa-dri fonts-noto-cjk xvfb xauth)
packages+=(libstb-dev libopenal-dev)

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

# Tests of windows draw on a virtual X server of their own, started here and stopped on exit.
start_virtual_display() {
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    display_pid=$!
    trap 'kill "$display_pid" 2>/dev/null || true' EXIT
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.1
    done
    export DISPLAY=":$n"
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
    start_virtual_display
    ctest --test-dir build-test --output-on-failure -j "$(nproc)"
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
