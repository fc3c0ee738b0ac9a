#!/usr/bin/env python3
"""Runs a command with the link check tests' server around it, on loopback only, and ends with
the command's exit status. The command finds the server in the environment:
QUIL_LINK_SERVER="http://127.0.0.1:PORT http://127.0.0.2:PORT" (the second host is where
/away points). /slow answers after SLOW seconds.

  with_link_server.py [--slow SECONDS] COMMAND [ARGUMENTS...]
"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import link_server  # noqa: E402


def main(argv):
    slow = 2.0
    if argv[1:2] == ["--slow"]:
        slow, argv = float(argv[2]), argv[2:]
    if len(argv) < 2:
        print(__doc__)
        return 2
    hosts = ("127.0.0.1", "127.0.0.2")
    with link_server.LinkServer(hosts, slow=slow) as server:
        environment = dict(os.environ)
        environment["QUIL_LINK_SERVER"] = " ".join(server.url("", i) for i in range(len(hosts)))
        return subprocess.run(argv[1:], env=environment, stdin=subprocess.DEVNULL).returncode


if __name__ == "__main__":
    sys.exit(main(sys.argv))
