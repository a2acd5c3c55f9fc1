#!/usr/bin/env python3
"""The servers as a cluster (scripts/cluster.sh: PostgreSQL, Redis, two content servers, two
identification servers, nginx in front), checked from outside, bounded in count and time.

    cluster_test.py ORVANE_SERVER ORVANE_CLI

Exit 77 (skipped) when PostgreSQL, Redis or nginx is not installed.
"""

import datetime
import json
import os
import random
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import urllib.parse

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
CLUSTER = os.path.join(ROOT, "scripts", "cluster.sh")
FAILURES = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        FAILURES.append(what)
    return condition


def free_base():
    """A base port whose 32 followers are free on loopback."""
    for _ in range(50):
        base = random.randrange(24000, 60000, 100)
        taken = False
        for port in range(base, base + 32):
            with socket.socket() as s:
                try:
                    s.bind(("127.0.0.1", port))
                except OSError:
                    taken = True
                    break
        if not taken:
            return base
    raise RuntimeError("no free ports")


def request(port, method, target, body=b"", headers=None, source="127.0.0.1", timeout=10):
    """One HTTP/1.1 request on a new connection from source; (status, body)."""
    head = [f"{method} {target} HTTP/1.1", f"Host: 127.0.0.1:{port}", "Connection: close",
            f"Content-Length: {len(body)}"]
    for name, value in (headers or {}).items():
        head.append(f"{name}: {value}")
    with socket.create_connection(("127.0.0.1", port), timeout=timeout,
                                  source_address=(source, 0)) as s:
        s.sendall(("\r\n".join(head) + "\r\n\r\n").encode() + body)
        data = b""
        while True:
            chunk = s.recv(65536)
            if not chunk:
                break
            data += chunk
    head, _, rest = data.partition(b"\r\n\r\n")
    status = int(head.split(b" ")[1])
    if b"transfer-encoding: chunked" in head.lower():
        body, rest2 = b"", rest
        while rest2:
            size, _, rest2 = rest2.partition(b"\r\n")
            n = int(size, 16)
            if n == 0:
                break
            body += rest2[:n]
            rest2 = rest2[n + 2:]
        rest = body
    return status, rest


def form(fields, files):
    boundary = "----orvane%016x" % random.getrandbits(64)
    body = b""
    for name, value in fields.items():
        body += (f"--{boundary}\r\nContent-Disposition: form-data; name=\"{name}\"\r\n\r\n"
                 f"{value}\r\n").encode()
    for name, data in files.items():
        body += (f"--{boundary}\r\nContent-Disposition: form-data; name=\"{name}\"; "
                 f"filename=\"{name}\"\r\nContent-Type: application/octet-stream\r\n\r\n").encode()
        body += data + b"\r\n"
    body += f"--{boundary}--\r\n".encode()
    return body, {"Content-Type": f"multipart/form-data; boundary={boundary}"}


def identification(port, page, device, block=None):
    body, headers = form({"UserName": device, "Position": "0"}, {"request": block} if block else {})
    status, answer = request(port, "POST", f"/searchfunctions/{page}", body, headers)
    try:
        return status, json.loads(answer).get("Result")
    except ValueError:
        return status, None


def identify(cli, address, seconds=40):
    """orvane-cli's identification loop (the application's exchange) against address: the
    channel it settles on, or None."""
    try:
        out = subprocess.run([cli, "identify", "--audio-input", "demo-room:1", "--id-host", address],
                             capture_output=True, text=True, timeout=seconds).stdout
    except subprocess.TimeoutExpired:
        return None
    found = re.findall(r"^\s*[\d.]+ s\s+(\d+)\b", out, re.M)
    return int(found[-1]) if found else None


def identify_channel_1(cli, address, attempts=3):
    """identify() until it names channel 1, a few times at most; the last channel named."""
    channel = None
    for _ in range(attempts):
        channel = identify(cli, address)
        if channel == 1:
            break
    return channel


def log_lines(path, pattern):
    with open(path, errors="replace") as f:
        return [line for line in f if pattern in line]


