"""Shared helpers of the tool tests: running a tool under the sanitizers with exit codes that
cannot be mistaken for the tools' own, and collecting failed checks."""

import argparse
import os
import subprocess
import sys

# The tools' own exit codes are 0, 1 and 2; a sanitizer finding must never look like them.
SANITIZER_EXIT = 86
SANITIZER_ENV = {
    "ASAN_OPTIONS": "exitcode=%d:detect_leaks=1:abort_on_error=0" % SANITIZER_EXIT,
    "UBSAN_OPTIONS": "exitcode=%d:halt_on_error=1:print_stacktrace=1" % SANITIZER_EXIT,
    "LSAN_OPTIONS": "exitcode=%d" % SANITIZER_EXIT,
}
SANITIZER_MARKERS = ("AddressSanitizer", "LeakSanitizer", "runtime error:",
                     "UndefinedBehaviorSanitizer")


def run_tool(command, timeout=120):
    env = dict(os.environ)
    env.update(SANITIZER_ENV)
    return subprocess.run(command, capture_output=True, text=True, errors="replace", env=env,
                          timeout=timeout)


def sanitizer_finding(result):
    """The sanitizer's report when the run hit one, otherwise None."""
    if result.returncode == SANITIZER_EXIT or result.returncode < 0 or \
            any(marker in result.stderr for marker in SANITIZER_MARKERS):
        return result.stderr[-4000:]
    return None


def tool_arguments():
    """The tool tests' --fcsgen and --dump."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--fcsgen", required=True)
    parser.add_argument("--dump", required=True)
    return parser.parse_args()


class Checker:
    def __init__(self):
        self.failures = []
        self.checks = 0

    def true(self, what, condition, detail=None):
        self.checks += 1
        if not condition:
            self.failures.append(what + ("" if detail is None else ": " + str(detail)))
        return bool(condition)

    def equal(self, what, actual, expected):
        return self.true(what, actual == expected,
                         "got %r, expected %r" % (actual, expected))

    def finish(self, name):
        for failure in self.failures[:50]:
            print("FAIL " + failure)
        if len(self.failures) > 50:
            print("... and %d more failures" % (len(self.failures) - 50))
        print("%s: %d checks, %d failed" % (name, self.checks, len(self.failures)))
        return 1 if self.failures else 0


SKIP = 77  # ctest's SKIP_RETURN_CODE


def corpus_arguments(description):
    """The corpus tests' --dump and --corpus; None (after saying so) when the corpus is absent,
    as in a clone without the shared folder beside it."""
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--dump", required=True)
    parser.add_argument("--corpus", required=True)
    args = parser.parse_args()
    if not os.path.isdir(args.corpus):
        print("SKIPPED: no corpus at %s" % args.corpus)
        return None
    return args


def corpus_files(corpus):
    """The corpus's data files as (path relative to it, with /, full path), sorted: everything
    but its manifest, hidden files and notes."""
    files = []
    for folder, _, names in os.walk(corpus):
        for n in names:
            path = os.path.join(folder, n)
            rel = os.path.relpath(path, corpus).replace(os.sep, "/")
            if rel != "MANIFEST.tsv" and not rel.startswith(".") and not n.endswith(".md"):
                files.append((rel, path))
    return sorted(files)


class GeneratedFiles:
    """Files the generator writes into a work folder, and the inspector run on them, each run
    checked for its exit and for sanitizer findings."""

    def __init__(self, args, work, check):
        self.args, self.work, self.check = args, work, check

    def generate(self, name, gen_args):
        path = os.path.join(self.work, name)
        result = run_tool([self.args.fcsgen, "--out", path] + gen_args)
        self.check.equal("fcsgen %s" % gen_args, result.returncode, 0)
        return path

    def dump(self, arguments):
        result = run_tool([self.args.dump] + arguments, timeout=300)
        finding = sanitizer_finding(result)
        self.check.true("no sanitizer finding for %s" % arguments, finding is None, finding)
        return result
