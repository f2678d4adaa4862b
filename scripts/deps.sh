# Sourced by the other scripts: installs the Debian packages SkyRake needs when they are missing.
# Usage: install_deps runtime|test

skyrake_packages_runtime=(cmake g++ make pkg-config qt6-base-dev qt6-svg-dev
                          libqt6svg6 libxcb1-dev libcfitsio-dev libgif-dev zlib1g-dev wcslib-dev liberfa-dev libqt6sql6-sqlite fonts-arphic-uming
                          qt6-tools-dev qt6-l10n-tools qt6-translations-l10n)
skyrake_packages_test=(clang clang-format libclang-rt-14-dev desktop-file-utils appstream file libgtest-dev libbenchmark-dev xvfb xdotool xclip imagemagick slurm-wlm munge)

install_deps() {
    local wanted=("${skyrake_packages_runtime[@]}")
    if [ "${1:-runtime}" = test ]; then
        wanted+=("${skyrake_packages_test[@]}")
    fi
    local missing=()
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Configures SkyRake in build/ (or $1) and builds the targets named after it, or everything.
build_skyrake() {
    local dir="${1:-build}"
    shift || true
    local targets=()
    for t in "$@"; do targets+=(--target "$t"); done
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
}
