#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from a configured and built build folder, unpacks it into a
# scratch root and checks what an operator gets: the files, the dependencies, the desktop
# entry and its AppStream metadata, the manual pages, the bash completions, the copyright
# file and changelog, lintian's verdict, that every library resolves, that the program
# starts and that its guide is where Help looks for it.
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
for package in libqt6widgets6 libqt6serialport6 libqt6core6 libqt6gui6 libc6 qt6-translations-l10n; do
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
expected=(/usr/bin/telkaro /usr/bin/telkaro-read /usr/bin/telkaro-instrument
          /usr/share/telkaro/TELKARO.md
          /usr/share/telkaro/assays/hcv-screen.assay.json /usr/share/telkaro/assays/hcv-screen.dat
          /usr/share/telkaro/assays/ferritin-4pl.assay.json
          /usr/share/telkaro/assays/ferritin-4pl.dat /usr/share/doc/telkaro/assay-format.md
          /usr/share/applications/org.example.telkaro.desktop
          /usr/share/metainfo/org.example.telkaro.metainfo.xml
          /usr/share/man/man1/telkaro.1.gz /usr/share/man/man1/telkaro-read.1.gz
          /usr/share/man/man1/telkaro-instrument.1.gz
          /usr/share/man/ru/man1/telkaro.1.gz /usr/share/man/ru/man1/telkaro-read.1.gz
          /usr/share/bash-completion/completions/telkaro
          /usr/share/bash-completion/completions/telkaro-read
          /usr/share/doc/telkaro/copyright /usr/share/doc/telkaro/changelog.gz)
for size in 16 32 48 64 128 256; do
    expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/telkaro.png")
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
    icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/telkaro.png
    [ -f "$icon" ] || continue
    type=$(file -b "$icon")
    [[ $type == "PNG image data, $size x $size,"* ]] || fail "$icon is not a ${size}x${size} PNG: $type"
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
    ru/man1/telkaro.1.gz ru/man1/telkaro-read.1.gz; do
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

# bash-completion loads the file named like the command when that is completed first.
for command in telkaro telkaro-read; do
    file=$root/usr/share/bash-completion/completions/$command
    [ -f "$file" ] || continue
    bash -n "$file" || fail "bash -n rejects the completion of $command"
    [[ $(bash -c 'source "$1" && complete -p "$2"' - "$file" "$command" 2>&1) == "complete -F "*" $command" ]] ||
        fail "the completion file of $command does not complete $command"
done

metainfo=$root/usr/share/metainfo/org.example.telkaro.metainfo.xml
if [ -f "$metainfo" ]; then
    echo "== appstreamcli validate"
    appstreamcli validate --no-net --pedantic "$metainfo" || fail "the AppStream metadata is not valid"
    grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo lacks the release $version"
    grep -q '<launchable type="desktop-id">org.example.telkaro.desktop</launchable>' "$metainfo" ||
        fail "metainfo does not launch the desktop file"
fi

desktop=$root/usr/share/applications/org.example.telkaro.desktop
if [ -f "$desktop" ]; then
    echo "== desktop-file-validate"
    out=$(desktop-file-validate "$desktop" 2>&1)
    status=$?
    [ -n "$out" ] && echo "$out"
    { [ $status -eq 0 ] && ! grep -Eq 'error|warning' <<<"$out"; } ||
        fail "desktop-file-validate reports problems"
    grep -qx 'Exec=telkaro' "$desktop" || fail "desktop entry: Exec is not telkaro"
    grep -qx 'Icon=telkaro' "$desktop" || fail "desktop entry: Icon is not telkaro"
    grep -qx 'Name\[ru\]=ТЕЛКАРО' "$desktop" || fail "desktop entry: no Name[ru]=ТЕЛКАРО"
    grep -qx 'Exec=telkaro --choose-port' "$desktop" || fail "desktop entry: no port chooser action"
    grep -qx 'Name\[ru\]=Выбрать порт прибора' "$desktop" ||
        fail "desktop entry: the port chooser action has no Russian name"
fi

program=$root/usr/bin/telkaro
[ -x "$program" ] || die "$program is missing or not executable"
for binary in "$program" "$root/usr/bin/telkaro-read" "$root/usr/bin/telkaro-instrument"; do
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

# --- the installed program starts --------------------------------------------------
echo "== start $program"
home=$scratch/home
mkdir -p "$home/.config" "$home/run"
chmod 700 "$home/run"
env QT_QPA_PLATFORM=offscreen HOME="$home" XDG_CONFIG_HOME="$home/.config" \
    XDG_RUNTIME_DIR="$home/run" TELKARO_PORT=/dev/telkaro-no-such-port \
    "$program" >"$scratch/program.log" 2>&1 &
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
    fail "the installed program ended within 2 s (exit status $status)"
fi

if ((failures)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "package OK: $(basename "$deb")"
