"""The link check tests' own HTTP and HTTPS server: answers by path with every case the check
must tell apart, counts connections per host and overall, and listens only on loopback addresses.

Paths (HEAD and GET alike unless said):
  /ok 200            /no-content 204       /moved 301->/ok      /perm 308->/ok
  /temp 302->/ok     /temp-missing 302->/missing                /missing 404    /gone 410
  /head-forbidden 403 on HEAD, 200 on GET  /no-head 405 on HEAD, 200 on GET
  /close-head closes on HEAD without an answer, 200 on GET
  /error 500         /unavailable 503      /loop-a <-> /loop-b  /chain/N N redirects, then 200
  /rate/KEY 429 with Retry-After: 1 the first time per KEY, then 200
  /rate-long 429 with Retry-After: 120     /slow answers after SLOW seconds
  /close closes without an answer          /endless 405 on HEAD, an endless body on GET
  /ua 200 when the User-Agent starts with Quillomere/, else 400
  /query 200 only for the query x=1&y=2    /away 301 to /ok on the next host
  /delay/ANY 200 after the server's delay (the politeness and speed runs)
  /sleep/N 200 after N seconds (a request still running when a check is cancelled)

Site icons (GET):
  /icons/sizes       a page naming /icons/16.png (16x16) and /icons/32.png (32x32)
  /icons/redirect    302 to /icons/deep/page, which names the relative icon.gif
  /icons/big         a page naming /icons/big.png, a PNG of 100 KiB
  /icons/html        a page naming /icons/fake.png, an HTML page served as image/png
  /icons/plain       a page naming no icon
  /icons/long        a page of 300 KiB naming /icons/32.png in its head
  /icons/page/ANY    a page naming /icons/shared.png after the server's delay
  /icons/own/N       a page naming /icons/own/N.png after the server's delay, which serves a PNG
                     after the delay too (the speed run)
  /favicon.ico       an ICO on the second host, 404 on the others

Hostile answers (HEAD and GET unless said; each request's life and bytes sent are noted in
Stats.hostile):
  /hostile/trickle-head      the status line and headers at a byte every half second
  /hostile/endless-headers   the status line, then header lines without end, as fast as they go
  /hostile/slow-headers      the status line, then a header line every fifth of a second
  /hostile/trickle-body      405 on HEAD; on GET 200 with a declared 2 GiB body, a byte every half
                             second
  /hostile/endless-chunks    405 on HEAD; on GET 200 chunked, a chunk of FFFFFFFFFFFFFFFF bytes
                             and data without end
  /hostile/icon-page         a page naming /hostile/trickle-icon.png, an icon sent at a byte
                             every half second
  /hostile/to-javascript     301 to javascript:alert(document.cookie)
  /hostile/to-javascript-case 308 to " JaVaScRiPt:alert(1)"
  /hostile/to-javascript-tab 301 to "java<TAB>script:alert(1)"
  /hostile/to-data           301 to data:text/html,<script>alert(1)</script>
  /hostile/to-file           308 to file:///etc/passwd
  /hostile/to-vbscript       301 to vbscript:msgbox(1)
  /hostile/to-reference      301 to &#106;avascript:alert(1), a relative http address
  /hostile/escape            301 to a javascript: address holding ESC, BEL and CSI sequences
  /hostile/long-location     301 with a Location of 20 KiB
"""
import asyncio
import base64
import os
import ssl
import struct
import subprocess
import threading
import time
import zlib


def make_png(size, rgb):
    """A PNG of size x size pixels of one colour."""
    def chunk(tag, data):
        return (struct.pack(">I", len(data)) + tag + data +
                struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF))
    row = b"\0" + bytes(((rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255)) * size
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(row * size)) + chunk(b"IEND", b""))


def make_ico(png, size):
    """An ICO holding one PNG image."""
    return (struct.pack("<HHH", 0, 1, 1) +
            struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(png), 22) + png)


