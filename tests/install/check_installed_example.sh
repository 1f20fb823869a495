#!/usr/bin/env bash
# Installs a built Velorium into a fresh prefix, then builds and runs the example project
# examples/installed against that installation only:
#   check_installed_example.sh BUILD_DIR SOURCE_DIR CXX_COMPILER [EXTRA_LINKER_FLAGS]
set -euo pipefail
build_dir=$1
source_dir=$2
compiler=$3
linker_flags=${4:-}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

cmake --install "$build_dir" --prefix "$prefix" >/dev/null
for expected in include/velorium/velorium.hpp include/velorium/velorium.h; do
  [[ -f "$prefix/$expected" ]] || { echo "not installed: $expected"; exit 1; }
done
ls "$prefix"/lib*/libvelorium_core.so* >/dev/null
ls "$prefix"/lib*/cmake/velorium/velorium-config.cmake >/dev/null

cmake -S "$source_dir/examples/installed" -B "$work/example" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER="$compiler" \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_EXE_LINKER_FLAGS="$linker_flags" >/dev/null
cmake --build "$work/example" >/dev/null
"$work/example/velorium_installed_example"