def main():
    server, cli = sys.argv[1], sys.argv[2]
    for program in ("redis-server", "nginx", "psql"):
        if not shutil.which(program) and not os.path.exists(f"/usr/sbin/{program}"):
            print(f"skipped: {program} is not installed (scripts/install-deps.sh installs it)")
            return 77
    work = tempfile.mkdtemp(prefix="orvane-cluster.")
    base = free_base()
    env = dict(os.environ, ORVANE_CLUSTER_DIR=work, ORVANE_CLUSTER_PORT=str(base), ORVANE_SERVER=server)
    nginx, content, ids = base, (base + 20, base + 21), (base + 30, base + 31)
    pg = f"postgresql://orvane@127.0.0.1:{base + 10}/orvane"
    try:
        started = subprocess.run([CLUSTER, "start"], env=env, capture_output=True, text=True, timeout=180)
        if started.returncode == 77:
            print("skipped:", started.stderr.strip())
            return 77
        if not check(started.returncode == 0 and started.stdout.strip() == f"127.0.0.1:{nginx}",
                     "cluster.sh start prints the one address"):
            print(started.stdout, started.stderr)
            return 1
        status = subprocess.run([CLUSTER, "status"], env=env, capture_output=True, text=True, timeout=30)
        check(status.returncode == 0 and status.stdout.count("running") == 7, "cluster.sh status: all running")
        address = f"127.0.0.1:{nginx}"

        # The content answers through nginx, from the real client's address.
        code, body = request(nginx, "GET", "/searchcontent/get_service_status.php", source="127.0.0.2")
        check(code == 200 and "ss_status" in json.loads(body), "content answers through nginx")
        seen = []
        for name in ("content1", "content2"):
            seen += log_lines(os.path.join(work, f"{name}.log"), "get_service_status.php")
        check(any(" 127.0.0.2 " in line for line in seen), "the request log names the client, not nginx")

        # Shared device state: an upload kept by one process is checked by the other.
        rng = random.Random(7)
        noise = bytes(rng.getrandbits(8) for _ in range(2048))
        device = "cluster-%d" % os.getpid()
        up = identification(ids[0], "getstationidresident.php", device, noise)
        check(up == (200, -1), f"an upload of unknown audio is kept on one process: {up}")
        again = identification(ids[1], "checkresident.php", device)
        check(again == (200, -1), f"the other process finds it for checkresident: {again}")
        check(identification(ids[1], "checkresident.php", device + "-never") == (200, -7),
              "a device that never uploaded has nothing to check")
        # One allowance for both processes: 40 quick requests, 20 on each, are not all admitted.
        answers = [identification(ids[i % 2], "checkresident.php", device + "-rate")[1] for i in range(40)]
        check(-8 in answers and answers.count(-8) >= 10, f"the rate limit spans the processes ({answers.count(-8)} refused)")

        # The application's exchange through nginx, its requests spread over both processes.
        before = [len(log_lines(os.path.join(work, f"identification{i}.log"), "/searchfunctions/")) for i in (1, 2)]
        channel = identify_channel_1(cli, address)
        check(channel == 1, f"orvane-cli identifies channel 1 through nginx ({channel})")
        after = [len(log_lines(os.path.join(work, f"identification{i}.log"), "/searchfunctions/")) for i in (1, 2)]
        for _ in range(5):
            if all(a > b for a, b in zip(after, before)):
                break
            identify(cli, address, 20)
            after = [len(log_lines(os.path.join(work, f"identification{i}.log"), "/searchfunctions/"))
                     for i in (1, 2)]
        check(all(a > b for a, b in zip(after, before)), f"both identification processes answered ({before} -> {after})")
        # The devices heard by the identification processes are counted by the content servers.
        pons = [json.loads(request(port, "GET", "/searchcontent/get_service_status.php")[1]).get("pon", 0)
                for port in content]
        check(all(pon >= 2 for pon in pons), f"both content servers count the devices heard in Redis ({pons})")

        # A new listing, imported while both content servers serve, is seen by both.
        title = "Cluster check %d" % random.randrange(10**9)
        start = datetime.datetime.now(datetime.timezone.utc) + datetime.timedelta(hours=2)
        stamp = lambda t: t.strftime("%Y%m%d%H%M%S +0000")
        listing = os.path.join(work, "listing.xml")
        with open(listing, "w") as f:
            f.write('<?xml version="1.0" encoding="UTF-8"?>\n<tv>\n'
                    '<channel id="cluster.test"><display-name>Cluster</display-name></channel>\n'
                    f'<programme start="{stamp(start)}" stop="{stamp(start + datetime.timedelta(hours=1))}" '
                    f'channel="cluster.test"><title>{title}</title></programme>\n</tv>\n')
        imported = subprocess.run([server, "import-xmltv", listing, "--db", pg], capture_output=True, text=True,
                                  timeout=60)
        check(imported.returncode == 0, "import-xmltv into PostgreSQL")
        target = "/searchcontent/get_search_program_info.php?city=1&s=" + urllib.parse.quote(title)
        for port in content:
            found = False
            for _ in range(70):  # the answer caches keep answers up to 60 s
                code, body = request(port, "GET", target)
                if code == 200 and title in body.decode("utf-8", "replace"):
                    found = True
                    break
                time.sleep(1)
            check(found, f"the content server on {port} finds the imported show")

        # One identification process killed: the other answers every client.
        with open(os.path.join(work, "identification1.pid")) as f:
            os.kill(int(f.read()), signal.SIGKILL)
        channel = identify_channel_1(cli, address)
        check(channel == 1, f"with one identification process killed, channel 1 is still found ({channel})")

        # One content server killed: every request is still answered.
        with open(os.path.join(work, "content1.pid")) as f:
            os.kill(int(f.read()), signal.SIGKILL)
        codes = [request(nginx, "GET", "/searchcontent/get_service_status.php")[0] for _ in range(20)]
        check(codes.count(200) == 20, f"with one content server killed, 20 of 20 answered ({codes.count(200)})")
    finally:
        subprocess.run([CLUSTER, "stop"], env=env, capture_output=True, timeout=60)
        subprocess.run([os.path.join(ROOT, "scripts", "private-postgres.sh"), "remove", os.path.join(work, "postgres")],
                       capture_output=True, timeout=60)
        shutil.rmtree(work, ignore_errors=True)
    if FAILURES:
        print(f"{len(FAILURES)} failed")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
