#!/bin/sh
# Builds the shipped TARGET and its packages twice from SOURCE, into two
# fresh folders of different depths under OUT, and fails unless its program
# file PROGRAM, its debug information and the packages are the same bytes.
# Only those targets are built.
#   build_twice.sh SOURCE OUT TARGET PROGRAM CONFIGURE-ARGUMENT...
set -eu
source=$1 out=$2 target=$3 program=$4
shift 4
rm -rf "$out"
mkdir -p "$out"
for build in "$out/one" "$out/two/nested"; do
  cmake -S "$source" -B "$build" "$@" >"$out/configure.log"
  cmake --build "$build" --target "$target" -j "$(nproc)" >"$out/build.log"
  cpack --config "$build/CPackConfig.cmake" -B "$build/shipped" >"$out/cpack.log"
  rm -rf "$build/shipped/_CPack_Packages"
  cp "$build/bin/$program" "$build/bin/$program.debug" "$build/shipped"
done
diff -r "$out/one/shipped" "$out/two/nested/shipped"
echo "the same bytes: $(ls "$out/one/shipped" | tr '\n' ' ')"
