"""A sync cut short or refused: kill -9 at every write (to the server through
a proxy, to the disk through strace), the connection cut at every request,
the server's refusals and broken answers, a silent server, TLS. Each time
the next sync (the fault gone) finishes the job without loss or doubles."""
import os
import shutil
import signal
import socket
import subprocess
import threading

from synclib import Agenda, Phone, Proxy, assert_same_both_sides, check, counts, event

import datetime

FINAL = {"Alfa gewijzigd", "Bravo", "Delta", "Echo", "Foxtrot", "Papa"}


def proxy_for(context, **kw):
    proxy = Proxy(context.server.port, **kw)
    context.__dict__.setdefault("proxies", []).append(proxy)
    return proxy


def prepared(context, proxy):
    """A synced calendar, then changes on both sides that the next sync must pass:
    a change and a deletion and two new lines here, a new event on the phone."""
    proxy.reset()
    url = context.server.new_collection()
    agenda = Agenda(context.program, context.workspace.folder("agenda"),
                    {"Juli": ["01 2027 Alfa", "02 2027 Bravo", "03 2027 Charlie", "04 2027 10:00 Delta"]})
    agenda.link(proxy.url(url))
    agenda.sync()
    phone = Phone(url)
    agenda.edit("Juli", "01 2027 Alfa", "01 2027 Alfa gewijzigd")
    agenda.edit("Juli", "03 2027 Charlie", None)
    agenda.edit("Juli", None, "05 2027 Echo")
    agenda.edit("Augustus", None, "06 2027 09:00 Foxtrot")
    phone.create(event("Papa", datetime.date(2027, 7, 9)))
    proxy.reset()
    return agenda, phone


def recovers(agenda, phone, proxy):
    """With the fault gone: the next sync finishes the job, the one after has nothing to do."""
    proxy.reset()
    done = agenda.sync()
    assert_same_both_sides(agenda, phone, FINAL)
    done = agenda.sync()
    check(counts(done.stdout) == (0, 0, 0, 0, 0, 0), f"a sync with nothing to do did: {done.stdout}")


def writes_of_a_sync(context, proxy):
    agenda, phone = prepared(context, proxy)
    agenda.sync()
    return len(proxy.requests("PUT", "DELETE")), len(proxy.requests())


# ---------------------------------------------------------------- kill -9

