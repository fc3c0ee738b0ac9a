#!/usr/bin/env python3
"""Times quillomere-cli fetch-icons on many distinct links spread over 100 loopback hosts
(127.0.1.1 to 127.0.1.100, one server listening on all of them): each link's page names an icon
of its own, and every page and icon answers after the delay. Reports the wall time, the
connections the server saw at once and the program's peak memory.

  icons_speed.py CLI LINKS DELAY_MS [--wine WINE_EXEC] [CLI OPTIONS...]

With the defaults (32 connections) 1,000 links delayed 50 ms each (2,000 requests) cannot take
less than 3.1 s.
"""
import os
import resource
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "network"))
import link_server  # noqa: E402
from check_links_server_test import bookmark_file  # noqa: E402


def main(argv):
    if len(argv) < 4:
        print(__doc__)
        return 2
    program, links, delay_ms = argv[1], int(argv[2]), int(argv[3])
    rest = argv[4:]
    wine = None
    if rest[:1] == ["--wine"]:
        wine, rest = rest[1], rest[2:]
    hosts = [f"127.0.1.{n}" for n in range(1, 101)]
    with tempfile.TemporaryDirectory() as work, \
            link_server.LinkServer(hosts, delay=delay_ms / 1000.0) as server:
        page = os.path.join(work, "links.html")
        bookmark_file(page, [(f"link {i}", server.url(f"/icons/own/{i}", i % len(hosts)))
                             for i in range(links)])
        path = "Z:" + page.replace("/", "\\") if wine else page
        command = ([wine] if wine else []) + [program, "fetch-icons", path, "-o",
                                              path + ".quil"] + rest
        started = time.monotonic()
        done = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True)
        seconds = time.monotonic() - started
        child = resource.getrusage(resource.RUSAGE_CHILDREN)
        own = resource.getrusage(resource.RUSAGE_SELF)
        summary = [line for line in done.stdout.decode().splitlines()
                   if line.startswith("Icons for")]
        print(f"{links} links on {len(hosts)} hosts, answers delayed {delay_ms} ms: "
              f"{seconds:.1f} s, exit status {done.returncode}, "
              f"{len(server.stats.requests)} requests on {server.stats.connections} connections, "
              f"at most {server.stats.max_total} connections at once "
              f"({max(server.stats.max_per_host.values())} to one host), "
              f"peak memory {child.ru_maxrss / 1024:.0f} MB" +
              (" (Wine's processes)" if wine else "") +
              f"; processor time: program {child.ru_utime + child.ru_stime:.1f} s, "
              f"server {own.ru_utime + own.ru_stime:.1f} s\n  {summary[0] if summary else ''}")
        if done.returncode != 0:
            print(done.stderr.decode()[-2000:])
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
