#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite (GUI and OpenGL tests on a
# virtual display).
#   --sanitize       the same in build-sanitize/ with the address, leak and undefined-behaviour
#                    sanitizers (third-party start-up leaks suppressed by tools/lsan.supp)
#   --fuzz SECONDS   builds the fuzz harnesses in build-fuzz/ with clang and the sanitizers and runs
#                    each for SECONDS from its committed seed corpus; fails on any finding
#                    (see fuzz/README.md)
#   --qt5            builds everything, tests included, with Qt 5.15 in build-qt5/ without running
#                    the suite: the code must keep compiling with both Qt versions
set -euo pipefail
OSTREL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$OSTREL_ROOT/tools/common.sh"

usage() {
  echo "usage: $0 [--sanitize | --fuzz SECONDS | --qt5]" >&2
  exit 2
}

dir="$OSTREL_ROOT/build-tests"
options=(-DOSTREL_BUILD_BENCHMARKS=OFF)
type=Release
fuzz_seconds=""
qt5=false
while [ $# -gt 0 ]; do
  case "$1" in
    --sanitize)
      dir="$OSTREL_ROOT/build-sanitize"
      type=Debug
      options+=(-DOSTREL_SANITIZE=ON)
      export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
      export LSAN_OPTIONS="suppressions=$OSTREL_ROOT/tools/lsan.supp:print_suppressions=0"
      export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
      ;;
    --qt5)
      dir="$OSTREL_ROOT/build-qt5"
      options+=(-DOSTREL_QT_MAJOR=5)
      qt5=true
      ;;
    --fuzz)
      [ $# -ge 2 ] && [[ "$2" =~ ^[0-9]+$ ]] || usage
      fuzz_seconds="$2"
      shift
      ;;
    *)
      usage
      ;;
  esac
  shift
done

if [ -n "$fuzz_seconds" ]; then
  ostrel_install_missing "${OSTREL_FUZZ_PACKAGES[@]}"
  ostrel_fuzz "$fuzz_seconds"
  exit
fi

if $qt5; then
  ostrel_install_missing "${OSTREL_QT5_PACKAGES[@]}"
  ostrel_build "$dir" "$type" "${options[@]}"
  exit
fi

ostrel_install_missing
ostrel_build "$dir" "$type" "${options[@]}"

cd "$dir"
# A case that fails is run again, up to three times in all: creating an OpenGL context on a busy
# virtual display now and then fails, which says nothing about our code. A real failure fails thrice.
xvfb-run -a -s "-screen 0 1600x1200x24" \
  ctest --output-on-failure --parallel "$(nproc)" --timeout 600 --repeat until-pass:3
