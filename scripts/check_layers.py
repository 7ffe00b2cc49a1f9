#!/usr/bin/env python3
"""Checks that the libraries of src/ include each other one way only.

For every folder of src/ it takes the compile command of one of its sources
from compile_commands.json and preprocesses, with exactly those include
folders, a probe that asks whether one header of every other folder can be
found. A folder whose headers can be found is one the library may use. The check fails when
two folders can reach each other (a cycle) or when a folder reaches one that
is above it in the intended order.

Usage: check_layers.py BUILD_DIR SOURCE_DIR
"""
import json
import os
import shlex
import subprocess
import sys
import tempfile

# Lowest first; a folder may use only the folders before it.
ORDER = ["platform", "foundation", "libraries", "geometry", "import", "output",
         "generation", "machine", "control", "app"]
# import and output stand side by side: neither may use the other.
SIDE_BY_SIDE = {("import", "output"), ("output", "import")}


def compile_command(commands, src, folder):
    prefix = os.path.join(src, "src", folder) + os.sep
    for entry in commands:
        if entry["file"].startswith(prefix) and entry["file"].endswith(".cpp"):
            return entry
    return None


def reachable(entry, header):
    args = shlex.split(entry["command"])
    # Keep the compiler and its include folders and definitions only.
    kept = [args[0]] + [a for a in args[1:] if a.startswith(("-I", "-isystem", "-D", "-std"))]
    with tempfile.NamedTemporaryFile("w", suffix=".cpp", delete=False) as probe:
        probe.write(f'#if !__has_include("{header}")\n#error unreachable\n#endif\n')
    try:
        result = subprocess.run(kept + ["-E", "-o", os.devnull, probe.name],
                                cwd=entry["directory"], capture_output=True)
        return result.returncode == 0
    finally:
        os.unlink(probe.name)


def main():
    build, src = sys.argv[1], os.path.abspath(sys.argv[2])
    with open(os.path.join(build, "compile_commands.json")) as f:
        commands = json.load(f)
    headers = {}
    for folder in ORDER:
        names = sorted(n for n in os.listdir(os.path.join(src, "src", folder)) if n.endswith(".h"))
        headers[folder] = f"{folder}/{names[0]}"
    faults = []
    for user in ORDER:
        entry = compile_command(commands, src, user)
        if entry is None:
            faults.append(f"{user}: no compile command")
            continue
        for used in ORDER:
            if used == user:
                continue
            allowed = ORDER.index(used) < ORDER.index(user) and (user, used) not in SIDE_BY_SIDE
            if reachable(entry, headers[used]) and not allowed:
                faults.append(f"{user} can include {headers[used]}")
    for fault in faults:
        print(fault)
    print(f"{len(ORDER)} libraries checked, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
