#!/usr/bin/env python3
"""Runs quillomere-cli check-links and fetch-icons against the hostile answers of the tests' own
server on loopback (link_server.py, /hostile/...): every request must end within the time limit
and a margin, the program's memory must stay where a run of harmless links leaves it, each link
must get the result its answer calls for, --fix-moved must leave every redirect out of the web as
it was and say why, and the text report must hold no control character.

  hostile_server_test.py CLI WORK_DIR [--wine WINE_EXEC]

CLI is the native quillomere-cli, or quillomere-cli.exe run through WINE_EXEC (paths handed to
it as Z:\\...).
"""
import json
import os
import re
import selectors
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import link_server  # noqa: E402
from check_links_server_test import bookmark_file  # noqa: E402

TIMEOUT = 2  # seconds per request; every hostile answer would take far longer
# How far past its time limit a request may end, as the server sees it: the server's own pace
# (half a second between bytes) and a loaded machine. Without a deadline they take a minute.
MARGIN = 3.0
# More memory than a run of as many harmless links takes: what the answers may cost at most.
MEMORY_MARGIN_MB = 40

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


def run_cli(cli, *arguments):
    """(exit status, stdout, stderr, seconds, peak resident memory in MB) of one run; the peak is
    the process's own (wine-exec runs the Windows program in its place)."""
    command = ([cli.wine] if cli.wine else []) + [cli.program] + list(arguments)
    started = time.monotonic()
    process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE)
    out_chunks, err_chunks = [], []
    # Read the pipes fully before reaping, so that wait4 gets the process's own usage.
    deadline = started + 120
    selector = selectors.DefaultSelector()
    selector.register(process.stdout, selectors.EVENT_READ, out_chunks)
    selector.register(process.stderr, selectors.EVENT_READ, err_chunks)
    open_pipes = 2
    while open_pipes and time.monotonic() < deadline:
        for key, _ in selector.select(timeout=1):
            data = os.read(key.fileobj.fileno(), 65536)
            if data:
                key.data.append(data)
            else:
                selector.unregister(key.fileobj)
                open_pipes -= 1
    if open_pipes:
        process.kill()
        fail(f"{arguments[0]} still ran after 120 s: killed")
    _, status, usage = os.wait4(process.pid, 0)
    seconds = time.monotonic() - started
    code = os.waitstatus_to_exitcode(status)
    return (code, b"".join(out_chunks).decode("utf-8", "replace"),
            b"".join(err_chunks).decode("utf-8", "replace"), seconds, usage.ru_maxrss / 1024)


def check_times(server, what):
    """Every hostile request ended within the limit and the margin, as the server saw it."""
    with server.stats.lock:
        noted = list(server.stats.hostile)
        server.stats.hostile.clear()
    longest = max((seconds for _, _, seconds, _ in noted), default=0)
    print(f"{what}: {len(noted)} hostile requests, the longest {longest:.1f} s")
    for method, path, seconds, sent in noted:
        if seconds > TIMEOUT + MARGIN:
            fail(f"{what}: {method} {path} took {seconds:.1f} s (limit {TIMEOUT} s)")
        if path == "/hostile/endless-headers" and sent > 16 * 1024 * 1024:
            fail(f"{what}: {sent} bytes of header lines were taken before the request ended")
    return noted


