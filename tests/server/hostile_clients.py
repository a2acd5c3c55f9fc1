#!/usr/bin/env python3
"""Hostile clients against a running orvane-server, on loopback, bounded in count and time.

Each case runs an attack from 127.0.0.1 while a well-behaved client on 127.0.0.2 asks for
the server time on new connections every 20 ms. A case passes when every good request is
answered, the good requests' 99th percentile stays under the limit, the server's resident
memory stays within its bound, and the attack got the answer it deserved.

    hostile_clients.py ORVANE_SERVER [CASE...]

ORVANE_HOSTILE_P99_MS and ORVANE_HOSTILE_RSS_MB raise the latency and memory limits (the
sanitizer build is several times slower and keeps freed memory in quarantine); exit 77 when loopback addresses other than 127.0.0.1 cannot be used.
"""

import os
import re
import resource
import selectors
import socket
import sqlite3
import subprocess
import sys
import tempfile
import threading
import time

P99_LIMIT_MS = float(os.environ.get("ORVANE_HOSTILE_P99_MS", "100"))
RSS_GROWTH_LIMIT_KB = int(os.environ.get("ORVANE_HOSTILE_RSS_MB", "150")) * 1024
ATTACKER = "127.0.0.1"
GOOD = "127.0.0.2"
GOOD_TARGET = b"/searchcontent/messages/now.php"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def rss_kb(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def read_response(sock, deadline):
    """One whole response (head and Content-Length body), or None."""
    data = b""
    while True:
        head_end = data.find(b"\r\n\r\n")
        if head_end >= 0:
            match = re.search(rb"Content-Length: (\d+)", data[:head_end], re.I)
            length = int(match.group(1)) if match else 0
            if len(data) >= head_end + 4 + length:
                return data[: head_end + 4 + length]
        left = deadline - time.monotonic()
        if left <= 0:
            return None
        sock.settimeout(left)
        try:
            chunk = sock.recv(65536)
        except (socket.timeout, OSError):
            return None
        if not chunk:
            return None
        data += chunk


def status_of(response):
    return int(response.split(b" ", 2)[1]) if response else 0


class Server:
    def __init__(self, binary, work, extra=(), nofile=None):
        self.db = os.path.join(work, "schedule.sqlite")

        def limit():
            if nofile:
                resource.setrlimit(resource.RLIMIT_NOFILE, (nofile, nofile))

        # A free port can be taken by someone else before the server binds it: then the
        # server exits at once and is started again on other ports.
        for _ in range(3):
            self.port = free_port()  # the identification server, unused here, takes any free port
            self.log = open(os.path.join(work, f"server-{self.port}.log"), "w+")
            self.process = subprocess.Popen(
                [binary, "serve", "--db", self.db, "--port", str(self.port), "--id-port", "0", "--social-port", "0", *extra],
                stdout=self.log, stderr=subprocess.STDOUT, preexec_fn=limit)
            deadline = time.monotonic() + 20
            while time.monotonic() < deadline and self.process.poll() is None:
                if self.get(GOOD_TARGET, timeout=1)[0] == 200:
                    return
                time.sleep(0.1)
            self.process.kill()
            self.process.wait()
        raise RuntimeError("the server did not start: " + self.log_text()[-2000:])

    def get(self, target, timeout=2.0, source=GOOD):
        """(status, milliseconds, response) of one request on a new connection."""
        start = time.monotonic()
        try:
            with socket.create_connection(("127.0.0.1", self.port), timeout=timeout,
                                          source_address=(source, 0)) as sock:
                sock.sendall(b"GET " + target + b" HTTP/1.1\r\nHost: test\r\nConnection: close\r\n\r\n")
                response = read_response(sock, start + timeout)
        except OSError:
            response = None
        return status_of(response), (time.monotonic() - start) * 1000, response

    def log_text(self):
        self.log.flush()
        with open(self.log.name, errors="replace") as f:
            return f.read()

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
        self.log.close()


class Attack:
    """Runs body(stop_event) on several threads until stopped."""

    def __init__(self, body, threads=1):
        self.stop_event = threading.Event()
        self.threads = [threading.Thread(target=body, args=(self.stop_event,), daemon=True) for _ in range(threads)]

    @classmethod
    def repeating(cls, attempt, threads=1):
        """Runs attempt(stop_event) again and again; a failed connection is tried again."""
        def body(stop):
            while not stop.is_set():
                try:
                    attempt(stop)
                except OSError:
                    time.sleep(0.05)
        return cls(body, threads)

    def __enter__(self):
        for thread in self.threads:
            thread.start()
        return self

    def __exit__(self, *exc):
        self.stop_event.set()
        for thread in self.threads:
            thread.join(15)


def attacker_socket(server, rcvbuf=None):
    sock = socket.socket()
    if rcvbuf:
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, rcvbuf)
    sock.bind((ATTACKER, 0))
    sock.settimeout(3)
    sock.connect(("127.0.0.1", server.port))
    return sock