ICONS = {
    "/icons/16.png": make_png(16, 0xC02020),
    "/icons/32.png": make_png(32, 0x2060C0),
    "/icons/deep/icon.gif": base64.b64decode(
        "R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7"),
    "/icons/big.png": make_png(16, 0x000080).ljust(100 * 1024, b"\0"),
    "/icons/shared.png": make_png(16, 0x30A030),
}
FAVICON = make_ico(make_png(16, 0x808000), 16)


class Stats:
    def __init__(self):
        self.lock = threading.Lock()
        self.open_per_host = {}
        self.max_per_host = {}
        self.open_total = 0
        self.max_total = 0
        self.connections = 0  # opened in all
        self.requests = []  # (host, method, path, user agent, time)
        self.endless_bytes = []
        self.hostile = []  # (method, path, seconds from request to its end, bytes sent)

    def opened(self, host):
        with self.lock:
            self.open_per_host[host] = self.open_per_host.get(host, 0) + 1
            self.max_per_host[host] = max(self.max_per_host.get(host, 0), self.open_per_host[host])
            self.open_total += 1
            self.connections += 1
            self.max_total = max(self.max_total, self.open_total)

    def closed(self, host):
        with self.lock:
            self.open_per_host[host] -= 1
            self.open_total -= 1

    def reset_maxima(self):
        with self.lock:
            self.max_per_host = dict(self.open_per_host)
            self.max_total = self.open_total
            self.requests = []


def make_certificate(folder):
    """A self-signed certificate for 127.0.0.1, made with openssl; returns (cert, key)."""
    cert = os.path.join(folder, "server-cert.pem")
    key = os.path.join(folder, "server-key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=127.0.0.1", "-keyout", key, "-out", cert],
                   check=True, capture_output=True)
    return cert, key


