#!/usr/bin/env python3
"""Shrinks a failing skin case (a row as skin_fuzz prints it) to a small row that fails the same
way (a crash at the same instruction, a hang, a heap report): elements, attributes and long values
are taken out while the driver still fails so on it, and the acting receivers too when the row
fails without them. The result is a row for regressions.txt.

Usage (from the build's environment, as scripts/test.sh sets it up):
  shrink.py BUILD_DIR ROW_FILE [OUT_FILE]
"""
import concurrent.futures
import os
import re
import subprocess
import sys
import tempfile

START = re.compile(r'<([^\s/<>!?]+)((?:\s+[^\s=/<>]+="[^"]*")*)\s*(/?)>')
ATTRIBUTE = re.compile(r'\s+[^\s=/<>]+="[^"]*"')
FAILURE = re.compile(r"skin_fuzz: (crash \(exception 0x[0-9A-F]+ at [0-9a-fA-F]+|crash|hang|damaged heap)")
ACTING = "+acting"


def failure_of(build, row):
    """The failure kind of the row (a crash with its exception code, "hang", ...) or None when it passes."""
    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False, encoding="utf-8") as f:
        f.write(row + "\n")
        path = f.name
    try:
        env = dict(os.environ, TAMSEL_WINEDEBUG="-all,err+heap,warn+heap")
        exe = os.environ.get("SHRINK_EXE", f"{build}/bin/skin_fuzz.exe")
        run = subprocess.run([f"{build}/wine-run.sh", exe, "--skin", f"{build}/tests/skin_fuzz/skin",
                              "--rows", path, "--hang-ms", os.environ.get("SHRINK_HANG_MS", "15000")], env=env, capture_output=True, text=True,
                             errors="replace", timeout=120)
        found = FAILURE.search(run.stderr)
        if found:
            return found.group(1)
        return "heap report" if re.search(r"(warn|err):heap", run.stderr) else None
    except subprocess.TimeoutExpired:
        return "hang"
    finally:
        os.unlink(path)


def elements(markup):
    """(start, end) spans of every element, the end found by counting its own start and end tags."""
    spans = []
    for m in START.finditer(markup):
        if m.group(3) == "/":
            spans.append((m.start(), m.end()))
            continue
        name, depth, at = m.group(1), 1, m.end()
        for tag in re.finditer(r"<(/?)" + re.escape(name) + r"(?=[\s/>])[^>]*?(/?)>", markup[at:]):
            if tag.group(1):
                depth -= 1
            elif not tag.group(2):
                depth += 1
            if depth == 0:
                spans.append((m.start(), at + tag.end()))
                break
    return spans


def candidates(markup):
    """Smaller markups, biggest cuts first."""
    spans = sorted(elements(markup), key=lambda s: s[0] - s[1])
    for start, end in spans:
        yield markup[:start] + markup[end:]
    for m in sorted(ATTRIBUTE.finditer(markup), key=lambda m: m.start() - m.end()):
        yield markup[:m.start()] + markup[m.end():]
    for m in re.finditer(r'="([^"]{16,})"', markup):
        value = m.group(1)
        yield markup[:m.start(1)] + value[:len(value) // 2] + markup[m.end(1):]


def shrink(build, row, kind):
    road, markup = row.split("\t", 1)
    if road.endswith(ACTING) and failure_of(build, f"{road[:-len(ACTING)]}\t{markup}") == kind:
        road = road[:-len(ACTING)]
        print("shrink: the row fails without the acting receivers", file=sys.stderr)
    changed = True
    while changed:
        changed = False
        with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
            tried = list(candidates(markup))
            for i in range(0, len(tried), 4):
                batch = tried[i:i + 4]
                kinds = list(pool.map(lambda m: failure_of(build, f"{road}\t{m}"), batch))
                smaller = [m for m, k in zip(batch, kinds) if k == kind]
                if smaller:
                    markup = min(smaller, key=len)
                    print(f"shrink: {len(markup)} characters", file=sys.stderr)
                    changed = True
                    break
    return f"{road}\t{markup}"


def main(build, row_file, out_file=None):
    row = open(row_file, encoding="utf-8").read().strip("\n")
    kind = failure_of(build, row)
    if kind is None:
        sys.exit("shrink: the row does not fail")
    print(f"shrink: the row fails with a {kind}", file=sys.stderr)
    small = shrink(build, row, kind)
    if out_file:
        open(out_file, "w", encoding="utf-8").write(small + "\n")
    print(small)


if __name__ == "__main__":
    main(*sys.argv[1:])
