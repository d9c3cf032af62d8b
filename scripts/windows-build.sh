#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program, built and run here: Qt 6.4.2 (the Qt the Linux build
# uses) cross-built with MinGW-w64 from Debian's own source, TELKARO built
# with it, its tests and the program run under Wine, the installer made,
# installed and removed again. Run as root; see the README's Windows section.
#
#   scripts/windows-build.sh [--preflight] [--qt-only] [--cache DIR] [--serialport-source SRC]
#                            [--svg-source SRC] [--assay-screenshot]
#
#   --preflight               install the packages and check that every program
#                             the script runs is there, nothing else (a minute)
#   --qt-only                 build (or check) the Windows Qt, with Qt SVG,
#                             nothing else
#   --cache DIR               where that Qt is kept (TELKARO_WINDOWS_QT_CACHE;
#                             default ~/.cache/telkaro/windows-qt-6.4.2)
#   --serialport-source SRC   Qt Serial Port 6.4.2 where the apt sources do not
#                             serve it: a source folder, a tarball, or a git
#                             repository holding the tag v6.4.2
#                             (TELKARO_QTSERIALPORT_SOURCE)
#   --svg-source SRC          Qt SVG 6.4.2 likewise (TELKARO_QTSVG_SOURCE)
#   --assay-screenshot        copy the screenshot of telkaro-assay.exe's window
#                             (always left in build-windows/) to
#                             docs/screenshot-assay-windows.png
#
# One line per step; exit 0 only when every step holds.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)

qt_version=6.4.2
qt_only=0
preflight_only=0
cache=${TELKARO_WINDOWS_QT_CACHE:-$HOME/.cache/telkaro/windows-qt-$qt_version}
serialport_source=${TELKARO_QTSERIALPORT_SOURCE:-}
serialport_ref=${TELKARO_QTSERIALPORT_REF:-v$qt_version}
svg_source=${TELKARO_QTSVG_SOURCE:-}
svg_ref=${TELKARO_QTSVG_REF:-v$qt_version}
assay_screenshot=0

usage() { sed -n '8,26p' "$0" | sed 's/^# \{0,1\}//'; }
while (($#)); do
    case $1 in
        --preflight) preflight_only=1 ;;
        --qt-only) qt_only=1 ;;
        --cache) cache=${2:?--cache needs a folder}; shift ;;
        --serialport-source) serialport_source=${2:?--serialport-source needs a path}; shift ;;
        --svg-source) svg_source=${2:?--svg-source needs a path}; shift ;;
        --assay-screenshot) assay_screenshot=1 ;;
        -h | --help) usage; exit 0 ;;
        *) echo "windows-build.sh: unknown option $1" >&2; usage >&2; exit 2 ;;
    esac
    shift
done
if [ "$(id -u)" -ne 0 ]; then
    echo "windows-build.sh: run it as root (it installs packages and may add a deb-src entry)" >&2
    exit 2
fi

log_dir=$top/build-windows/logs
mkdir -p "$log_dir"
summary=()
failed=0
# step NAME RESULT: the step's one line, kept for the summary at the end.
step() {
    local line
    line=$(printf '%-12s %s' "$1" "$2")
    summary+=("$line")
    echo "== $line"
}
fail() { step "$1" "FAILED: $2"; failed=1; }
die() { fail "$1" "$2"; finish; }
finish() {
    echo
    echo "Summary:"
    printf '  %s\n' "${summary[@]}"
    if ((failed)); then echo "Windows check: FAILED"; exit 1; fi
    echo "Windows check: every step holds"
    exit 0
}

# --- Packages -------------------------------------------------------------
# Every program this script runs, and the package that brings it (read off
# with dpkg -S on a machine that has them all). Wine's launchers (wine,
# wineboot, winepath, wineserver) come with "wine"; "wine64" alone has none.
commands=(
    wine:wine wineboot:wine winepath:wine wineserver:wine
    x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix
    x86_64-w64-mingw32-objdump:binutils-mingw-w64-x86-64
    cmake:cmake ctest:cmake cpack:cmake ninja:ninja-build makensis:nsis
    Xvfb:xvfb import:imagemagick identify:imagemagick xdotool:xdotool pgrep:procps git:git dpkg-source:dpkg-dev
    apt-get:apt dpkg-query:dpkg
    awk:mawk sed:sed grep:grep tar:tar find:findutils xargs:findutils diff:diffutils cmp:diffutils
    cat:coreutils chmod:coreutils cut:coreutils du:coreutils head:coreutils ln:coreutils
    ls:coreutils mkdir:coreutils mkfifo:coreutils mktemp:coreutils mv:coreutils rm:coreutils
    seq:coreutils sha256sum:coreutils sleep:coreutils sort:coreutils timeout:coreutils
    touch:coreutils tr:coreutils wc:coreutils basename:coreutils dirname:coreutils id:coreutils
)
# What the builds run themselves, by its path: Qt's host tools.
tools=(
    /usr/lib/qt6/libexec/moc:qt6-base-dev-tools /usr/lib/qt6/libexec/rcc:qt6-base-dev-tools
    /usr/lib/qt6/libexec/uic:qt6-base-dev-tools /usr/lib/qt6/libexec/syncqt.pl:qt6-base-dev-tools
    /usr/lib/qt6/libexec/qlalr:qt6-base-dev-tools /usr/lib/qt6/libexec/tracegen:qt6-base-dev-tools
    /usr/lib/qt6/bin/lrelease:qt6-l10n-tools /usr/lib/qt6/bin/lupdate:qt6-l10n-tools
    /usr/bin/perl:perl
)
# What the builds read: the host Qt with Qt SVG, Qt's translations, fonts for
# the windows, Eigen's headers and muparser (the versions of qt6-base-dev,
# qt6-svg-dev and libmuparser-dev name the sources to build).
packages=(qt6-base-dev qt6-svg-dev qt6-tools-dev-tools qt6-translations-l10n fonts-dejavu-core fonts-liberation
          libeigen3-dev libmuparser-dev)