class LinkServer:
    """Serves on each of `hosts` (loopback addresses) one plain port, and on the first host one
    TLS port when a certificate is given. Runs its own event loop on a thread."""

    def __init__(self, hosts=("127.0.0.1",), certificate=None, delay=0.0, slow=4.0):
        for host in hosts:
            assert host.startswith("127."), "the test server listens on loopback only"
        self.hosts = list(hosts)
        self.certificate = certificate
        self.delay = delay
        self.slow = slow
        self.stats = Stats()
        self.ports = {}
        self.tls_port = None
        self.rate_seen = set()
        self.loop = asyncio.new_event_loop()
        self.servers = []
        self.started = threading.Event()
        self.thread = threading.Thread(target=self._run, daemon=True)

    def __enter__(self):
        self.thread.start()
        self.started.wait(30)
        return self

    def __exit__(self, *exc):
        self.loop.call_soon_threadsafe(self.loop.stop)
        self.thread.join(30)

    def url(self, path, host_index=0):
        host = self.hosts[host_index]
        return f"http://{host}:{self.ports[host]}{path}"

    def tls_url(self, path):
        return f"https://{self.hosts[0]}:{self.tls_port}{path}"

    def _run(self):
        asyncio.set_event_loop(self.loop)
        for host in self.hosts:
            server = self.loop.run_until_complete(asyncio.start_server(
                lambda r, w, h=host: self._connection(r, w, h), host, 0, backlog=1024))
            self.servers.append(server)
            self.ports[host] = server.sockets[0].getsockname()[1]
        if self.certificate:
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(*self.certificate)
            host = self.hosts[0]
            server = self.loop.run_until_complete(asyncio.start_server(
                lambda r, w: self._connection(r, w, host + "-tls"), host, 0, ssl=context))
            self.servers.append(server)
            self.tls_port = server.sockets[0].getsockname()[1]
        # Clients that give up on the self-signed certificate are expected here.
        self.loop.set_exception_handler(lambda loop, context: None)
        self.started.set()
        self.loop.run_forever()
        for server in self.servers:
            server.close()
        tasks = asyncio.all_tasks(self.loop)
        for task in tasks:
            task.cancel()
        self.loop.run_until_complete(asyncio.gather(*tasks, return_exceptions=True))
        self.loop.close()

    async def _connection(self, reader, writer, host):
        # A connection counts from its first request until the client closes it, or until the
        # answer to a request that said "Connection: close": the client's end of an old
        # connection and its next connection can reach this loop in either order.
        counted = False
        try:
            while True:
                line = await reader.readline()
                if not line:
                    break
                if not counted:
                    self.stats.opened(host)
                    counted = True
                parts = line.decode("latin-1").split()
                if len(parts) != 3:
                    break
                method, target = parts[0], parts[1]
                headers = {}
                while True:
                    header = await reader.readline()
                    if header in (b"\r\n", b"\n", b""):
                        break
                    name, _, value = header.decode("latin-1").partition(":")
                    headers[name.strip().lower()] = value.strip()
                with self.stats.lock:
                    self.stats.requests.append((host, method, target,
                                                headers.get("user-agent", ""), time.monotonic()))
                keep = await self._answer(reader, writer, host, method, target, headers)
                if not keep or headers.get("connection", "").lower() == "close":
                    break
        except (ConnectionError, asyncio.IncompleteReadError, ssl.SSLError, OSError):
            pass
        finally:
            if counted:
                self.stats.closed(host)
            try:
                writer.close()
            except Exception:
                pass

    async def _send(self, writer, method, status, headers=(), body=b""):
        reasons = {200: "OK", 204: "No Content", 301: "Moved Permanently", 302: "Found",
                   308: "Permanent Redirect", 400: "Bad Request", 403: "Forbidden",
                   404: "Not Found", 405: "Method Not Allowed", 410: "Gone",
                   429: "Too Many Requests", 500: "Internal Server Error",
                   503: "Service Unavailable"}
        lines = [f"HTTP/1.1 {status} {reasons.get(status, 'Status')}"]
        lines += [f"{name}: {value}" for name, value in headers]
        if status != 204:
            lines.append(f"Content-Length: {len(body)}")
        head = ("\r\n".join(lines) + "\r\n\r\n").encode("latin-1")
        writer.write(head if method == "HEAD" or status == 204 else head + body)
        await writer.drain()
        return True

    async def _answer(self, reader, writer, host, method, target, headers):
        path, _, query = target.partition("?")
        send = lambda status, extra=(), body=b"ok": self._send(writer, method, status, extra, body)
        if path.startswith("/delay/"):
            await asyncio.sleep(self.delay)
            return await send(200)
        if path == "/ok":
            return await send(200)
        if path.startswith("/icons/") or path == "/favicon.ico":
            return await self._icons(send, host, path)
        if path == "/no-content":
            return await send(204)
        redirects = {"/moved": (301, "/ok"), "/perm": (308, "/ok"), "/temp": (302, "/ok"),
                     "/temp-missing": (302, "/missing"), "/loop-a": (302, "/loop-b"),
                     "/loop-b": (302, "/loop-a")}
        if path in redirects:
            status, location = redirects[path]
            return await send(status, [("Location", location)])
        if path == "/away":
            others = [h for h in self.hosts if h != host]
            target_host = others[0] if others else host
            return await send(301, [("Location",
                                     f"http://{target_host}:{self.ports[target_host]}/ok")])
        if path.startswith("/chain/"):
            left = int(path[len("/chain/"):])
            if left == 0:
                return await send(200)
            return await send(302, [("Location", f"/chain/{left - 1}")])
        if path == "/missing":
            return await send(404)
        if path == "/gone":
            return await send(410)
        if path == "/head-forbidden":
            return await send(403 if method == "HEAD" else 200)
        if path == "/no-head":
            return await send(405 if method == "HEAD" else 200)
        if path == "/close-head":
            if method == "HEAD":
                return False
            return await send(200)
        if path == "/error":
            return await send(500)
        if path == "/unavailable":
            return await send(503)
        if path.startswith("/rate/"):
            first = path not in self.rate_seen
            self.rate_seen.add(path)
            return await send(429, [("Retry-After", "1")]) if first else await send(200)
        if path == "/rate-long":
            return await send(429, [("Retry-After", "120")])
        if path == "/slow":
            await asyncio.sleep(self.slow)
            return await send(200)
        if path.startswith("/sleep/"):
            await asyncio.sleep(float(path[len("/sleep/"):]))
            return await send(200)
        if path == "/close":
            return False
        if path == "/endless":
            if method == "HEAD":
                return await send(405)
            writer.write(b"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                         b"Transfer-Encoding: chunked\r\n\r\n")
            chunk = b"%x\r\n%s\r\n" % (16384, b"x" * 16384)
            sent = 0
            deadline = time.monotonic() + 60
            try:
                while time.monotonic() < deadline:
                    writer.write(chunk)
                    await writer.drain()
                    sent += 16384
            finally:
                with self.stats.lock:
                    self.stats.endless_bytes.append(sent)
            return False
        if path.startswith("/hostile/"):
            return await self._hostile(reader, writer, method, path)
        if path == "/ua":
            agent = headers.get("user-agent", "")
            return await send(200 if agent.startswith("Quillomere/") else 400)
        if path == "/query":
            return await send(200 if query == "x=1&y=2" else 400)
        return await send(404)

    HOSTILE_REDIRECTS = {
        "/hostile/to-javascript": (301, "javascript:alert(document.cookie)"),
        "/hostile/to-javascript-case": (308, " JaVaScRiPt:alert(1)"),
        "/hostile/to-javascript-tab": (301, "java\tscript:alert(1)"),
        "/hostile/to-data": (301, "data:text/html,<script>alert(1)</script>"),
        "/hostile/to-file": (308, "file:///etc/passwd"),
        "/hostile/to-vbscript": (301, "vbscript:msgbox(1)"),
        "/hostile/to-reference": (301, "&#106;avascript:alert(1)"),
        # Clears the screen, sets the terminal's title, recolours, and a C1 CSI (U+009B).
        "/hostile/escape": (301, "javascript:\x1b[2J\x1b]0;owned\x07\x1b[31mred\u009b1m"),
        "/hostile/long-location": (301, "/" + "x" * (20 * 1024)),
    }

    async def _hostile(self, reader, writer, method, path):
        """Answers that try to hold a request for ever or to plant something; notes how long
        each took until the client let go, and what it was sent."""
        started = time.monotonic()

        def note(sent):
            with self.stats.lock:
                self.stats.hostile.append((method, path, time.monotonic() - started, sent))

        async def whole(answer):
            writer.write(answer)
            await writer.drain()
            note(len(answer))
            return True

        if path in self.HOSTILE_REDIRECTS:
            status, location = self.HOSTILE_REDIRECTS[path]
            return await whole((f"HTTP/1.1 {status} Moved\r\nLocation: {location}\r\n"
                                "Content-Length: 0\r\n\r\n").encode("utf-8"))
        if method == "HEAD" and path in ("/hostile/trickle-body", "/hostile/endless-chunks"):
            return await whole(b"HTTP/1.1 405 Method Not Allowed\r\nContent-Length: 0\r\n\r\n")
        if path == "/hostile/icon-page":
            page = (b'<!DOCTYPE html><html><head><link rel="icon" '
                    b'href="/hostile/trickle-icon.png"></head></html>')
            return await whole(b"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"
                               b"Content-Length: %d\r\n\r\n" % len(page) + page)
        answers = ("/hostile/trickle-head", "/hostile/endless-headers", "/hostile/slow-headers",
                   "/hostile/trickle-body", "/hostile/endless-chunks", "/hostile/trickle-icon.png")
        if path not in answers:
            return await whole(b"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n")

        # Answers without end: the client closing its end shows here at once, where a write
        # would notice it late. The request is not answered whole, so nothing more comes on it.
        gone = asyncio.ensure_future(reader.read(1))
        sent = 0

        async def put(data, pause=0.0):
            nonlocal sent
            if gone.done():
                raise ConnectionError("the client went")
            writer.write(data)
            await writer.drain()
            sent += len(data)
            if pause:
                await asyncio.sleep(pause)

        async def trickle(data, pause=0.5):
            for byte in data:
                await put(bytes((byte,)), pause)

        deadline = started + 60  # the server's own bound, far past any client's
        try:
            if path == "/hostile/trickle-head":
                await trickle(b"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nX-Slow: " +
                              b"a" * 4096 + b"\r\n\r\n")
            elif path == "/hostile/endless-headers":
                await put(b"HTTP/1.1 200 OK\r\n")
                line = b"X-Endless: " + b"a" * 1000 + b"\r\n"
                while time.monotonic() < deadline and sent < 64 * 1024 * 1024:
                    await put(line * 16)
            elif path == "/hostile/slow-headers":
                await put(b"HTTP/1.1 200 OK\r\n")
                while time.monotonic() < deadline:
                    await put(b"X-Slow: a\r\n", 0.2)
            elif path == "/hostile/trickle-body":
                await put(b"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"
                          b"Content-Length: 2147483648\r\n\r\n")
                while time.monotonic() < deadline:
                    await put(b"<", 0.5)
            elif path == "/hostile/endless-chunks":
                await put(b"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"
                          b"Transfer-Encoding: chunked\r\n\r\nFFFFFFFFFFFFFFFF\r\n")
                while time.monotonic() < deadline and sent < 64 * 1024 * 1024:
                    await put(b"x" * 16384)
            else:  # the icon of /hostile/icon-page
                icon = ICONS["/icons/16.png"]
                await put(b"HTTP/1.1 200 OK\r\nContent-Type: image/png\r\n"
                          b"Content-Length: %d\r\n\r\n" % len(icon))
                await trickle(icon)
        except (ConnectionError, OSError):
            pass
        finally:
            gone.cancel()
            note(sent)
        return False

    async def _icons(self, send, host, path):
        page = lambda head: ("<!DOCTYPE html><html><head><title>Icons</title>" + head +
                             "</head><body>A page</body></html>").encode()
        html = [("Content-Type", "text/html; charset=utf-8")]
        pages = {
            "/icons/sizes": '<link rel="icon" sizes="16x16" href="/icons/16.png">'
                            '<link rel="icon" sizes="32x32" href="/icons/32.png">',
            "/icons/deep/page": '<link rel="shortcut icon" href="icon.gif">',
            "/icons/big": '<link rel="icon" href="/icons/big.png">',
            "/icons/html": '<link rel="icon" type="image/png" href="/icons/fake.png">',
            "/icons/plain": "",
        }
        if path in pages:
            return await send(200, html, page(pages[path]))
        if path == "/icons/long":
            return await send(200, html, page(pages["/icons/sizes"]).replace(
                b"A page", b"<p>A long page</p>" * (300 * 1024 // 18)))
        if path.startswith("/icons/page/"):
            await asyncio.sleep(self.delay)
            return await send(200, html, page('<link rel="icon" href="/icons/shared.png">'))
        if path.startswith("/icons/own/"):
            await asyncio.sleep(self.delay)
            if path.endswith(".png"):
                return await send(200, [("Content-Type", "image/png")], ICONS["/icons/shared.png"])
            return await send(200, html, page(f'<link rel="icon" href="{path}.png">'))
        if path == "/icons/redirect":
            return await send(302, [("Location", "/icons/deep/page")])
        if path == "/icons/fake.png":
            return await send(200, [("Content-Type", "image/png")], page(""))
        if path in ICONS:
            return await send(200, [("Content-Type", "image/png")], ICONS[path])
        if path == "/favicon.ico" and len(self.hosts) > 1 and host == self.hosts[1]:
            return await send(200, [("Content-Type", "image/x-icon")], FAVICON)
        return await send(404)
