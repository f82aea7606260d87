# Shared by run.sh and test.sh: installing what is missing and building a tree.

OSTREL_PACKAGES=(
  cmake g++ make pkg-config
  qtbase5-dev qtbase5-dev-tools
  libtiff-dev libassimp-dev
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
  ffmpeg ccache
)

# Installs, non-interactively, only the Debian packages that are not installed yet.
ostrel_install_missing() {
  local missing=()
  local package
  for package in "${OSTREL_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# ostrel_build <build-dir> <build-type> [cmake options...]: configures once, then builds incrementally.
ostrel_build() {
  local dir="$1" type="$2"
  shift 2
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$OSTREL_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE="$type" "$@"
  fi
  cmake --build "$dir" --parallel "$(nproc)"
}