def measure_good(server, seconds):
    """Good requests every 20 ms for the time; (latencies, failures, peak RSS in KB)."""
    latencies, failures, peak = [], 0, 0
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        status, ms, _ = server.get(GOOD_TARGET)
        if status == 200:
            latencies.append(ms)
        else:
            failures += 1
        peak = max(peak, rss_kb(server.process.pid))
        time.sleep(0.02)
    return latencies, failures, peak


def check_good(name, server, seconds, baseline_rss):
    # The attack gets a moment to be under way (its first pictures drawn, its connections
    # open) before the good client measures.
    time.sleep(1.0)
    latencies, failures, peak = measure_good(server, seconds)
    latencies.sort()
    p99 = latencies[min(len(latencies) - 1, int(len(latencies) * 0.99))] if latencies else float("inf")
    problems = []
    if failures:
        problems.append(f"{failures} of {failures + len(latencies)} good requests failed")
    if p99 > P99_LIMIT_MS:
        problems.append(f"good p99 {p99:.1f} ms over {P99_LIMIT_MS:.0f} ms")
    if peak - baseline_rss > RSS_GROWTH_LIMIT_KB:
        problems.append(f"RSS grew by {(peak - baseline_rss) // 1024} MB")
    print(f"  {name}: {len(latencies)} good requests, p99 {p99:.1f} ms, peak RSS {peak // 1024} MB")
    return problems


# The cases ----------------------------------------------------------------------------------

def one_byte_then_wait(server, baseline):
    """16 clients send one byte and hold the connection; they reconnect when dropped."""
    def attempt(stop):
        with attacker_socket(server) as sock:
            sock.sendall(b"G")
            sock.settimeout(6)
            sock.recv(1024)  # the 408, then the close, after the request deadline
    with Attack.repeating(attempt, 16):
        return check_good("one byte", server, 6, baseline)


def unread_pictures(server, baseline):
    """8 clients ask for 1024-pixel pictures again and again and never read an answer."""
    requests = b"".join(b"GET /searchcontent/gfx/1024/1024/logos/%d.png HTTP/1.1\r\nHost: x\r\n\r\n"
                        % (1 + i % 12) for i in range(40))

    def attempt(stop):
        with attacker_socket(server, rcvbuf=4096) as sock:
            sock.sendall(requests)
            stop.wait(5)
    with Attack.repeating(attempt, 8):
        return check_good("unread pictures", server, 5, baseline)


def slowloris(server, baseline):
    """40 connections send a header line a second and never finish the request."""
    def attempt(stop):
        with attacker_socket(server) as sock:
            sock.sendall(b"GET /searchcontent/messages/now.php HTTP/1.1\r\nHost: x\r\n")
            while not stop.wait(1):
                sock.sendall(b"X-Slow: 1\r\n")
    with Attack.repeating(attempt, 40):
        return check_good("slowloris", server, 6, baseline)


def closed_by_server(socks, timeout):
    """The sockets the server has closed (EOF or reset) within the time."""
    selector = selectors.DefaultSelector()
    for sock in socks:
        selector.register(sock, selectors.EVENT_READ)
    closed, deadline = set(), time.monotonic() + timeout
    while len(closed) < len(socks):
        for key, _ in selector.select(max(0.0, deadline - time.monotonic())):
            closed.add(key.fileobj)
            selector.unregister(key.fileobj)
        if time.monotonic() >= deadline:
            break
    selector.close()
    return closed