def check_links(server, cli, work):
    url = server.url
    # caption: (address, result, final address or None)
    cases = {
        "trickled head": (url("/hostile/trickle-head"), "Timeout", None),
        "endless header lines": (url("/hostile/endless-headers"), "Server error", None),
        "slow header lines": (url("/hostile/slow-headers"), "Timeout", None),
        # The answer came whole before the body, which the check does not want.
        "2 GiB body trickled": (url("/hostile/trickle-body"), "OK", None),
        "endless chunk": (url("/hostile/endless-chunks"), "OK", None),
        "location of 20 KiB": (url("/hostile/long-location"), "Server error", None),
        # A reference in a Location is text of a relative http address.
        "reference": (url("/hostile/to-reference"), "Not found", url("/hostile/&")),
        "harmless": (url("/ok"), "OK", None),
    }
    for path, (status, location) in link_server.LinkServer.HOSTILE_REDIRECTS.items():
        if path not in ("/hostile/to-reference", "/hostile/long-location"):
            cases[path] = (url(path), "Redirect to a non-web address", None)
    page = os.path.join(work, "hostile.html")
    bookmark_file(page, [(caption, case[0]) for caption, case in cases.items()])
    harmless = os.path.join(work, "harmless.html")
    bookmark_file(harmless, [(f"ok {i}", url(f"/ok?{i}")) for i in range(len(cases))])

    limits = ["--timeout", str(TIMEOUT), "--jobs", "32", "--per-host", "32"]
    _, _, _, seconds, baseline = run_cli(cli, "check-links", cli.path(harmless), *limits)
    print(f"check-links of {len(cases)} harmless links: {seconds:.1f} s, {baseline:.0f} MB")
    report = os.path.join(work, "hostile.json")
    code, _, err, seconds, peak = run_cli(cli, "check-links", cli.path(page), *limits,
                                          "--format", "json", "-o", cli.path(report))
    print(f"check-links of {len(cases)} hostile links: {seconds:.1f} s, {peak:.0f} MB, "
          f"exit status {code}")
    # Each request at most the limit, a timeout asked once more after a second.
    if seconds > 2 * TIMEOUT + 1 + 15:
        fail(f"check-links took {seconds:.1f} s")
    if peak > baseline + MEMORY_MARGIN_MB:
        fail(f"check-links took {peak:.0f} MB, {baseline:.0f} MB with harmless links")
    if code != 1:
        fail(f"check-links: exit status {code}: {err}")
    check_times(server, "check-links")
    try:
        with open(report, encoding="utf-8") as file:
            places = {place["caption"]: place for place in json.load(file)["places"]}
    except (OSError, ValueError) as error:
        fail(f"the report: {error}")
        return
    for caption, (address, result, final) in cases.items():
        place = places.get(caption)
        if not place:
            fail(f"{caption}: not in the report")
            continue
        if place["result"] != result:
            fail(f"{caption}: {place['result']} ({place['reason']}), expected {result}")
        if final and place["final_url"] != final:
            fail(f"{caption}: final address {place['final_url']}, expected {final}")
    for caption, limit in (("endless header lines", "256 KiB"), ("location of 20 KiB", "8 KiB")):
        reason = places.get(caption, {}).get("reason", "")
        if limit not in reason:
            fail(f"{caption}: the reason does not name the limit: {reason}")


def check_fix_moved(server, cli, work):
    """--fix-moved on the redirect routes: nothing out of the web goes in; the text report (and
    the changes) on standard output hold no control character."""
    links = [(path, server.url(path)) for path in link_server.LinkServer.HOSTILE_REDIRECTS]
    links.append(("moved \x1b[2Jfor real\x07", server.url("/moved")))
    page = os.path.join(work, "redirects.html")
    bookmark_file(page, links)
    project = os.path.join(work, "redirects.quil")
    fixed = os.path.join(work, "redirects-fixed.quil")
    code, _, err, _, _ = run_cli(cli, "import", cli.path(page), "-o", cli.path(project))
    if code != 0:
        fail(f"import: {err}")
        return
    code, out, err, seconds, _ = run_cli(cli, "check-links", cli.path(project), "--fix-moved",
                                         "-o", cli.path(fixed), "--timeout", str(TIMEOUT))
    print(f"--fix-moved: {seconds:.1f} s, exit status {code}\n{out}")
    check_times(server, "--fix-moved")
    if code != 1:
        fail(f"--fix-moved: exit status {code}: {err}")
    controls = sorted({hex(ord(c)) for c in out if (ord(c) < 0x20 and c != "\n") or
                       0x7F <= ord(c) <= 0x9F})
    if controls:
        fail(f"the text report holds control characters {controls}")
    # WinHTTP gives header bytes as Windows-1252, where the CSI byte is a quotation mark.
    for wanted in ("\\x1b[2J", "\\x1b]0;owned\\x07", "moved \\x1b[2Jfor real\\x07") + (
            () if cli.wine else ("\\u009b",)):
        if wanted not in out:
            fail(f"the text report does not show {wanted!r} escaped")
    non_web = [path for path in link_server.LinkServer.HOSTILE_REDIRECTS
               if path not in ("/hostile/to-reference", "/hostile/long-location")]
    if f"Left {len(non_web)} addresses as they were: a redirect to an address that is not " \
            "http or https is never taken over:" not in out:
        fail("--fix-moved does not say why it left the redirects out of the web")
    for path in non_web:
        if f"  kept: {server.url(path)} (redirects to " not in out:
            fail(f"--fix-moved does not list {path} as kept")
    if "Changed 1 address" not in out:
        fail("--fix-moved did not make the one real fix")
    code, dump, _, _, _ = run_cli(cli, "dump", cli.path(fixed))
    addresses = re.findall(r'^\s*link ".*" -> "(.*)"$', dump, re.M)
    if addresses != [address for _, address in links[:-1]] + [server.url("/ok")]:
        fail(f"the fixed project holds other addresses than it should:\n{dump}")


