#!/usr/bin/env bash
# Configures SkyRake in a scratch folder with the builder's own optimisation flags and checks that
# they stay theirs: only the pixel loops are compiled at -O3, every other file with the flags given.
# Usage: check-configure.sh SOURCE_DIR
set -euo pipefail
source="$1"
build="$(mktemp -d)"
trap 'rm -rf "$build"' EXIT
cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
      -DSKYRAKE_BUILD_TESTS=OFF -DSKYRAKE_BUILD_BENCH=OFF -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
grep -q '^CMAKE_CXX_FLAGS_RELWITHDEBINFO:STRING=-O1 -g$' "$build/CMakeCache.txt" ||
    { echo "the cache lost the builder's flags"; grep FLAGS_RELWITHDEBINFO "$build/CMakeCache.txt"; exit 1; }
command_of() { grep "\"command\": .*/$1\.cpp" "$build/compile_commands.json"; }
command_of platform/Surface | grep -q -- '-O1 -g .*-O3' || { echo "Surface.cpp is not vectorised"; exit 1; }
if command_of app/MainFrame | grep -q -- '-O3'; then echo "MainFrame.cpp got -O3"; exit 1; fi
echo "configure: builder's flags kept, pixel loops at -O3"