def closed_sockets(socks, timeout):
    """How many of the sockets the server has closed within the time."""
    return len(closed_by_server(socks, timeout))


def silent_connections(server, baseline, count=1024):
    """count connections that never send a byte, from one address."""
    socks, refused = [], 0
    for _ in range(count):
        try:
            socks.append(attacker_socket(server))
        except OSError:
            refused += 1
    connected = time.monotonic()
    problems = []
    # All but the per-address allowance are closed at once ...
    at_once = closed_sockets(socks, 1.0)
    if at_once + refused < count - 64:
        problems.append(f"{at_once + refused} of {count} silent connections closed at once, not {count - 64}")
    problems += check_good(f"{count} silent", server, 3, baseline)
    # ... the rest when the request deadline (5 s) has passed.
    time.sleep(max(0.0, connected + 5.5 - time.monotonic()))
    closed = closed_sockets(socks, 2.0)
    for sock in socks:
        sock.close()
    if closed + refused < count:
        problems.append(f"only {closed + refused} of {count} silent connections were closed")
    return problems


def duplicate_content_length(server, baseline):
    """A body framed by two lengths is refused with 400 and what follows is never answered."""
    problems = []
    for lengths in (b"5\r\nContent-Length: 5", b"5\r\nContent-Length: 8", b"5, 5", b"+5"):
        sock = attacker_socket(server)
        sock.sendall(b"POST /searchcontent/get_service_status.php HTTP/1.1\r\nHost: x\r\nContent-Length: " + lengths +
                     b"\r\n\r\nhelloGET /searchcontent/messages/now.php HTTP/1.1\r\nHost: x\r\n\r\n")
        data, deadline = b"", time.monotonic() + 5
        while time.monotonic() < deadline:
            try:
                chunk = sock.recv(65536)
            except OSError:
                break
            if not chunk:
                break
            data += chunk
        sock.close()
        if data.count(b"HTTP/1.1 ") != 1 or not data.startswith(b"HTTP/1.1 400"):
            problems.append(f"Content-Length {lengths!r}: {data[:80]!r}")

    def attempt(stop):
        with attacker_socket(server) as sock:
            sock.sendall(b"POST / HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab")
            sock.recv(1024)
    with Attack.repeating(attempt, 4):
        return problems + check_good("two lengths", server, 3, baseline)


def pipelined_flood(server, baseline):
    """3,000 pipelined requests: the first 1,000 are answered in full, then a clean close."""
    problems = []

    def one_connection():
        sock = attacker_socket(server)
        request = b"GET /searchcontent/messages/now.php HTTP/1.1\r\nHost: x\r\n\r\n"
        sock.sendall(request * 3000)
        data = b""
        sock.settimeout(10)
        try:
            while True:
                chunk = sock.recv(1 << 16)
                if not chunk:
                    break
                data += chunk
        except ConnectionResetError:
            return data, "reset"
        except OSError as error:
            return data, str(error)
        finally:
            sock.close()
        return data, None

    data, error = one_connection()
    answers = data.count(b"HTTP/1.1 200")
    if error or answers != 1000 or not data.rstrip().endswith(b"}"):
        problems.append(f"pipelined: {answers} answers, error {error}")

    with Attack.repeating(lambda stop: one_connection(), 2):
        return problems + check_good("pipelined", server, 4, baseline)


def many_devices(server, baseline):
    """3,000 device ids: stored within the cap, counted by pon within its window."""
    def body(stop):
        for i in range(3000):
            if stop.is_set():
                return
            server.get(b"/searchcontent/content_listview.php?v=2&m=0&i=1&t=20261207&d=hostile-%d" % i, source=ATTACKER)
    with Attack(body, 1) as attack:
        problems = check_good("device ids", server, 4, baseline)
        for thread in attack.threads:
            thread.join(120)
    with sqlite3.connect(server.db) as db:
        rows = db.execute("SELECT COUNT(*) FROM devices").fetchone()[0]
    _, _, response = server.get(b"/searchcontent/get_service_status.php")
    pon = int(re.search(rb'"pon":\s*(\d+)', response).group(1)) if response else -1
    if rows > 10000 or pon != rows:
        problems.append(f"devices: {rows} rows, pon {pon}")
    return problems


