#!/usr/bin/env bash
# Builds the Debian package from the build folder given (cpack into a scratch folder),
# unpacks it into a scratch root and checks what a desktop install needs: the program,
# the menu entry, both icons, the help page, and dependencies computed from the program.
set -euo pipefail
build=$1

for tool in cpack dpkg-deb dpkg-shlibdeps file; do
    if ! command -v "$tool" >/dev/null; then
        echo "missing $tool (Debian packages dpkg-dev and file)" >&2
        exit 1
    fi
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log" >&2
    exit 1
fi
debs=("$scratch"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "expected one package, got: ${debs[*]}" >&2; exit 1; }
deb=${debs[0]}
root=$scratch/root
dpkg-deb -x "$deb" "$root"

failures=0
check() {
    local what=$1; shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what" >&2
        failures=$((failures + 1))
    fi
}
has_line() { grep -qxF -- "$2" "$1"; }
png_of_size() { file -b "$1" | grep -q "^PNG image data, $2 x $2,"; }

check "the program in /usr/bin" test -x "$root/usr/bin/zyltool"
desktop=$root/usr/share/applications/zyltool.desktop
check "the menu entry" test -f "$desktop"
check "entry type" has_line "$desktop" "Type=Application"
check "entry name" has_line "$desktop" "Name=ZYL default"
check "entry command" has_line "$desktop" "Exec=zyltool"
check "entry icon" has_line "$desktop" "Icon=zyltool"
check "entry category" has_line "$desktop" "Categories=Utility;"
check "entry starts in the help folder" has_line "$desktop" "Path=/usr/share/zyltool"
check "entry has a Czech comment" grep -q "^Comment=.*ZYL" "$desktop"
check "16x16 icon" png_of_size "$root/usr/share/icons/hicolor/16x16/apps/zyltool.png" 16
check "32x32 icon" png_of_size "$root/usr/share/icons/hicolor/32x32/apps/zyltool.png" 32
help=$root/usr/share/zyltool/ZYL_help.htm
check "help page beside the entry's Path" test -f "$help"
check "help page is UTF-8 and says so" sh -c 'iconv -f UTF-8 -t UTF-8 "$1" >/dev/null && grep -qi "charset=utf-8" "$1"' _ "$help"

dpkg-deb -I "$deb" >"$scratch/info"
check "dependencies computed from the program" grep -Eq "^ Depends:.*\blibqt6widgets6\b" "$scratch/info"
check "section utils" grep -qx " Section: utils" "$scratch/info"
check "maintainer named" grep -q "^ Maintainer: ." "$scratch/info"

echo "$(basename "$deb"): $failures failed"
[ "$failures" -eq 0 ]
