#!/usr/bin/env python3
"""Runs quillomere-cli fetch-icons against the tests' own server on loopback and compares the
icons the saved copy holds with what the server was told to serve; then the politeness limits as
the server counted them.

  fetch_icons_server_test.py CLI WORK_DIR [--wine WINE_EXEC]

CLI is the native quillomere-cli, or quillomere-cli.exe run through WINE_EXEC (paths handed to
it as Z:\\...).
"""
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import link_server  # noqa: E402
from check_links_server_test import Cli, bookmark_file  # noqa: E402

TIMEOUT = 2  # seconds per request: the slow page takes twice as long

failures = []


def fail(message):
    failures.append(message)
    print("FAIL:", message)


def checksum(data):
    """FNV-1a, as the dump shows it."""
    value = 2166136261
    for byte in data:
        value = ((value ^ byte) * 16777619) & 0xFFFFFFFF
    return f"{value:08x}"


def icons_in_dump(text):
    """{caption: (media type, size, checksum)} of the links that have an icon."""
    icons, caption = {}, None
    for line in text.splitlines():
        match = re.match(r"\s*icon (\S+) (\d+) bytes, checksum ([0-9a-f]{8})$", line)
        if match and caption is not None:
            icons[caption] = (match.group(1), int(match.group(2)), match.group(3))
            continue
        match = re.match(r'\s*link "(.*?)"', line)
        if match:
            caption = match.group(1)
    return icons


def expected_icon(media_type, data):
    return (media_type, len(data), checksum(data))


def check_icons(server, cli, work):
    one, two = (lambda path: server.url(path)), (lambda path: server.url(path, 1))
    # caption: (address, the icon kept or None, the report's word for a link without one)
    cases = {
        "sizes": (one("/icons/sizes"), expected_icon("image/png",
                                                     link_server.ICONS["/icons/32.png"]), None),
        "page of 300 KiB": (one("/icons/long"), expected_icon(
            "image/png", link_server.ICONS["/icons/32.png"]), None),
        "favicon only": (two("/icons/plain"), expected_icon("image/x-icon", link_server.FAVICON),
                         None),
        "relative after redirect": (one("/icons/redirect"), expected_icon(
            "image/gif", link_server.ICONS["/icons/deep/icon.gif"]), None),
        "icon of 100 KiB": (one("/icons/big"), None, "Too large"),
        "page served as icon": (one("/icons/html"), None, "Not an image"),
        "no icon anywhere": (one("/icons/plain"), None, "No icon"),
        "never answers": (one("/slow"), None, "Timeout"),
    }
    page = os.path.join(work, "sites.html")
    bookmark_file(page, [(caption, case[0]) for caption, case in cases.items()] +
                  [("mail", "mailto:someone@example.invalid")])
    project = os.path.join(work, "sites.quil")
    fetched = os.path.join(work, "fetched.quil")
    done, _ = cli.run("import", cli.path(page), "-o", cli.path(project))
    if done.returncode != 0:
        fail(f"import: {done.stderr.decode()}")
        return
    done, seconds = cli.run("fetch-icons", cli.path(project), "-o", cli.path(fetched),
                            "--timeout", str(TIMEOUT))
    report = done.stdout.decode()
    print(f"fetch of {len(cases)} links: {seconds:.1f} s, exit status {done.returncode}\n{report}")
    if done.returncode != 0:
        fail(f"exit status {done.returncode}; stderr: {done.stderr.decode()}")
        return
    dump, _ = cli.run("dump", cli.path(fetched))
    icons = icons_in_dump(dump.stdout.decode())
    for caption, (address, icon, word) in cases.items():
        if icons.get(caption) != icon:
            fail(f"{caption}: icon {icons.get(caption)}, expected {icon}")
        if word and not re.search(rf"^{word}  {re.escape(address)}  .+  \[", report, re.M):
            fail(f"{caption}: the report does not list {address} as {word}")
    kept = sum(1 for case in cases.values() if case[1])
    summary = (f"Icons for {len(cases)} links ({len(cases)} pages): {kept} kept, "
               f"{len(cases) - kept} failed")
    if summary not in report:
        fail(f"summary: expected {summary!r}")
    if "1 link skipped (1 is not an http or https address)" not in report:
        fail("the mail address is not counted as skipped")
    requests = [r[2] for r in server.stats.requests]
    if "/icons/16.png" in requests:
        fail("the 16x16 icon was downloaded though the 32x32 one was kept")
    if "/icons/icon.gif" in requests:
        fail("the relative icon was resolved against the address before the redirect")
    if any(not r[3].startswith("Quillomere/") for r in server.stats.requests):
        fail("a request without Quillomere's User-Agent")

    # Every link has an icon now: a second fetch asks for nothing; --refresh asks again.
    again = os.path.join(work, "again.quil")
    server.stats.reset_maxima()
    done, _ = cli.run("fetch-icons", cli.path(fetched), "-o", cli.path(again), "--timeout",
                      str(TIMEOUT))
    asked = {r[2] for r in server.stats.requests}
    if done.returncode != 0 or any(p in asked for p in ("/icons/sizes", "/icons/redirect")):
        fail(f"a second fetch asked again for links with icons: {sorted(asked)}")
    server.stats.reset_maxima()
    done, _ = cli.run("fetch-icons", cli.path(fetched), "-o", cli.path(again), "--refresh",
                      "--timeout", str(TIMEOUT))
    if "/icons/sizes" not in {r[2] for r in server.stats.requests}:
        fail("--refresh did not fetch the icons again")
    original, _ = cli.run("dump", cli.path(project))
    if icons_in_dump(original.stdout.decode()):
        fail("the fetched project was changed")


