"""What the sync tests against real CalDAV servers share: the servers
(radicale, xandikos) started on a free port with a temporary storage folder,
a small HTTP proxy in front of them that can refuse, cut, hold or kill, a
second client ("the phone") speaking plain HTTP, the program run on a
temporary data folder, and both sides read as occurrences per day.

Every wait polls with a bound; nothing sleeps a fixed time.
"""
import collections
import ctypes
import datetime
import http.client
import http.server
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import uuid
import xml.etree.ElementTree as ET

import icalendar
import recurring_ical_events
import requests

SKIP = 77
USER = "user"
AUTH = (USER, "x")
ZONE = "Europe/Amsterdam"
MONTHS = ["Januari", "Februari", "Maart", "April", "Mei", "Juni", "Juli", "Augustus", "September",
          "Oktober", "November", "December"]
SECTIONS = ["Maandelijks", "Wekelijks", "Dagelijks"] + MONTHS
SUMMARY_LINE = "ALMANOUK.AMN: {} verstuurd, {} ontvangen, {} gewijzigd, {} verwijderd"


class Failed(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failed(message)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for_port(port, process=None, seconds=60):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if process is not None and process.poll() is not None:
            raise Failed(f"server ended before it listened (status {process.returncode})")
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=1):
                return
        except OSError:
            threading.Event().wait(0.05)  # a poll of the port, bounded by the deadline
    raise Failed(f"nothing listens on port {port} after {seconds} s")


# ---------------------------------------------------------------- servers

def _end_with_the_test():
    """In a server's child process: it ends when the test does, also when the test is killed (a timeout)."""
    ctypes.CDLL("libc.so.6", use_errno=True).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG

class Server:
    """A real CalDAV server on a free local port, its storage in a temporary folder."""

    def __init__(self, kind, folder, extra=()):
        self.kind = kind
        self.port = free_port()
        self.storage = os.path.join(folder, kind + "-storage")
        os.makedirs(self.storage, exist_ok=True)
        self.log = open(os.path.join(folder, kind + ".log"), "wb")
        if kind == "radicale":
            command = ["radicale", "--config", "", "--storage-filesystem-folder", self.storage,
                       "--server-hosts", f"127.0.0.1:{self.port}", "--auth-type", "none",
                       "--rights-type", "owner_only", *extra]
        else:
            command = ["xandikos", "-d", self.storage, "-p", str(self.port), "-l", "127.0.0.1", "--defaults",
                       *extra]
        self.process = subprocess.Popen(command, stdout=self.log, stderr=subprocess.STDOUT,
                                        start_new_session=True, preexec_fn=_end_with_the_test)
        wait_for_port(self.port, self.process)
        self.origin = f"http://127.0.0.1:{self.port}"
        self.collections = 0

    def new_collection(self):
        """A fresh, empty calendar collection; its address."""
        self.collections += 1
        if self.kind == "radicale":
            path = f"/{USER}/cal{self.collections}/"
        else:
            path = f"/{USER}/calendars/cal{self.collections}/"
        answer = requests.request("MKCALENDAR", self.origin + path, auth=AUTH, timeout=30)
        check(answer.status_code in (201, 200), f"MKCALENDAR {path}: {answer.status_code} {answer.text[:200]}")
        return self.origin + path

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(20)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.log.close()


def server_available(kind):
    return shutil.which(kind) is not None


# ---------------------------------------------------------------- the phone

def _prop(element, name):
    found = element.find(".//{DAV:}" + name)
    return found.text if found is not None else None