def kill_at_every_write_to_the_server(context):
    proxy = proxy_for(context)
    writes, _ = writes_of_a_sync(context, proxy)
    check(writes >= 4, f"only {writes} writes")
    for n in range(1, writes + 1):
        agenda, phone = prepared(context, proxy)
        process = subprocess.Popen(agenda.command("--sync"), env=agenda.env(), cwd=agenda.home,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        seen = []

        def after(request, status, n=n, process=process, seen=seen):
            if request["method"] in ("PUT", "DELETE"):
                seen.append(request)
                if len(seen) == n:  # the server did it; the answer never comes back
                    process.send_signal(signal.SIGKILL)
                    return "cut"
            return None
        proxy.after = after
        process.communicate(timeout=120)
        check(process.returncode == -signal.SIGKILL, f"write {n}: not killed ({process.returncode})")
        recovers(agenda, phone, proxy)


def strace_available():
    if not shutil.which("strace"):
        return False
    return subprocess.run(["strace", "-f", "-o", "/dev/null", "true"], capture_output=True).returncode == 0


RENAMES = "rename,renameat,renameat2"


def kill_at_every_file_replacement(context):
    if not strace_available():
        print("  strace cannot trace here: skipped")
        return
    proxy = proxy_for(context)
    agenda, phone = prepared(context, proxy)
    trace = os.path.join(agenda.home, "trace")
    agenda.sync(wrap=["strace", "-f", "-qq", "-e", "trace=" + RENAMES, "-o", trace])
    with open(trace) as f:
        renames = sum(1 for line in f if "rename" in line)
    check(renames >= 2, f"only {renames} file replacements")
    for n in range(1, renames + 1):
        agenda, phone = prepared(context, proxy)
        done = agenda.run("--sync", wrap=["strace", "-f", "-qq", "-o", "/dev/null", "-e", "trace=" + RENAMES,
                                          "-e", f"inject={RENAMES}:signal=SIGKILL:when={n}"])
        check(done.returncode != 0, f"replacement {n}: the sync was not killed")
        recovers(agenda, phone, proxy)


def connection_cut_at_every_request(context):
    proxy = proxy_for(context)
    _, total = writes_of_a_sync(context, proxy)
    for n in range(1, total + 1):
        for when in ("before", "after"):
            agenda, phone = prepared(context, proxy)

            def cut(request, status=None, n=n):
                return "cut" if request["index"] == n else None
            if when == "before":
                proxy.rule = cut
            else:
                proxy.after = cut
            done = agenda.sync(expect_ok=False)
            # curl sends a request again once when a kept connection was closed under it: then it went through.
            check(done.returncode == 0 or (done.returncode == 1 and "verbinding" in done.stderr),
                  f"cut {when} request {n}: {done.returncode} {done.stderr}")
            agenda.export()  # the calendar still reads
            recovers(agenda, phone, proxy)


# ---------------------------------------------------------------- refusals

def answer(status, reason, body="", headers=None):
    return lambda request: (status, headers or {"Content-Type": "text/plain"}, body)


def on(method, respond, path_part=""):
    def rule(request):
        if request["method"] == method and path_part in request["path"]:
            return respond(request)
        return None
    return rule


BROKEN_XML = '<?xml version="1.0"?><d:multistatus xmlns:d="DAV:"><d:response><d:href>/x'
REFUSALS = [
    # name, rule, what stderr says, may the calendar have changed
    ("401", lambda r: (401, {"WWW-Authenticate": 'Basic realm="x"'}, "no"), "aanmelding geweigerd", False),
    ("403", lambda r: (403, {}, "no"), "geen toegang", False),
    ("404_collection", lambda r: (404, {}, "no"), "niet gevonden", False),
    ("507_on_put", on("PUT", lambda r: (507, {}, "full")), "geen ruimte", True),
    ("broken_xml", lambda r: (207, {"Content-Type": "application/xml"}, BROKEN_XML), "onleesbaar antwoord", False),
]


def refused(context, rule, message, may_change):
    proxy = proxy_for(context)
    agenda, phone = prepared(context, proxy)
    before = agenda.read()
    proxy.rule = rule
    done = agenda.sync(expect_ok=False)
    check(done.returncode == 1 and message in done.stderr and "ALMANOUK.AMN: " in done.stderr,
          f"{done.returncode} {done.stdout} {done.stderr}")
    if not may_change:
        check(agenda.read() == before, "the calendar changed")
    agenda.export()
    recovers(agenda, phone, proxy)


def make_refusal_test(name, rule, message, may_change):
    def test(context):
        refused(context, rule, message, may_change)
    test.__name__ = f"refused_{name}_is_told_and_the_next_sync_recovers"
    return test


def stale_etag_fetches_again_and_keeps_both(context):
    proxy = proxy_for(context)
    agenda, phone = prepared(context, proxy)
    changed = []

    def rule(request):
        if request["method"] == "PUT" and "If-Match" in request["headers"] and not changed:
            changed.append(request["path"])  # the phone is quicker: the sync's etag is stale now
            phone.change(request["path"], lambda v: v.__setitem__("SUMMARY", "Alfa op de telefoon"))
        return None
    proxy.rule = rule
    done = agenda.sync()
    check(changed and any(r.get("status") == 412 for r in proxy.requests("PUT")), "no 412 met")
    check(counts(done.stdout)[4] == 1, done.stdout)
    proxy.reset()
    assert_same_both_sides(agenda, phone, FINAL | {"Alfa op de telefoon"})


def broken_event_is_skipped_and_told(context):
    proxy = proxy_for(context)
    agenda, phone = prepared(context, proxy)

    broken = []

    def rule(request):
        if request["method"] == "REPORT" and b"calendar-multiget" in request["body"]:
            import http.client
            connection = http.client.HTTPConnection("127.0.0.1", context.server.port, timeout=60)
            headers = {k: v for k, v in request["headers"].items()
                       if k.lower() not in ("host", "connection", "accept-encoding")}
            connection.request("REPORT", request["path"], body=request["body"], headers=headers)
            response = connection.getresponse()
            body = response.read().decode()
            connection.close()
            broken.append(body[:1500])
            body = body.replace("DTSTART;VALUE=DATE:20270709", "DTSTART;VALUE=DATE:kapot")
            return (response.status, {"Content-Type": "application/xml"}, body)
        return None
    proxy.rule = rule
    done = agenda.sync(expect_ok=False)
    check(broken, "no event fetched")
    check(done.returncode == 1 and 'Onleesbare afspraak' in done.stderr, f'{done.returncode} {done.stdout} {done.stderr} ' + str([l for l in agenda.read().splitlines() if 'Papa' in l]))
    check("Papa" not in agenda.read(), "the broken event arrived")
    agenda.export()
    recovers(agenda, phone, proxy)


def silent_server_is_given_up(context):
    proxy = proxy_for(context)
    agenda, phone = prepared(context, proxy)
    before = agenda.read()
    release = threading.Event()
    context.__dict__.setdefault("releases", []).append(release)

    def rule(request):
        release.wait(60)
        return "cut"
    proxy.rule = rule
    agenda.timeout = 2
    done = agenda.sync(expect_ok=False)
    release.set()
    check(done.returncode == 1 and "binnen 2 seconden" in done.stderr, f"{done.returncode} {done.stderr}")
    check(agenda.read() == before, "the calendar changed")
    agenda.timeout = None
    recovers(agenda, phone, proxy)


# ---------------------------------------------------------------- TLS and the password

def certificate(folder):
    key, cert = os.path.join(folder, "key.pem"), os.path.join(folder, "cert.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                    "-days", "2", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1"],
                   check=True, capture_output=True)
    return cert, key


