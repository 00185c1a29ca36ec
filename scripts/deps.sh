# Debian packages the build, the tests and the demo need. Sourced by the scripts.
ZYL_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
              libbenchmark-dev xvfb xauth fonts-dejavu-core dpkg-dev file
              lintian desktop-file-utils appstream)
# Qt's own texts in Czech, loaded at start-up; xprop reads the captions in the window-title tests.
ZYL_PACKAGES+=(qt6-translations-l10n x11-utils)
# scripts/run-tests checks every C++ file against .clang-format (clang-format 14).
ZYL_PACKAGES+=(clang-format)
# The Windows program: Debian's mingw-w64 (the posix-threads compilers, with std::thread for
# GoogleTest), whose sources googletest brings, and zip for the package; Wine with its own
# fonts (not pulled in without recommends), a bare X server and real key presses for its
# tests, and ImageMagick for their screenshots.
ZYL_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix googletest zip wine wine64 fonts-wine xvfb xdotool imagemagick)
# The program for 32-bit Windows, and Wine's 32-bit half to run it (i386 multiarch).
ZYL_WINDOWS_PACKAGES+=(g++-mingw-w64-i686-posix wine32:i386)
# localedef makes the Wine tests' locales from the sources in locales.
ZYL_WINDOWS_PACKAGES+=(locales)

zyl_install_missing() {
    local missing=()
    for p in "${ZYL_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing Debian packages. Run as root:" >&2
        echo "  apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

zyl_build() {
    local dir=$1; shift
    cmake -S "$ZYL_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$dir" --parallel "$(nproc)"
}