class Phone:
    """A second, independent client: plain HTTP on the same collection."""

    def __init__(self, url):
        self.url = url
        self.session = requests.Session()
        self.session.auth = AUTH
        self.origin = re.match(r"https?://[^/]+", url).group(0)

    def listing(self):
        """href -> etag of every event in the collection."""
        body = ('<?xml version="1.0"?><d:propfind xmlns:d="DAV:"><d:prop><d:getetag/><d:resourcetype/>'
                '</d:prop></d:propfind>')
        answer = self.session.request("PROPFIND", self.url, data=body, timeout=30,
                                       headers={"Depth": "1", "Content-Type": "application/xml; charset=utf-8"})
        check(answer.status_code == 207, f"PROPFIND {answer.status_code}")
        items = {}
        for response in ET.fromstring(answer.content).findall("{DAV:}response"):
            href = response.find("{DAV:}href").text
            if href.rstrip("/") == self.url[len(self.origin):].rstrip("/") or href.endswith("/"):
                continue
            items[href] = _prop(response, "getetag")
        return items

    def get(self, href):
        answer = self.session.get(self.origin + href, timeout=30)
        check(answer.status_code == 200, f"GET {href}: {answer.status_code}")
        return answer.text, answer.headers.get("ETag")

    def events(self):
        """href -> iCalendar text of every event."""
        return {href: self.get(href)[0] for href in self.listing()}

    def put(self, href, ics, etag=None, new=False):
        headers = {"Content-Type": "text/calendar; charset=utf-8"}
        if etag:
            headers["If-Match"] = etag
        if new:
            headers["If-None-Match"] = "*"
        answer = self.session.put(self.origin + href, data=ics.encode(), headers=headers, timeout=30)
        return answer.status_code

    def create(self, ics):
        uid = str(icalendar.Calendar.from_ical(ics).walk("VEVENT")[0]["UID"])
        href = self.url[len(self.origin):] + uid + ".ics"
        status = self.put(href, ics, new=True)
        check(status in (201, 204), f"phone PUT {href}: {status}")
        return href

    def change(self, href, edit):
        """edit(icalendar.Event) on the event as the server has it, sent with If-Match."""
        text, etag = self.get(href)
        calendar = icalendar.Calendar.from_ical(text)
        edit(calendar.walk("VEVENT")[0])
        status = self.put(href, calendar.to_ical().decode(), etag=etag)
        check(status in (200, 201, 204), f"phone change {href}: {status}")

    def delete(self, href):
        answer = self.session.delete(self.origin + href, timeout=30)
        check(answer.status_code in (200, 204), f"DELETE {href}: {answer.status_code}")


def event(summary, start, uid=None, rrule=None, extra=()):
    """An iCalendar text with one event; start is a date or a (floating) datetime."""
    uid = uid or "phone-" + uuid.uuid4().hex
    if isinstance(start, datetime.datetime):
        when = [f"DTSTART:{start:%Y%m%dT%H%M%S}", f"DTEND:{start + datetime.timedelta(hours=1):%Y%m%dT%H%M%S}"]
    else:
        when = [f"DTSTART;VALUE=DATE:{start:%Y%m%d}",
                f"DTEND;VALUE=DATE:{start + datetime.timedelta(days=1):%Y%m%d}"]
    lines = ["BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//phone//test//EN", "BEGIN:VEVENT", f"UID:{uid}",
             "DTSTAMP:20261201T120000Z", *when, f"SUMMARY:{summary}"]
    if rrule:
        lines.append(f"RRULE:{rrule}")
    lines += [*extra, "END:VEVENT", "END:VCALENDAR", ""]
    return "\r\n".join(lines)


# ---------------------------------------------------------------- occurrences

def window():
    today = datetime.date.today()
    return today, today + datetime.timedelta(days=730)


def occurrences(ics_texts):
    """Counter of (day, time or None, summary) of the events over two years from today."""
    first, last = window()
    found = collections.Counter()
    for text in ics_texts:
        calendar = icalendar.Calendar.from_ical(text)
        for occurrence in recurring_ical_events.of(calendar).between(first, last):
            start = occurrence["DTSTART"].dt
            summary = str(occurrence.get("SUMMARY", ""))
            if isinstance(start, datetime.datetime):
                if start.tzinfo is not None:
                    import zoneinfo
                    start = start.astimezone(zoneinfo.ZoneInfo(ZONE)).replace(tzinfo=None)
                found[(start.date(), start.strftime("%H:%M"), summary)] += 1
            else:
                found[(start, None, summary)] += 1
    return found


def summaries_of(counter):
    return {summary for (_, _, summary) in counter}


# ---------------------------------------------------------------- the calendar and the program

def calendar_text(entries=None, description="Thuis"):
    """A calendar file; entries: section name -> its lines (right under the section's name)."""
    entries = entries or {}
    lines = [description, "0", "7", "", ""]
    for section in SECTIONS:
        lines.append(section)
        lines += entries.get(section, [])
        lines += ["", ""]
    lines.append("Einde")
    return "\r\n".join(lines) + "\r\n"


