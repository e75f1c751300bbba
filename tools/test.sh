#!/usr/bin/env bash
# Builds everything and runs every test: natively (Release, then with
# AddressSanitizer and UndefinedBehaviorSanitizer, and the preset file fuzzer),
# then the Windows builds under Wine, x86_64 and i686, in one project prefix.
# Installs what is missing first. Usage: tools/test.sh [BUILD_DIR]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
mkdir -p "$build"
build=$(cd "$build" && pwd)

"$root/tools/setup.sh" || exit 1

jobs=$(nproc)
failed=()
summary=()
total=0
total_failed=0
total_skipped=0

configure_and_build() {  # name, extra cmake arguments...
  local name=$1
  shift
  echo "== build $name"
  cmake -S "$root" -B "$build/$name" -G Ninja "$@" >"$build/$name.configure.log" 2>&1 ||
    { cat "$build/$name.configure.log"; return 1; }
  ninja -C "$build/$name" -j"$jobs" >"$build/$name.build.log" 2>&1 ||
    { tail -n 60 "$build/$name.build.log"; return 1; }
}

run_tests() {  # name
  local name=$1 log="$build/$1.ctest.log"
  echo "== test $name"
  (cd "$build/$name" && ctest --output-on-failure -j1) >"$log" 2>&1
  local rc=$?
  grep -E '^ *[0-9]+/[0-9]+ Test|tests passed|Total Test time|Skipped|\*\*\*' "$log"
  [ $rc -eq 0 ] || { failed+=("$name"); grep -B5 -A40 -E 'Failure|FAILED|\*\*\*Failed|Timeout' "$log" | head -n 200; }
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  local skipped
  skipped=$(grep -c '\*\*\*Skipped' "$log")
  total_skipped=$((total_skipped + skipped))
  local note=""
  [ "$skipped" -gt 0 ] && note=" ($skipped skipped)"
  summary+=("$name: ${line:-no ctest summary}$note")
  if [[ $line =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
    total=$((total + BASH_REMATCH[2]))
    total_failed=$((total_failed + BASH_REMATCH[1]))
  else
    total_failed=$((total_failed + 1))
  fi
}

build_and_test() {  # name, cmake arguments...
  if configure_and_build "$@"; then
    run_tests "$1"
  else
    failed+=("$1 (build)")
    total_failed=$((total_failed + 1))
  fi
}

# A display for the window tests, on a free number.
display=
for n in $(seq 90 120); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=$n; break; }
done
if [ -z "$display" ]; then
  echo "test: no free X display number between :90 and :120 for Xvfb (stale /tmp/.X*-lock files?)" >&2
  exit 1
fi
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; WINEPREFIX="$build/wineprefix" wineserver -k 2>/dev/null' EXIT
export DISPLAY=":$display"

build_and_test native -DCMAKE_BUILD_TYPE=Release
build_and_test sanitize -DCMAKE_BUILD_TYPE=Debug -DSOMBREVOX_SANITIZE=ON
if [ -f "$root/presets/fuzz/CMakeLists.txt" ]; then
  CC=clang CXX=clang++ build_and_test fuzz -DCMAKE_BUILD_TYPE=Release -DSOMBREVOX_FUZZ=ON
fi

export WINEPREFIX="$build/wineprefix"
"$root/cmake/wine-prefix.sh" || failed+=("wine prefix")
for arch in x86_64 i686; do
  build_and_test "$arch" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-w64-mingw32.cmake" \
    -DSOMBREVOX_WINEPREFIX="$WINEPREFIX"
done

# The buffer loops' speed under Wine, in short: figures only, nothing asserted
# but that the timing program runs (77: this machine cannot run 32-bit programs).
for arch in x86_64 i686; do
  timing="$build/$arch/tools/timing/sombrevox-timing.exe"
  [ -f "$timing" ] || continue
  echo "== timing $arch (quick)"
  "$build/$arch/wine-run.sh" "$timing" --quick
  rc=$?
  [ $rc -eq 0 ] || [ $rc -eq 77 ] || { failed+=("timing $arch"); total_failed=$((total_failed + 1)); }
done

echo "== summary"
printf '%s\n' "${summary[@]}"
[ ${#failed[@]} -gt 0 ] && echo "failed: ${failed[*]}"
# One closing line in ctest's own words for all the runs together.
passed=$((total - total_failed))
[ $passed -lt 0 ] && passed=0
percent=0
[ $total -gt 0 ] && percent=$((100 * passed / total))
echo "$percent% tests passed, $total_failed tests failed out of $total"
echo "total: $((passed - total_skipped)) passed, $total_failed failed, $total_skipped skipped"
[ ${#failed[@]} -eq 0 ]
