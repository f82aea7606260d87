#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite (GUI and OpenGL tests on a
# virtual display). With --sanitize: the same in build-sanitize/ with the address and
# undefined-behaviour sanitizers.
set -euo pipefail
OSTREL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$OSTREL_ROOT/tools/common.sh"

dir="$OSTREL_ROOT/build-tests"
options=(-DOSTREL_BUILD_BENCHMARKS=OFF)
type=Release
for argument in "$@"; do
  case "$argument" in
    --sanitize)
      dir="$OSTREL_ROOT/build-sanitize"
      type=Debug
      options+=(-DOSTREL_SANITIZE=ON)
      export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
      export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
      ;;
    *)
      echo "usage: $0 [--sanitize]" >&2
      exit 2
      ;;
  esac
done

ostrel_install_missing
ostrel_build "$dir" "$type" "${options[@]}"

cd "$dir"
# A case that fails is run again, up to three times in all: creating an OpenGL context on a busy
# virtual display now and then fails, which says nothing about our code. A real failure fails thrice.
xvfb-run -a -s "-screen 0 1600x1200x24" \
  ctest --output-on-failure --parallel "$(nproc)" --timeout 600 --repeat until-pass:3
