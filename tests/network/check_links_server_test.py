#!/usr/bin/env python3
"""Runs quillomere-cli check-links against the tests' own server on loopback and compares each
place's result with what the server was told to do; then the politeness limits as the server
counted them, the JSON report against its schema, and --fix-moved.

  check_links_server_test.py CLI WORK_DIR REPORT_NAME [--wine WINE_EXEC]

CLI is the native quillomere-cli, or quillomere-cli.exe run through WINE_EXEC (paths handed to
it as Z:\\...). The text report is kept as REPORT_NAME in WORK_DIR for people to read.
"""
import html
import json
import os
import socket
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import link_server  # noqa: E402
import schema_check  # noqa: E402

TIMEOUT = 2  # seconds per request: the slow answer takes twice as long

failures = []


def fail(message):
    failures.append(message)
    print("FAIL:", message)


class Cli:
    def __init__(self, program, wine):
        self.program = program
        self.wine = wine

    def path(self, path):
        return "Z:" + path.replace("/", "\\") if self.wine else path

    def run(self, *arguments, timeout=180):
        command = ([self.wine] if self.wine else []) + [self.program] + list(arguments)
        started = time.monotonic()
        done = subprocess.run(command, capture_output=True, timeout=timeout,
                              stdin=subprocess.DEVNULL)
        return done, time.monotonic() - started


def bookmark_file(path, links):
    """A browser bookmark file with one folder; `links` are (caption, address as markup)."""
    lines = ["<!DOCTYPE NETSCAPE-Bookmark-file-1>", "<TITLE>Bookmarks</TITLE>",
             "<H1>Bookmarks</H1>", "<DL><p>", "    <DT><H3>Checks</H3>", "    <DL><p>"]
    for caption, address in links:
        lines.append(f'        <DT><A HREF="{address}">{html.escape(caption)}</A>')
    lines += ["    </DL><p>", "</DL><p>", ""]
    with open(path, "w", encoding="utf-8") as file:
        file.write("\n".join(lines))


def closed_port():
    probe = socket.socket()
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
    probe.close()
    return port


def check_results(server, cli, work, report_name):
    ok = lambda path: server.url(path)
    # caption: (address as markup, result(s), status, final address or None)
    cases = {
        "ok": (ok("/ok"), "OK", 200, None),
        "no content": (ok("/no-content"), "OK", 204, None),
        "no content again": (ok("/no-content"), "OK", 204, None),
        "moved 301": (ok("/moved"), "Moved", 200, ok("/ok")),
        "moved 308": (ok("/perm"), "Moved", 200, ok("/ok")),
        "moved to another host": (ok("/away"), "Moved", 200, server.url("/ok", 1)),
        "temporary 302": (ok("/temp"), "Redirected", 200, ok("/ok")),
        "temporary to missing": (ok("/temp-missing"), "Not found", 404, ok("/missing")),
        "not found": (ok("/missing"), "Not found", 404, None),
        "gone": (ok("/gone"), "Not found", 410, None),
        "forbidden to HEAD": (ok("/head-forbidden"), "OK", 200, None),
        "HEAD not allowed": (ok("/no-head"), "OK", 200, None),
        "closes on HEAD": (ok("/close-head"), "OK", 200, None),
        "server error": (ok("/error"), "Server error", 500, None),
        "unavailable": (ok("/unavailable"), "Server error", 503, None),
        "redirect loop": (ok("/loop-a"), "Too many redirects", 302, ok("/loop-a")),
        "ten redirects": (ok("/chain/10"), "Redirected", 200, ok("/chain/0")),
        "eleven redirects": (ok("/chain/11"), "Too many redirects", 302, ok("/chain/0")),
        "rate limited once": (ok("/rate/once"), "OK", 200, None),
        "rate limited long": (ok("/rate-long"), "Rate limited", 429, None),
        "slower than the limit": (ok("/slow"), "Timeout", None, None),
        "closed without answer": (ok("/close"), "Cannot connect", None, None),
        "endless body": (ok("/endless"), "OK", 200, None),
        "user agent": (ok("/ua"), "OK", 200, None),
        "query with references": (ok("/query?x=1&amp;y=2"), "OK", 200, None),
        "self-signed https": (server.tls_url("/ok"), "TLS error", None, None),
        "nothing listening": (f"http://127.0.0.1:{closed_port()}/", "Cannot connect", None, None),
        # The resolver may answer "unknown" or not at all within the limit.
        "host unknown": ("http://quillomere-check.invalid/", ("Cannot connect", "Timeout"), None,
                         None),
        "mail": ("mailto:someone@example.invalid", "Not checked", None, None),
        "bad address": ("http://exa mple.invalid/", "Bad URL", None, None),
    }
    page = os.path.join(work, "links.html")
    bookmark_file(page, [(caption, case[0]) for caption, case in cases.items()])
    report = os.path.join(work, "report.json")
    done, seconds = cli.run("check-links", cli.path(page), "--timeout", str(TIMEOUT),
                            "--format", "json", "-o", cli.path(report))
    print(f"check of {len(cases)} places: {seconds:.1f} s, exit status {done.returncode}")
    if done.returncode != 1:
        fail(f"exit status {done.returncode}, expected 1; stderr: {done.stderr.decode()}")
    with open(report, encoding="utf-8") as file:
        data = json.load(file)
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "report_schema.json")) as f:
        schema = json.load(f)
    for problem in schema_check.check(data, schema):
        fail("schema: " + problem)
    places = {place["caption"]: place for place in data["places"]}
    for caption, (address, result, status, final) in cases.items():
        place = places.get(caption)
        if not place:
            fail(f"{caption}: not in the report")
            continue
        expected = result if isinstance(result, tuple) else (result,)
        if place["result"] not in expected:
            fail(f"{caption}: {place['result']} ({place['reason']}), expected {result}")
        if place["status"] != status:
            fail(f"{caption}: status {place['status']}, expected {status}")
        if place["final_url"] != final:
            fail(f"{caption}: final address {place['final_url']}, expected {final}")
        if place["url"] != address:
            fail(f"{caption}: address shown as {place['url']}, expected {address}")
        if place["column"] != "Checks" or place["group"] != "Checks":
            fail(f"{caption}: placed in {place['column']} / {place['group']}")
        if place["result"] == "TLS error" and not place["reason"]:
            fail(f"{caption}: a TLS error without its reason")
    if data["summary"]["places"] != len(cases):
        fail(f"summary counts {data['summary']['places']} places")

    requests = server.stats.requests
    same = [r for r in requests if r[2] == "/no-content"]
    if len(same) != 1:
        fail(f"/no-content, in two places, was requested {len(same)} times")
    agents = {(r[3], r[2]) for r in requests if not r[3].startswith("Quillomere/")}
    if agents:
        fail(f"requests without Quillomere's User-Agent: {agents}")
    rate = [r[4] for r in requests if r[2] == "/rate/once"]
    if len(rate) != 2 or rate[1] - rate[0] < 0.9:
        fail(f"/rate/once: {len(rate)} requests, {rate[1] - rate[0] if len(rate) > 1 else 0:.2f} "
             "s apart; expected 2, the second after Retry-After: 1")
    if not server.stats.endless_bytes or max(server.stats.endless_bytes) > 8 * 1024 * 1024:
        fail(f"endless body: bytes sent before the check stopped reading: "
             f"{server.stats.endless_bytes}")
    print(f"endless body: {server.stats.endless_bytes} bytes sent before the client closed")

    # The text report, kept for people to read.
    text_report = os.path.join(work, report_name)
    done, _ = cli.run("check-links", cli.path(page), "--timeout", str(TIMEOUT), "-o",
                      cli.path(text_report))
    with open(text_report, encoding="utf-8") as file:
        text = file.read()
    lines = text.splitlines()
    if not lines or not lines[-1].startswith(f"{len(cases)} places"):
        fail(f"text report's summary line: {lines[-1:]}")
    if any(line.startswith("OK") for line in lines):
        fail("the text report lists an OK place")


