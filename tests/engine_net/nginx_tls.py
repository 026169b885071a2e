"""A private nginx (Debian's nginx-light) on 127.0.0.1 serving one folder over TLS with
HTTP/2, under a self-signed certificate made on the spot. Used by the network tests'
fixture and by the download benchmark."""
import os
import socket
import subprocess
import time

ACCESS_FORMAT = "$connection $connection_requests $server_protocol $request_method $uri \"$http_range\" $status $body_bytes_sent $request_time $msec"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def make_certificate(folder):
    key, cert = os.path.join(folder, "key.pem"), os.path.join(folder, "cert.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                    "-keyout", key, "-out", cert], check=True, capture_output=True)
    return key, cert


def server_block(port, tls, root, access_log, extra):
    """tls: True (TLS with HTTP/2), "http1" (TLS, HTTP/1.1 only) or False (plain HTTP/1.1)."""
    if tls == "http1":
        listen = "listen 127.0.0.1:%d ssl;" % port
    elif tls:
        listen = "listen 127.0.0.1:%d ssl http2;" % port
    else:
        listen = "listen 127.0.0.1:%d;" % port
    return """
  server {
    %s
    root %s;
    access_log %s ranges;
    %s
  }""" % (listen, root, access_log, extra)


def write_config(prefix, servers, key, cert):
    """servers: list of (port, tls, root, access_log, extra directives)."""
    user = "user root root;\n" if os.geteuid() == 0 else ""
    temp = os.path.join(prefix, "tmp")
    blocks = "".join(server_block(*s) for s in servers)
    text = """%sdaemon off;
worker_processes 2;
pid %s/nginx.pid;
error_log %s/error.log warn;
events { worker_connections 512; }
http {
  client_body_temp_path %s/body;
  proxy_temp_path %s/proxy;
  fastcgi_temp_path %s/fastcgi;
  uwsgi_temp_path %s/uwsgi;
  scgi_temp_path %s/scgi;
  default_type application/octet-stream;
  sendfile on;
  keepalive_requests 10000;
  log_format ranges '%s';
  ssl_certificate %s;
  ssl_certificate_key %s;%s
}
""" % (user, prefix, prefix, temp, temp, temp, temp, temp, ACCESS_FORMAT, cert, key, blocks)
    path = os.path.join(prefix, "nginx.conf")
    with open(path, "w") as f:
        f.write(text)
    return path


def wait_listening(port, process, seconds=10):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if process.poll() is not None:
            return False
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=0.5):
                return True
        except OSError:
            time.sleep(0.05)
    return False


def start(prefix, servers_for_ports, port_count):
    """Starts nginx under `prefix`. servers_for_ports(ports) gives the server list for
    `port_count` free ports. Returns (process, ports)."""
    prefix = os.path.abspath(prefix)
    os.makedirs(os.path.join(prefix, "tmp"), exist_ok=True)
    key, cert = make_certificate(prefix)
    for _ in range(5):
        ports = [free_port() for _ in range(port_count)]
        conf = write_config(prefix, servers_for_ports(ports), key, cert)
        log = open(os.path.join(prefix, "nginx.out"), "ab")
        process = subprocess.Popen(["nginx", "-p", prefix, "-c", conf, "-e", os.path.join(prefix, "error.log")],
                                   stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                   start_new_session=True)
        if all(wait_listening(p, process) for p in ports):
            return process, ports
        if process.poll() is None:
            process.terminate()
            process.wait(5)
    raise RuntimeError("nginx did not start; see %s/error.log" % prefix)
