#!/usr/bin/env bash
# The installed program, as a user gets it: `cmake --install` into a staging prefix, then the Debian
# package that CPack makes installed into (and removed from) a scratch root with dpkg. Each time the
# installed ostrel-render draws an example, and the desktop files are where a desktop looks for them.
#   package_test.sh <build-dir> <source-dir>
set -euo pipefail
build="$1" source="$2"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# draws <prefix>: the installed ostrel-render writes a picture of an example model.
draws() {
  "$1/bin/ostrel-render" -o "$scratch/picture.png" --resolution 64,64 "$source/examples/vesicle.tm"
  [ -s "$scratch/picture.png" ] || { echo "no picture from $1/bin/ostrel-render" >&2; exit 1; }
  rm "$scratch/picture.png"
}

# has <root> <file>...: each file exists below root.
has() {
  local root="$1" file
  shift
  for file in "$@"; do
    [ -e "$root/$file" ] || { echo "missing after install: $file" >&2; exit 1; }
  done
}

installed=(bin/ostrel bin/ostrel-render share/applications/ostrel.desktop share/mime/packages/ostrel.xml
  share/icons/hicolor/scalable/apps/ostrel.svg share/man/man1/ostrel-render.1)

cmake --install "$build" --prefix "$scratch/staging" >/dev/null
has "$scratch/staging" "${installed[@]}"
draws "$scratch/staging"
grep -q "resolution" "$scratch/staging/share/man/man1/ostrel-render.1"

(cd "$build" && cpack -G DEB -B "$scratch/package" >/dev/null)
package="$(ls "$scratch"/package/ostrel_*.deb)"
root="$scratch/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
# The scratch root has none of the libraries the package depends on: they are the system's.
dpkg --root="$root" --force-depends --force-not-root -i "$package" >"$scratch/dpkg.log" 2>&1 ||
  { cat "$scratch/dpkg.log" >&2; exit 1; }
has "$root/usr" "${installed[@]}"
draws "$root/usr"
dpkg --root="$root" --force-depends --force-not-root -r ostrel >/dev/null
if [ -e "$root/usr/bin/ostrel" ]; then
  echo "dpkg -r left the program behind" >&2
  exit 1
fi
echo "installed, drew and removed: $(basename "$package")"
