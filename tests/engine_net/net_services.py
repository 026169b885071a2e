#!/usr/bin/env python3
"""Starts and stops the services the network tests talk to, as a ctest fixture:
  net_services.py start STATE   the fake update service (STATE/port) and an nginx with
                                TLS + HTTP/2 and TLS + HTTP/1.1 (STATE/nginx.json: port,
                                http1_port, root, access_log)
  net_services.py stop STATE    ends both (by the process ids recorded at start)
"""
import json
import os
import shutil
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import nginx_tls  # noqa: E402


def ours(pid, marker):
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            return marker.encode() in f.read()
    except OSError:
        return False


def stop(state):
    try:
        with open(os.path.join(state, "pids.json")) as f:
            pids = json.load(f)
    except (OSError, ValueError):
        return
    for pid, marker in pids:
        if ours(pid, marker):
            os.kill(pid, signal.SIGTERM)
    deadline = time.time() + 10
    for pid, marker in pids:
        while ours(pid, marker) and time.time() < deadline:
            time.sleep(0.05)
    os.remove(os.path.join(state, "pids.json"))


def wait_file(path, seconds=10):
    deadline = time.time() + seconds
    while not os.path.exists(path):
        if time.time() > deadline:
            raise RuntimeError("no %s" % path)
        time.sleep(0.05)


def start(state):
    stop(state)
    for name in ("port", "nginx.json"):
        if os.path.exists(os.path.join(state, name)):
            os.remove(os.path.join(state, name))
    os.makedirs(state, exist_ok=True)
    shutil.rmtree(os.path.join(state, "spawn"), ignore_errors=True)
    pids = []
    log = open(os.path.join(state, "update-service.log"), "ab")
    script = os.path.join(HERE, "fake_update_service.py")
    service = subprocess.Popen([sys.executable, script, "--state-dir", state], stdin=subprocess.DEVNULL,
                               stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
    pids.append((service.pid, script))
    with open(os.path.join(state, "pids.json"), "w") as f:
        json.dump(pids, f)
    wait_file(os.path.join(state, "port"))

    prefix = os.path.join(state, "nginx")
    root = os.path.join(prefix, "www")
    os.makedirs(root, exist_ok=True)
    access_log = os.path.join(prefix, "access.log")
    # The second server speaks only HTTP/1.1 over TLS, slowly, so overlapping ranges show.
    servers = lambda p: [(p[0], True, root, access_log, ""),
                         (p[1], "http1", root, access_log, "limit_rate 200k;")]
    process, ports = nginx_tls.start(prefix, servers, 2)
    pids.append((process.pid, prefix))
    with open(os.path.join(state, "pids.json"), "w") as f:
        json.dump(pids, f)
    with open(os.path.join(state, "nginx.json"), "w") as f:
        json.dump({"port": ports[0], "http1_port": ports[1], "root": root, "access_log": access_log}, f)
    print("update service on port %s, nginx on ports %d (TLS, HTTP/2) and %d (TLS, HTTP/1.1)" %
          (open(os.path.join(state, "port")).read(), ports[0], ports[1]))


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("start", "stop"):
        sys.exit(__doc__)
    (start if sys.argv[1] == "start" else stop)(os.path.abspath(sys.argv[2]))


if __name__ == "__main__":
    main()
