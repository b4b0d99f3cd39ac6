# Shared by the scripts: installing what is missing, and building.
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
JOBS=$(nproc 2>/dev/null || echo 2)
# Whatever the builds stamp with a time gets the commit's, so that a build of
# a commit is the same whenever it is made (and the checks check the very
# files scripts/release ships); a tree without git keeps the build's time.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && SOURCE_DATE_EPOCH=$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null); then
    export SOURCE_DATE_EPOCH
else
    [ -n "${SOURCE_DATE_EPOCH:-}" ] || unset SOURCE_DATE_EPOCH
fi

# Installs the Debian packages that are not installed yet when run as root;
# otherwise prints the one apt-get line to run and fails.
ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        if [ "$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null)" != "install ok installed" ]; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing: ${missing[*]}"
        apt-get update -q >/dev/null
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
    else
        echo "Missing Debian packages. Run as root:" >&2
        echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
        return 1
    fi
}

# The Debian packages each kind of work needs; the scripts that source this
# file read them (shellcheck sees that when it checks those scripts).
# shellcheck disable=SC2034
{
    BUILD_PACKAGES=(cmake make g++ libgl-dev libglu1-mesa-dev libglut-dev)
    TEST_PACKAGES=(libgtest-dev libx11-dev libxtst-dev libxdamage-dev xvfb)
    WEB_PACKAGES=(cmake make emscripten node-terser)
    # Chromium for the page's screenshot, benchmark and tests; Python serves the page.
    BROWSER_PACKAGES=(chromium python3)
    # The browser tests' other engines, on Xvfb: Firefox, and WebKitGTK's
    # WebKitWebDriver with the MiniBrowser it drives (libwebkit2gtk-4.1-0's).
    ENGINE_PACKAGES=(firefox-esr webkit2gtk-driver xvfb)
    # walker.exe: the MinGW-w64 cross compiler; Wine runs it on Xvfb.
    WINDOWS_PACKAGES=(cmake make g++-mingw-w64-x86-64-posix)
    WINE_PACKAGES=(wine64 xvfb)
    # The ARM builds: Debian's cross compilers, dpkg-dev for the packages;
    # qemu-user runs the programs on this machine.
    ARM_PACKAGES=(cmake make g++-aarch64-linux-gnu g++-arm-linux-gnueabihf dpkg-dev file qemu-user-static)
    # The presets of the ARM builds, named as Debian names the architectures.
    ARM_ARCHITECTURES=(arm64 armhf)
}

# configure_and_build PRESET [cmake options...]: the build tree build/PRESET,
# as CMakePresets.json names it. Warnings are errors in CI only, so that a
# user's build never fails on a newer compiler's new warning.
configure_and_build() {
    local preset=$1 strict=OFF
    shift
    [ "${CI:-}" = true ] && strict=ON
    (cd "$ROOT" && cmake --preset "$preset" -DWALKER_WERROR="$strict" "$@" >/dev/null &&
        cmake --build --preset "$preset" -j "$JOBS")
}

# debian_build_flags ARCH: sets DEBIAN_FLAGS to the CMake options that build
# with the flags Debian builds every package for ARCH with (dpkg-buildflags:
# optimisation and hardening, and the tree's path mapped to "." in what the
# compiler writes). Given on every configure, so that an unchanged tree
# stays built.
debian_build_flags() {
    local host=$1 cxxflags ldflags
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    cxxflags="$(cd "$ROOT" && DEB_HOST_ARCH=$host dpkg-buildflags --get CXXFLAGS) $(DEB_HOST_ARCH=$host dpkg-buildflags --get CPPFLAGS)"
    ldflags=$(DEB_HOST_ARCH=$host dpkg-buildflags --get LDFLAGS)
    # shellcheck disable=SC2034  # read by the scripts that call this
    DEBIAN_FLAGS=(-DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags")
}

# load_facts PRESET: what the build tree build/PRESET knows that the scripts
# need, as CMake wrote it: WALKER_WINDOW_TITLE, WALKER_VERSION and
# WALKER_ICON_SIZES (an array).
load_facts() {
    # shellcheck source=/dev/null
    . "$ROOT/build/$1/walker-facts.sh"
}

# The npm packages of package-lock.json (puppeteer-core, axe-core), installed
# when missing or older than the lock file. No browser is downloaded: the
# tools drive Debian's Chromium.
ensure_node_modules() {
    if ! command -v npm >/dev/null; then
        echo "Node.js with npm is needed for the page's tools and tests" >&2
        return 1
    fi
    if [ ! -f "$ROOT/node_modules/.package-lock.json" ] ||
        [ "$ROOT/package-lock.json" -nt "$ROOT/node_modules/.package-lock.json" ]; then
        (cd "$ROOT" && npm ci --no-audit --no-fund --loglevel=error)
    fi
}

# wait_for SECONDS COMMAND...: polls until the command succeeds, or fails.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        [ "$SECONDS" -ge "$deadline" ] && return 1
        sleep 0.1
    done
}

