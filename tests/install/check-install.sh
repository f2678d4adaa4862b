#!/usr/bin/env bash
# Installs SkyRake into a scratch root and checks that the binary, the desktop entry, the icons
# and the AppStream metainfo land in their standard places and are valid.
# Usage: check-install.sh BUILD_DIR
set -euo pipefail
build="$1"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
share="$root/usr/share"
expect=("$root/usr/bin/skyrake"
        "$share/applications/io.github.skyrake.SkyRake.desktop"
        "$share/metainfo/io.github.skyrake.SkyRake.metainfo.xml"
        "$share/icons/hicolor/scalable/apps/skyrake.svg")
for size in 16 32 48 64 128 256; do
    expect+=("$share/icons/hicolor/${size}x${size}/apps/skyrake.png")
done
for file in "${expect[@]}"; do
    [ -s "$file" ] || { echo "missing after install: ${file#$root}"; exit 1; }
done
for size in 16 32 48 64 128 256; do
    got="$(file -b "$share/icons/hicolor/${size}x${size}/apps/skyrake.png" 2>/dev/null || true)"
    case "$got" in *"$size x $size"*|"") ;; *) echo "icon ${size}: $got"; exit 1 ;; esac
done
"$root/usr/bin/skyrake" --version | grep -q '^skyrake '
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$share/applications/io.github.skyrake.SkyRake.desktop"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$share/metainfo/io.github.skyrake.SkyRake.metainfo.xml"
fi
echo "installed and valid: ${#expect[@]} files"