def check_politeness(cli, work):
    hosts = [f"127.0.0.{n}" for n in range(1, 7)]
    with link_server.LinkServer(hosts, delay=0.1) as server:
        links = [(f"site {i}", server.url(f"/icons/page/{i}", i % len(hosts))) for i in range(36)]
        page = os.path.join(work, "politeness.html")
        bookmark_file(page, links)
        project = os.path.join(work, "politeness.quil")
        cli.run("import", cli.path(page), "-o", cli.path(project))
        done, seconds = cli.run("fetch-icons", cli.path(project), "-o",
                                cli.path(os.path.join(work, "politeness-fetched.quil")),
                                "--jobs", "4", "--per-host", "2", "--timeout", "10")
        stats = server.stats
        print(f"politeness: {len(links)} links in {seconds:.1f} s; most connections per host "
              f"{stats.max_per_host}, overall {stats.max_total}")
        if done.returncode != 0 or f"{len(links)} kept" not in done.stdout.decode():
            fail(f"politeness run: exit status {done.returncode}: {done.stdout.decode()}"
                 f"{done.stderr.decode()}")
        if any(count > 2 for count in stats.max_per_host.values()):
            fail(f"more than 2 connections to one host: {stats.max_per_host}")
        if stats.max_total > 4:
            fail(f"more than 4 connections overall: {stats.max_total}")
        shared = [r for r in stats.requests if r[2] == "/icons/shared.png"]
        if len(shared) != len(hosts):
            fail(f"the shared icon was downloaded {len(shared)} times, once per host expected")


def main(argv):
    if len(argv) < 3:
        print(__doc__)
        return 2
    program, work = argv[1], argv[2]
    wine = argv[4] if len(argv) > 4 and argv[3] == "--wine" else None
    os.makedirs(work, exist_ok=True)
    cli = Cli(program, wine)
    with link_server.LinkServer(("127.0.0.1", "127.0.0.2"), slow=2 * TIMEOUT) as server:
        check_icons(server, cli, work)
    check_politeness(cli, work)
    print(f"{len(failures)} problems" if failures else "every icon as the server served it")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