def self_signed_server_is_refused_and_nothing_sent(context):
    folder = context.workspace.folder("tls")
    tls = proxy_for(context, certificate=certificate(folder))
    plain = proxy_for(context)
    url = context.server.new_collection()
    agenda = Agenda(context.program, folder, {"Juli": ["01 2027 Geheim"]})
    done = agenda.run("--sync-koppel", tls.url(url, scheme="https"), "ALMANOUK.AMN")
    check(done.returncode == 1 and "certificaat" in done.stderr, f"link: {done.returncode} {done.stderr}")
    check(not tls.requests(), "a request passed the refused certificate")
    # Linked while it was plain, the server now behind the unverified certificate.
    agenda.link(plain.url(url))
    state = agenda.file[:-4] + ".SYN"
    with open(state, encoding="utf-8") as f:
        text = f.read()
    with open(state, "w", encoding="utf-8") as f:
        f.write(text.replace(plain.url(url), tls.url(url, scheme="https")))
    before = agenda.read()
    done = agenda.sync(expect_ok=False)
    check(done.returncode == 1 and "certificaat" in done.stderr, f"sync: {done.returncode} {done.stderr}")
    check(not tls.requests() and not Phone(url).listing() and agenda.read() == before, "something was sent")


def outward_address():
    try:
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
            s.connect(("192.0.2.1", 9))  # no packet is sent: only the route is looked up
            address = s.getsockname()[0]
        return None if address.startswith("127.") else address
    except OSError:
        return None


def password_only_over_tls_or_to_this_machine(context):
    def login_wanted(request):
        if "Authorization" not in request["headers"]:
            return (401, {"WWW-Authenticate": 'Basic realm="agenda"'}, "log in")
        return None
    url = context.server.new_collection()
    # To this machine: the password may go (else the refusal below proves nothing).
    local = proxy_for(context)
    local.rule = login_wanted
    agenda = Agenda(context.program, context.workspace.folder("local"))
    done = agenda.run("--sync-koppel", local.url(url), "ALMANOUK.AMN")
    check(done.returncode == 0, f"{done.returncode} {done.stderr}")
    check(any("Authorization" in r["headers"] for r in local.requests()), "no password sent to localhost")
    address = outward_address()
    if not address:
        print("  no address but the loopback here: the plain-HTTP row skipped")
        return
    outward = proxy_for(context, host="0.0.0.0")
    outward.rule = login_wanted
    agenda = Agenda(context.program, context.workspace.folder("outward"))
    done = agenda.run("--sync-koppel", outward.url(url, host=address), "ALMANOUK.AMN")
    check(done.returncode == 1 and "wachtwoord niet verstuurd" in done.stderr, f"{done.returncode} {done.stderr}")
    check(outward.requests() and not any("Authorization" in r["headers"] for r in outward.requests()),
          "a password went over plain HTTP")


CRASH = [kill_at_every_write_to_the_server, kill_at_every_file_replacement, connection_cut_at_every_request]
REFUSALS = [make_refusal_test(*row) for row in REFUSALS] + [stale_etag_fetches_again_and_keeps_both,
                                                            broken_event_is_skipped_and_told,
                                                            silent_server_is_given_up]
TLS = [self_signed_server_is_refused_and_nothing_sent, password_only_over_tls_or_to_this_machine]
