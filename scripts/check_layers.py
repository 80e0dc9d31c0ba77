#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 PLANIX developers
# SPDX-License-Identifier: GPL-2.0-or-later
"""Checks the layering of PLANIX's sources:

  1. no circle of #include "..." between the project's units (a unit is a
     header with its source file: Picture.h and Picture.cpp);
  2. no file of the pure layer (planix_logic, as the CMakeLists.txt files
     list it) includes, directly or through project headers, a Qt Widgets
     header or a header of the window layer.

Usage: scripts/check_layers.py [ROOT]   (exit status 1 on a finding)
"""
import os
import re
import sys

ROOT = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
CODE_DIRS = ["base", "surface", "measure", "workspace", "selection", "counting", "calc", "windows", "app", "cli"]
WIDGET_DIRS = ["/usr/include/x86_64-linux-gnu/qt6/QtWidgets", "/usr/include/qt6/QtWidgets"]

include_re = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
sources_re = re.compile(r"target_sources\(\s*(planix_logic|planix_ui)\s+PRIVATE\s+([^)]*)\)", re.S)


def project_files():
    for top in CODE_DIRS:
        for folder, _, names in os.walk(os.path.join(ROOT, top)):
            for name in names:
                if name.endswith((".h", ".cpp")):
                    yield os.path.relpath(os.path.join(folder, name), ROOT)


def includes_of(path):
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        text = f.read()
    local, system = [], []
    for kind, name in include_re.findall(text):
        if kind == '"':
            for candidate in (os.path.normpath(os.path.join(os.path.dirname(path), name)), name):
                if os.path.exists(os.path.join(ROOT, candidate)):
                    local.append(candidate)
                    break
        else:
            system.append(name)
    return local, system


def logic_sources():
    files = set()
    for folder, _, names in os.walk(ROOT):
        if "CMakeLists.txt" not in names or os.path.relpath(folder, ROOT).split(os.sep)[0] not in CODE_DIRS:
            continue
        with open(os.path.join(folder, "CMakeLists.txt"), encoding="utf-8") as f:
            for target, listed in sources_re.findall(f.read()):
                if target == "planix_logic":
                    for name in listed.split():
                        files.add(os.path.relpath(os.path.join(folder, name), ROOT))
    return files


def widget_headers():
    names = set()
    for d in WIDGET_DIRS:
        if os.path.isdir(d):
            names.update(n for n in os.listdir(d) if not n.endswith(".h") or n.startswith("q"))
    return names


def main():
    graph, system = {}, {}
    for path in project_files():
        graph[path], system[path] = includes_of(path)
    problems = []

    # 1. Circles between units, by depth-first search.
    units = {}
    for path, targets in graph.items():
        unit = os.path.splitext(path)[0]
        units.setdefault(unit, set()).update(os.path.splitext(t)[0] for t in targets if os.path.splitext(t)[0] != unit)
    state = {}
    stack = []

    def visit(node):
        state[node] = "open"
        stack.append(node)
        for nxt in sorted(units.get(node, [])):
            if state.get(nxt) == "open":
                problems.append("include circle: " + " -> ".join(stack[stack.index(nxt):] + [nxt]))
            elif nxt not in state:
                visit(nxt)
        stack.pop()
        state[node] = "done"

    for node in sorted(units):
        if node not in state:
            visit(node)

    # 2. The pure layer reaches no widget.
    widgets = widget_headers()
    logic = logic_sources()
    ui_prefixes = ("app/", "surface/ui/")
    for start in sorted(logic):
        seen, todo = set(), [start]
        while todo:
            node = todo.pop()
            if node in seen:
                continue
            seen.add(node)
            if node.startswith(ui_prefixes) or (node not in logic and node != start and node.endswith(".h")
                                                and node.replace(".h", ".cpp") not in logic
                                                and os.path.exists(os.path.join(ROOT, node.replace(".h", ".cpp")))):
                problems.append(f"{start}: reaches the window layer through {node}")
                continue
            for name in system.get(node, []):
                base = name.split("/")[-1]
                if name.startswith("QtWidgets/") or base in widgets:
                    problems.append(f"{start}: includes the widget header <{name}> (in {node})")
            todo.extend(graph.get(node, []))

    # 3. Folders that must not reach up.
    below = {"base/": ("base/",), "surface/": ("base/", "surface/"),
             "windows/": ("base/", "surface/", "windows/", "calc/", "counting/", "selection/", "measure/")}
    for path, targets in sorted(graph.items()):
        for folder, allowed in below.items():
            if path.startswith(folder):
                for target in targets:
                    if not target.startswith(allowed):
                        problems.append(f"{path}: {folder} reaches up to {target}")

    for p in problems:
        print(p)
    print(f"{len(graph)} files, {len(logic)} of the pure layer: " + ("OK" if not problems else f"{len(problems)} problem(s)"))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
