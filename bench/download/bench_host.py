#!/usr/bin/env python3
"""Host side of the download benchmark (bench_download.exe runs it; the exe itself runs
under Wine and cannot start nginx or aria2c directly).

  bench_host.py start DIR          makes DIR/www/bench-200m.bin (200 MiB, random) and starts
                                   nginx on 127.0.0.1 (TLS + HTTP/2 and plain HTTP/1.1, each
                                   unlimited and with limit_rate 20m); writes DIR/ready.json
  bench_host.py aria2 DIR URL TAG  times `aria2c -x4` on URL; writes DIR/TAG.json
  bench_host.py served DIR COUNT TAG  nginx's own time for the last COUNT range answers, from
                                   the first request's arrival to the last byte sent (the
                                   floor of any client under the rate limit); writes DIR/TAG.json
  bench_host.py stop DIR           ends nginx and removes the big files
Every result file is written whole (renamed into place) so the exe can poll for it.
"""
import hashlib
import json
import os
import shutil
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "engine_net"))
import nginx_tls  # noqa: E402

FILE_NAME = "bench-200m.bin"
FILE_SIZE = 200 * 1024 * 1024


def write_json(path, value):
    with open(path + ".tmp", "w") as f:
        json.dump(value, f)
    os.replace(path + ".tmp", path)


def make_file(path):
    digest = hashlib.md5()
    with open(path, "wb") as f:
        left = FILE_SIZE
        while left:
            block = os.urandom(min(left, 4 << 20))
            digest.update(block)
            f.write(block)
            left -= len(block)
    return digest.hexdigest()


def start(folder):
    stop(folder)
    www = os.path.join(folder, "www")
    os.makedirs(www, exist_ok=True)
    md5 = make_file(os.path.join(www, FILE_NAME))
    prefix = os.path.join(folder, "nginx")
    os.makedirs(prefix, exist_ok=True)
    log = os.path.join(prefix, "access.log")
    limit = "limit_rate 20m;"
    servers = lambda p: [(p[0], True, www, log, ""), (p[1], True, www, log, limit),
                         (p[2], False, www, log, ""), (p[3], False, www, log, limit)]
    process, ports = nginx_tls.start(prefix, servers, 4)
    write_json(os.path.join(folder, "pid.json"), [process.pid, prefix])
    write_json(os.path.join(folder, "ready.json"), {
        "file": FILE_NAME, "size": FILE_SIZE, "md5": md5,
        "https": ports[0], "https_limited": ports[1], "http": ports[2], "http_limited": ports[3]})


def aria2(folder, url, tag):
    out = os.path.join(folder, "aria2")
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(folder, "ready.json")) as f:
        md5 = json.load(f)["md5"]
    begin = time.monotonic()
    # Checked against the MD5 too, as the downloader checks its result.
    result = subprocess.run(["aria2c", "-x4", "-s4", "--checksum=md5=" + md5, "--check-certificate=false",
                             "--allow-overwrite=true",
                             "--file-allocation=none", "--console-log-level=warn", "--summary-interval=0",
                             "-d", out, "-o", "out.bin", url], capture_output=True, text=True)
    seconds = time.monotonic() - begin
    ok = result.returncode == 0 and os.path.getsize(os.path.join(out, "out.bin")) == FILE_SIZE
    shutil.rmtree(out, ignore_errors=True)
    write_json(os.path.join(folder, tag + ".json"), {"seconds": seconds, "ok": ok, "error": result.stderr[-500:]})


def served(folder, count, tag):
    with open(os.path.join(folder, "nginx", "access.log")) as f:
        ranges = [line.split() for line in f if '"bytes=' in line][-int(count):]
    # Each line ends with $request_time $msec: the answer's length and the moment it ended.
    ends = [float(fields[-1]) for fields in ranges]
    starts = [end - float(fields[-2]) for end, fields in zip(ends, ranges)]
    write_json(os.path.join(folder, tag + ".json"), {"seconds": max(ends) - min(starts)})


def stop(folder):
    try:
        with open(os.path.join(folder, "pid.json")) as f:
            pid, marker = json.load(f)
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            if marker.encode() in f.read():
                os.kill(pid, signal.SIGTERM)
    except (OSError, ValueError):
        pass
    for name in ("www", "aria2"):
        shutil.rmtree(os.path.join(folder, name), ignore_errors=True)
    for name in ("ready.json", "pid.json"):
        if os.path.exists(os.path.join(folder, name)):
            os.remove(os.path.join(folder, name))


def main():
    commands = {"start": (start, 1), "aria2": (aria2, 3), "served": (served, 3), "stop": (stop, 1)}
    if len(sys.argv) < 2 or sys.argv[1] not in commands or len(sys.argv) != 2 + commands[sys.argv[1]][1]:
        sys.exit(__doc__)
    folder = os.path.abspath(sys.argv[2])
    os.makedirs(folder, exist_ok=True)
    try:
        commands[sys.argv[1]][0](folder, *sys.argv[3:])
    except Exception as error:  # the exe waits for a file: tell it what went wrong
        write_json(os.path.join(folder, "host-error.json"), {"error": repr(error)})
        raise


if __name__ == "__main__":
    main()
