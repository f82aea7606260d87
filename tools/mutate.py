#!/usr/bin/env python3
"""Measures what a test suite catches, on a scratch copy of the code of one commit.

  tools/mutate.py mutants --tests DIR [--tests DIR2] [--commit REV] [--work DIR] [--only 1,5,...]
      Applies each fault of tools/mutants.tsv alone, rebuilds incrementally and runs the tests of
      the fault's layer and of every layer above it; a fault is killed when a test fails. With two
      test directories, each fault is tried on both before the next one.
  tools/mutate.py coverage --tests DIR [--commit REV] [--work DIR]
      Builds with --coverage, runs the whole suite and reports gcovr's line coverage of the six layers.

The code comes from REV (default HEAD) and the tests from DIR, so that two suites can be compared on
the same code. Results go to WORK/mutants.tsv or WORK/coverage.txt. Builds share the compiler cache.
"""

import argparse
import os
import resource
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LAYERS = ["foundation", "geometry", "imaging", "rendering", "viewer", "application"]
MEMORY_LIMIT = 16 << 30  # a fault that removes a size check must not take the shared machine's memory (reading the
# shared data reserves between 8 and 16 GiB of address space)


def run(args, log=None, cwd=None, limit_memory=False):
    def limit():
        os.nice(10)
        if limit_memory:
            resource.setrlimit(resource.RLIMIT_AS, (MEMORY_LIMIT, MEMORY_LIMIT))

    out = open(log, "a") if log else subprocess.DEVNULL
    try:
        return subprocess.run(args, cwd=cwd, stdout=out, stderr=subprocess.STDOUT, preexec_fn=limit).returncode
    finally:
        if log:
            out.close()


def read_mutants(path):
    mutants = []
    with open(path) as f:
        for line in f:
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) not in (3, 4):
                sys.exit(f"bad line in {path}: {line!r}")
            occurrence = int(fields[3]) if len(fields) == 4 else 1
            mutants.append((fields[0], fields[1], fields[2], occurrence))
    return mutants


def mutated(text, old, new, occurrence):
    """The file with the occurrence-th line holding old changed; None if there is no such line."""
    lines = text.split("\n")
    hits = [i for i, line in enumerate(lines) if old in line]
    if len(hits) < occurrence or lines[hits[occurrence - 1]].count(old) != 1:
        return None
    i = hits[occurrence - 1]
    lines[i] = lines[i].replace(old, new)
    return "\n".join(lines)


def prepare(args, build_options, build_name):
    """A copy of the code at args.commit with args.tests as its tests/, configured in WORK/src/<build_name>.

    The build lies inside the copy as build-tests/ lies inside a checkout, so that the compiler cache,
    which keys on paths relative to the build, serves the copy with what a checkout's build compiled."""
    work = os.path.abspath(args.work)
    src = os.path.join(work, "src")
    tests = os.path.abspath(args.tests)
    os.makedirs(src, exist_ok=True)
    for entry in os.listdir(src):
        if entry != build_name:
            path = os.path.join(src, entry)
            shutil.rmtree(path) if os.path.isdir(path) and not os.path.islink(path) else os.remove(path)
    archive = subprocess.run(["git", "-C", ROOT, "archive", args.commit], check=True, capture_output=True).stdout
    # Fresh modification times: an object built from an earlier fault must not look up to date.
    subprocess.run(["tar", "-x", "-m", "-C", src], input=archive, check=True)
    shutil.rmtree(os.path.join(src, "tests"))
    shutil.copytree(tests, os.path.join(src, "tests"), ignore=shutil.ignore_patterns("build*"), copy_function=shutil.copy)
    # Tests find the shared data beside the source tree.
    shared = os.path.join(work, "shared")
    if not os.path.exists(shared):
        os.symlink(os.path.realpath(os.path.join(ROOT, "..", "shared")), shared)
    build = os.path.join(src, build_name)
    log = os.path.join(work, "build.log")
    if not os.path.exists(os.path.join(build, "CMakeCache.txt")):
        options = ["-DCMAKE_BUILD_TYPE=Release", "-DOSTREL_BUILD_BENCHMARKS=OFF"] + build_options
        if run(["cmake", "-S", src, "-B", build] + options, log):
            sys.exit(f"configuring failed, see {log}")
    return work, src, build


def build_all(build, log):
    return run(["cmake", "--build", build, "--parallel", "2"], log) == 0


def ctest(build, log, labels=None, stop_on_failure=False, exclude=None):
    args = ["xvfb-run", "-a", "-s", "-screen 0 1600x1200x24", "ctest", "--test-dir", build, "--parallel", "2",
            "--timeout", "1200", "--repeat", "until-pass:2", "--output-on-failure"]
    if labels:
        args += ["-L", "^(" + "|".join(labels) + ")$"]
    if exclude:
        args += ["-E", exclude]
    if stop_on_failure:
        args.append("--stop-on-failure")
    return run(args, log, limit_memory=True)


def failed_tests(build):
    path = os.path.join(build, "Testing", "Temporary", "LastTestsFailed.log")
    if not os.path.exists(path):
        return []
    with open(path) as f:
        return [line.strip().split(":", 1)[-1] for line in f if line.strip()]


