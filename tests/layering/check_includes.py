#!/usr/bin/env python3
"""Fails on any quoted #include in src/ that src/include_rules.txt does not allow.

Usage: check_includes.py SRC_DIR [RULES_FILE]
Prints one line per forbidden include: file:line: include "x": part a may not include part b.
A part named on the right allows the parts inside it too (a folder that is no part of its own
names the parts inside it). A header named *_internal.h is for the files of its own folder only.
The table itself is refused when its parts include each other, directly or round a cycle.
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def read_rules(path):
    rules = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            if ":" not in line:
                sys.exit("%s:%d: expected 'part : allowed parts'" % (path, number))
            part, allowed = line.split(":", 1)
            rules[part.strip()] = set(allowed.split())
    return rules


def within(path, folder):
    return path == folder or path.startswith(folder + "/")


def part_of(path, parts):
    """The longest listed part that is path itself or a folder above it; None when none is."""
    best = None
    for part in parts:
        if within(path, part) and (best is None or len(part) > len(best)):
            best = part
    return best


def allowed(own, theirs, rules):
    """Own part, a part named on the right, or a part inside one named there."""
    return theirs == own or any(within(theirs, p) for p in rules[own])


def covered(name, rules):
    """The listed parts that a name on the right stands for: itself and the parts inside it."""
    return [part for part in rules if within(part, name)]


def find_cycle(rules):
    """Parts that lead back to the first of them, or None when the parts depend only downwards."""
    done = set()

    def visit(part, path):
        if part in path:
            return path[path.index(part):] + [part]
        if part in done:
            return None
        for name in sorted(rules[part]):
            for below in covered(name, rules):
                found = below != part and visit(below, path + [part])
                if found:
                    return found
        done.add(part)
        return None

    for part in sorted(rules):
        found = visit(part, [])
        if found:
            return found
    return None


def check(src, rules):
    faults = []
    for folder, _, files in os.walk(src):
        for name in sorted(files):
            if not name.endswith((".h", ".hpp", ".c", ".cpp")):
                continue
            path = os.path.join(folder, name)
            rel = os.path.relpath(path, src).replace(os.sep, "/")
            own = part_of(rel, rules)
            with open(path, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    target = m.group(1)
                    if not os.path.exists(os.path.join(src, target)):
                        continue  # a header beside the file, not rooted at src/
                    theirs = part_of(target, rules)
                    if own is None:
                        faults.append('%s:%d: the file is in no part of the rules' % (rel, number))
                    elif theirs is None:
                        faults.append('%s:%d: include "%s" is in no part of the rules' % (rel, number, target))
                    elif not allowed(own, theirs, rules):
                        faults.append('%s:%d: include "%s": part %s may not include part %s'
                                      % (rel, number, target, own, theirs))
                    elif target.endswith("_internal.h") and os.path.dirname(target) != os.path.dirname(rel):
                        faults.append('%s:%d: include "%s": an internal header is for its own folder only'
                                      % (rel, number, target))
    return faults


def main():
    src = sys.argv[1]
    rules_file = sys.argv[2] if len(sys.argv) > 2 else os.path.join(src, "include_rules.txt")
    rules = read_rules(rules_file)
    for part, names in rules.items():
        unknown = [name for name in names if not covered(name, rules)]
        if unknown:
            sys.exit("%s: part %s names unknown parts %s" % (rules_file, part, " ".join(sorted(unknown))))
    cycle = find_cycle(rules)
    if cycle:
        sys.exit("%s: parts include each other: %s" % (rules_file, " -> ".join(cycle)))
    faults = check(src, rules)
    for fault in faults:
        print(fault)
    print("%d forbidden include(s)" % len(faults))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