for entry in "${commands[@]}" "${tools[@]}"; do packages+=("${entry##*:}"); done
mapfile -t packages < <(printf '%s\n' "${packages[@]}" | sort -u)

# Every program above is there: prints what is missing, with its package.
preflight() {
    local entry missing=0
    for entry in "${commands[@]}"; do
        if ! command -v "${entry%%:*}" > /dev/null; then
            echo "  missing: ${entry%%:*} (package ${entry##*:})"
            missing=$((missing + 1))
        fi
    done
    for entry in "${tools[@]}"; do
        if [ ! -x "${entry%:*}" ]; then
            echo "  missing: ${entry%:*} (package ${entry##*:})"
            missing=$((missing + 1))
        fi
    done
    ((missing == 0))
}

start=$SECONDS
scripts/install-packages.sh "${packages[@]}" > "$log_dir/packages.log" 2>&1 ||
    die packages "see $log_dir/packages.log"
step packages "installed ($((SECONDS - start)) s)"
if preflight > "$log_dir/preflight.log"; then
    step preflight "all ${#commands[@]} programs on PATH and ${#tools[@]} build tools there"
else
    cat "$log_dir/preflight.log"
    die preflight "$(grep -c missing "$log_dir/preflight.log") programs missing, see $log_dir/preflight.log"
fi
if ((preflight_only)); then finish; fi

# --- Qt for Windows -------------------------------------------------------
toolchain=$top/cmake/mingw-w64-x86_64.cmake
qt=$cache/qt
# What the program does not use is left out. Debian's source lacks
# src/3rdparty/wintab (tablet input: tabletevent off) and
# src/3rdparty/iaccessible2 (the old MSAA bridge; accessibility itself goes
# through UI Automation, which needs neither).
qt_options=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no
    -DFEATURE_tabletevent=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_printsupport=ON
    -DFEATURE_vulkan=OFF -DFEATURE_accessibility=ON
)

# A deb-src entry beside each deb entry of the machine's own apt sources,
# when there is none: same URIs, suites and components.
ensure_deb_src() {
    if grep -qsE '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
        /etc/apt/sources.list.d/*.sources; then
        return
    fi
    local out=/etc/apt/sources.list.d/telkaro-deb-src.sources
    : > "$out.new"
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        awk 'BEGIN { RS = ""; ORS = "\n\n" }
             /(^|\n)Types:[^\n]*deb/ && !/(^|\n)Enabled:[[:space:]]*no/ {
                 sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' "$f" >> "$out.new"
    done
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" > "${out%.sources}.list.new"
    done
    if [ -s "$out.new" ]; then mv "$out.new" "$out"; else rm -f "$out.new"; fi
    if [ -s "${out%.sources}.list.new" ]; then mv "${out%.sources}.list.new" "${out%.sources}.list"; else rm -f "${out%.sources}.list.new"; fi
    echo "added deb-src entries for the machine's own apt sources"
    apt-get update -qq
}

# The source of Qt Serial Port: from the apt sources, else from what
# --serialport-source names. Prints the folder it is in.
find_serialport() {
    local into=$1 src=$serialport_source
    local earlier
    earlier=$(ls -d "$into"/qt6-serialport-*/ "$into"/qtserialport/ 2> /dev/null | head -n 1)
    if [ -n "$earlier" ] && [ -f "$earlier/CMakeLists.txt" ]; then
        echo "${earlier%/}"
        return
    fi
    if (cd "$into" && apt-get source -qq "qt6-serialport=$(source_version qt6-serialport-dev)") >/dev/null 2>&1; then
        ls -d "$into"/qt6-serialport-*/ | head -n 1
        return
    fi
    if [ -z "$src" ]; then
        echo "Qt Serial Port's source is not served by the apt sources here: name a folder, tarball or" \
            "git repository of Qt's qtserialport (tag v$qt_version) with --serialport-source or" \
            "TELKARO_QTSERIALPORT_SOURCE" >&2
        return 1
    fi
    if [ -f "$src/CMakeLists.txt" ]; then
        (cd "$src" && pwd)
    elif [ -f "$src" ]; then
        mkdir -p "$into/qtserialport"
        tar -xf "$src" -C "$into/qtserialport" --strip-components=1
        echo "$into/qtserialport"
    elif git --git-dir="$src" rev-parse -q --verify "$serialport_ref^{commit}" >/dev/null 2>&1 ||
        git -C "$src" rev-parse -q --verify "$serialport_ref^{commit}" >/dev/null 2>&1; then
        local gd=$src
        [ -d "$src/.git" ] && gd=$src/.git
        mkdir -p "$into/qtserialport"
        git --git-dir="$gd" archive "$serialport_ref" | tar -x -C "$into/qtserialport"
        echo "$into/qtserialport"
    else
        echo "$src is neither a Qt Serial Port source folder, a tarball, nor a git repository with $serialport_ref" >&2
        return 1
    fi
}
source_version() { dpkg-query -W -f='${source:Version}' "$1"; }
# A fingerprint of a source folder's files.
tree_hash() { (cd "$1" && find . -type f ! -path './.git/*' -print0 | LC_ALL=C sort -z | xargs -0 sha256sum | sha256sum | cut -c1-64); }

