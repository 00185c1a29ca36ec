#!/usr/bin/env bash
# Builds the Debian package from the build folder given (cpack into a scratch folder),
# unpacks it into a scratch root and checks what a desktop install needs: the program,
# the menu entry, the icons, the help page, the AppStream data, and dependencies computed
# from the program. Then lintian judges the package as Debian would.
set -euo pipefail
build=$1

for tool in cpack dpkg-deb dpkg-shlibdeps file lintian desktop-file-validate appstreamcli; do
    if ! command -v "$tool" >/dev/null; then
        echo "missing $tool (Debian packages dpkg-dev, file, lintian, desktop-file-utils, appstream)" >&2
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
check "entry command" has_line "$desktop" "Exec=/usr/bin/zyltool"
check "entry keywords" grep -q "^Keywords=ZYL;" "$desktop"
check "entry valid" desktop-file-validate "$desktop"
check "entry icon" has_line "$desktop" "Icon=zyltool"
check "entry category" has_line "$desktop" "Categories=Utility;"
check "entry starts in the help folder" has_line "$desktop" "Path=/usr/share/zyltool"
check "entry has a Czech comment" grep -q "^Comment=.*ZYL" "$desktop"
for size in 16 32 48 64 128 256; do
    check "${size}x${size} icon" png_of_size "$root/usr/share/icons/hicolor/${size}x${size}/apps/zyltool.png" $size
done
metainfo=$root/usr/share/metainfo/cz.zyl.zyltool.metainfo.xml
check "AppStream data valid" appstreamcli validate --no-net "$metainfo"
help=$root/usr/share/zyltool/ZYL_help.htm
check "help page beside the entry's Path" test -f "$help"
check "help page is UTF-8 and says so" sh -c 'iconv -f UTF-8 -t UTF-8 "$1" >/dev/null && grep -qi "charset=utf-8" "$1"' _ "$help"

dpkg-deb -I "$deb" >"$scratch/info"
check "dependencies computed from the program" grep -Eq "^ Depends:.*\blibqt6widgets6\b" "$scratch/info"
check "Qt's Czech texts a dependency" grep -Eq "^ Depends:.*\bqt6-translations-l10n\b" "$scratch/info"
check "section utils" grep -qx " Section: utils" "$scratch/info"
check "maintainer named" grep -q "^ Maintainer: ." "$scratch/info"

# Lintian as Debian runs it: no error and no warning. Missing hardening shows partly only
# as information (fortified calls, immediate binding), so its tags are looked for apart.
lintian_status=0
lintian --allow-root --fail-on error,warning --display-info "$deb" >"$scratch/lintian" 2>&1 || lintian_status=$?
sed 's/^/lintian: /' "$scratch/lintian"
check "lintian finds no error or warning" test "$lintian_status" -eq 0
# A build made without them (a sanitizer or debug build) makes no release package.
if grep -qx "ZYL_HARDENING:BOOL=ON" "$build/CMakeCache.txt"; then
    check "built with the hardening flags" sh -c '! grep -q "hardening-" "$1"' _ "$scratch/lintian"
else
    echo "skipped: the hardening flags (this build has ZYL_HARDENING off)"
fi

echo "$(basename "$deb"): $failures failed"
[ "$failures" -eq 0 ]
