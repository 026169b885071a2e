#!/usr/bin/env python3
"""Fake update web service for the network tests (Python standard library only).

Listens on 127.0.0.1 (port in STATE/port), answers the package search and the two uninstall
requests, and serves files with byte ranges. Each request is appended, before its answer, as a
JSON line to STATE/record.jsonl ("in_flight": requests being answered, this one included).
A test starts an instance of its own by writing STATE/spawn/NAME.json; the service answers
with NAME.port, records into NAME.record.jsonl, and ends the instance at NAME.stop.

Script: {"routes": {PATH: [STEP, ...]}}: the n-th request to PATH (query ignored) gets STEP n,
the last one repeating. STEP fields: status (200); json (a value sent as UTF-8), body (text)
or body_hex; headers [[name, value], ...]; delay_ms; short (send that many bytes fewer than
Content-Length, then close); file (served for GET and HEAD, "Range: bytes=a-b" with 206);
ranges (false: ignore Range); length (false: no Content-Length, close after the body).
"""
import argparse
import hashlib
import json
import os
import re
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

CHUNK = 64 * 1024


def default_script(package, port):
    routes = {
        "/soft/uninstall/getTypeList": [{"json": {"code": 0, "msg": "ok", "data": {"type_list": [
            {"id": 1, "name": "不好用"}, {"id": 2, "name": "速度太慢"}, {"id": 3, "name": "其他原因"}]}}}],
        "/soft/uninstall/confirmForm": [{"json": {"code": 0, "msg": "ok"}}],
    }
    blocks = []
    if package:
        name = os.path.basename(package)
        with open(package, "rb") as f:
            md5 = hashlib.md5(f.read()).hexdigest()
        url = "http://127.0.0.1:%d/download/%s" % (port, urllib.parse.quote(name))
        blocks.append({"ver_range": "1-1", "url": url, "md5": md5,
                       "size": os.path.getsize(package), "fileName": name})
        routes["/download/" + urllib.parse.quote(name)] = [{"file": package}]
    routes["/soft/update/search"] = [{"json": {"code": 0, "msg": "ok", "data": {"version": "1", "blockurl": blocks}}}]
    return {"routes": routes}


class Instance:
    def __init__(self, script, record_path):
        self.script = script
        self.counts = {}
        self.lock = threading.Lock()
        self.seq = 0
        self.in_flight = 0
        self.record = open(record_path, "a", encoding="utf-8")
        self.server = ThreadingHTTPServer(("127.0.0.1", 0), make_handler(self))
        self.server.daemon_threads = True
        self.port = self.server.server_address[1]
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    def next_step(self, path):
        with self.lock:
            steps = self.script.get("routes", {}).get(path)
            if not steps:
                return None, -1
            n = self.counts.get(path, 0)
            self.counts[path] = n + 1
            return steps[min(n, len(steps) - 1)], n

    def log(self, entry):
        with self.lock:
            entry["seq"] = self.seq
            self.seq += 1
            self.record.write(json.dumps(entry, ensure_ascii=False) + "\n")
            self.record.flush()

    def stop(self):
        self.server.shutdown()
        self.server.server_close()
        self.record.close()


def parse_range(value, size):
    m = re.fullmatch(r"bytes=(\d*)-(\d*)", value.strip())
    if not m or (m.group(1) == "" and m.group(2) == ""):
        return None
    if m.group(1) == "":
        start, end = max(0, size - int(m.group(2))), size - 1
    else:
        start = int(m.group(1))
        end = min(int(m.group(2)), size - 1) if m.group(2) else size - 1
    if start > end or start >= size:
        return None
    return start, end