class Agenda:
    """The program on a temporary data folder with one calendar, ALMANOUK.AMN."""

    def __init__(self, program, folder, entries=None, name="agenda"):
        self.program = program
        self.home = os.path.join(folder, name)
        self.data = os.path.join(self.home, "data", "Almanouk")
        os.makedirs(self.data)
        self.file = os.path.join(self.data, "ALMANOUK.AMN")
        self.write(calendar_text(entries))
        self.timeout = None

    def env(self, **more):
        env = {k: v for k, v in os.environ.items() if not k.startswith("ALMANOUK_")}
        env.update(XDG_DATA_HOME=os.path.join(self.home, "data"), XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                   HOME=self.home, TZ=ZONE, LANG="C.UTF-8", ALMANOUK_SYNC_USER=USER, ALMANOUK_SYNC_PASSWORD="x")
        env.pop("DISPLAY", None)
        env.pop("WAYLAND_DISPLAY", None)
        if self.timeout:
            env["ALMANOUK_SYNC_TIMEOUT"] = str(self.timeout)
        env.update(more)
        return env

    def command(self, *args):
        return [self.program, *args]

    def run(self, *args, wrap=(), timeout=120, **env):
        if wrap:
            # A sanitizer build's leak check cannot work under a tracer: it is left out there.
            options = os.environ.get("ASAN_OPTIONS", "")
            env.setdefault("ASAN_OPTIONS", (options + ":" if options else "") + "detect_leaks=0")
        return subprocess.run([*wrap, self.program, *args], env=self.env(**env), cwd=self.home,
                              capture_output=True, text=True, timeout=timeout)

    def link(self, url):
        done = self.run("--sync-koppel", url, "ALMANOUK.AMN")
        check(done.returncode == 0, f"link: {done.returncode} {done.stdout} {done.stderr}")

    def sync(self, expect_ok=True, **kw):
        done = self.run("--sync", **kw)
        if expect_ok:
            check(done.returncode == 0 and not done.stderr.strip(),
                  f"sync failed ({done.returncode}): {done.stdout}{done.stderr}")
        return done

    def read(self):
        with open(self.file, "rb") as f:
            return f.read().decode("cp437")

    def write(self, text):
        with open(self.file, "wb") as f:
            f.write(text.encode("cp437"))

    @staticmethod
    def _block(lines, section):
        """Where the lines that count of a section stand: right under its name, or under one blank line."""
        at = lines.index(section)
        start = at + 1
        if start + 1 < len(lines) and not lines[start].strip() and lines[start + 1].strip() \
                and lines[start + 1] not in SECTIONS and lines[start + 1] != "Einde":
            start += 1
        end = start
        while end < len(lines) and lines[end].strip() and lines[end] not in SECTIONS and lines[end] != "Einde":
            end += 1
        return start, end

    def lines(self, section):
        """The lines that count of a section."""
        lines = self.read().splitlines()
        start, end = self._block(lines, section)
        return lines[start:end]

    def all_lines(self):
        return {section: self.lines(section) for section in SECTIONS}

    def edit(self, section, old=None, new=None):
        """Replaces a line (old -> new), deletes one (new None) or adds one (old None) among the section's lines."""
        lines = self.read().splitlines()
        start, end = self._block(lines, section)
        if old is None:
            lines.insert(start, new)
        else:
            spot = lines.index(old, start, end)
            if new is None:
                del lines[spot]
            else:
                lines[spot] = new
        self.write("\r\n".join(lines) + "\r\n")

    def export(self):
        out = os.path.join(self.home, "export.ics")
        if os.path.exists(out):
            os.remove(out)
        done = self.run("--export", "ALMANOUK.AMN", out)
        check(done.returncode == 0, f"export: {done.returncode} {done.stdout} {done.stderr}")
        with open(out, encoding="utf-8") as f:
            return f.read()

    def occurrences(self):
        return occurrences([self.export()])

    def versions(self):
        """The files kept in Versies (relative paths)."""
        folder = os.path.join(self.data, "Versies")
        return sorted(os.path.relpath(os.path.join(where, name), folder)
                      for where, _, names in os.walk(folder) for name in names)


def counts(stdout):
    """sent, received, changed, deleted, conflicts, errors of the first summary line."""
    match = re.search(r"(\d+) verstuurd, (\d+) ontvangen, (\d+) gewijzigd, (\d+) verwijderd, "
                      r"(\d+) conflic\w+ bewaard, (\d+) fout", stdout)
    check(match, f"no summary line in: {stdout!r}")
    return tuple(int(n) for n in match.groups())


def server_occurrences(phone):
    return occurrences(phone.events().values())


def assert_same_both_sides(agenda, phone, expected_summaries=None):
    """The same occurrences on every day of two years on both sides, no event twice."""
    events = phone.events()
    remote = occurrences(events.values())
    local = agenda.occurrences()
    strip = collections.Counter()
    for (day, at, summary), n in local.items():
        strip[(day, at, summary.replace(" [reeks]", ""))] += n
    missing_here = remote - strip
    missing_there = strip - remote
    check(not missing_here and not missing_there,
          f"sides differ: only on the server {sorted(missing_here)[:8]}, only here {sorted(missing_there)[:8]}")
    seen = collections.Counter()
    for text in events.values():
        for component in icalendar.Calendar.from_ical(text).walk("VEVENT"):
            seen[str(component.get("SUMMARY"))] += 1
    doubled = [s for s, n in seen.items() if n > 1]
    check(not doubled, f"events twice on the server: {doubled}")
    if expected_summaries is not None:
        got = summaries_of(remote)
        check(got == set(expected_summaries),
              f"lost {sorted(set(expected_summaries) - got)}, unexpected {sorted(got - set(expected_summaries))}")
    return remote


