#!/usr/bin/env bash
# The README's GNU parallel recipe, run as written on a copy of the examples: one picture per model.
#   batch_test.sh <build-dir> <source-dir>
set -euo pipefail
build="$1" source="$2"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

recipe="$(sed -n '/^    export OMP_NUM_THREADS/{N;/| parallel/p}' "$source/README.md")"
[ -n "$recipe" ] || { echo "the recipe is not in the README" >&2; exit 1; }
cp -r "$source/examples" "$scratch/models"
cd "$scratch"
PATH="$build/application:$PATH" bash -euo pipefail -c "$recipe"
expected="$(ls models | grep -v '\.vcolors\.' | sed 's/\.[^.]*$/.png/')"
[ "$(ls pictures)" = "$expected" ] || { printf 'expected:\n%s\ngot:\n%s\n' "$expected" "$(ls pictures)" >&2; exit 1; }
