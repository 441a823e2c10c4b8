#!/usr/bin/env python3
"""Names every Debian package a build used that scripts/install-deps.sh does not install.

A package installed by hand makes the build and the tests pass on one machine and
the README's commands fail on a fresh one. For each build folder given, this maps
to their Debian packages:
  - the CMake package configurations find_package found,
  - the pkg-config files pkg_check_modules read,
  - the headers the compiler read (ninja -t deps),
  - the libraries the linker was given and the programs the build runs,
  - the programs the test command, its scripts and the tests run (shell words in
    command position, string literals naming a program),
and reports each package that is neither in install-deps.sh's list nor pulled in
by it (Depends and Pre-Depends, through Provides), nor part of every Debian system
(Essential or Priority required), with the file that needed it.

  - the files the test programs had loaded (libraries, Qt plug-ins, fonts,
    translations), when the tests recorded them (OMBRIK_USED_FILES),

Usage: check-deps.py [--list FILE] [--without PACKAGE]... [--used-files DIR] BUILD_DIR...
  --list FILE        read the package list from FILE instead of scripts/install-deps.sh
  --without PACKAGE  pretend PACKAGE is not in the list (to see the check fail)
  --used-files DIR   also the files listed in the files of DIR (one path a line)
Exit 1 when a package is missing, 2 on bad use.
"""
import os
import re
import shutil
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def dpkg_query(fmt, packages=()):
    return subprocess.run(["dpkg-query", "-W", "-f", fmt, *packages],
                          capture_output=True, text=True).stdout


def listed_packages(script):
    text = open(script, encoding="utf-8").read()
    m = re.search(r"PACKAGES=\((.*?)\)", text, re.S)
    if not m:
        sys.exit(f"check-deps: no PACKAGES=( ... ) in {script}")
    return set(re.findall(r"[a-z0-9][a-z0-9+.\-]+", re.sub(r"#.*", "", m.group(1))))


def installed_universe():
    """Installed packages: what each name provides, what each depends on, and
    the ones every system has."""
    provides, depends, base = {}, {}, set()
    fmt = "${Package}\t${Provides}\t${Status}\t${Essential}\t${Priority}\t${Depends}, ${Pre-Depends}\n"
    for line in dpkg_query(fmt).splitlines():
        name, prov, status, essential, priority, deps = (line.split("\t") + [""] * 5)[:6]
        if not status.endswith(" installed"):
            continue
        provides.setdefault(name, set()).add(name)
        for p in prov.split(","):
            p = p.strip().split(" ")[0]
            if p:
                provides.setdefault(p, set()).add(name)
        depends[name] = [a.strip().split(" ")[0].split(":")[0] for alt in deps.split(",") for a in alt.split("|")]
        if essential == "yes" or priority == "required":
            base.add(name)
    return provides, depends, base


def closure(roots, provides, depends):
    seen, todo = set(), list(roots)
    while todo:
        name = todo.pop()
        for real in provides.get(name, {name}):
            if real not in seen:
                seen.add(real)
                todo.extend(d for d in depends.get(real, []) if d)
    return seen


class Usage:
    """Files the build used, by Debian package (the first reason found is kept)."""

    def __init__(self):
        self.by_package = {}

    def note(self, paths, why):
        real = {}
        for p in paths:
            if p.startswith(("/usr/", "/bin/", "/sbin/", "/lib")) and os.path.exists(p):
                real.setdefault(os.path.realpath(p), p)
        # dpkg knows a file under the name its package ships it as: /bin/x or
        # /usr/bin/x on a merged /usr, so ask for both.
        queries = {}
        for r, original in real.items():
            queries[r] = original
            if r.startswith("/usr/") and r.split("/")[2] in ("bin", "sbin", "lib", "lib64"):
                queries[r[4:]] = original
        names = sorted(queries)
        for i in range(0, len(names), 300):
            out = subprocess.run(["dpkg", "-S", *names[i:i + 300]], capture_output=True, text=True).stdout
            for line in out.splitlines():
                if ": " not in line or line.startswith("diversion "):
                    continue
                packages, path = line.split(": ", 1)
                for package in packages.split(","):
                    package = package.strip().split(":")[0]
                    self.by_package.setdefault(package, (why, queries.get(path.strip(), path.strip())))