# Every command checked: a function called before "||" runs without set -e.
build_qt() {
    local src=$cache/src qtbase_version serialport
    qtbase_version=$(source_version qt6-base-dev)
    if ! ls "$src"/qt6-base_"${qtbase_version#*:}".dsc > /dev/null 2>&1; then
        rm -rf "$src" && mkdir -p "$src" || return 1
        ensure_deb_src || return 1
        (cd "$src" && apt-get source -qq "qt6-base=$qtbase_version") || {
            echo "apt-get source qt6-base=$qtbase_version failed" >&2
            return 1
        }
    fi
    local qtbase
    qtbase=$(ls -d "$src"/qt6-base-*/ | head -n 1)
    serialport=$(find_serialport "$src") || return 1
    echo "qtbase: $qtbase"
    echo "qtserialport: $serialport"
    local key
    key=$(wanted_key "$qtbase" "$serialport") || return 1
    # A build folder left by an interrupted or failed run of the same sources
    # and options goes on where it stopped; any other is started afresh.
    if [ "$(cat "$cache/build/key" 2> /dev/null)" != "$key" ]; then
        rm -rf "$cache/build" && mkdir -p "$cache/build" && echo "$key" > "$cache/build/key" || return 1
    fi
    rm -rf "$qt" "$cache/key"
    cmake -S "$qtbase" -B "$cache/build/qtbase" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_INSTALL_PREFIX="$qt" "${qt_options[@]}" || return 1
    cmake --build "$cache/build/qtbase" || return 1
    cmake --install "$cache/build/qtbase" || return 1
    "$qt/bin/qt-cmake" -S "$serialport" -B "$cache/build/qtserialport" -G Ninja \
        -DCMAKE_BUILD_TYPE=Release || return 1
    cmake --build "$cache/build/qtserialport" || return 1
    cmake --install "$cache/build/qtserialport" || return 1
    echo "$key" > "$cache/key" && rm -rf "$cache/build"
}
# What the cached Qt was made from: the sources, the options, the compiler
# and the toolchain file. A cache whose key differs is rebuilt.
wanted_key() {
    {
        echo "qtbase $(tree_hash "$1")"
        echo "qtserialport $(tree_hash "$2")"
        printf '%s\n' "${qt_options[@]}"
        x86_64-w64-mingw32-g++-posix --version | head -n 1
        sha256sum < "$toolchain"
        sed -n '/^# --- Qt for Windows/,/^# --- End of Qt/p' "$0" | sha256sum
    } | sha256sum | cut -c1-64
}
qt_is_current() {
    [ -x "$qt/bin/qt-cmake" ] && [ -f "$cache/key" ] && [ -d "$cache/src" ] || return 1
    local qtbase serialport
    qtbase=$(ls -d "$cache"/src/qt6-base-*/ 2>/dev/null | head -n 1)
    serialport=$(ls -d "$cache"/src/qt6-serialport-*/ "$cache"/src/qtserialport/ 2>/dev/null | head -n 1)
    if [ -z "$serialport" ] && [ -n "$serialport_source" ] && [ -f "$serialport_source/CMakeLists.txt" ]; then
        serialport=$serialport_source
    fi
    [ -n "$qtbase" ] && [ -n "$serialport" ] || return 1
    [ "$(cat "$cache/key")" = "$(wanted_key "$qtbase" "$serialport")" ]
}
# --- End of Qt ------------------------------------------------------------

start=$SECONDS
if qt_is_current; then
    step qt "Qt $qt_version for Windows from the cache $cache"
else
    echo "Building Qt $qt_version for Windows into $cache (about an hour on two cores; log: $log_dir/qt.log)"
    mkdir -p "$cache"
    build_qt > "$log_dir/qt.log" 2>&1 || die qt "see $log_dir/qt.log"
    step qt "Qt $qt_version for Windows built in $(((SECONDS - start) / 60)) min into $cache"
fi

# --- Qt SVG for Windows -----------------------------------------------------
# QSvgRenderer, which telkaro-assay draws its plate map and curve with: Debian's
# qt6-svg source (the version of qt6-svg-dev) built against the Windows qtbase
# above and installed into its prefix, under a key of its own that takes in
# qtbase's: a cache made before Qt SVG was wanted gets it added, qtbase stays.
# Where the apt sources do not serve its tarball, from the folder, tarball or
# git repository (tag v6.4.2) that --svg-source names.
svg_src=$cache/svg-src
svg_key_file=$cache/svg-key
svg_options=(-DCMAKE_BUILD_TYPE=Release -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF)
# The source kept in the cache, or the folder --svg-source names.
svg_folder() {
    local earlier
    earlier=$(ls -d "$svg_src"/qt6-svg-*/ "$svg_src"/qtsvg/ 2> /dev/null | head -n 1)
    if [ -n "$earlier" ] && [ -f "$earlier/CMakeLists.txt" ]; then
        echo "${earlier%/}"
    elif [ -n "$svg_source" ] && [ -f "$svg_source/CMakeLists.txt" ]; then
        (cd "$svg_source" && pwd)
    else
        return 1
    fi
}
# Prints the folder of the source, fetched or unpacked into the cache first
# when there is none.
find_svg() {
    local folder src=$svg_source
    if folder=$(svg_folder); then
        echo "$folder"
        return
    fi
    rm -rf "$svg_src" && mkdir -p "$svg_src" || return 1
    ensure_deb_src >&2 || return 1
    if (cd "$svg_src" && apt-get source -qq "qt6-svg=$(source_version qt6-svg-dev)") > /dev/null 2>&1; then
        ls -d "$svg_src"/qt6-svg-*/ | head -n 1
        return
    fi
    if [ -z "$src" ]; then
        echo "Qt SVG's source is not served by the apt sources here: name a folder, tarball or git" \
            "repository of Qt's qtsvg (tag v$qt_version) with --svg-source or TELKARO_QTSVG_SOURCE" >&2
        return 1
    fi
    mkdir -p "$svg_src/qtsvg" || return 1
    if [ -f "$src" ]; then
        tar -xf "$src" -C "$svg_src/qtsvg" --strip-components=1 || return 1
    elif git --git-dir="$src" rev-parse -q --verify "$svg_ref^{commit}" > /dev/null 2>&1 ||
        git -C "$src" rev-parse -q --verify "$svg_ref^{commit}" > /dev/null 2>&1; then
        local gd=$src
        [ -d "$src/.git" ] && gd=$src/.git
        git --git-dir="$gd" archive "$svg_ref" | tar -x -C "$svg_src/qtsvg" || return 1
    else
        echo "$src is neither a Qt SVG source folder, a tarball, nor a git repository with $svg_ref" >&2
        return 1
    fi
    echo "$svg_src/qtsvg"
}
svg_key() {
    {
        cat "$cache/key"
        echo "qtsvg $(tree_hash "$1")"
        printf '%s\n' "${svg_options[@]}"
        x86_64-w64-mingw32-g++-posix --version | head -n 1
        sed -n '/^# --- Qt SVG for Windows/,/^# --- End of Qt SVG/p' "$0" | sha256sum
    } | sha256sum | cut -c1-64
}
svg_is_current() {
    local source
    [ -f "$qt/bin/Qt6Svg.dll" ] && [ -f "$svg_key_file" ] && source=$(svg_folder) || return 1
    [ "$(cat "$svg_key_file")" = "$(svg_key "$source")" ]
}
build_svg() {
    local source
    source=$(find_svg) || return 1
    rm -rf "$cache/build-svg" "$svg_key_file" || return 1
    case $source in
        "$svg_src"/qt6-svg-*) echo "qtsvg from: Debian's source (qt6-svg $(source_version qt6-svg-dev))" ;;
        "$svg_src"/qtsvg) echo "qtsvg from: ${svg_source:+$svg_ref of }${svg_source:-$source}" ;;
        *) echo "qtsvg from: $source" ;;
    esac
    # The toolchain qt-cmake loads is named here: the one qtbase was configured
    # with may be in a checkout that is no longer there.
    "$qt/bin/qt-cmake" -S "$source" -B "$cache/build-svg" -G Ninja -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" \
        "${svg_options[@]}" || return 1
    cmake --build "$cache/build-svg" && cmake --install "$cache/build-svg" || return 1
    svg_key "$source" > "$svg_key_file" && rm -rf "$cache/build-svg"
}
# --- End of Qt SVG ----------------------------------------------------------