def check_politeness(cli, work):
    # More hosts than connections: kept-alive idle connections must not add up past the limit.
    hosts = [f"127.0.0.{n}" for n in range(1, 9)]
    with link_server.LinkServer(hosts, delay=0.2) as server:
        links = [(f"delay {i}", server.url(f"/delay/{i}", i % len(hosts))) for i in range(48)]
        # One host with most of the links: it must not take more than its share.
        links += [(f"busy {i}", server.url(f"/delay/busy{i}", 0)) for i in range(24)]
        page = os.path.join(work, "politeness.html")
        bookmark_file(page, links)
        done, seconds = cli.run("check-links", cli.path(page), "--jobs", "6", "--per-host", "2",
                                "--timeout", "10", "--format", "json")
        stats = server.stats
        print(f"politeness: {len(links)} links in {seconds:.1f} s; most connections per host "
              f"{stats.max_per_host}, overall {stats.max_total}")
        if done.returncode != 0:
            fail(f"politeness run: exit status {done.returncode}: {done.stderr.decode()}")
        if any(count > 2 for count in stats.max_per_host.values()):
            fail(f"more than 2 connections to one host: {stats.max_per_host}")
        if stats.max_total > 6:
            fail(f"more than 6 connections overall: {stats.max_total}")
        if stats.max_total < 2:
            fail("the requests never overlapped")


def check_fixes(server, cli, work):
    page = os.path.join(work, "fix.html")
    bookmark_file(page, [("moved", server.url("/moved")), ("temporary", server.url("/temp")),
                         ("ok", server.url("/ok")), ("away", server.url("/away"))])
    project = os.path.join(work, "fix.quil")
    fixed = os.path.join(work, "fixed.quil")
    done, _ = cli.run("import", cli.path(page), "-o", cli.path(project))
    if done.returncode != 0:
        fail(f"import for the fix: {done.stderr.decode()}")
        return
    done, _ = cli.run("check-links", cli.path(project), "--fix-moved", "-o", cli.path(fixed),
                      "--timeout", str(TIMEOUT))
    out = done.stdout.decode()
    if done.returncode != 1 or "Changed 2 addresses" not in out:
        fail(f"--fix-moved: exit status {done.returncode}, output:\n{out}{done.stderr.decode()}")
    dump, _ = cli.run("dump", cli.path(fixed))
    text = dump.stdout.decode()
    for wanted in (server.url("/ok"), server.url("/ok", 1), server.url("/temp")):
        if wanted not in text:
            fail(f"fixed project lacks {wanted}:\n{text}")
    if server.url("/moved") in text or server.url("/away") in text:
        fail(f"fixed project still holds a moved address:\n{text}")
    original, _ = cli.run("dump", cli.path(project))
    if server.url("/moved") not in original.stdout.decode():
        fail("the checked project was changed")


def main(argv):
    if len(argv) < 4:
        print(__doc__)
        return 2
    program, work, report_name = argv[1], argv[2], argv[3]
    wine = argv[5] if len(argv) > 5 and argv[4] == "--wine" else None
    os.makedirs(work, exist_ok=True)
    cli = Cli(program, wine)
    certificate = link_server.make_certificate(work)
    with link_server.LinkServer(("127.0.0.1", "127.0.0.2"), certificate,
                                slow=2 * TIMEOUT) as server:
        check_results(server, cli, work, report_name)
        check_fixes(server, cli, work)
    check_politeness(cli, work)
    print(f"{len(failures)} problems" if failures else "every place as the server was told")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
