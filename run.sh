#!/usr/bin/env bash
# Installs what is missing, builds the Release tree and starts the viewer with the given files
# (or with the sample models of examples/ when none are given).
set -euo pipefail
OSTREL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$OSTREL_ROOT/tools/common.sh"

ostrel_install_missing
ostrel_build "$OSTREL_ROOT/build" Release -DOSTREL_BUILD_TESTS=OFF -DOSTREL_BUILD_BENCHMARKS=OFF

files=("$@")
if [ ${#files[@]} -eq 0 ]; then
  shopt -s nullglob
  for file in "$OSTREL_ROOT"/examples/*.{vx,vs,cv,cs,qm,tm}; do
    # Colour companions are loaded with their mesh, not as shapes of their own.
    [[ "$file" == *.vcolors.* ]] || files+=("$file")
  done
  shopt -u nullglob
fi

program="$OSTREL_ROOT/build/application/ostrel"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting ostrel on a virtual display (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1600x1200x24" "$program" "${files[@]}"
fi
exec "$program" "${files[@]}"
