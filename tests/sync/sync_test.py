#!/usr/bin/python3
"""The program's sync against real CalDAV servers started here.

  sync_test.py scenarios PROGRAM SERVER   two clients, each rule of the sync (radicale or xandikos)
  sync_test.py random PROGRAM SERVER      random local edits, phone edits and syncs (SYNC_SEQUENCES, SYNC_SEED)
  sync_test.py crash PROGRAM SERVER       kill -9 at every write of a sync, the connection cut
  sync_test.py refusals PROGRAM SERVER    401, 403, 404, 412, 507, broken answers, a silent server
  sync_test.py tls PROGRAM SERVER         an unverified certificate, no password over plain HTTP
  sync_test.py login PROGRAM radicale     a login typed at a terminal, a password command, none, a wrong one

SYNC_TEST_ONLY=part runs only the tests whose name holds it; SYNC_TEST_KEEP keeps the folders.
Exit 77: skipped (the server is not installed).
"""
import os
import sys
import types

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import synclib  # noqa: E402


def main():
    if len(sys.argv) != 4:
        print(__doc__)
        return 2
    group, program, kind = sys.argv[1:]
    if not synclib.server_available(kind):
        print(f"{kind} is not installed: skipped")
        return synclib.SKIP
    if group == "scenarios":
        import scenarios as module
    elif group == "random":
        import random_model as module
    elif group in ("crash", "refusals", "tls"):
        import faults
        module = types.SimpleNamespace(TESTS=getattr(faults, group.upper()), setup=getattr(faults, "setup", None))
    elif group == "login":
        import login
        module = types.SimpleNamespace(TESTS=login.LOGIN)
    else:
        print(__doc__)
        return 2
    if hasattr(module, "available") and not module.available():
        print(f"{group}: a tool it needs is missing: skipped")
        return synclib.SKIP

    def setup():
        workspace = synclib.Workspace()
        context = types.SimpleNamespace(program=os.path.abspath(program), workspace=workspace, kind=kind)
        context.server = synclib.Server(kind, workspace.path)
        return context

    def teardown(context):
        context.server.stop()
        for server in getattr(context, "servers", []):
            server.stop()
        for proxy in getattr(context, "proxies", []):
            proxy.stop()
        context.workspace.remove()

    return synclib.run_group(module.TESTS, setup, teardown, f"{group}[{kind}]")


if __name__ == "__main__":
    sys.exit(main())
