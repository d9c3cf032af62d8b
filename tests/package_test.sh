#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from a configured and built build folder, unpacks it into a
# scratch root and checks what an operator gets: the files, the dependencies, the desktop
# entries and their AppStream metadata, the icons, the manual pages, the bash completions,
# the copyright file and changelog, lintian's verdict, that every library resolves, that
# the two windows start and that the guide is where Help looks for it.
#   package_test.sh <source folder> <build folder>
set -uo pipefail

source=$(cd "${1:?usage: package_test.sh <source folder> <build folder>}" && pwd)
build=$(cd "${2:?usage: package_test.sh <source folder> <build folder>}" && pwd)

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
die() {
    echo "FAIL: $*" >&2
    exit 1
}

for tool in cpack dpkg-deb dpkg-shlibdeps file desktop-file-validate ldd lintian appstreamcli man; do
    command -v "$tool" >/dev/null ||
        die "$tool is missing (scripts/setup.sh installs cmake, dpkg-dev, file, desktop-file-utils, lintian, appstream, man-db)"
done
[ -f "$build/CPackConfig.cmake" ] || die "$build/CPackConfig.cmake is missing: configure first"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/telkaro-package.XXXXXX")
program_pid=
cleanup() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null
        wait "$program_pid" 2>/dev/null
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

# --- the package -------------------------------------------------------------------
echo "== cpack -G DEB"
(cd "$build" && cpack -G DEB -B "$scratch/out") >"$scratch/cpack.log" 2>&1 || {
    cat "$scratch/cpack.log" >&2
    die "cpack failed"
}
shopt -s nullglob
debs=("$scratch"/out/telkaro_*.deb)
shopt -u nullglob
((${#debs[@]} == 1)) || {
    cat "$scratch/cpack.log" >&2
    ls -l "$scratch/out" >&2
    die "expected one telkaro_<version>_<arch>.deb, found ${#debs[@]}"
}
deb=${debs[0]}
basename "$deb"

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "telkaro_${version}_${arch}.deb" ] ||
    fail "file name $(basename "$deb"), expected telkaro_${version}_${arch}.deb"

# --- control fields ----------------------------------------------------------------
echo "== control"
dpkg-deb -f "$deb" | tee "$scratch/control"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = telkaro ] || fail "Package is '$(field Package)', expected telkaro"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', expected $version"
[ "$(field Section)" = science ] || fail "Section is '$(field Section)', expected science"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[[ $(field Description) == *dialout* ]] || fail "Description does not mention the dialout group"

depends=$(field Depends)
# Print Support and SVG: the assay window's report and its plate map and curve.
for package in libqt6widgets6 libqt6serialport6 libqt6core6 libqt6gui6 libqt6printsupport6 \
    libqt6svg6 libc6 qt6-translations-l10n; do
    [[ ", $depends," == *", $package "* || ", $depends," == *", $package,"* ]] ||
        fail "Depends lacks $package: $depends"
done
if grep -Eq -- '-dev\b|-dev$' <<<"$depends"; then
    fail "Depends names a development package: $depends"
fi

# The dialout notice is in the description, the README and the guide; the package
# runs no scripts of its own.
dpkg-deb -I "$deb" postinst >/dev/null 2>&1 && fail "the package has a postinst"

# --- lintian -----------------------------------------------------------------------
echo "== lintian"
# Root is warned against, not refused; CI runs as root.
lintian --pedantic --display-info "$deb" 2>&1 | grep -v 'running with root privileges' |
    tee "$scratch/lintian"
grep -E '^[EW]: ' "$scratch/lintian" >/dev/null && fail "lintian reports errors or warnings"