def apply_and_run(src, build, log, mutant):
    """Builds the code with one fault and runs the tests of its layer and above: killed, survived or
    build-error, and the first failing tests. The file is restored afterwards."""
    path, old, new, occurrence = mutant
    file = os.path.join(src, path)
    with open(file) as f:
        original = f.read()
    text = mutated(original, old, new, occurrence)
    if text is None:
        return "not-found", []
    with open(file, "w") as f:
        f.write(text)
    with open(log, "a") as f:
        f.write(f"\n=== {path}: {old!r} -> {new!r}\n")
    layer = path.split("/")[0]
    failing = []
    if not build_all(build, log):
        status = "build-error"
    # The real files of the shared data folder take minutes and gigabytes; they are read for faults
    # in the imaging layer, where the readers are, and left out for the others.
    elif ctest(build, log, LAYERS[LAYERS.index(layer):], stop_on_failure=True,
               exclude=None if layer == "imaging" else "^SharedData[.]"):
        status, failing = "killed", failed_tests(build)
    else:
        status = "survived"
    with open(file, "w") as f:
        f.write(original)
    return status, failing


def mutants_command(args):
    """Each fault is built and tested against every suite given before the next fault, so that the
    suites are compared fault by fault even when a run is cut short; the second build of a fault
    comes from the compiler cache."""
    os.environ.setdefault("CCACHE_BASEDIR", os.path.dirname(ROOT))
    suites = []
    for n, tests in enumerate(args.tests):
        suite_args = argparse.Namespace(**vars(args))
        suite_args.tests = tests
        suite_args.work = os.path.join(args.work, f"suite{n + 1}")
        work, src, build = prepare(suite_args, [], "build-tests")
        log = os.path.join(work, "mutants.log")
        if not build_all(build, log) or (not args.no_baseline and ctest(build, log)):
            sys.exit(f"the unchanged code does not build or pass with {tests}, see {log}")
        suites.append((src, build, log))
    mutants = read_mutants(args.mutants)
    chosen = [int(n) for n in args.only.split(",")] if args.only else range(1, len(mutants) + 1)
    results = os.path.join(os.path.abspath(args.work), "mutants.tsv")
    with open(results, "w") as out:
        out.write("number\tfile\tfault" + "".join(f"\tsuite{n + 1}\tfailing tests" for n in range(len(suites))) + "\n")
    killed = [0] * len(suites)
    for number in chosen:
        path, old, new, _ = mutants[number - 1]
        row = f"{number}\t{path}\t{old} -> {new}"
        for n, (src, build, log) in enumerate(suites):
            status, failing = apply_and_run(src, build, log, mutants[number - 1])
            killed[n] += status == "killed"
            row += f"\t{status}\t{' '.join(failing[:2])}"
        with open(results, "a") as out:
            out.write(row + "\n")
        print(row, flush=True)
    for src, build, log in suites:
        build_all(build, log)  # leave each build as the unchanged code
    print("killed " + ", ".join(f"suite{n + 1} {k}" for n, k in enumerate(killed)) + f" of {len(chosen)}; see {results}")


def coverage_command(args):
    os.environ.setdefault("CCACHE_BASEDIR", os.path.dirname(ROOT))
    args.tests = args.tests[0]
    if not shutil.which("gcovr"):
        subprocess.run(["apt-get", "install", "-y", "-qq", "gcovr"], check=True)
    work, src, build = prepare(args, ["-DCMAKE_CXX_FLAGS=--coverage", "-DCMAKE_EXE_LINKER_FLAGS=--coverage"],
                                "build-coverage")
    log = os.path.join(work, "coverage.log")
    if not build_all(build, log):
        sys.exit(f"the build failed, see {log}")
    run(["find", build, "-name", "*.gcda", "-delete"])
    status = ctest(build, log)
    layers = "|".join(LAYERS)
    summary = subprocess.run(["gcovr", "--root", src, "--filter", f"{src}/({layers})/", "--print-summary",
                              "--gcov-ignore-errors", "source_not_found", "-o", os.path.join(work, "coverage-files.txt"),
                              build], capture_output=True, text=True, cwd=build)
    report = summary.stdout + summary.stderr + ("" if status == 0 else f"\nSome tests failed (ctest exit {status}).\n")
    with open(os.path.join(work, "coverage.txt"), "w") as f:
        f.write(report)
    print(report)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("command", choices=["mutants", "coverage"])
    parser.add_argument("--tests", required=True, action="append",
                        help="a tests/ directory to measure (mutants: repeat to compare suites fault by fault)")
    parser.add_argument("--commit", default="HEAD", help="the commit whose code is measured")
    parser.add_argument("--work", default=None, help="scratch directory (default build-<command>/ in the repository: the compiler cache then serves two runs)")
    parser.add_argument("--mutants", default=os.path.join(ROOT, "tools", "mutants.tsv"))
    parser.add_argument("--only", default="", help="comma-separated mutant numbers (1-based), in the order to run")
    parser.add_argument("--no-baseline", action="store_true", help="skip the run of the unchanged suites")
    args = parser.parse_args()
    args.work = args.work or os.path.join(ROOT, f"build-{args.command}")
    (mutants_command if args.command == "mutants" else coverage_command)(args)


if __name__ == "__main__":
    main()
