#!/usr/bin/env python3
"""Keeps the folders of src/ layered: a folder includes only itself and the
folders it rests on.

check_layers.py SRC_DIR          checks every quoted #include under SRC_DIR
check_layers.py --self-test      plants bad includes in a scratch tree and
                                 checks that each one is reported

Every quoted include names its folder ("model/BoxDocument.h"); render/fast/
belongs to render. A failure names the file, the include and the rule.
"""
import os
import re
import sys
import tempfile

CORE = "base image model box render sheet view3d export"
# What each folder may include besides itself.
ALLOWED = {
    "base": "",
    "image": "base",
    "model": "base image",
    "box": "base image model",
    "render": "base image model box",
    "sheet": "base image model box render",
    "view3d": "base image model box render sheet",
    "export": "base image model box render sheet view3d",
    "widgets": CORE,
    "dialogs": CORE + " widgets",
    "edit": CORE + " widgets dialogs",
    "app": CORE + " widgets dialogs edit",
    "cli": CORE,
}

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]*)"')


def problems(src):
    found = []
    for root, dirs, files in os.walk(src):
        dirs.sort()
        for name in sorted(files):
            path = os.path.join(root, name)
            rel = os.path.relpath(path, src).replace(os.sep, "/")
            folder = rel.split("/")[0] if "/" in rel else ""
            if folder not in ALLOWED:
                found.append("src/%s: not in a folder of the layout" % rel)
                continue
            allowed = set(ALLOWED[folder].split()) | {folder}
            with open(path, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    inc = m.group(1)
                    where = 'src/%s:%d: #include "%s"' % (rel, number, inc)
                    parts = inc.split("/")
                    if ".." in parts or "." in parts:
                        found.append(where + ": a relative path; name the folder instead")
                    elif len(parts) < 2:
                        found.append(where + ": names no folder")
                    elif parts[0] not in ALLOWED:
                        found.append(where + ": %s is not a folder of the layout" % parts[0])
                    elif parts[0] not in allowed:
                        found.append(where + ": %s may not include %s" % (folder, parts[0]))
                    elif not os.path.isfile(os.path.join(src, *parts)):
                        found.append(where + ": no such file under src/")
    return found


def self_test():
    planted = {
        "box/Net.h": ['#include "render/Mapping.h"'],               # upwards
        "render/fast/Mask.cpp": ['#include "render/fast/Mask.h"',   # allowed
                                 '#include "render/Mapping.h"',     # allowed: one layer
                                 '#include "sheet/Plan.h"'],        # upwards from fast/
        "render/fast/Mask.h": [],
        "render/Mapping.h": ['#include "render/fast/Mask.h"'],      # allowed
        "sheet/Plan.h": ['#include "Plan2.h"',                      # no folder
                         '  #  include "../box/Net.h"'],            # relative
        "cli/main.cpp": ['#include "widgets/SpinEdit.h"',           # not core
                         '#include "box/Missing.h"',                # no such file
                         '// #include "app/Main.h" is not an include',
                         '#include <QString>'],
        "widgets/SpinEdit.h": ['#include "export/Nothing.h"'],      # no such file
        "edit/Tool.cpp": ['#include "app/Main.h"'],                 # upwards
        "app/Main.h": ['#include "edit/Tool.h"'],                   # no such file
        "tools/Stray.cpp": [],                                      # unknown folder
    }
    expected = [
        'src/app/Main.h:1: #include "edit/Tool.h": no such file under src/',
        'src/box/Net.h:1: #include "render/Mapping.h": box may not include render',
        'src/cli/main.cpp:1: #include "widgets/SpinEdit.h": cli may not include widgets',
        'src/cli/main.cpp:2: #include "box/Missing.h": no such file under src/',
        'src/edit/Tool.cpp:1: #include "app/Main.h": edit may not include app',
        'src/render/fast/Mask.cpp:3: #include "sheet/Plan.h": render may not include sheet',
        'src/sheet/Plan.h:1: #include "Plan2.h": names no folder',
        'src/sheet/Plan.h:2: #include "../box/Net.h": a relative path; name the folder instead',
        'src/tools/Stray.cpp: not in a folder of the layout',
        'src/widgets/SpinEdit.h:1: #include "export/Nothing.h": no such file under src/',
    ]
    with tempfile.TemporaryDirectory() as src:
        for rel, lines in planted.items():
            path = os.path.join(src, *rel.split("/"))
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w") as f:
                f.write("\n".join(lines) + "\n")
        got = problems(src)
    if sorted(got) != sorted(expected):
        print("FAIL: the planted includes were not reported as expected")
        for line in sorted(set(expected) - set(got)):
            print("  missed:     ", line)
        for line in sorted(set(got) - set(expected)):
            print("  unexpected: ", line)
        return 1
    print("ok: %d planted faults reported" % len(expected))
    return 0


def main(argv):
    if argv[1:] == ["--self-test"]:
        return self_test()
    if len(argv) != 2 or not os.path.isdir(argv[1]):
        print("usage: check_layers.py SRC_DIR | --self-test", file=sys.stderr)
        return 2
    found = problems(argv[1])
    for line in found:
        print("FAIL:", line)
    if found:
        return 1
    print("ok: every quoted include under src/ keeps to the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