# --- files -------------------------------------------------------------------------
echo "== files"
dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|' | grep -v '/$' | sort >"$scratch/files"
cat "$scratch/files"
expected=(/usr/bin/telkaro /usr/bin/telkaro-read /usr/bin/telkaro-instrument /usr/bin/telkaro-assay
          /usr/share/telkaro/TELKARO.md
          /usr/share/telkaro/assays/hcv-screen.assay.json /usr/share/telkaro/assays/hcv-screen.dat
          /usr/share/telkaro/assays/ferritin-4pl.assay.json
          /usr/share/telkaro/assays/ferritin-4pl.dat /usr/share/doc/telkaro/assay-format.md
          /usr/share/applications/org.example.telkaro.desktop
          /usr/share/applications/org.example.telkaro.assay.desktop
          /usr/share/metainfo/org.example.telkaro.metainfo.xml
          /usr/share/man/man1/telkaro.1.gz /usr/share/man/man1/telkaro-read.1.gz
          /usr/share/man/man1/telkaro-instrument.1.gz /usr/share/man/man1/telkaro-assay.1.gz
          /usr/share/man/ru/man1/telkaro.1.gz /usr/share/man/ru/man1/telkaro-read.1.gz
          /usr/share/man/ru/man1/telkaro-assay.1.gz
          /usr/share/bash-completion/completions/telkaro
          /usr/share/bash-completion/completions/telkaro-read
          /usr/share/bash-completion/completions/telkaro-assay
          /usr/share/doc/telkaro/copyright /usr/share/doc/telkaro/changelog.gz)
for size in 16 32 48 64 128 256; do
    expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/telkaro.png"
               "/usr/share/icons/hicolor/${size}x${size}/apps/telkaro-assay.png")
done
for path in "${expected[@]}"; do
    grep -qx "$path" "$scratch/files" || fail "the package lacks $path"
done
grep -v '^/usr/' "$scratch/files" | sed 's/^/outside \/usr: /' | grep . >&2 &&
    fail "the package installs outside /usr"
grep -E '\.(a|so|cmake|h)$|/include/|/test_|/fuzz|/bench|TestTestfile' "$scratch/files" |
    sed 's/^/not for operators: /' | grep . >&2 && fail "the package holds build or test files"

# --- unpacked ----------------------------------------------------------------------
root=$scratch/root
dpkg-deb -x "$deb" "$root" || die "dpkg-deb -x failed"

for size in 16 32 48 64 128 256; do
    apps=$root/usr/share/icons/hicolor/${size}x${size}/apps
    for icon in "$apps/telkaro.png" "$apps/telkaro-assay.png"; do
        [ -f "$icon" ] || continue
        type=$(file -b "$icon")
        [[ $type == "PNG image data, $size x $size,"* ]] || fail "$icon is not a ${size}x${size} PNG: $type"
    done
    # The menu tells the two windows apart by their icons.
    if [ -f "$apps/telkaro.png" ] && [ -f "$apps/telkaro-assay.png" ] &&
        cmp -s "$apps/telkaro.png" "$apps/telkaro-assay.png"; then
        fail "the ${size}x${size} icon of telkaro-assay is telkaro's"
    fi
done

# --- documentation -----------------------------------------------------------------
doc=$root/usr/share/doc/telkaro
if [ -f "$doc/copyright" ]; then
    head -n 1 "$doc/copyright" |
        grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
        fail "copyright is not in the machine-readable format 1.0"
    grep -qx 'License: GPL-3+' "$doc/copyright" || fail "copyright does not name GPL-3+"
fi
if [ -f "$doc/changelog.gz" ]; then
    first=$(gzip -dc "$doc/changelog.gz" | head -n 1)
    [ "$first" = "telkaro ($version) unstable; urgency=medium" ] ||
        fail "changelog.gz starts with '$first'"
    # gzip -n: no name or time stamp of its own, so the package is reproducible.
    [ "$(od -An -tu4 -j4 -N4 "$doc/changelog.gz" | tr -d ' ')" = 0 ] ||
        fail "changelog.gz carries a time stamp"
