#!/usr/bin/env bash
# Builds the Qt modules and plugins tavrin needs on Windows (Core, Gui, Widgets,
# Test; the Windows, offscreen and Windows Vista style plugins) from Debian's own
# qt6-base source package, cross-compiled with mingw-w64 and installed into a
# cache folder keyed by the Qt version. Debian's native Qt supplies the host
# tools (moc, rcc, uic). A second run finds the installed tree and does nothing.
#
# Prints the installed prefix on its last line.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
toolchain="$here/../cmake/mingw-w64-x86_64.cmake"

version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
upstream=${version%%+*}
upstream=${upstream#*:}
cache=${XDG_CACHE_HOME:-$HOME/.cache}/tavrin
prefix=$cache/qt-$version-mingw64
prefix=${prefix//[~:]/_}

if [[ -f "$prefix/.complete" ]]; then
    echo "Qt $upstream for Windows is already built"
    echo "$prefix"
    exit 0
fi

work=$cache/qt-build-$upstream
mkdir -p "$work"
cd "$work"

# --- Debian's source package, through a private apt configuration ---------
# deb-src entries are derived from the system's own deb entries; the system's
# apt configuration is left as it is.
if [[ ! -d source ]]; then
    apt=$work/apt
    rm -rf "$apt"
    mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/cache/archives/partial"
    : >"$apt/sources.list"
    if [[ -f /etc/apt/sources.list ]]; then
        sed -n 's/^deb \(.*debian.*\)/deb-src \1/p' /etc/apt/sources.list >>"$apt/sources.list"
    fi
    for f in /etc/apt/sources.list.d/*.sources; do
        [[ -e "$f" ]] || continue
        grep -q 'debian' "$f" || continue
        sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt/sources.list.d/$(basename "$f")"
    done
    for f in /etc/apt/sources.list.d/*.list; do
        [[ -e "$f" ]] || continue
        sed -n 's/^deb \(.*debian.*\)/deb-src \1/p' "$f" >>"$apt/sources.list"
    done
    aptopts=(-o "Dir::Etc::SourceList=$apt/sources.list"
        -o "Dir::Etc::SourceParts=$apt/sources.list.d"
        -o "Dir::State::Lists=$apt/lists"
        -o "Dir::Cache=$apt/cache")
    apt-get "${aptopts[@]}" update -qq
    rm -rf unpack && mkdir unpack
    (cd unpack && apt-get "${aptopts[@]}" source -qq "qt6-base=$version")
    mv "$(find unpack -mindepth 1 -maxdepth 1 -type d | head -n 1)" source
    rm -rf unpack
fi

# --- Configure, build, install ------------------------------------------------
# Only what the program and its tests load. Debian's source has no wintab.h,
# hence no tablet events; without OpenGL the dynamic GL loader must go too.
# Without Direct2D, Qt 6.4 builds no DirectWrite font database but the
# Windows plugin would still ask for one: fonts come through GDI.
off=(sql network dbus opengl dynamicgl printsupport concurrent xml icu vulkan
    tabletevent direct2d directwrite3)
bundled=(zlib pcre2 harfbuzz freetype png jpeg doubleconversion)
args=()
for f in "${off[@]}"; do args+=("-DFEATURE_$f=OFF"); done
for f in "${bundled[@]}"; do args+=("-DFEATURE_system_$f=OFF"); done

TAVRIN_QT_WINDOWS="$prefix" cmake -G Ninja -S source -B build \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=ON \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DQT_FEATURE_optimize_size=OFF \
    "${args[@]}" >configure.log

cmake --build build -j "$(nproc)"
cmake --install build >install.log
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