start=$SECONDS
if svg_is_current; then
    step svg "Qt SVG $qt_version for Windows from the cache $cache"
else
    build_svg > "$log_dir/svg.log" 2>&1 || die svg "see $log_dir/svg.log"
    step svg "Qt SVG $qt_version for Windows built in $((SECONDS - start)) s from $(sed -n 's/^qtsvg from: //p' "$log_dir/svg.log")"
fi
if ((qt_only)); then finish; fi

# --- Eigen and muparser for Windows ---------------------------------------
# Eigen is header-only: its headers and CMake package, as Debian ships them.
# muparser is built from Debian's source, as a static library (no DLL beside
# the program), with wide strings, as Qt's _UNICODE makes its headers expect. Installed into the Windows Qt's prefix, which the build
# searches already, under a key of their own.
deps=$qt
deps_key_file=$cache/deps-key
deps_key() {
    {
        dpkg-query -W -f='${Version}\n' libeigen3-dev libmuparser-dev
        x86_64-w64-mingw32-g++-posix --version | head -n 1
        sha256sum < "$toolchain"
        sed -n '/^# --- Eigen and muparser/,/^# --- End of Eigen/p' "$0" | sha256sum
    } | sha256sum | cut -c1-64
}
build_deps() {
    rm -rf "$cache/muparser" "$deps_key_file" && mkdir -p "$deps/include" "$deps/share" "$cache/muparser" || return 1
    cp -r /usr/include/eigen3 "$deps/include/" && cp -r /usr/share/eigen3 "$deps/share/" || return 1
    ensure_deb_src || return 1
    (cd "$cache/muparser" && apt-get source -qq "muparser=$(source_version libmuparser-dev)") || return 1
    local source
    source=$(ls -d "$cache"/muparser/muparser-*/ | head -n 1)
    cmake -S "$source" -B "$cache/muparser/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DENABLE_OPENMP=OFF \
        -DENABLE_SAMPLES=OFF -DENABLE_WIDE_CHAR=ON -DCMAKE_INSTALL_PREFIX="$deps" || return 1
    cmake --build "$cache/muparser/build" && cmake --install "$cache/muparser/build" || return 1
    rm -rf "$cache/muparser" && deps_key > "$deps_key_file"
}
# --- End of Eigen and muparser ----------------------------------------------

start=$SECONDS
if [ -f "$deps/lib/libmuparser.a" ] && [ "$(cat "$deps_key_file" 2> /dev/null)" = "$(deps_key)" ]; then
    step deps "Eigen and muparser for Windows from the cache $deps"
else
    build_deps > "$log_dir/deps.log" 2>&1 || die deps "see $log_dir/deps.log"
    step deps "Eigen (headers) and muparser (static, from Debian's source) built in $((SECONDS - start)) s"
fi

