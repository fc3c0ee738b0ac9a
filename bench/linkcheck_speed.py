#!/usr/bin/env python3
"""Times quillomere-cli check-links on many distinct links spread over 100 loopback hosts
(127.0.1.1 to 127.0.1.100, one server listening on all of them), each answer delayed; reports
the wall time, the connections the server saw at once, and the program's peak memory.

  linkcheck_speed.py CLI LINKS DELAY_MS [--wine WINE_EXEC] [CLI OPTIONS...]
  linkcheck_speed.py --editor TIMING_EXE LINKS DELAY_MS --wine WINE_EXEC

With --editor it times the editor's check instead (bench/gui/link_check_timing.exe: Ctrl+L's
command in the real window, and how long its message loop was kept from other messages).

With the defaults (32 connections) 10,000 links delayed 50 ms each cannot take less than 15.6 s.
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
    editor = argv[1] == "--editor"
    if editor:
        argv = argv[1:]
    program, links, delay_ms = argv[1], int(argv[2]), int(argv[3])
    rest = argv[4:]
    wine = None
    if rest[:1] == ["--wine"]:
        wine, rest = rest[1], rest[2:]
    hosts = [f"127.0.1.{n}" for n in range(1, 101)]
    with tempfile.TemporaryDirectory() as work, \
            link_server.LinkServer(hosts, delay=delay_ms / 1000.0) as server:
        addresses = [server.url(f"/delay/{i}", i % len(hosts)) for i in range(links)]
        if editor:
            listed = os.path.join(work, "links.txt")
            with open(listed, "w") as file:
                file.write("\n".join(addresses) + "\n")
            command = ([wine] if wine else []) + [program, "Z:" + listed.replace("/", "\\")]
            started = time.monotonic()
            done = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True)
            print(f"{done.stdout.decode().strip()} (whole program {time.monotonic() - started:.1f}"
                  f" s, answers delayed {delay_ms} ms, at most {server.stats.max_total} "
                  "connections at once)")
            return done.returncode
        page = os.path.join(work, "links.html")
        bookmark_file(page, [(f"link {i}", addresses[i]) for i in range(links)])
        path = "Z:" + page.replace("/", "\\") if wine else page
        command = ([wine] if wine else []) + [program, "check-links", path, "--format", "json",
                                              "-o", path + ".json"] + rest
        started = time.monotonic()
        done = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True)
        seconds = time.monotonic() - started
        child = resource.getrusage(resource.RUSAGE_CHILDREN)
        own = resource.getrusage(resource.RUSAGE_SELF)
        peak_mb = child.ru_maxrss / 1024
        requests = len(server.stats.requests)
        print(f"{links} links on {len(hosts)} hosts, answers delayed {delay_ms} ms: "
              f"{seconds:.1f} s, exit status {done.returncode}, {requests} requests on "
              f"{server.stats.connections} connections, "
              f"at most {server.stats.max_total} connections at once "
              f"({max(server.stats.max_per_host.values())} to one host), "
              f"peak memory {peak_mb:.0f} MB" + (" (Wine's processes)" if wine else "") +
              f"; processor time: program {child.ru_utime + child.ru_stime:.1f} s, "
              f"server {own.ru_utime + own.ru_stime:.1f} s")
        if done.returncode not in (0, 1):
            print(done.stderr.decode()[-2000:])
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
