#!/usr/bin/env python3
"""Checks the folders under src/ against their CMake targets.

Each folder is one library (zuvo_<folder>) whose zuvo_module(... DEPENDS ...) names exactly the
folders its files include; no two folders include each other, directly or through others; and
the portable files (not *_win.*) include no Windows header. Prints the folder graph, lowest
first; exits 1 with the reasons when a rule is broken.
"""
import os
import re
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'src')
PROGRAMS = {'probe'}  # developer programs link every library; they are not layers
OS_HEADERS = re.compile(r'#\s*include\s*<(windows|commctrl|commdlg|mmsystem|mmreg|msacm|dsound|'
                        r'shellapi|shlobj|objbase|winsock2|wininet|winuser|winbase)\.h>', re.I)
INCLUDE = re.compile(r'#\s*include\s*"([a-z_]+)/')
MODULE = re.compile(r'zuvo_module\(\s*(\w+)([^)]*)\)', re.S)


def folders():
    return sorted(d for d in os.listdir(ROOT) if os.path.isdir(os.path.join(ROOT, d)))


def sources(folder):
    for dirpath, _, files in os.walk(os.path.join(ROOT, folder)):
        for f in sorted(files):
            if f.endswith(('.h', '.cpp')):
                yield os.path.join(dirpath, f)


def declared(folder):
    """The folders the CMake target names after DEPENDS (zuvo_* entries only)."""
    path = os.path.join(ROOT, folder, 'CMakeLists.txt')
    if not os.path.exists(path):
        return None
    deps = set()
    for m in MODULE.finditer(open(path).read()):
        words = m.group(2).split()
        if 'DEPENDS' in words:
            for w in words[words.index('DEPENDS') + 1:]:
                if w in ('EXCLUDE',):
                    break
                if w.startswith('zuvo_'):
                    deps.add(w[len('zuvo_'):])
    return deps


def main():
    problems = []
    graph = {}
    all_folders = folders()
    for folder in all_folders:
        used = set()
        for path in sources(folder):
            text = open(path, encoding='utf-8', errors='replace').read()
            for m in INCLUDE.finditer(text):
                if m.group(1) != folder and m.group(1) in all_folders:
                    used.add(m.group(1))
            if not os.path.basename(path).split('.')[0].endswith('_win') and OS_HEADERS.search(text):
                problems.append('%s: a portable file includes a Windows header' %
                                os.path.relpath(path, ROOT))
        graph[folder] = used
        if folder in PROGRAMS:
            continue
        listed = declared(folder)
        if listed is None:
            problems.append('%s: no CMakeLists.txt' % folder)
            continue
        for missing in sorted(used - listed):
            problems.append('%s includes %s/ but its target does not list zuvo_%s' %
                            (folder, missing, missing))
        for extra in sorted(listed - used):
            problems.append('%s lists zuvo_%s but includes nothing of %s/' % (folder, extra, extra))

    # Cycles, and the order from the bottom up.
    order, state = [], {}

    def visit(node, path):
        if state.get(node) == 'done':
            return
        if state.get(node) == 'open':
            problems.append('folders include each other: ' + ' -> '.join(path[path.index(node):] + [node]))
            return
        state[node] = 'open'
        for dep in sorted(graph[node]):
            visit(dep, path + [node])
        state[node] = 'done'
        order.append(node)

    for folder in all_folders:
        visit(folder, [])
    for folder in order:
        deps = ', '.join(sorted(graph[folder])) or '-'
        print('%-8s -> %s' % (folder, deps))
    for p in problems:
        print('layers: ' + p, file=sys.stderr)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
