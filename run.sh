#!/usr/bin/env bash
# ./run.sh        set up, build and start the program
# ./run.sh test   set up, build and run every test
# ./run.sh install [PREFIX]   build and install into PREFIX (default /usr/local)
# ./run.sh fuzz [SECONDS]   build the fuzz targets with clang into build-fuzz/ and run each for SECONDS
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev zlib1g-dev locales
    libepoxy-dev libegl-dev libegl-mesa0 libgl1-mesa-dri fonts-noto-cjk xvfb xauth)
packages+=(libstb-dev libopenal-dev libjpeg62-turbo-dev)
# Installation and packaging: the checks of the desktop files, the MIME database and content types,
# window listing for the installed editor's start-up, and the Debian package (dpkg-shlibdeps, a clean
# root to install it in).
packages+=(desktop-file-utils appstream shared-mime-info libglib2.0-bin x11-utils dpkg-dev debootstrap)
# Model formats beside X files.
packages+=(libtinygltf-dev libtinyobjloader-dev)
# The end-to-end editor tests type and click on the virtual display.
packages+=(xdotool)
# The editor reads the X server's notice that its window was destroyed.
packages+=(libxcb1-dev)

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
# The glTF export tests run the Khronos validator (npm package gltf-validator) where node and npm are
# installed; without them those checks are skipped with a message.
install_gltf_validator() {
    [ -e build-test/npm/node_modules/gltf-validator ] && return 0
    if command -v npm >/dev/null; then
        npm install --no-save --no-audit --no-fund --prefix build-test/npm gltf-validator@2.0.0-dev.3.10 >/dev/null ||
            echo "note: gltf-validator could not be installed; its checks are skipped"
    else
        echo "note: no npm; the gltf-validator checks are skipped"
    fi
}

display_pids=()
start_virtual_displays() {
    local count=$1 spec=$2 n=90 ids=() first=""
    trap 'kill "${display_pids[@]}" 2>/dev/null || true' EXIT
    while [ ${#ids[@]} -lt "$count" ]; do
        if [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; then
            n=$((n + 1))
            continue
        fi
        # -noreset: without it the server resets whenever its last client leaves, and a client that
        # connects during the reset (the next test's program, moments later) is turned away.
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
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

# The fuzz targets need clang and its libFuzzer runtime; nothing else does.
[ "${1:-}" = fuzz ] && packages+=(clang libclang-rt-14-dev)
# Builds every fuzz target (fuzz/fuzz_*.cpp) and runs them one after another, each for the given
# seconds, from its seed corpus (fuzz/corpus/<target>, read only) and what earlier runs found
# (build-fuzz/corpus/<target>). An input that crashes, leaks, runs over 5 s or over 2 GB fails the
# run; libFuzzer saves it in build-fuzz/artifacts/. A summary of executions and coverage per target
# goes to build-fuzz/summary.txt.
run_fuzzers() {
    local seconds=$1 failed=() target log
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFSMITH_FUZZ=ON \
        -DFSMITH_BENCH=OFF >/dev/null
    cmake --build build-fuzz --target fsmith_fuzz_all
    mkdir -p build-fuzz/artifacts build-fuzz/logs
    : >build-fuzz/summary.txt
    for source in fuzz/fuzz_*.cpp; do
        target=$(basename "$source" .cpp)
        log=build-fuzz/logs/$target.log
        mkdir -p "build-fuzz/corpus/$target"
        echo "fuzzing $target for $seconds s"
        if ! LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:intercept_tls_get_addr=0" ASAN_OPTIONS=detect_leaks=1 \
            "build-fuzz/fuzz/$target" "build-fuzz/corpus/$target" "fuzz/corpus/$target" \
            -dict="fuzz/dict/$target.dict" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
            -malloc_limit_mb=2048 -close_fd_mask=3 -print_final_stats=1 \
            -artifact_prefix="build-fuzz/artifacts/$target-" >"$log" 2>&1; then
            failed+=("$target")
            tail -n 40 "$log" >&2
        fi
        printf '%s: %s executions, %s\n' "$target" \
            "$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)" \
            "$(grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+/[0-9]+[a-zA-Z]*' "$log" | tail -n 1)" |
            tee -a build-fuzz/summary.txt
    done
    if [ ${#failed[@]} -gt 0 ]; then
        echo "fuzzing failed: ${failed[*]} (inputs in build-fuzz/artifacts, logs in build-fuzz/logs)" >&2
        return 1
    fi
}

install_missing_packages
werror=OFF
[ -n "${CI:-}" ] && werror=ON

case "${1:-run}" in
test)
    generate_test_locale
    # Tests run with the address and undefined-behaviour sanitizers so that memory faults fail loudly.
    configure_and_build build-test -DCMAKE_BUILD_TYPE=Debug -DFSMITH_SANITIZE=ON -DFSMITH_WERROR="$werror"
    install_gltf_validator
    # Qt keeps per-user sockets in XDG_RUNTIME_DIR and falls back to a folder in /tmp shared by every
    # run on the machine when it is unset; the suite gets a private one.
    if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
        XDG_RUNTIME_DIR=$(mktemp -d /tmp/fieldsmith-runtime.XXXXXX)
        export XDG_RUNTIME_DIR
    fi
    start_virtual_displays "$(nproc)" "$PWD/build-test/displays.json"
    ctest --test-dir build-test --output-on-failure -j "$(nproc)" --resource-spec-file "$PWD/build-test/displays.json"
    # After the suite, alone: it downloads a Debian root and the package's dependencies (a few minutes).
    tests/install/package_check.sh build-test
    ;;
install)
    configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFSMITH_WERROR="$werror"
    prefix=${2:-/usr/local}
    # sudo only where the prefix (or the folder it will be made in) is not ours to write.
    existing=$prefix
    while [ ! -e "$existing" ]; do existing=$(dirname "$existing"); done
    sudo=()
    if [ "$(id -u)" -ne 0 ] && [ ! -w "$existing" ]; then sudo=(sudo); fi
    "${sudo[@]}" cmake --install build --prefix "$prefix"
    # Desktops find the new entry, icon and map type through their caches; where the tools are there.
    "${sudo[@]}" update-mime-database "$prefix/share/mime" >/dev/null 2>&1 || true
    "${sudo[@]}" update-desktop-database "$prefix/share/applications" >/dev/null 2>&1 || true
    echo "installed into $prefix: $prefix/bin/fieldsmith, $prefix/bin/fsmith"
    ;;
fuzz)
    run_fuzzers "${2:-60}"
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
    echo "usage: ./run.sh [test | install [PREFIX] | fuzz [SECONDS]]" >&2
    exit 2
    ;;
esac