fi
for page in man1/telkaro.1.gz man1/telkaro-read.1.gz man1/telkaro-instrument.1.gz \
    man1/telkaro-assay.1.gz ru/man1/telkaro.1.gz ru/man1/telkaro-read.1.gz ru/man1/telkaro-assay.1.gz; do
    file=$root/usr/share/man/$page
    [ -f "$file" ] || continue
    echo "== man -l $page"
    text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" 2>"$scratch/man.err")
    [ -s "$scratch/man.err" ] && { cat "$scratch/man.err" >&2; fail "man -l $page warns"; }
    [[ $text == *--help* ]] || fail "$page does not describe --help"
done
text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$root/usr/share/man/man1/telkaro.1.gz" 2>/dev/null)
for needed in --port --choose-port --list-ports TELKARO_PORT TELKARO.conf; do
    [[ $text == *"$needed"* ]] || fail "telkaro(1) does not mention $needed"
done
text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$root/usr/share/man/ru/man1/telkaro.1.gz" 2>/dev/null)
[[ $text == *"ПАРАМЕТРЫ"* && $text == *--choose-port* ]] || fail "the Russian telkaro(1) is not it"
text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$root/usr/share/man/man1/telkaro-read.1.gz" 2>/dev/null)
[[ $text == *"EXIT STATUS"* && $text == *read-plate* ]] || fail "telkaro-read(1) is not it"
text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$root/usr/share/man/ru/man1/telkaro-read.1.gz" 2>/dev/null)
[[ $text == *"КОД ВОЗВРАТА"* && $text == *read-plate* ]] || fail "the Russian telkaro-read(1) is not it"
text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$root/usr/share/man/man1/telkaro-assay.1.gz" 2>/dev/null)
for needed in --port --assay TELKARO_PORT TELKARO.conf '[Assay]' /usr/share/telkaro/assays \
    .local/share/TELKARO/TELKARO/assays assay-format.md 'EXIT STATUS'; do
    [[ $text == *"$needed"* ]] || fail "telkaro-assay(1) does not mention $needed"
done
text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$root/usr/share/man/ru/man1/telkaro-assay.1.gz" 2>/dev/null)
[[ $text == *"КОД ВОЗВРАТА"* && $text == *--assay* && $text == *'[Assay]'* ]] ||
    fail "the Russian telkaro-assay(1) is not it"
