#!/usr/bin/env python3
"""Measures what a test suite catches, on a scratch copy of the code of one commit.

  tools/mutate.py mutants --tests DIR [--tests DIR2] [--commit REV] [--work DIR] [--only 1,5,...]
      Applies each fault of tools/mutants.tsv alone, rebuilds the test programs of the fault's layer
      and of every layer above it, and runs them, layer by layer in one process each, until a test
      fails (twice: in the run and alone); a fault is killed when a test fails. With two test
      directories, each fault is tried on both before the next one.
  tools/mutate.py coverage --tests DIR [--commit REV] [--work DIR]
      Builds with --coverage, runs the whole suite and reports gcovr's line coverage of the six layers.

The code comes from REV (default HEAD) and the tests from DIR, so that two suites can be compared on
the same code. Results go to WORK/mutants.tsv or WORK/coverage.txt. Builds share the compiler cache.
"""

import argparse
import json
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
PROGRAM_TIMEOUT = 1200  # seconds for one layer's tests: a fault that makes a loop endless is killed by it


def run(args, log=None, cwd=None, limit_memory=False):
    def limit():
        os.nice(5)
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


def synchronise(source, target, keep):
    """Makes the tree target hold what source holds, except its entry keep (the build). Only files whose
    bytes differ are written, and they get a fresh modification time: a build left from an earlier run
    (another suite, a fault) rebuilds exactly what changed."""
    for directory, folders, files in os.walk(target, topdown=True):
        if directory == target and keep in folders:
            folders.remove(keep)
        relative = os.path.relpath(directory, target)
        for name in files + [f for f in folders if os.path.islink(os.path.join(directory, f))]:
            if not os.path.lexists(os.path.join(source, relative, name)):
                os.remove(os.path.join(directory, name))
        for name in list(folders):
            if not os.path.isdir(os.path.join(source, relative, name)):
                shutil.rmtree(os.path.join(directory, name))
                folders.remove(name)
    for directory, _, files in os.walk(source):
        relative = os.path.relpath(directory, source)
        os.makedirs(os.path.join(target, relative), exist_ok=True)
        for name in files:
            new, old = os.path.join(directory, name), os.path.join(target, relative, name)
            with open(new, "rb") as f:
                content = f.read()
            if os.path.exists(old):
                with open(old, "rb") as f:
                    if f.read() == content:
                        continue
            with open(old, "wb") as f:
                f.write(content)
            shutil.copymode(new, old)


def prepare(args, build_options, build_name):
    """A copy of the code at args.commit with args.tests as its tests/, configured in WORK/src/<build_name>.

    The build lies inside the copy as build-tests/ lies inside a checkout, so that the compiler cache,
    which keys on paths relative to the build, serves the copy with what a checkout's build compiled."""
    work = os.path.abspath(args.work)
    src = os.path.join(work, "src")
    tests = os.path.abspath(args.tests)
    os.makedirs(src, exist_ok=True)
    fresh = os.path.join(work, "fresh")
    shutil.rmtree(fresh, ignore_errors=True)
    os.makedirs(fresh)
    archive = subprocess.run(["git", "-C", ROOT, "archive", args.commit], check=True, capture_output=True).stdout
    subprocess.run(["tar", "-x", "-C", fresh], input=archive, check=True)
    shutil.rmtree(os.path.join(fresh, "tests"))
    shutil.copytree(tests, os.path.join(fresh, "tests"), ignore=shutil.ignore_patterns("build*"))
    synchronise(fresh, src, keep=build_name)
    shutil.rmtree(fresh)
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


def build_all(build, log, targets=None):
    """Builds the given targets (default all) with at most two jobs: the machine is shared."""
    args = ["cmake", "--build", build, "--parallel", "2"]
    if targets:
        args += ["--target"] + targets
    return run(args, log) == 0


def ctest(build, log):
    """The whole suite as ./test.sh runs it."""
    args = ["xvfb-run", "-a", "-s", "-screen 0 1600x1200x24", "ctest", "--test-dir", build, "--parallel", "2",
            "--timeout", "1200", "--repeat", "until-pass:2", "--output-on-failure"]
    return run(args, log, limit_memory=True)


def layer_programs(build):
    """For each layer: its test program, working directory and environment, as CTest registered them."""
    listing = subprocess.run(["ctest", "--test-dir", build, "--show-only=json-v1"], capture_output=True, text=True,
                             check=True).stdout
    programs = {}
    for test in json.loads(listing)["tests"]:
        command = test.get("command") or []
        properties = {p["name"]: p["value"] for p in test.get("properties", [])}
        name = os.path.basename(command[0]) if command else ""
        layer = name[: -len("_tests")] if name.endswith("_tests") else None
        if layer in LAYERS and layer not in programs:
            environment = dict(item.split("=", 1) for item in properties.get("ENVIRONMENT", []))
            programs[layer] = (command[0], properties.get("WORKING_DIRECTORY", build), environment)
    return programs


