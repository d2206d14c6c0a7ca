#!/usr/bin/python3
"""Times a first sync of a large calendar and a sync with nothing changed
against a local Radicale, and counts their requests (see scripts/sync-bench.sh)."""
import os
import shutil
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from synclib import MONTHS, Agenda, Phone, Proxy, Server, Workspace, counts  # noqa: E402


def calendar(lines):
    entries = {}
    for i in range(lines):
        month, day = MONTHS[i % 12], (i // 12) % 28 + 1
        entries.setdefault(month, []).append(f"{day:02d} 2027 {8 + i % 12:02d}:{(i * 5) % 60:02d} Afspraak {i}")
    for month in entries:
        entries[month].sort()
    return entries


def measure(program, lines, workspace, label, storage=None):
    folder = workspace.folder(label.split()[0])
    server = Server("radicale", storage or folder)
    proxy = Proxy(server.port)
    try:
        url = server.new_collection()
        agenda = Agenda(program, folder, calendar(lines))
        agenda.link(proxy.url(url))
        proxy.reset()
        began = time.monotonic()
        first = agenda.sync(timeout=1800)
        first_seconds = time.monotonic() - began
        first_requests = len(proxy.requests())
        sent = counts(first.stdout)[0]
        assert len(Phone(url).listing()) == lines, "not every line on the server"
        best, requests = None, 0
        for _ in range(5):
            proxy.reset()
            began = time.monotonic()
            done = agenda.sync()
            seconds = time.monotonic() - began
            assert counts(done.stdout) == (0, 0, 0, 0, 0, 0), done.stdout
            best = seconds if best is None else min(best, seconds)
            requests = len(proxy.requests())
        print(f"{label}: first sync of {lines} lines {first_seconds:.2f} s ({sent} sent, {first_requests} requests, "
              f"goal 5 s); nothing changed {best * 1000:.0f} ms ({requests} requests, goal 100 ms)", flush=True)
        return first_seconds, best, requests
    finally:
        proxy.stop()
        server.stop()


def main():
    program, lines = os.path.abspath(sys.argv[1]), int(sys.argv[2])
    workspace = Workspace("almanouk-sync-bench-")
    try:
        # Radicale fsyncs every stored event (its _filesystem_fsync cannot be set in a config file):
        # measured on the disk, and with its storage in memory (tmpfs), where an fsync costs nothing.
        measure(program, lines, workspace, "radicale, storage on disk")
        if os.path.isdir("/dev/shm"):
            memory = tempfile.mkdtemp(prefix="almanouk-sync-bench-", dir="/dev/shm")
            try:
                measure(program, lines, workspace, "radicale, storage in tmpfs", memory)
            finally:
                shutil.rmtree(memory, ignore_errors=True)
    finally:
        workspace.remove()


if __name__ == "__main__":
    main()