def check_icons(server, cli, work):
    url = server.url
    # caption: (address, the report's word)
    cases = {
        "trickled head": (url("/hostile/trickle-head"), "Timeout"),
        "endless header lines": (url("/hostile/endless-headers"), "Cannot connect"),
        "slow header lines": (url("/hostile/slow-headers"), "Timeout"),
        "2 GiB page trickled": (url("/hostile/trickle-body"), "Timeout"),
        "endless chunk": (url("/hostile/endless-chunks"), None),  # any failure, in time
        "icon trickled": (url("/hostile/icon-page"), "Timeout"),
        "to javascript": (url("/hostile/to-javascript"), "No icon"),
        "location of 20 KiB": (url("/hostile/long-location"), "No icon"),
    }
    page = os.path.join(work, "hostile-icons.html")
    bookmark_file(page, [(caption, case[0]) for caption, case in cases.items()])
    project = os.path.join(work, "hostile-icons.quil")
    fetched = os.path.join(work, "hostile-icons-fetched.quil")
    code, _, err, _, _ = run_cli(cli, "import", cli.path(page), "-o", cli.path(project))
    if code != 0:
        fail(f"import: {err}")
        return
    code, out, err, seconds, peak = run_cli(cli, "fetch-icons", cli.path(project), "-o",
                                            cli.path(fetched), "--timeout", str(TIMEOUT),
                                            "--per-host", "32")
    print(f"fetch-icons of {len(cases)} hostile pages: {seconds:.1f} s, {peak:.0f} MB, "
          f"exit status {code}\n{out}")
    if seconds > 2 * TIMEOUT + 15:
        fail(f"fetch-icons took {seconds:.1f} s")
    if code != 0:
        fail(f"fetch-icons: exit status {code}: {err}")
    check_times(server, "fetch-icons")
    for caption, (address, word) in cases.items():
        line = next((line for line in out.splitlines() if line.endswith(f" / {caption}]")), "")
        if not line:
            fail(f"{caption}: not listed as without an icon")
        elif word and not line.startswith(f"{word}  {address}  "):
            fail(f"{caption}: {line!r}, expected {word}")
    if f"0 kept, {len(cases)} failed" not in out:
        fail("fetch-icons kept an icon from a hostile answer")


def main(argv):
    if len(argv) < 3:
        print(__doc__)
        return 2
    program, work = argv[1], argv[2]
    wine = argv[4] if len(argv) > 4 and argv[3] == "--wine" else None
    os.makedirs(work, exist_ok=True)
    cli = Cli(program, wine)
    with link_server.LinkServer(("127.0.0.1",)) as server:
        check_links(server, cli, work)
        check_fix_moved(server, cli, work)
        check_icons(server, cli, work)
    print(f"{len(failures)} problems" if failures else "every hostile answer ended in time")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