# ---------------------------------------------------------------- the proxy

class Proxy:
    """An HTTP proxy in front of a server. `rule(request)` may answer instead
    of the server (return (status, headers, body)), cut the connection
    (return "cut"), or act and let it through (return None); `after(request,
    status)` runs after the server answered, before the answer goes back
    (return "cut" to drop it). Every request is logged."""

    def __init__(self, backend_port, host="127.0.0.1", certificate=None):
        self.backend_port = backend_port
        self.rule = None
        self.after = None
        self.log = []
        self.lock = threading.Lock()
        proxy = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def log_message(self, *args):
                pass

            def handle_one_request(self):
                try:
                    super().handle_one_request()
                except (ConnectionError, OSError):
                    self.close_connection = True

            def do_any(self):
                length = int(self.headers.get("Content-Length") or 0)
                body = self.rfile.read(length) if length else b""
                request = {"method": self.command, "path": self.path, "headers": dict(self.headers), "body": body}
                with proxy.lock:
                    proxy.log.append(request)
                    request["index"] = len(proxy.log)
                answer = proxy.rule(request) if proxy.rule else None
                if answer == "cut":
                    self.close_connection = True
                    self.connection.shutdown(socket.SHUT_RDWR)
                    return
                if answer is None:
                    connection = http.client.HTTPConnection("127.0.0.1", proxy.backend_port, timeout=60)
                    headers = {k: v for k, v in self.headers.items() if k.lower() not in ("host", "connection")}
                    connection.request(self.command, self.path, body=body, headers=headers)
                    response = connection.getresponse()
                    status, headers, data = response.status, response.getheaders(), response.read()
                    connection.close()
                    request["status"] = status
                    if proxy.after and proxy.after(request, status) == "cut":
                        self.close_connection = True
                        self.connection.shutdown(socket.SHUT_RDWR)
                        return
                else:
                    status, headers, data = answer
                    request["status"] = status
                    if isinstance(data, str):
                        data = data.encode()
                    headers = list(headers.items()) if isinstance(headers, dict) else headers
                self.send_response(status)
                for name, value in headers:
                    if name.lower() not in ("content-length", "transfer-encoding", "connection", "date", "server"):
                        self.send_header(name, value)
                self.send_header("Content-Length", str(len(data)))
                self.end_headers()
                self.wfile.write(data)

            do_GET = do_PUT = do_DELETE = do_PROPFIND = do_REPORT = do_OPTIONS = do_HEAD = do_any
            do_MKCALENDAR = do_POST = do_PROPPATCH = do_any

        class Server(http.server.ThreadingHTTPServer):
            daemon_threads = True

        self.server = Server((host, 0), Handler)
        if certificate:
            import ssl
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(*certificate)
            self.server.socket = context.wrap_socket(self.server.socket, server_side=True)
        self.port = self.server.server_address[1]
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    def url(self, server_url, scheme="http", host="127.0.0.1"):
        return re.sub(r"^https?://[^/]+", f"{scheme}://{host}:{self.port}", server_url)

    def requests(self, *methods):
        with self.lock:
            return [r for r in self.log if not methods or r["method"] in methods]

    def reset(self):
        with self.lock:
            self.log.clear()
        self.rule = None
        self.after = None

    def stop(self):
        self.server.shutdown()
        self.server.server_close()


# ---------------------------------------------------------------- running a group of tests

def run_group(tests, setup, teardown, argv_name):
    """Runs every test(context) of the group; prints each; exit 0, 1 or 77."""
    only = os.environ.get("SYNC_TEST_ONLY")
    failures = 0
    started = time.monotonic()
    context = setup()
    try:
        for test in tests:
            if only and only not in test.__name__:
                continue
            began = time.monotonic()
            try:
                test(context)
                print(f"ok   {argv_name} {test.__name__} ({time.monotonic() - began:.1f} s)", flush=True)
            except Exception as error:  # a failure of one test is told, the others still run
                failures += 1
                import traceback
                print(f"FAIL {argv_name} {test.__name__}: {error}", flush=True)
                traceback.print_exc()
    finally:
        teardown(context)
    print(f"{argv_name}: {failures} failed, {time.monotonic() - started:.1f} s", flush=True)
    return 1 if failures else 0


class Workspace:
    """A temporary folder removed at the end unless SYNC_TEST_KEEP is set."""

    def __init__(self, prefix="almanouk-sync-"):
        self.path = tempfile.mkdtemp(prefix=prefix)
        self.count = 0

    def folder(self, name):
        self.count += 1
        path = os.path.join(self.path, f"{self.count:03d}-{name}")
        os.makedirs(path)
        return path

    def remove(self):
        if os.environ.get("SYNC_TEST_KEEP"):
            print("kept:", self.path)
        else:
            shutil.rmtree(self.path, ignore_errors=True)