def huge_listing_texts(server, baseline):
    """A show imported with a 50 MB title and description: its details and pictures are bounded."""
    problems = []
    with sqlite3.connect(server.db) as db:
        row = db.execute("SELECT id, channel_id, length(title), length(description), start FROM programmes "
                         "WHERE title LIKE 'HUGE%'").fetchone()
    if not row:
        return ["the huge show was not imported"]
    show, channel, title_length, description_length, start = row
    if title_length > 1024 or description_length > 16 * 1024:
        problems.append(f"stored title {title_length}, description {description_length} characters")
    day = time.strftime("%Y%m%d", time.localtime(start)).encode()
    status, ms, details = server.get(b"/searchcontent/content_listview.php?i=%d&t=%s&ev=%d" % (channel, day, show),
                                     timeout=10)
    if status != 200 or len(details) > 64 * 1024:
        problems.append(f"details: status {status}, {len(details or b'')} bytes")
    for target in (b"/searchcontent/gfx/shows/%d_big.png" % show, b"/searchcontent/get_tv_image.php?i=%d" % channel):
        status, ms, _ = server.get(target, timeout=10)
        if status != 200 or ms > 1000:
            problems.append(f"{target.decode()}: status {status} in {ms:.0f} ms")

    def body(stop):
        size = 100
        while not stop.is_set():
            size = size + 1 if size < 1000 else 100  # new sizes: drawn every time, never cached
            server.get(b"/searchcontent/gfx/%d/%d/shows/%d_big.png" % (size, size, show), source=ATTACKER)
            server.get(b"/searchcontent/gfx/shows/%d_big.png" % show, source=ATTACKER)
    with Attack(body, 2):
        return problems + check_good("huge texts", server, 4, baseline)