# Every program has its English page.
for binary in "$root"/usr/bin/*; do
    [ -f "$root/usr/share/man/man1/$(basename "$binary").1.gz" ] ||
        fail "$(basename "$binary") has no manual page"
done

# bash-completion loads the file named like the command when that is completed first.
for command in telkaro telkaro-read telkaro-assay; do
    file=$root/usr/share/bash-completion/completions/$command
    [ -f "$file" ] || continue
    bash -n "$file" || fail "bash -n rejects the completion of $command"
    [[ $(bash -c 'source "$1" && complete -p "$2"' - "$file" "$command" 2>&1) == "complete -F "*" $command" ]] ||
        fail "the completion file of $command does not complete $command"
done
# What telkaro-assay's completion offers, in a folder of a kit, plates and others:
#   complete_assay <word>... prints the candidates for the last word, sorted, on one line.
complete_assay() {
    (cd "$scratch/completion" && bash -c '
        source "$1"; shift
        compopt() { :; }
        COMP_WORDS=(telkaro-assay "$@"); COMP_CWORD=$#; COMPREPLY=()
        _telkaro_assay
        printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd " "' - \
        "$root/usr/share/bash-completion/completions/telkaro-assay" "$@")
}
if [ -f "$root/usr/share/bash-completion/completions/telkaro-assay" ]; then
    mkdir -p "$scratch/completion/kits"
    touch "$scratch/completion/"{hcv.assay.json,plate1.dat,PLATE2.DAT,run.json,notes.txt}
    check_completion() {
        local want=$1 got
        shift
        got=$(complete_assay "$@")
        [ "$got" = "$want" ] ||
            fail "telkaro-assay completion of '$*': '$got', expected '$want'"
    }
    check_completion '--assay' --as
    check_completion '--assay --help --help-all --port --version -h -v' -
    check_completion 'hcv.assay.json kits' --assay ''
    check_completion 'hcv.assay.json kits' --assay = ''
    check_completion 'PLATE2.DAT kits plate1.dat run.json' ''
    check_completion 'PLATE2.DAT kits plate1.dat run.json' --port ttyS0 --assay hcv.assay.json ''
    check_completion '' plate1.dat ''
    # A path that is no serial port completes as a file name.
    check_completion "$scratch/completion/plate1.dat" --port "$scratch/completion/pl"
    # Nothing but the serial ports there are.
    for port in $(complete_assay --port ''); do
        [[ $port =~ ^/dev/tty(USB|ACM|S)[0-9]+$ ]] || fail "telkaro-assay completion offers '$port' as a port"
    done
fi

metainfo=$root/usr/share/metainfo/org.example.telkaro.metainfo.xml
if [ -f "$metainfo" ]; then
    echo "== appstreamcli validate"
    appstreamcli validate --no-net --pedantic "$metainfo" || fail "the AppStream metadata is not valid"
    grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo lacks the release $version"
    for id in org.example.telkaro.desktop org.example.telkaro.assay.desktop; do
        grep -q "<launchable type=\"desktop-id\">$id</launchable>" "$metainfo" ||
            fail "metainfo does not launch $id"
    done
    grep -q '<binary>telkaro-assay</binary>' "$metainfo" || fail "metainfo does not provide telkaro-assay"
    # What it names is in the package.
    while IFS= read -r id; do
        [ -f "$root/usr/share/applications/$id" ] || fail "metainfo launches $id, which is not in the package"
    done < <(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
    while IFS= read -r binary; do
        [ -x "$root/usr/bin/$binary" ] || fail "metainfo provides $binary, which is not in the package"
    done < <(sed -n 's|.*<binary>\(.*\)</binary>.*|\1|p' "$metainfo")
fi

# check_desktop <file> <line>...: desktop-file-validate is silent, the program of Exec is in
# the package and its icon in hicolor, and the file has each line exactly.
check_desktop() {
    local desktop=$1 line out status command icon
    shift
    [ -f "$desktop" ] || return
    echo "== desktop-file-validate $(basename "$desktop")"
    out=$(desktop-file-validate "$desktop" 2>&1)
    status=$?
    [ -n "$out" ] && echo "$out"
    { [ $status -eq 0 ] && ! grep -Eq 'error|warning' <<<"$out"; } ||
        fail "desktop-file-validate reports problems in $(basename "$desktop")"
    command=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop" | head -n 1)
    [ -x "$root/usr/bin/$command" ] || fail "$(basename "$desktop"): Exec runs '$command', not in /usr/bin"
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    [ -f "$root/usr/share/icons/hicolor/48x48/apps/$icon.png" ] ||
        fail "$(basename "$desktop"): its icon '$icon' is not in hicolor"
    for line in "$@"; do
        grep -qxF "$line" "$desktop" || fail "$(basename "$desktop") lacks the line $line"
    done
}
check_desktop "$root/usr/share/applications/org.example.telkaro.desktop" \
    'Exec=telkaro' 'Icon=telkaro' 'Name[ru]=ТЕЛКАРО' \
    'Exec=telkaro --choose-port' 'Name[ru]=Выбрать порт прибора'
check_desktop "$root/usr/share/applications/org.example.telkaro.assay.desktop" \
    'Exec=telkaro-assay %f' 'Icon=telkaro-assay' 'Name=TELKARO Analysis' 'Name[ru]=ТЕЛКАРО Анализ' \
    'Terminal=false' 'Categories=Science;Biology;Chemistry;'

program=$root/usr/bin/telkaro
assay=$root/usr/bin/telkaro-assay
[ -x "$program" ] || die "$program is missing or not executable"
for binary in "$program" "$assay" "$root/usr/bin/telkaro-read" "$root/usr/bin/telkaro-instrument"; do
    [ -f "$binary" ] || continue
    type=$(file -b "$binary")
    [[ $type == ELF* ]] || fail "$binary is not an ELF program: $type"
    [[ $type == *"not stripped"* ]] && fail "$binary is not stripped"
    libraries=$(ldd "$binary" 2>&1) || fail "ldd $binary failed: $libraries"
    if [[ $libraries == *"not found"* ]]; then
        grep 'not found' <<<"$libraries" >&2
        fail "$binary: a library does not resolve"
    else
        echo "ldd $(basename "$binary"): $(grep -c '=>' <<<"$libraries") libraries, all found"
    fi
done

# Help resolves a relative guide name beside the program and then in ../share/telkaro.
guide=$root/usr/bin/../share/telkaro/TELKARO.md
if [ -f "$guide" ]; then
    IFS= read -r title <"$guide"
    [[ $title == '# ТЕЛКАРО'* ]] || fail "the guide does not start with its title: $title"
    cmp -s "$guide" "$source/docs/TELKARO.md" || fail "the installed guide differs from docs/TELKARO.md"
else
    fail "the guide is not at /usr/bin/../share/telkaro/TELKARO.md"
fi

# --- the options that print work without a display -----------------------------------
echo "== $program --version, --help, --list-ports without a display"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --version 2>&1) ||
    fail "--version failed: $out"
[ "$out" = "telkaro $version" ] || fail "--version says '$out', expected 'telkaro $version'"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --help 2>&1) ||
    fail "--help failed: $out"
[[ $out == *--choose-port* ]] || fail "--help does not list --choose-port"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --list-ports >/dev/null 2>&1 ||
    fail "--list-ports failed"

home=$scratch/home
mkdir -p "$home/.config" "$home/.local/share" "$home/run"
chmod 700 "$home/run"
in_scratch_home() {
    env QT_QPA_PLATFORM=offscreen HOME="$home" XDG_CONFIG_HOME="$home/.config" \
        XDG_DATA_HOME="$home/.local/share" XDG_RUNTIME_DIR="$home/run" \
        TELKARO_PORT=/dev/telkaro-no-such-port "$@"
}
# The assay window's command line, as its manual page has it: --help, --version and a
# wrong option need no display (a window that opens instead is ended by the timeout).
no_display() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$home" \
        XDG_CONFIG_HOME="$home/.config" timeout 10 "$@"
}
if [ -x "$assay" ]; then
    echo "== $assay --version, --help, a wrong option without a display"
    out=$(no_display "$assay" --version 2>&1) || fail "telkaro-assay --version failed: $out"
    [ "$out" = "telkaro-assay $version" ] ||
        fail "telkaro-assay --version says '$out', expected 'telkaro-assay $version'"
    out=$(no_display "$assay" --help 2>&1) || fail "telkaro-assay --help failed: $out"
    [[ $out == *--port* && $out == *--assay* ]] || fail "telkaro-assay --help does not list --port and --assay"
    no_display "$assay" --no-such-option >/dev/null 2>&1
    status=$?
    [ $status -eq 2 ] || fail "telkaro-assay --no-such-option: exit status $status, expected 2"
fi

# --- the installed windows start -----------------------------------------------------
# start <program> <argument>...: still running after 2 s.
start() {
    echo "== start $*"
    in_scratch_home "$@" >"$scratch/program.log" 2>&1 &
    program_pid=$!
    sleep 2
    if kill -0 "$program_pid" 2>/dev/null; then
        kill "$program_pid"
        wait "$program_pid" 2>/dev/null
        program_pid=
        echo "still running after 2 s"
    else
        wait "$program_pid"
        status=$?
        program_pid=
        cat "$scratch/program.log" >&2
        fail "$(basename "$1") ended within 2 s (exit status $status)"
    fi
}
start "$program"
if [ -x "$assay" ]; then
    # An installed kit and its plate, analysed at start without the instrument.
    start "$assay" --assay "$root/usr/share/telkaro/assays/hcv-screen.assay.json" \
        "$root/usr/share/telkaro/assays/hcv-screen.dat"
fi

if ((failures)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "package OK: $(basename "$deb")"
