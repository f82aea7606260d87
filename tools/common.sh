# Shared by run.sh and test.sh: installing what is missing and building a tree.

OSTREL_PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev libqt6opengl6-dev
  libtiff-dev libassimp-dev
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-dev libegl-mesa0
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
  ffmpeg ccache help2man dpkg-dev file parallel
)

# What a build with Qt 5.15 (-DOSTREL_QT_MAJOR=5) needs instead of Qt 6.
OSTREL_QT5_PACKAGES=(qtbase5-dev qtbase5-dev-tools)

# What the fuzz harnesses need beyond that: clang with libFuzzer and the sanitizer runtimes, and
# clang's OpenMP runtime.
OSTREL_FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev libomp-14-dev)

# ostrel_install_missing [package...]: installs, non-interactively, the Debian packages of the build
# and the given ones that are not installed yet.
ostrel_install_missing() {
  local missing=()
  local package
  for package in "${OSTREL_PACKAGES[@]}" "$@"; do
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

# Compiler-cache entries are keyed by paths relative to the source tree, so that several checkouts of
# the project (git worktrees, a clean clone) share them.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$OSTREL_ROOT}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"

# ostrel_build <build-dir> <build-type> [cmake options...]: configures once, then builds incrementally.
ostrel_build() {
  local dir="$1" type="$2"
  shift 2
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$OSTREL_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE="$type" "$@"
  fi
  cmake --build "$dir" --parallel "$(nproc)"
}

# ostrel_fuzz <seconds>: builds the fuzz harnesses in build-fuzz/ (clang, address and undefined-
# behaviour sanitizers, libFuzzer) and runs each for that long on one core, starting from its seed
# corpus in fuzz/corpus/. New inputs go to build-fuzz/corpus/<harness>/, an input that brings a
# harness down to build-fuzz/findings/; any finding fails the run once every harness has had its turn.
# OSTREL_FUZZ_SEED fixes libFuzzer's random seed: the same binary then tries the same inputs from the
# committed corpus each time, which replays a run that found something.
ostrel_fuzz() {
  local seconds="$1" dir="$OSTREL_ROOT/build-fuzz"
  local harnesses=(image_fuzzer voxel_matrix_fuzzer data_set_fuzzer shape_file_fuzzer mesh_file_fuzzer file_kind_fuzzer)
  # OSTREL_FUZZ_ONLY="harness ..." runs only those.
  if [ -n "${OSTREL_FUZZ_ONLY:-}" ]; then read -ra harnesses <<<"$OSTREL_FUZZ_ONLY"; fi
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    CC=clang-14 CXX=clang++-14 cmake -S "$OSTREL_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DOSTREL_SANITIZE=ON -DOSTREL_BUILD_FUZZERS=ON -DOSTREL_BUILD_TESTS=OFF -DOSTREL_BUILD_BENCHMARKS=OFF
  fi
  cmake --build "$dir" --parallel "$(nproc)" --target "${harnesses[@]}"
  mkdir -p "$dir/findings"
  local scratch="${TMPDIR:-/tmp}"
  if [ -d /dev/shm ] && [ -w /dev/shm ]; then scratch=/dev/shm; fi
  local harness failed=()
  for harness in "${harnesses[@]}"; do
    mkdir -p "$dir/corpus/$harness"
    echo "=== $harness: ${seconds} s"
    # One thread: an OpenMP team's idle workers would spin between the inputs on the CPU the pass has.
    # The harnesses write every input to a file: in memory (/dev/shm) that runs several times faster.
    if ! OMP_NUM_THREADS=1 TMPDIR="$scratch" ASAN_OPTIONS="detect_leaks=1" \
      LSAN_OPTIONS="suppressions=$OSTREL_ROOT/tools/lsan.supp:print_suppressions=0" \
      UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
      "$dir/fuzz/$harness" "$dir/corpus/$harness" "$OSTREL_ROOT/fuzz/corpus/$harness" \
      ${OSTREL_FUZZ_SEED:+-seed="$OSTREL_FUZZ_SEED"} -max_total_time="$seconds" -rss_limit_mb=2048 \
      -malloc_limit_mb=2048 -timeout=30 -print_final_stats=1 -artifact_prefix="$dir/findings/$harness-" \
      >"$dir/$harness.log" 2>&1; then
      failed+=("$harness")
      tail -n 60 "$dir/$harness.log"
    fi
    grep -E "^stat::|#[0-9]+ *DONE" "$dir/$harness.log" || true
  done
  if [ ${#failed[@]} -gt 0 ]; then
    echo "Fuzzing found faults in: ${failed[*]} (inputs in $dir/findings)" >&2
    return 1
  fi
  echo "Fuzzing: no finding in ${#harnesses[@]} harnesses after ${seconds} s each"
}