# Starts Xvfb on a free display and exports DISPLAY; stop_xvfb ends it. The
# server picks the display itself and says which once it is ready, so two
# scripts starting servers at once never race for the same number. It never
# resets: a reset when one program leaves refused the next one's connection.
start_xvfb() {
    local said number
    said=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$said" >/dev/null 2>&1 &
    XVFB_PID=$!
    wait_for 10 grep -q '[0-9]' "$said" || { rm -f "$said"; echo "Xvfb did not start" >&2; return 1; }
    number=$(tr -dc 0-9 <"$said")
    rm -f "$said"
    export DISPLAY=":$number"
}

# run_logged COMMAND...: runs it quietly; shows what it said if it fails.
run_logged() {
    local said status=0
    said=$(mktemp)
    "$@" >"$said" 2>&1 || status=$?
    [ "$status" -eq 0 ] || cat "$said" >&2
    rm -f "$said"
    return "$status"
}

# Ends a child and reaps it; never fails (a killed child's status is not an error).
end_process() {
    [ -n "${1:-}" ] || return 0
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

stop_xvfb() {
    end_process "${XVFB_PID:-}"
    XVFB_PID=""
}

# fail MESSAGE: a check's failure, named by the check (CHECK_NAME).
fail() {
    echo "${CHECK_NAME:-CHECK} FAILED: $*" >&2
    exit 1
}

# demo_wanted: whether a build script should show its program walking under
# Xvfb: only without a display of the user's, and never in a release.
demo_wanted() {
    [ -z "${DISPLAY:-}" ] && [ -z "${WALKER_BUILD_ONLY:-}" ]
}

# walk_and_screenshot PID WHAT SECONDS SHOT: waits up to SECONDS for the
# window of the program PID, lets it walk (WALKER_DEMO_SECONDS, default 3),
# and saves a screenshot of its window to SHOT.
walk_and_screenshot() {
    local pid=$1 what=$2 seconds=$3 shot=$4
    wait_for "$seconds" xwininfo -name "$WALKER_WINDOW_TITLE" || { echo "$what opened no window" >&2; return 1; }
    sleep "${WALKER_DEMO_SECONDS:-3}"  # let it walk; under an emulator its first frame comes a second or two late
    kill -0 "$pid" || { echo "$what stopped by itself" >&2; return 1; }
    import -window "$WALKER_WINDOW_TITLE" "$shot"
    echo "$what walked for ${WALKER_DEMO_SECONDS:-3}s; screenshot of its window: $shot"
}

# expect_four_lines OUT SECONDS: the program writing to the file OUT prints,
# within SECONDS, the four lines describing the OpenGL implementation.
expect_four_lines() {
    local out=$1 seconds=$2
    wait_for "$seconds" has_four_lines "$out" || fail "the installed walker did not print its four lines: $(cat "$out")"
    [ "$(cut -d' ' -f1-2 "$out" | tr '\n' ' ')" = "VENDOR : RENDERER : EXTENSIONS : VERSION : " ] ||
        fail "its lines are not the four expected: $(cat "$out")"
}

has_four_lines() {
    [ "$(wc -l <"$1")" -ge 4 ]
}

# ctest_summary PRESET PATTERN: runs ctest --preset PRESET into a log; shows
# all of it on a failure, and otherwise only its lines matching PATTERN.
ctest_summary() {
    local log status=0
    log=$(mktemp)
    (cd "$ROOT" && ctest --preset "$1") >"$log" 2>&1 || status=$?
    if [ "$status" -eq 0 ]; then
        grep -E "$2" "$log" || true
    else
        cat "$log"
    fi
    rm -f "$log"
    return "$status"
}
