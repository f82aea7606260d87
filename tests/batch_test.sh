#!/usr/bin/env bash
# The README's GNU parallel recipe, run as written on a copy of the examples: one picture per model.
#   batch_test.sh <build-dir> <source-dir>
set -euo pipefail
build="$1" source="$2"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

recipe="$(sed -n '/^    export OMP_NUM_THREADS/{N;/| parallel/p}' "$source/README.md")"
[ "$(wc -l <<<"$recipe")" -eq 2 ] || { echo "the recipe is not in the README" >&2; exit 1; }
cp -r "$source/examples" "$scratch/models"
cd "$scratch"
PATH="$build/application:$PATH" bash -euo pipefail -c "$recipe"
expected="$(cd models && ls | grep -v '\.vcolors\.' | sed 's/\.[^.]*$/.png/' | sort)"
drawn="$(ls pictures | sort)"
if [ "$drawn" != "$expected" ]; then
  printf 'expected pictures:\n%s\ngot:\n%s\n' "$expected" "$drawn" >&2
  exit 1
fi
echo "drew $(wc -l <<<"$drawn") models"