def make_handler(instance):
    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *args):
            pass

        def handle_one_request(self):
            # Clients that give up on a request (the length probe, aborted ranges) are normal here.
            try:
                super().handle_one_request()
            except (ConnectionResetError, BrokenPipeError, ConnectionAbortedError):
                self.close_connection = True

        def do_GET(self):
            self.serve("GET")

        def do_HEAD(self):
            self.serve("HEAD")

        def do_POST(self):
            self.serve("POST")

        def serve(self, method):
            url = urllib.parse.urlsplit(self.path)
            length = int(self.headers.get("Content-Length") or 0)
            body = self.rfile.read(length) if length else b""
            step, index = instance.next_step(url.path)
            with instance.lock:
                instance.in_flight += 1
                in_flight = instance.in_flight
            try:
                self.answer(method, url, body, step, index, in_flight)
            finally:
                with instance.lock:
                    instance.in_flight -= 1

        def answer(self, method, url, body, step, index, in_flight):
            headers = {name.lower(): ", ".join(self.headers.get_all(name)) for name in self.headers.keys()}
            instance.log({
                "time": time.time(), "method": method, "path": url.path, "query": url.query,
                "params": {k: v[0] for k, v in urllib.parse.parse_qs(url.query, keep_blank_values=True).items()},
                "headers": headers, "body_hex": body.hex(), "step": index, "in_flight": in_flight,
            })
            try:
                if step is None:
                    self.send_data(method, {"status": 404, "body": "not found"})
                    return
                if step.get("delay_ms"):
                    time.sleep(step["delay_ms"] / 1000.0)
                if "file" in step and step.get("status", 200) == 200:
                    self.send_file(method, step)
                else:
                    self.send_data(method, step)
            except (BrokenPipeError, ConnectionResetError, ConnectionAbortedError):
                self.close_connection = True

        def send_head(self, status, extra, length, with_length=True):
            self.send_response(status)
            for name, value in extra:
                self.send_header(name, value)
            if with_length:
                self.send_header("Content-Length", str(length))
            else:
                self.send_header("Connection", "close")
                self.close_connection = True
            self.end_headers()

        def send_data(self, method, step):
            if "json" in step:
                data = json.dumps(step["json"], ensure_ascii=False).encode("utf-8")
                extra = [("Content-Type", "application/json; charset=utf-8")]
            elif "body_hex" in step:
                data, extra = bytes.fromhex(step["body_hex"]), []
            else:
                data, extra = step.get("body", "").encode("utf-8"), [("Content-Type", "text/plain; charset=utf-8")]
            extra += [tuple(h) for h in step.get("headers", [])]
            self.send_head(step.get("status", 200), extra, len(data), step.get("length", True))
            if method != "HEAD":
                cut = step.get("short", 0)
                self.wfile.write(data[:len(data) - cut] if cut else data)
                if cut:
                    self.close_connection = True

        def send_file(self, method, step):
            path = step["file"]
            size = os.path.getsize(path)
            ranges = step.get("ranges", True)
            extra = [("Content-Type", "application/octet-stream")]
            if ranges:
                extra.append(("Accept-Ranges", "bytes"))
            extra += [tuple(h) for h in step.get("headers", [])]
            start, end, status = 0, size - 1, 200
            asked = self.headers.get("Range")
            if ranges and asked:
                span = parse_range(asked, size)
                if span is None:
                    self.send_head(416, [("Content-Range", "bytes */%d" % size)], 0)
                    return
                start, end, status = span[0], span[1], 206
                extra.append(("Content-Range", "bytes %d-%d/%d" % (start, end, size)))
            count = end - start + 1
            self.send_head(status, extra, count, step.get("length", True))
            if method == "HEAD":
                return
            to_send = count - step.get("short", 0)
            with open(path, "rb") as f:
                f.seek(start)
                while to_send > 0:
                    block = f.read(min(CHUNK, to_send))
                    if not block:
                        break
                    self.wfile.write(block)
                    to_send -= len(block)
            if step.get("short", 0):
                self.close_connection = True

    return Handler


def write_atomic(path, text):
    with open(path + ".tmp", "w", encoding="utf-8") as f:
        f.write(text)
    os.replace(path + ".tmp", path)


def watch_spawns(spawn_dir):
    instances = {}
    while True:
        for entry in sorted(os.listdir(spawn_dir)):
            name, ext = os.path.splitext(entry)
            if ext == ".json" and name not in instances:
                try:
                    with open(os.path.join(spawn_dir, entry), encoding="utf-8") as f:
                        script = json.load(f)
                    instances[name] = Instance(script, os.path.join(spawn_dir, name + ".record.jsonl"))
                    write_atomic(os.path.join(spawn_dir, name + ".port"), str(instances[name].port))
                except (OSError, ValueError) as error:
                    instances[name] = None
                    write_atomic(os.path.join(spawn_dir, name + ".error"), str(error))
            elif ext == ".stop" and instances.get(name):
                instances[name].stop()
                instances[name] = None
        time.sleep(0.02)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--state-dir", required=True)
    parser.add_argument("--package", help="a file the package search hands out (version 1)")
    args = parser.parse_args()
    spawn_dir = os.path.join(args.state_dir, "spawn")
    os.makedirs(spawn_dir, exist_ok=True)
    main_instance = Instance({}, os.path.join(args.state_dir, "record.jsonl"))
    main_instance.script = default_script(args.package, main_instance.port)
    write_atomic(os.path.join(args.state_dir, "port"), str(main_instance.port))
    watch_spawns(spawn_dir)


if __name__ == "__main__":
    main()