def run_program(program, log, test_filter):
    """Runs one layer's test program in one process, stopping at the first failure: the name of the
    first failing (or crashing, or hanging) test, or None when every test passed."""
    path, cwd, environment = program
    args = ["xvfb-run", "-a", "-s", "-screen 0 1600x1200x24", path, "--gtest_fail_fast", "--gtest_filter=" + test_filter]

    def limit():
        os.nice(5)
        resource.setrlimit(resource.RLIMIT_AS, (MEMORY_LIMIT, MEMORY_LIMIT))

    try:
        result = subprocess.run(args, cwd=cwd, env=dict(os.environ, **environment), capture_output=True, text=True,
                                errors="replace", preexec_fn=limit, timeout=PROGRAM_TIMEOUT)
        output, status = result.stdout + result.stderr, result.returncode
    except subprocess.TimeoutExpired as timeout:
        output, status = (timeout.stdout or b"").decode(errors="replace") + "\n(timed out)\n", -1
    with open(log, "a") as f:
        f.write(f"--- {os.path.basename(path)} --gtest_filter={test_filter}: exit {status}\n{output[-20000:]}")
    if status == 0:
        return None
    lines = output.splitlines()
    started = [line.split("]", 1)[1].strip() for line in lines if line.startswith("[ RUN      ]")]
    failed = [line.split("]", 1)[1].split()[0] for line in lines
              if line.startswith("[  FAILED  ]") and line.split("]", 1)[1].strip()[:1].isalpha()]
    return failed[0] if failed else (started[-1] if started else os.path.basename(path))


def first_failure(programs, layers, log, exclude, build=None):
    """The first test of the given layers that fails twice (in the run of its layer, then alone: a busy
    virtual display now and then refuses an OpenGL context), or None. With a build directory, each
    layer's test program is built just before it runs, so that a fault caught low needs no more;
    "build-error" when that fails."""
    for layer in layers:
        if build and not build_all(build, log, [f"{layer}_tests"]):
            return "build-error"
        failing = run_program(programs[layer], log, "-" + exclude if exclude else "*")
        if failing and run_program(programs[layer], log, failing if "." in failing else "*"):
            return failing
    return None


def apply_and_run(src, build, programs, log, mutant):
    """Builds the code with one fault and runs the tests of its layer, then of each layer above, until a
    test fails: killed, survived or build-error, and the failing test. The file is restored afterwards."""
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
    layers = LAYERS[LAYERS.index(layer):]
    # Only the test programs that can see the fault are rebuilt, each just before it runs. The real
    # files of the shared data folder take minutes and gigabytes; they are read for faults in the
    # imaging layer, where the readers are, and left out for the others.
    failed = first_failure(programs, layers, log, None if layer == "imaging" else "SharedData.*", build)
    if failed == "build-error":
        status, failing = "build-error", []
    else:
        status, failing = ("killed", [failed]) if failed else ("survived", [])
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
        if not build_all(build, log):
            sys.exit(f"the unchanged code does not build with {tests}, see {log}")
        programs = layer_programs(build)
        if not args.no_baseline and first_failure(programs, LAYERS, log, None):
            sys.exit(f"the unchanged code does not pass with {tests}, see {log}")
        suites.append((src, build, programs, log))
    mutants = read_mutants(args.mutants)
    chosen = [int(n) for n in args.only.split(",")] if args.only else range(1, len(mutants) + 1)
    results = os.path.join(os.path.abspath(args.work), "mutants.tsv")
    with open(results, "w") as out:
        out.write("number\tfile\tfault" + "".join(f"\tsuite{n + 1}\tfailing tests" for n in range(len(suites))) + "\n")
    killed = [0] * len(suites)
    for number in chosen:
        path, old, new, _ = mutants[number - 1]
        row = f"{number}\t{path}\t{old} -> {new}"
        for n, (src, build, programs, log) in enumerate(suites):
            start = time.monotonic()
            status, failing = apply_and_run(src, build, programs, log, mutants[number - 1])
            killed[n] += status == "killed"
            row += f"\t{status}\t{' '.join(failing[:2])}"
            print(f"fault {number}, suite{n + 1}: {status} in {time.monotonic() - start:.0f} s", flush=True)
        with open(results, "a") as out:
            out.write(row + "\n")
        print(row, flush=True)
    for src, build, _, log in suites:
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
                              "-o", os.path.join(work, "coverage-files.txt"),
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
