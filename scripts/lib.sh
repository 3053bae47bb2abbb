# Shared by scripts/run, scripts/test and scripts/bench: install what is missing, then build.
# Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${TRIVALON_BUILD:-$ROOT/build}

# Debian packages the build, the programs, the tests and the screenshots need.
PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libxcb1-dev libgl-dev
          xvfb openbox xdotool x11-utils x11-apps imagemagick fonts-dejavu-core
          dbus dbus-x11 at-spi2-core rsync)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_packages() {
    local missing=()
    local p
    for p in "${PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
}

build() {
    local type=${1:-RelWithDebInfo}
    shift || true
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
    cmake --build "$BUILD" --parallel "$(nproc)"
}