def scan_build(build, usage):
    cache = os.path.join(build, "CMakeCache.txt")
    if not os.path.exists(cache):
        sys.exit(f"check-deps: {build} is not a configured build folder")
    configs, pc_modules = [], []
    for line in open(cache, errors="replace"):
        line = line.strip()
        m = re.match(r"([A-Za-z0-9_.\-]+)_DIR:PATH=(/\S+)$", line)
        if m:
            name, folder = m.groups()
            configs += [os.path.join(folder, f) for f in (name + "Config.cmake", name.lower() + "-config.cmake")]
        m = re.match(r"__pkg_config_arguments_[A-Za-z0-9_]+:INTERNAL=(.*)$", line)
        if m:
            pc_modules += [a for a in m.group(1).split(";")
                           if a and a not in ("REQUIRED", "QUIET", "IMPORTED_TARGET", "GLOBAL", "NO_CMAKE_PATH",
                                              "NO_CMAKE_ENVIRONMENT_PATH")]
    usage.note(configs, "a package configuration")
    pcs = []
    for module in pc_modules:
        module = re.split(r"[<>=]", module)[0]
        out = subprocess.run(["pkg-config", "--path", module], capture_output=True, text=True).stdout.strip()
        if out:
            pcs.append(out)
    usage.note(pcs, "a pkg-config file")
    deps = subprocess.run(["ninja", "-C", build, "-t", "deps"], capture_output=True, text=True).stdout
    usage.note(re.findall(r"^\s+(/\S+)$", deps, re.M), "a header")
    libs, tools = [], []
    for name in ("build.ninja", "CMakeFiles/rules.ninja"):
        ninja = os.path.join(build, name)
        if not os.path.exists(ninja):
            continue
        for line in open(ninja, errors="replace"):
            stripped = line.strip()
            if stripped.startswith("LINK_LIBRARIES"):
                libs += re.findall(r"(/\S+\.(?:so|a)(?:\.[0-9.]+)?)", stripped)
            elif stripped.startswith(("COMMAND", "command")):
                # programs the build runs: compilers, Qt's generators, gzip ...
                tools += [t for t in re.findall(r"(/usr/\S+)", stripped)
                          if os.path.isfile(t) and os.access(t, os.X_OK)]
    usage.note(libs, "a linked library")
    usage.note(tools, "a program the build runs")


# What comes before a shell command's name.
SHELL_LEADERS = [r"^", r"[;&|(`{]", r"\$\(", r"\b(?:then|do|else|exec|time|xargs|env|sudo|\$SUDO)",
                 r"\bnice(?: -n -?\d+)?", r"\btimeout(?: \S+)?", r"\bcommand -v", r"-c ['\"]",
                 r"\bcheck \"[^\"]*\""]


def program_words(path):
    """Names a script or test source runs: shell words in command position, and
    C++ or Python string literals that are a bare program name."""
    text = open(path, errors="replace").read()
    if path.endswith((".cpp", ".h", ".py")):
        return set(re.findall(r'"([a-z][a-z0-9+_-]*[a-z0-9])"', text))
    words = set()
    for line in text.splitlines():
        line = re.sub(r"(^|\s)#.*", "", line)
        for leader in SHELL_LEADERS:
            words |= set(re.findall(leader + r"\s*([a-z][a-z0-9+_.-]*[a-z0-9])\b(?![=/])", line.strip()))
    return words


def scan_programs(usage):
    """Programs the test command, its scripts and the tests run."""
    sources = [os.path.join(ROOT, ".ci", "run")]
    sources += [os.path.join(ROOT, "scripts", f) for f in ("install-deps.sh", "package.sh", "run.sh", "test.sh",
                                                           "check-deps.py")]
    for folder, _, files in os.walk(os.path.join(ROOT, "tests")):
        sources += [os.path.join(folder, f) for f in files if f.endswith((".sh", ".py", ".cpp", ".h"))]
    found = []
    for source in sources:
        if not os.path.exists(source):
            continue
        for word in program_words(source):
            p = shutil.which(word, path="/usr/bin:/bin:/usr/sbin:/sbin")
            if p:
                found.append(p)
    usage.note(found, "a program the tests or scripts run")


def main(argv):
    args, builds, without, list_file = list(argv), [], set(), os.path.join(ROOT, "scripts", "install-deps.sh")
    used_files = None
    while args:
        a = args.pop(0)
        if a == "--list" and args:
            list_file = args.pop(0)
        elif a == "--used-files" and args:
            used_files = args.pop(0)
        elif a == "--without" and args:
            without.add(args.pop(0))
        elif a.startswith("-"):
            print(__doc__, file=sys.stderr)
            return 2
        else:
            builds.append(a)
    if not builds:
        print(__doc__, file=sys.stderr)
        return 2
    listed = listed_packages(list_file) - without
    provides, depends, base = installed_universe()
    covered = closure(listed | base, provides, depends)
    usage = Usage()
    for b in builds:
        scan_build(os.path.abspath(b), usage)
    scan_programs(usage)
    if used_files:
        loaded = set()
        for f in os.listdir(used_files):
            loaded |= set(open(os.path.join(used_files, f), errors="replace").read().split("\n"))
        usage.note(sorted(p for p in loaded if p), "a file a test program loaded")
    missing = {p: why for p, why in usage.by_package.items() if p not in covered}
    for package, (why, path) in sorted(missing.items()):
        print(f"NOT INSTALLED BY scripts/install-deps.sh: {package} (used as {why}: {path})")
    print(f"check-deps: {len(usage.by_package)} packages used, {len(missing)} not installed by the script")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