def write_hostile_listing(folder):
    """A listing with a 50 MB title and description, a FIFO as an icon and a year 99999."""
    fifo = os.path.join(folder, "icon.png")
    os.mkfifo(fifo)
    start = time.strftime("%Y%m%d%H0000 +0000", time.gmtime(time.time() - 1800))
    stop = time.strftime("%Y%m%d%H0000 +0000", time.gmtime(time.time() + 5400))
    path = os.path.join(folder, "hostile.xml")
    with open(path, "w") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n<tv>\n'
                '<channel id="hostile.test"><display-name>Hostile</display-name><icon src="icon.png"/></channel>\n'
                f'<programme channel="hostile.test" start="{start}" stop="{stop}"><title>HUGE ')
        chunk = "Очень длинное название " * 4096
        for _ in range(50 * 1024 * 1024 // len(chunk.encode())):
            f.write(chunk)
        f.write("</title><desc>")
        for _ in range(50 * 1024 * 1024 // len(chunk.encode())):
            f.write(chunk)
        f.write('</desc><date>99999</date><icon src="icon.png"/></programme>\n</tv>\n')
    return path


def server_descriptors(pid):
    """'open / limit' descriptors of a process, for the failure message."""
    try:
        used = len(os.listdir(f"/proc/{pid}/fd"))
        with open(f"/proc/{pid}/limits") as f:
            limit = next((line.split()[3] for line in f if line.startswith("Max open files")), "?")
        return f"{used} / {limit}"
    except OSError:
        return "unknown"


def exhaust_descriptors(binary, work, nofile=256):
    """Silent connections, more than the open-file limit of a server with no caps below it:
    accepting runs out of descriptors, says so, does not spin, and serves again after."""
    problems = []
    server = Server(binary, work, extra=("--max-connections", "4096", "--max-connections-per-peer", "4096"),
                    nofile=nofile)
    try:
        # The server closes a silent connection 5 s after taking it: the connections it has
        # closed are replaced until it runs out, so that a slow machine reaches the limit too.
        socks, made, started = [], 0, time.monotonic()
        deadline = started + 30
        while "out of file descriptors" not in server.log_text() and time.monotonic() < deadline:
            if socks:
                closed = closed_by_server(socks, 0)
                socks = [sock for sock in socks if sock not in closed]
                for sock in closed:
                    sock.close()
            while len(socks) < nofile + 100:
                try:
                    socks.append(attacker_socket(server))
                    made += 1
                except OSError:
                    break
            time.sleep(0.2)
        reached = time.monotonic() - started
        print(f"  out of descriptors: {made} connections in {reached:.1f} s, "
              f"server descriptors {server_descriptors(server.process.pid)}")
        before = cpu_seconds(server.process.pid)
        time.sleep(2)
        used = cpu_seconds(server.process.pid) - before
        print(f"  out of descriptors: {used:.2f} s of CPU in 2 s")
        if used > 0.5:
            problems.append(f"out of descriptors: {used:.2f} s of CPU in 2 s (spinning)")
        for sock in socks:
            sock.close()
        time.sleep(0.5)
        status = 0
        answer_deadline = time.monotonic() + 10
        while status != 200 and time.monotonic() < answer_deadline:
            status = server.get(GOOD_TARGET)[0]
        if status != 200:
            problems.append("out of descriptors: no answer after the connections closed")
        if "out of file descriptors" not in server.log_text():
            problems.append("out of descriptors: not logged")
            print("  server log:", server.log_text()[-800:])
    finally:
        server.stop()
    return problems


def descriptor_limit(binary, work):
    """An open-file limit of 1,024 and 1,100 connections: no spinning, good requests served;
    then a limit the server's own caps allow it to run into."""
    problems = []
    server = Server(binary, work, nofile=1024)
    try:
        baseline = rss_kb(server.process.pid)
        # From one address: the per-address cap keeps the descriptors for everyone else.
        problems += silent_connections(server, baseline, count=1100)
    finally:
        server.stop()
    return problems + exhaust_descriptors(binary, work)


CASES = {
    "one_byte": one_byte_then_wait,
    "unread_pictures": unread_pictures,
    "slowloris": slowloris,
    "silent": silent_connections,
    "content_length": duplicate_content_length,
    "pipelined": pipelined_flood,
    "devices": many_devices,
    "huge_texts": huge_listing_texts,
}


def main():
    binary = sys.argv[1]
    wanted = sys.argv[2:] or list(CASES) + ["descriptors", "fifo_icon"]
    try:
        with socket.socket() as s:
            s.bind((GOOD, 0))
    except OSError:
        print("127.0.0.2 is not usable here")
        return 77
    failures = []
    with tempfile.TemporaryDirectory() as work:
        db = os.path.join(work, "schedule.sqlite")
        subprocess.run([binary, "demo-data", "--db", db], check=True, capture_output=True)
        listing = write_hostile_listing(work)
        started = time.monotonic()
        try:
            imported = subprocess.run([binary, "import-xmltv", listing, "--db", db], capture_output=True, text=True,
                                      timeout=120)
        except subprocess.TimeoutExpired:
            imported = None
        print(f"hostile listing imported in {time.monotonic() - started:.1f} s")
        if "fifo_icon" in wanted:
            if imported is None or imported.returncode != 0:
                failures.append(f"fifo_icon: import {'hung' if imported is None else imported.stderr[-300:]}")
            elif "not a regular file" not in imported.stderr or "year 9999 " not in imported.stderr \
                    or "title of" not in imported.stderr:
                failures.append(f"fifo_icon: caps not logged: {imported.stderr[-500:]}")
        os.unlink(listing)

        server = Server(binary, work)
        try:
            baseline = rss_kb(server.process.pid)
            for name, case in CASES.items():
                if name in wanted:
                    print(f"{name}:", flush=True)
                    failures += [f"{name}: {p}" for p in case(server, baseline)]
            minutes = (time.monotonic() - started) / 60
            refusals = server.log_text().count(f" refused {ATTACKER}")
            print(f"refusal lines logged for the attacker: {refusals} in {minutes:.1f} minutes")
            if refusals > minutes + 2:
                failures.append(f"log: {refusals} refusal lines for one address in {minutes:.1f} minutes")
        finally:
            server.stop()
        if "descriptors" in wanted:
            print("descriptors:", flush=True)
            failures += [f"descriptors: {p}" for p in descriptor_limit(binary, work)]
    for failure in failures:
        print("FAIL " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
