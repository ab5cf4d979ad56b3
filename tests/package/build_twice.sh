#!/bin/sh
# Builds the shipped program and its packages twice from SOURCE, into two
# fresh folders of different depths under OUT, and fails unless the program,
# its debug information and the packages are the same bytes: nothing of the
# build's folders or time gets into them. Only those targets are built.
#   build_twice.sh SOURCE OUT PROGRAM CONFIGURE-ARGUMENT...
set -eu
source=$1 out=$2 program=$3
shift 3
rm -rf "$out"
builds="$out/one $out/two/nested"
for build in $builds; do
  mkdir -p "$build"
  cmake -S "$source" -B "$build" "$@" >"$build/configure.log"
  cmake --build "$build" --target "$program" -j "$(nproc)" >"$build/build.log"
  cpack --config "$build/CPackConfig.cmake" -B "$build/packages" >"$build/cpack.log"
  rm -rf "$build/packages/_CPack_Packages"
done

status=0
first=$out/one
second=$out/two/nested
for file in "bin/$program" "bin/$program.debug" $(cd "$first" && ls packages/*); do
  if cmp -s "$first/$file" "$second/$file"; then
    echo "same: $file"
  else
    echo "differs: $file"
    status=1
  fi
done
exit $status
