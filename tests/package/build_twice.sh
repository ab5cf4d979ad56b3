#!/bin/sh
# Builds the shipped PROGRAM and its packages twice from SOURCE, into two
# fresh folders of different depths under OUT, and fails unless the program,
# its debug information and the packages are the same bytes. Only those
# targets are built.
#   build_twice.sh SOURCE OUT PROGRAM CONFIGURE-ARGUMENT...
set -eu
source=$1 out=$2 program=$3
shift 3
rm -rf "$out"
mkdir -p "$out"
for build in "$out/one" "$out/two/nested"; do
  cmake -S "$source" -B "$build" "$@" >"$out/configure.log"
  cmake --build "$build" --target "$program" -j "$(nproc)" >"$out/build.log"
  cpack --config "$build/CPackConfig.cmake" -B "$build/shipped" >"$out/cpack.log"
  rm -rf "$build/shipped/_CPack_Packages"
  cp "$build/bin/$program" "$build/bin/$program.debug" "$build/shipped"
done
diff -r "$out/one/shipped" "$out/two/nested/shipped"
echo "the same bytes: $(ls "$out/one/shipped" | tr '\n' ' ')"