# --- TELKARO for Windows ----------------------------------------------------
work=$(mktemp -d /tmp/telkaro-windows.XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine names files in the Unix locale's character set: without a UTF-8 one
# (a bare system's C locale) the Cyrillic shortcut names cannot be written.
export LC_ALL=C.UTF-8
xvfb_pid="" instrument_pid="" control_pid=""
cleanup() {
    wineserver -k 2> /dev/null || true
    for pid in $instrument_pid $control_pid $xvfb_pid; do kill "$pid" 2> /dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'echo "windows-build.sh: interrupted" >&2; exit 130' INT TERM

wbuild=$top/build-windows/telkaro
stage=$top/build-windows/stage
# Runs a Windows program of the build under Wine, with Qt's and MinGW's
# libraries on its path. QtTest's own output does not reach a redirected
# standard output under Wine, so a test writes it to a file, shown after.
emulator=$top/build-windows/wine-run
cat > "$emulator" << 'EOS'
#!/usr/bin/env bash
exe=$1
shift
case ${exe##*/} in
test_*)
    out=$(mktemp --suffix=.txt)
    wine "$exe" "$@" -o "$(winepath -w "$out")",txt
    rc=$?
    tr -d '\r' < "$out"
    rm -f "$out"
    exit $rc
    ;;
esac
exec wine "$exe" "$@"
EOS
chmod +x "$emulator"
# A display for the windows, and a Wine prefix of this run's own on it.
# Xvfb picks a display no other X server has and names it once it takes
# connections: a number guessed here could be another session's server.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3> "$work/display" > "$log_dir/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || die wine "Xvfb did not start, see $log_dir/xvfb.log"
display=:$(head -n 1 "$work/display")
export DISPLAY=$display
# The display first, before any Wine command (winepath below too): the first
# one makes the prefix and its desktop, which stays while programs follow it
# closely, and a desktop made without a display gives them Wine's null
# display (1024x768), on which the tests' windows cannot be made and
# telkaro-assay.exe sizes its window for a screen that is not there.
wineboot -i > "$log_dir/wineboot.log" 2>&1 || die wine "wineboot failed, see $log_dir/wineboot.log"

mingw_dlls=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
WINEPATH="$(winepath -w "$qt/bin" 2> /dev/null || echo "Z:${qt//\//\\}\\bin");Z:${mingw_dlls//\//\\};Z:\\usr\\x86_64-w64-mingw32\\lib"
export WINEPATH

start=$SECONDS
{
    cmake -S "$top" -B "$wbuild" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DTELKARO_WINDOWS_QT="$qt" -DCMAKE_PREFIX_PATH="$qt" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_BUILD_TYPE=Release -DTELKARO_WERROR=ON -DTELKARO_BUILD_TESTS=ON \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" &&
        cmake --build "$wbuild"
} > "$log_dir/build.log" 2>&1 || die build "see $log_dir/build.log"
step build "telkaro.exe, telkaro-read.exe and telkaro-assay.exe built with warnings as errors ($((SECONDS - start)) s)"

# --- Installed files and their imports
start=$SECONDS
rm -rf "$stage"
cmake --install "$wbuild" --prefix "$stage" > "$log_dir/install.log" 2>&1 || die install "see $log_dir/install.log"
# A DLL is there when it is beside the program, or one of Windows' own:
# in the prefix's system32, among Wine's built-in DLLs, or an API set
# (api-ms-win-*), which Windows' loader resolves without a file.
system32=$WINEPREFIX/drive_c/windows/system32
builtin=$(dirname "$(find /usr/lib/x86_64-linux-gnu/wine /usr/lib/wine -name kernel32.dll -path '*x86_64-windows*' -print -quit 2> /dev/null)")
missing=()
while IFS= read -r binary; do
    while IFS= read -r dll; do
        case ${dll,,} in api-ms-win-* | ext-ms-win-*) continue ;; esac
        found=$(find "$stage/bin" "$system32" "$builtin" -maxdepth 1 -iname "$dll" -print -quit)
        [ -n "$found" ] || missing+=("${binary#"$stage"/}: $dll")
    done < <(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^\s*DLL Name: //p')
done < <(find "$stage/bin" -iname '*.exe' -o -iname '*.dll')
for file in TELKARO.md translations/qtbase_ru.qm translations/qtserialport_ru.qm platforms/qwindows.dll \
    assays/hcv-screen.assay.json assays/hcv-screen.dat assays/ferritin-4pl.assay.json assays/ferritin-4pl.dat; do
    [ -f "$stage/bin/$file" ] || missing+=("bin/$file")
done
if ((${#missing[@]})); then
    printf '  missing: %s\n' "${missing[@]}" > "$log_dir/imports.log"
    fail install "$(wc -l < "$log_dir/imports.log") files missing, see $log_dir/imports.log"
else
    step install "every import of $(find "$stage/bin" -iname '*.exe' -o -iname '*.dll' | wc -l) executables and libraries is there"
fi

# --- The command line, as on Linux
host=$top/build-windows/host
cmake -S "$top" -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTELKARO_BUILD_TESTS=OFF \
    > "$log_dir/host.log" 2>&1 && cmake --build "$host" --target telkaro telkaro-instrument telkaro-read telkaro-assay >> "$log_dir/host.log" 2>&1 ||
    die host "the Linux build for comparison failed, see $log_dir/host.log"
# telkaro.exe and telkaro-assay.exe, both GUI programs: what they print when
# their output is redirected.
same=1
for program in telkaro telkaro-assay; do
    tag=${program#telkaro}
    for option in --version --help; do
        wine "$stage/bin/$program.exe" "$option" > "$work/win$tag$option" 2> /dev/null || true
        "$host/$program" "$option" > "$work/linux$tag$option" 2> /dev/null || true
        # Qt's help option is also -? on Windows, which widens the first column
        # and so moves the line breaks: the words are compared.
        if ! diff <(tr -d '\r' < "$work/win$tag$option" | sed 's/^  -?, /  /' | tr -s ' \n' '\n') \
            <(tr -s ' \n' '\n' < "$work/linux$tag$option") > "$log_dir/command-line$tag$option.diff" ||
            [ ! -s "$work/linux$tag$option" ]; then
            same=0
        fi
    done
done
if ((same)); then
    step options "telkaro.exe and telkaro-assay.exe: --version and --help print what the Linux build prints"
else
    fail options "output differs from Linux, see $log_dir/command-line-*.diff"
fi

# --- telkaro-read.exe: a console program without Qt Gui, the same command
# line and the same converted files as on Linux, data on standard output
# byte for byte (no CR added before LF)
reader_exe=$stage/bin/telkaro-read.exe
reader_faults=()
# (objdump's output kept whole: grep -q would end the pipe early.)
reader_headers=$(x86_64-w64-mingw32-objdump -p "$reader_exe" 2>&1 || true)
grep -q 'Subsystem.*(Windows CUI)' <<< "$reader_headers" || reader_faults+=("not a console program")
grep -q 'DLL Name: Qt6Core' <<< "$reader_headers" || reader_faults+=("no Qt6Core import: objdump failed?")
if grep -qE 'DLL Name: Qt6(Gui|Widgets)' <<< "$reader_headers"; then
    reader_faults+=("imports Qt Gui or Qt Widgets")
fi
for option in --version --help; do
    wine "$reader_exe" "$option" > "$work/reader-win$option" 2> /dev/null || true
    "$host/telkaro-read" "$option" > "$work/reader-linux$option" 2> /dev/null || true
    cmp -s "$work/reader-win$option" "$work/reader-linux$option" ||
        reader_faults+=("$option differs from Linux")
done
printf '1,234\t0,056\t\r\n0,001\t2,000\t\r\n0,002\t0,003\t\r\n0,004\t0,005\t\r\n0,006\t0,007\t\r\n0,008\t0,009\t\r\n0,010\t0,011\t\r\n0,012\tA,BCD\t\r\n' > "$work/plate.dat"
touch -d '2026-01-02 03:04:05 UTC' "$work/plate.dat"
for format in dat csv json; do
    wine "$reader_exe" convert "$(winepath -w "$work/plate.dat")" --format "$format" > "$work/win.$format" 2> /dev/null ||
        reader_faults+=("convert to $format failed")
    "$host/telkaro-read" convert "$work/plate.dat" --format "$format" > "$work/linux.$format" 2> /dev/null || true
    # JSON says when the run started: the rest must match.
    cmp -s <(grep -v '"started"' "$work/win.$format") <(grep -v '"started"' "$work/linux.$format") ||
        reader_faults+=("convert to $format differs from Linux")
done
cmp -s "$work/win.dat" "$work/plate.dat" || reader_faults+=("the .dat on standard output is not the file byte for byte")
# An example kit's analysis: the same results as on Linux.
for kit in hcv-screen ferritin-4pl; do
    wine "$reader_exe" analyze --assay "$(winepath -w "$top/examples/$kit.assay.json")" \
        "$(winepath -w "$top/examples/$kit.dat")" --format csv > "$work/win-$kit.csv" 2> /dev/null ||
        reader_faults+=("analyze $kit failed")
    "$host/telkaro-read" analyze --assay "$top/examples/$kit.assay.json" "$top/examples/$kit.dat" \
        --format csv > "$work/linux-$kit.csv" 2> /dev/null || true
    cmp -s "$work/win-$kit.csv" "$work/linux-$kit.csv" ||
        reader_faults+=("analyze $kit differs from Linux")
done
reader_rc=0
wine "$reader_exe" --strips 13 measure > /dev/null 2>&1 || reader_rc=$?
((reader_rc == 2)) || reader_faults+=("--strips 13 ended with $reader_rc, not 2")
if ((${#reader_faults[@]})); then
    fail reader "$(IFS=';'; echo "${reader_faults[*]}")"
else
    step reader "telkaro-read.exe: a console program without Qt Gui; --version, --help, convert to dat, csv and json and both example kits' analyses as on Linux, byte for byte; exit 2 on a bad value"
fi

# --- Tests under Wine
start=$SECONDS
(cd "$wbuild" && ctest --output-on-failure --timeout 300) > "$log_dir/tests.log" 2>&1 || true
summary_line=$(grep -E '^[0-9]+% tests passed' "$log_dir/tests.log" || echo "no summary")
if grep -qE '^100% tests passed' "$log_dir/tests.log"; then
    step tests "$summary_line under Wine ($((SECONDS - start)) s)"
else
    fail tests "$summary_line, see $log_dir/tests.log"
fi

# --- End to end: the virtual instrument on a pseudo-terminal as COM5
start=$SECONDS
mkfifo "$work/control"
sleep 100000 > "$work/control" &
control_pid=$!
"$host/telkaro-instrument" --measure-ms 1000 --log "$work/wire.log" < "$work/control" > "$work/pty" 2>&1 &
instrument_pid=$!
for _ in $(seq 50); do [ -s "$work/pty" ] && break; sleep 0.1; done
pty=$(head -n 1 "$work/pty")
ln -sf "$pty" "$WINEPREFIX/dosdevices/com5"
probe=$top/build-windows/comm_probe.exe
x86_64-w64-mingw32-g++-posix -O2 -Wall -Wextra -Werror -static -o "$probe" "$top/tools/wine/comm_probe.cpp" ||
    die e2e "the probe did not build"
probe_rc=0
wine "$probe" COM5 > "$log_dir/probe.log" 2>&1 || probe_rc=$?
: > "$work/wire.log"
wine "$stage/bin/telkaro.exe" --port COM5 > "$work/e2e.out" 2> "$work/e2e.err" &
# The polls, byte for byte: "E" CR LF every half second.
polls=0
for _ in $(seq 60); do
    polls=$(grep -c '^RX .* E\\r\\n$' "$work/wire.log" || true)
    ((polls >= 8)) && break
    sleep 0.5
done
others=$(grep '^RX ' "$work/wire.log" | grep -vc ' E\\r\\n$' || true)
import -window root "$top/build-windows/screenshot-windows.png" 2> /dev/null || true
# The diagnoses of Windows' own errors: a port that is not there, and COM5
# while the program above holds it.
diagnosis() {
    QT_QPA_PLATFORM=offscreen timeout 20 wine "$stage/bin/telkaro.exe" --port "$1" > /dev/null 2> "$work/diagnosis" &
    local pid=$! line=""
    for _ in $(seq 40); do
        line=$(grep -m 1 'cannot open port' "$work/diagnosis" | tr -d '\r') && [ -n "$line" ] && break
        sleep 0.25
    done
    kill "$pid" 2> /dev/null || true
    wait "$pid" 2> /dev/null || true
    echo "$line"
}
missing_port=$(diagnosis COM9)
busy_port=$(diagnosis COM5)
# Windows refuses a second open of a COM port (access denied, which the
# program calls "in use"); Wine lets it through, so that case can only be
# seen on Windows itself.
if [[ $busy_port == *'"COM5": in use by another program' ]]; then
    busy="COM5 held by the program: in use by another program"
elif [ -z "$busy_port" ]; then
    busy="COM5 held by the program: Wine opens it a second time, so \"in use\" is unchecked"
else
    busy="COM5 held by the program: '$busy_port'"
fi
if [[ $missing_port == *'"COM9": no such port' && $busy != *"'"* ]]; then
    step diagnoses "COM9: no such port; $busy"
else
    fail diagnoses "COM9: '$missing_port'; $busy"
fi
if ((probe_rc == 0)); then
    receive="the receive path works under this Wine"
else
    receive="receive path unchecked: under this Wine the comm event never reaches the completion port (see $log_dir/probe.log)"
fi
if grep -q "cannot open port" "$work/e2e.err"; then
    fail e2e "COM5 did not open: $(head -n 1 "$work/e2e.err")"
elif ((polls >= 8 && others == 0)); then
    step e2e "COM5 opened, $polls polls \"E\" CR LF byte for byte; $receive"
else
    fail e2e "$polls polls and $others other lines on the line, see $work/wire.log"
fi

# --- The window position in Wine's registry, stored and restored
key='HKCU\Software\TELKARO\TELKARO\Settings'
close_program() {
    wine taskkill /im telkaro.exe > /dev/null 2>&1 || true
    for _ in $(seq 50); do pgrep -f 'telkaro.exe' > /dev/null || return 0; sleep 0.2; done
    wine taskkill /f /im telkaro.exe > /dev/null 2>&1 || true
}
close_program
first=$(wine reg query "$key" 2> /dev/null | tr -d '\r' || true)
wine reg add "$key" /v MainLeft /d 3000 /f > /dev/null 2>&1 || true
wine reg add "$key" /v MainTop /d 2250 /f > /dev/null 2>&1 || true
wine "$stage/bin/telkaro.exe" --port COM5 > /dev/null 2>&1 &
sleep 4
close_program
again=$(wine reg query "$key" 2> /dev/null | tr -d '\r' || true)
if grep -q 'MainLeft.*REG_SZ' <<< "$first" && grep -q 'MainLeft.*REG_SZ.*3000$' <<< "$again" &&
    grep -q 'MainTop.*REG_SZ.*2250$' <<< "$again"; then
    step position "stored under $key ($(grep -o 'MainLeft.*' <<< "$first" | tr -s ' ')), restored at the next start"
else
    printf 'after the first run:\n%s\nafter the second:\n%s\n' "$first" "$again" > "$log_dir/position.log"
    fail position "see $log_dir/position.log"
fi

# --- telkaro-read.exe on COM5: it polls byte for byte; under a Wine whose
# receive path is blocked it can only time out (exit 4)
: > "$work/wire.log"
reader_rc=0
timeout 60 wine "$reader_exe" --port COM5 --timeout 3 status > "$work/reader-status.out" 2> "$work/reader-status.err" ||
    reader_rc=$?
reader_polls=$(grep -c '^RX .* E\\r\\n$' "$work/wire.log" || true)
reader_others=$(grep '^RX ' "$work/wire.log" | grep -vc ' E\\r\\n$' || true)
if ((reader_rc == 0)) && grep -q '^ready' "$work/reader-status.out"; then
    step reader-e2e "telkaro-read.exe status on COM5: ready after $reader_polls polls"
elif ((reader_rc == 4 && reader_polls >= 3 && reader_others == 0 && probe_rc != 0)); then
    step reader-e2e "telkaro-read.exe status on COM5: $reader_polls polls \"E\" CR LF byte for byte, then exit 4 after its 3 s timeout, as it must while this Wine delivers no received byte"
else
    fail reader-e2e "exit $reader_rc, $reader_polls polls, $reader_others other lines; see $work/reader-status.err"
fi

# --- telkaro-assay.exe: the example HCV kit's plate, from the installed
# assays/ folder, in its window on the real windows platform plugin under
# Xvfb, on COM5 (without --port it takes the first port, which Wine makes of
# the machine's /dev/ttyS0, a console whose use under Wine does not return);
# the screen taken once the window is drawn, then closed as Windows closes a
# window (WM_CLOSE, which taskkill without /f sends).
start=$SECONDS
assay_faults=()
assay_shot=$top/build-windows/screenshot-assay-windows.png
rm -f "$assay_shot"
kits=$stage/bin/assays
kit_name=$(sed -n 's/^  "name": "\(.*\)",$/\1/p' "$kits/hcv-screen.assay.json" | head -n 1)
: > "$work/wire.log"
wine "$stage/bin/telkaro-assay.exe" --port COM5 --assay "$(winepath -w "$kits/hcv-screen.assay.json")" \
    "$(winepath -w "$kits/hcv-screen.dat")" > "$log_dir/assay.out" 2> "$log_dir/assay.err" &
assay_pid=$!
# X, Y, width and height of an X window.
window_geometry() {
    xdotool getwindowgeometry --shell "$1" 2> /dev/null |
        awk -F= '{ v[$1] = $2 } END { print v["X"] + 0, v["Y"] + 0, v["WIDTH"] + 0, v["HEIGHT"] + 0 }'
}
# The program's main window: the largest visible X window of the X class
# Wine gives its windows (the program's file name).
assay_main_window() {
    local id x y w h best="" area=0
    for id in $(xdotool search --onlyvisible --class 'telkaro-assay' 2> /dev/null); do
        read -r x y w h < <(window_geometry "$id")
        if ((w * h > area)); then best=$id area=$((w * h)); fi
    done
    echo "$best"
}
assay_window=""
for _ in $(seq 120); do
    assay_window=$(assay_main_window)
    [ -n "$assay_window" ] && break
    kill -0 "$assay_pid" 2> /dev/null || break
    sleep 0.5
done
assay_title="" assay_x=0 assay_y=0 assay_width=0 assay_height=0 assay_polls=0 drawn=0
if [ -z "$assay_window" ]; then
    assay_faults+=("no window within 60 s")
else
    # It polls the instrument as telkaro.exe does.
    for _ in $(seq 60); do
        assay_polls=$(grep -c '^RX .* E\\r\\n$' "$work/wire.log" || true)
        ((assay_polls >= 8)) && break
        sleep 0.5
    done
    assay_others=$(grep '^RX ' "$work/wire.log" | grep -vc ' E\\r\\n$' || true)
    ((assay_polls >= 8 && assay_others == 0)) ||
        assay_faults+=("$assay_polls polls and $assay_others other lines on COM5")
    # Drawn when two looks at the screen, half a second between them, are the same.
    previous="" settled=0
    for _ in $(seq 60); do
        current=$(import -window root rgb:- 2> /dev/null | sha256sum)
        if [ "$current" = "$previous" ]; then settled=1; break; fi
        previous=$current
        sleep 0.5
    done
    ((settled)) || assay_faults+=("the screen still changed after 30 s")
    drawn=$((SECONDS - start))
    assay_title=$(xdotool getwindowname "$assay_window" 2> /dev/null || true)
    read -r assay_x assay_y assay_width assay_height < <(window_geometry "$assay_window")
    # The window alone (no window manager draws a frame around it).
    import -window root -crop "${assay_width}x$assay_height+$assay_x+$assay_y" +repage "$assay_shot" 2> /dev/null ||
        assay_faults+=("no screenshot")
    ((assay_width >= 400 && assay_height >= 300)) ||
        assay_faults+=("its window is ${assay_width}x$assay_height, not at least 400x300")
    [[ -n $kit_name && $assay_title == *'ТЕЛКАРО Анализ'* && $assay_title == *"$kit_name"* ]] ||
        assay_faults+=("its window's title is '$assay_title', not the program's and the kit's name ('$kit_name')")
    colours=$(identify -format '%k' "$assay_shot" 2> /dev/null || echo 0)
    ((colours >= 16)) || assay_faults+=("the screenshot has $colours colours: nothing drawn")
fi
wine taskkill /im telkaro-assay.exe > /dev/null 2>&1 || true
assay_rc=""
for _ in $(seq 40); do
    if ! kill -0 "$assay_pid" 2> /dev/null; then
        assay_rc=0
        wait "$assay_pid" || assay_rc=$?
        break
    fi
    sleep 0.5
done
if [ -z "$assay_rc" ]; then
    assay_faults+=("still running 20 s after WM_CLOSE")
    wine taskkill /f /im telkaro-assay.exe > /dev/null 2>&1 || true
    wait "$assay_pid" 2> /dev/null || true
elif ((assay_rc != 0)); then
    assay_faults+=("ended with $assay_rc after WM_CLOSE")
fi
# Qt's warnings (a plugin, an SVG it could not draw) and the program's own
# complaints; Wine's launcher notes about wine32 are not among them.
complaint=$(grep -v -e 'wine32' -e 'multiarch' -e 'dpkg --add-architecture' "$log_dir/assay.err" |
    tr -d '\r' | grep -m 1 . || true)
[ -z "$complaint" ] || assay_faults+=("it wrote to standard error: $complaint")
if ((${#assay_faults[@]})); then
    fail assay "$(IFS=';'; echo "${assay_faults[*]}"); see $log_dir/assay.err"
else
    if ((assay_screenshot)); then cp "$assay_shot" "$top/docs/screenshot-assay-windows.png"; fi
    step assay "telkaro-assay.exe --port COM5 --assay hcv-screen.assay.json hcv-screen.dat from bin/assays: window «$assay_title» ${assay_width}x$assay_height taken after $drawn s, $assay_polls polls \"E\" CR LF byte for byte, closed on WM_CLOSE with exit 0"
fi

# --- The installer: silent install, shortcuts, the installed program, uninstall
start=$SECONDS
(cd "$wbuild" && cpack -G NSIS) > "$log_dir/installer.log" 2>&1 || die installer "cpack failed, see $log_dir/installer.log"
installer=$(ls "$wbuild"/TELKARO-*.exe | head -n 1)
wine "$installer" /S > /dev/null 2>&1 || true
installed="$WINEPREFIX/drive_c/Program Files/TELKARO"
shortcuts=$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name '*.lnk' 2> /dev/null |
    grep -c -e '/ТЕЛКАРО.lnk$' -e '/Выбрать порт прибора.lnk$' -e '/ТЕЛКАРО Анализ.lnk$' || true)
installed_version=$(wine "$installed/bin/telkaro.exe" --version 2> /dev/null | tr -d '\r' || true)
installed_reader=$(wine "$installed/bin/telkaro-read.exe" --version 2> /dev/null | tr -d '\r' || true)
installed_assay=$(wine "$installed/bin/telkaro-assay.exe" --version 2> /dev/null | tr -d '\r' || true)
installed_kits=$(find "$installed/bin/assays" -type f 2> /dev/null | wc -l || true)
installer_size=$(du -h "$installer" | cut -f1)
installed_size=$(du -sh "$installed" 2> /dev/null | cut -f1 || true)
wine "$installed/Uninstall.exe" /S > /dev/null 2>&1 || true
for _ in $(seq 60); do [ -e "$installed/bin/telkaro.exe" ] || [ -e "$installed/bin/telkaro-assay.exe" ] || break; sleep 0.5; done
left=$(find "$installed" -type f 2> /dev/null | wc -l || true)
left_shortcuts=$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name '*.lnk' 2> /dev/null | grep -c -e 'ТЕЛКАРО' -e 'Выбрать порт' || true)
if [ "$installed_version" = "$(cat "$work/linux--version")" ] &&
    [ "$installed_reader" = "$(cat "$work/reader-linux--version")" ] &&
    [ "$installed_assay" = "$(cat "$work/linux-assay--version")" ] &&
    ((shortcuts == 3 && installed_kits == 4 && left == 0 && left_shortcuts == 0)); then
    step installer "$(basename "$installer") ($installer_size) installed silently ($installed_size), 3 shortcuts, telkaro, telkaro-read and telkaro-assay answer --version, the 4 kit files in bin\\assays, uninstalled without a trace"
else
    fail installer "versions '$installed_version', '$installed_reader' and '$installed_assay', $shortcuts shortcuts, $installed_kits kit files, $left files and $left_shortcuts shortcuts left after uninstalling"
fi

echo
echo "Screenshots: $top/build-windows/screenshot-windows.png, $assay_shot; logs: $log_dir; $((SECONDS / 60)) min in all"
finish
