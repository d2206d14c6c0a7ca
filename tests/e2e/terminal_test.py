#!/usr/bin/python3
"""The real program in a real pseudo-terminal (almanouk --terminal), its
screen read back by a terminal emulator (pyte), set against the headless
driver's screen for the same keys, character for character.

  terminal_test.py screens PROGRAM HEADLESS TERM  every screen, key by key
  terminal_test.py resize PROGRAM HEADLESS        smaller than 80 x 25 and back
  terminal_test.py suspend PROGRAM HEADLESS       Ctrl+Z in a shell, then fg
  terminal_test.py signals PROGRAM HEADLESS       SIGINT, SIGTERM, SIGHUP, Ctrl+C
  terminal_test.py alarm PROGRAM HEADLESS         an alarm's box and bell, the alarm page
  terminal_test.py bytes PROGRAM HEADLESS         what a key costs on the line
  terminal_test.py focus PROGRAM HEADLESS         the cursor on what has the focus
  terminal_test.py fallback PROGRAM HEADLESS      plain almanouk without a display

Every wait polls the screen with a bound; no fixed sleep is the only sync.
The program's clock stands where the headless driver's starts (libfaketime).
Exit 77: skipped (no pyte, no libfaketime here).
"""
import contextlib
import curses
import fcntl
import glob
import os
import re
import resource
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import time

try:
    import pyte
except ImportError:
    print("no python3-pyte: skipped")
    sys.exit(77)

FAKETIME = (glob.glob("/usr/lib/*/faketime/libfaketime.so.1") + glob.glob("/usr/lib/faketime/libfaketime.so.1") + [None])[0]
if FAKETIME is None:
    print("no libfaketime: skipped")
    sys.exit(77)

START = "2024-03-15 10:00:00"
WAIT = 30  # seconds any one thing may take on a loaded machine


class Failure(Exception):
    pass


class BellScreen(pyte.Screen):
    bells = 0

    def bell(self, *args):
        self.bells += 1


class Terminal:
    """A pseudo-terminal with a program in it, and an emulator reading its output."""

    def __init__(self, command, term, env, cwd, rows=25, columns=80, errors_on_screen=False):
        self.master, self.slave = os.openpty()
        self.resize(rows, columns, signal_program=False)
        self.screen = BellScreen(columns, rows)
        self.stream = pyte.ByteStream(self.screen)
        self.received = 0
        self.before = termios.tcgetattr(self.slave)
        environment = dict(env, TERM=term)

        def take_terminal():
            os.setsid()
            fcntl.ioctl(0, termios.TIOCSCTTY, 0)
            resource.setrlimit(resource.RLIMIT_CORE, (0, 0))  # the crash test leaves no core behind

        self.errors = tempfile.TemporaryFile()
        self.process = subprocess.Popen(command, stdin=self.slave, stdout=self.slave,
                                        stderr=self.slave if errors_on_screen else self.errors,
                                        cwd=cwd, env=environment, preexec_fn=take_terminal, close_fds=True)

    def resize(self, rows, columns, signal_program=True):
        fcntl.ioctl(self.slave, termios.TIOCSWINSZ, struct.pack("HHHH", rows, columns, 0, 0))
        if signal_program:
            self.screen.resize(rows, columns)

    def modes(self):
        return termios.tcgetattr(self.slave)

    def pump(self, timeout):
        ready, _, _ = select.select([self.master], [], [], timeout)
        if not ready:
            return False
        try:
            data = os.read(self.master, 65536)
        except OSError:
            return False
        self.received += len(data)
        self.stream.feed(data)
        return True

    def send(self, data):
        os.write(self.master, data)

    def lines(self):
        return list(self.screen.display)

    def text(self, rows=25, columns=80):
        return "".join(line[:columns] + "\n" for line in self.lines()[:rows])

    def wait_for(self, what, test, seconds=WAIT):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if test():
                return
            if self.process.poll() is not None:
                self.pump(0.05)
                if test():
                    return
                raise Failure(f"the program ended ({self.process.returncode}) while waiting for {what}\n"
                              + self.text() + self.stderr())
            self.pump(0.05)
        raise Failure(f"no {what} within {seconds} s; the screen:\n" + "\n".join(self.lines()) + self.stderr())

    def showing(self, words):
        return any(words in line for line in self.lines())

    def quiet(self, seconds=0.2):
        """Takes in output until none came for a moment (bounded)."""
        deadline = time.monotonic() + WAIT
        while self.pump(seconds) and time.monotonic() < deadline:
            pass

    def wait_exit(self, seconds=WAIT):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                self.quiet(0.05)
                return self.process.returncode
            self.pump(0.05)
        raise Failure("the program did not end\n" + self.text())

    def stderr(self):
        self.errors.seek(0)
        text = self.errors.read().decode("utf-8", "replace")
        return "\nstderr:\n" + text if text else ""

    def hang_up(self):
        """The terminal goes, as when its window closes."""
        for fd in (self.slave, self.master):
            os.close(fd)
        self.slave = self.master = None

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        for fd in (self.master, self.slave):
            if fd is not None:
                os.close(fd)


class Keys:
    """Key names of the key scripts as this terminal's terminfo says they are sent."""

    def __init__(self, term):
        curses.setupterm(term, sys.stdout.fileno() if sys.stdout.isatty() else -1)

    @staticmethod
    def capability(*names):
        for name in names:
            value = curses.tigetstr(name)
            if value:
                return value
        return None

    @staticmethod
    def modified(plain, number):
        """xterm's form of a key with a modifier, where terminfo names only the plain key."""
        if plain is None:
            return None
        match = re.fullmatch(rb"\x1b\[(\d+)~", plain)
        if match:
            return b"\x1b[" + match.group(1) + b";" + str(number).encode() + b"~"
        return None

    def bytes_of(self, name):
        plain = {
            "Up": ("kcuu1",), "Down": ("kcud1",), "Left": ("kcub1",), "Right": ("kcuf1",),
            "PgUp": ("kpp",), "PgDn": ("knp",), "Home": ("khome", "kfnd"), "End": ("kend", "kslt"),
            "Ins": ("kich1",), "Del": ("kdch1",),
        }
        if name in plain:
            return self.capability(*plain[name])
        if re.fullmatch(r"F[1-8]", name):
            return self.capability("kf" + name[1:])
        if name == "Enter":
            return b"\r"
        if name == "Esc":
            return b"\x1b"
        if name == "Tab":
            return b"\t"
        if name == "Space":
            return b" "
        if name == "Bksp":
            return self.capability("kbs")
        if name == "Alt+X":
            return b"\x1bx"
        if re.fullmatch(r"Ctrl\+[A-Z]", name):
            return bytes([ord(name[5]) - ord("A") + 1])
        # Where the terminal has no way to send these, the keys that stand for them.
        with_modifier = {"Ctrl+PgUp": ("kPRV5", "kpp", 5, "kf9"), "Ctrl+PgDn": ("kNXT5", "knp", 5, "kf10"),
                         "Shift+PgUp": ("kPRV", "kpp", 2, "kf11"), "Shift+PgDn": ("kNXT", "knp", 2, "kf12")}
        if name in with_modifier:
            own, base, number, alternative = with_modifier[name]
            if self.capability(own):
                return self.capability(own)
            if name.startswith("Shift+") or self.capability("kf1") != b"\x1b[[A":
                derived = self.modified(self.capability(base), number)
                if derived:
                    return derived
            return self.capability(alternative)
        if name.startswith('"'):
            return name[1:-1].encode("utf-8")
        raise Failure(f"no bytes for key {name}")


class Run:
    """A data folder and the environment for the real program and the headless driver."""

    def __init__(self, program, headless, work, start=START):
        self.program, self.headless, self.work, self.start = program, headless, work, start
        self.appdata = os.path.join(work, "appdata")
        self.data = os.path.join(self.appdata, "Almanouk")
        self.cwd = os.path.join(work, "start")
        os.makedirs(self.cwd, exist_ok=True)

    def env(self):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
        env.update(APPDATA=self.appdata, SDL_AUDIODRIVER="dummy", LD_PRELOAD=FAKETIME,
                   FAKETIME="@" + self.start, FAKETIME_DONT_RESET="1",
                   # only the wall clock is set: waits run on the real one (and a sanitizer's
                   # allocator, which reads it, never meets the faked clock's own allocations)
                   FAKETIME_DONT_FAKE_MONOTONIC="1")
        return env

    def terminal(self, term, rows=25, columns=80, arguments=("--terminal",)):
        return Terminal([self.program, *arguments], term, self.env(), self.cwd, rows, columns)

    def headless_screens(self, keys, snaps):
        """The headless driver's screen after each key: snaps[i] after keys[i]; s0 before any."""
        out = os.path.join(self.work, "snaps")
        data = os.path.join(self.work, "headless")
        script = ["snap:s0"]
        for i, key in enumerate(keys, 1):
            script += [key, f"snap:s{i}"]
        subprocess.run([self.headless, "--data", data, "--start-dir", self.cwd, "--now", self.start,
                        "--keys", " ".join(script), "--out", out], check=True,
                       stdout=subprocess.DEVNULL, timeout=120)
        for i in range(len(keys) + 1):
            with open(os.path.join(out, f"s{i}.txt"), encoding="utf-8") as f:
                snaps.append(f.read())


def start_program(terminal):
    """Answers the start-up notice, as the user does."""
    terminal.wait_for("start-up notice", lambda: terminal.showing("Almanouk is geïnitialiseerd"))
    terminal.send(b"\r")


@contextlib.contextmanager
def in_month_view(run, term="xterm-256color", shown=lambda terminal: terminal.showing("Huidige almanouk")):
    """The program started in a terminal, past the notice, at the month view; closed afterwards."""
    terminal = run.terminal(term)
    try:
        start_program(terminal)
        terminal.wait_for("the month view", lambda: shown(terminal))
        yield terminal
    finally:
        terminal.close()


def type_in_editor(terminal, line):
    """Opens the calendar editor and types a line at its top."""
    keys = Keys("xterm-256color")
    terminal.send(keys.bytes_of("F2"))
    terminal.wait_for("the calendar editor", lambda: terminal.showing("Maandelijks"))
    terminal.send(keys.bytes_of("Home") + line.encode("cp437"))
    terminal.wait_for("the typed line", lambda: terminal.showing(line))


def diff(want, got):
    lines = []
    for number, (a, b) in enumerate(zip(want.splitlines(), got.splitlines()), 1):
        if a != b:
            lines.append(f"row {number}:\n  headless: {a!r}\n  terminal: {b!r}")
    return "\n".join(lines)


# Key scripts that open every screen; the headless driver's key names.
SCRIPTS = {
    "month view": ["Right", "Down", "PgDn", "Ctrl+PgUp", "Ctrl+PgDn", "Left", "Up", "PgUp", "F3", "\"s\""],
    "help": ["F1", "Esc"],
    "readme": ["F6", "PgDn", "Down", "Esc"],
    "diary": ["Enter", '"Hallo wereld, één"', "Left", "Bksp", "Shift+PgDn", '"x"', "Shift+PgUp", "Esc"],
    "list editor": ["F2", "Down", "Down", '"07 Proef"', "Home", "Del", "F1", "Esc", "Esc"],
    "settings": ["F4", "Down", "Down", "Up", "Esc"],
    "search": ["F8", '"dag"', "Enter", "Esc"],
    "all calendars": ["F7", "Enter", "Esc", "F7"],
}


def check_screens(program, headless, term):
    keys_of = Keys(term)
    for name, keys in SCRIPTS.items():
        with tempfile.TemporaryDirectory() as work:
            run = Run(program, headless, work)
            snaps = []
            run.headless_screens(keys, snaps)
            terminal = run.terminal(term)
            try:
                start_program(terminal)
                steps = ["start"] + keys
                for i, key in enumerate(steps):
                    if i > 0:
                        terminal.send(keys_of.bytes_of(key))
                    want = snaps[i]
                    try:
                        terminal.wait_for(f"the screen after {key}", lambda: terminal.text() == want, seconds=WAIT)
                    except Failure:
                        raise Failure(f"{term}, {name}: after {' '.join(steps[1:i + 1]) or 'the start'} the "
                                      f"screens differ:\n{diff(want, terminal.text())}\nterminal:\n{terminal.text()}")
                terminal.send(keys_of.bytes_of("Alt+X"))
                status = terminal.wait_exit()
                if status != 0:
                    raise Failure(f"{term}, {name}: exit status {status}{terminal.stderr()}")
                if terminal.modes() != terminal.before:
                    raise Failure(f"{term}, {name}: the terminal's modes were not given back")
                print(f"{term}: {name}: {len(keys)} keys, {terminal.received} bytes, same screens")
            finally:
                terminal.close()


def check_resize(program, headless):
    with tempfile.TemporaryDirectory() as work:
        run = Run(program, headless, work)
        snaps = []
        run.headless_screens(["Right"], snaps)
        with in_month_view(run, shown=lambda terminal: terminal.text() == snaps[0]) as terminal:
            terminal.resize(20, 70)
            terminal.wait_for("the word that the terminal is too small",
                              lambda: "minstens 80 × 25" in " ".join(terminal.lines()) and terminal.showing("70 × 20"))
            # Keys typed meanwhile do nothing: nothing could be seen.
            terminal.send(b"\r")
            terminal.quiet()
            terminal.resize(30, 100)
            terminal.wait_for("the month view again", lambda: terminal.text() == snaps[0])
            if any(line.strip() for line in terminal.lines()[25:]) or any(l[80:].strip() for l in terminal.lines()):
                raise Failure("something stands beside or below the 80 x 25 cells:\n" + "\n".join(terminal.lines()))
            terminal.send(Keys("xterm-256color").bytes_of("Right"))
            terminal.wait_for("the day on", lambda: terminal.text() == snaps[1])
            terminal.send(b"\x1bx")
            if terminal.wait_exit() != 0 or terminal.modes() != terminal.before:
                raise Failure("no orderly end after the resize")
            print("resize: too small told, back in full, keys meanwhile ignored")


def check_suspend(program, headless):
    with tempfile.TemporaryDirectory() as work:
        run = Run(program, headless, work)
        snaps = []
        run.headless_screens(["Right"], snaps)
        env = dict(run.env(), PS1="$ ")
        del env["LD_PRELOAD"]  # the shell's clock is real; the program's is set on its line
        shell = Terminal(["bash", "--norc", "--noprofile", "--noediting", "-i"], "xterm-256color", env, run.cwd,
                         errors_on_screen=True)
        try:
            shell.wait_for("the shell's prompt", lambda: shell.showing("$"))
            shell.quiet()
            cooked = shell.modes()
            shell.send(f"LD_PRELOAD={FAKETIME} {program} --terminal\r".encode())
            start_program(shell)
            shell.wait_for("the month view", lambda: shell.text() == snaps[0])
            shell.send(b"\x1a")  # Ctrl+Z
            shell.wait_for("the shell's word that the program stopped", lambda: shell.showing("Stopped"))
            shell.quiet()
            if shell.modes() != cooked:
                raise Failure("while the program is stopped the terminal is not as the shell had it")
            shell.send(b"fg\r")
            shell.wait_for("the month view again after fg", lambda: shell.text() == snaps[0])
            shell.send(Keys("xterm-256color").bytes_of("Right"))
            shell.wait_for("the day on after fg", lambda: shell.text() == snaps[1])
            shell.send(b"\x1bx")
            shell.wait_for("the shell's prompt again", lambda: shell.lines()[shell.screen.cursor.y].startswith("$"))
            shell.send(b"echo status=$?\r")  # after fg, the job's own status
            shell.wait_for("the program's status", lambda: shell.showing("status=0"))
            shell.quiet()
            if shell.modes() != cooked:
                raise Failure("after the program the terminal is not as the shell had it")
            shell.send(b"exit\r")
            shell.wait_exit()
            print("suspend: the shell's terminal while stopped, the whole screen again at fg")
        finally:
            shell.close()


def check_signals(program, headless):
    ways = [("SIGINT", signal.SIGINT), ("SIGTERM", signal.SIGTERM), ("SIGHUP", signal.SIGHUP), ("Ctrl+C", None)]
    for name, number in ways:
        with tempfile.TemporaryDirectory() as work:
            run = Run(program, headless, work)
            with in_month_view(run) as terminal:
                # The calendar editor open with a line typed: the end saves it, as Esc does.
                type_in_editor(terminal, "07 Signaal")
                if number is None:
                    terminal.send(b"\x03")
                else:
                    terminal.process.send_signal(number)
                    terminal.process.send_signal(number)  # a second one does not cut the end short
                status = terminal.wait_exit()
                if status != 0:
                    raise Failure(f"{name}: exit status {status}{terminal.stderr()}")
                if terminal.modes() != terminal.before:
                    raise Failure(f"{name}: the terminal's modes were not given back")
                with open(os.path.join(run.data, "ALMANOUK.AMN"), encoding="cp437") as f:
                    if "07 Signaal" not in f.read():
                        raise Failure(f"{name}: the editor's line was lost")
                if os.path.exists(os.path.join(run.data, "Almanouk.pyl")):
                    raise Failure(f"{name}: instance marker left behind")
                print(f"{name}: ended in order, the line saved, the terminal given back")
    # The terminal itself goes (its window closed, the connection lost): the program ends in order.
    with tempfile.TemporaryDirectory() as work:
        run = Run(program, headless, work)
        with in_month_view(run) as terminal:
            type_in_editor(terminal, "07 Opgehangen")
            terminal.hang_up()
            status = terminal.process.wait(timeout=WAIT)
            with open(os.path.join(run.data, "ALMANOUK.AMN"), encoding="cp437") as f:
                saved = "07 Opgehangen" in f.read()
            if status != 0 or not saved:
                raise Failure(f"the terminal gone: status {status}, the line saved: {saved}{terminal.stderr()}")
            print("the terminal gone: ended in order, the line saved")
    # A fatal file error (a broken settings file): told, a key, the terminal given back.
    with tempfile.TemporaryDirectory() as work:
        run = Run(program, headless, work)
        os.makedirs(run.data)
        with open(os.path.join(run.data, "ALMANOUK.AMN"), "w", encoding="cp437", newline="") as f:
            f.write(calendar_file("Proef"))
        with open(os.path.join(run.data, "Almanouk.ini"), "w", encoding="cp437", newline="") as f:
            f.write(settings_file("msg").replace("PC-Speaker=aan", "PC-Speaker=ja"))
        terminal = run.terminal("xterm-256color")
        try:
            start_program(terminal)
            terminal.wait_for("the fatal error's message", lambda: terminal.showing("Fout in INI-file."))
            terminal.send(b" ")
            status = terminal.wait_exit()
            if status != 0 or terminal.modes() != terminal.before:
                raise Failure(f"a fatal error: status {status}, modes given back: {terminal.modes() == terminal.before}")
            print("a fatal file error: told, then the terminal given back")
        finally:
            terminal.close()
    # A crash: nothing ends in order, but the terminal is given back before the program dies.
    with tempfile.TemporaryDirectory() as work:
        run = Run(program, headless, work)
        with in_month_view(run) as terminal:
            terminal.process.send_signal(signal.SIGSEGV)
            status = terminal.wait_exit()
            # Dead of it, or of a sanitizer's report on it, which still comes.
            if status == 0 or terminal.modes() != terminal.before:
                raise Failure(f"a crash: status {status}, modes given back: {terminal.modes() == terminal.before}")
            print("SIGSEGV: the terminal given back before the program died of it")
    # With the start-up notice still open: the box closes and the program ends in order.
    with tempfile.TemporaryDirectory() as work:
        run = Run(program, headless, work)
        terminal = run.terminal("linux")
        try:
            terminal.wait_for("start-up notice", lambda: terminal.showing("Almanouk is geïnitialiseerd"))
            terminal.process.send_signal(signal.SIGTERM)
            status = terminal.wait_exit()
            if status != 0 or terminal.modes() != terminal.before:
                raise Failure(f"SIGTERM with the notice open: status {status}, modes given back: "
                              f"{terminal.modes() == terminal.before}{terminal.stderr()}")
            print("SIGTERM with a box open: ended in order, the terminal given back")
        finally:
            terminal.close()


def crlf(*lines):
    return "".join(line + "\r\n" for line in lines)


def calendar_file(name, *daily):
    text = crlf(name, "0", "7", "", "", "Maandelijks", "", "", "", "Wekelijks", "", "", "", "Dagelijks", "", *daily, "", "")
    for month in ["Januari", "Februari", "Maart", "April", "Mei", "Juni", "Juli", "Augustus", "September", "Oktober",
                  "November", "December"]:
        text += crlf(month, "", "", "")
    return text + crlf("Einde")


def settings_file(popup, sound="uit"):
    return crlf("[Aan/Uit]", f"PopUp={popup}", "PC-Speaker=aan", f"Sound={sound}", "", "[Kleurthema]", "1", "",
                "[Tekstkleur]", "12", "", "[Dagboekdagkleur]", "13", "", "[Almanoukkeuze]",
                "-> ALMANOUK.AMN = Proef                         7", "", "Einde.")


def players(folder):
    """The processes that play a sound of the folder: almanouk --speel FILE, started for an alarm."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                words = f.read().split(b"\0")
        except OSError:
            continue
        if b"--speel" in words and any(word.startswith(folder.encode()) for word in words):
            found.append(pid)
    return found


def check_alarm(program, headless):
    for popup, words in [("msg", "Sluimeren 5 min"), ("ntp", "[ OK ]")]:
        with tempfile.TemporaryDirectory() as work:
            run = Run(program, headless, work, start="2024-03-15 09:59:57")
            os.makedirs(run.data)
            with open(os.path.join(run.data, "ALMANOUK.AMN"), "w", encoding="cp437", newline="") as f:
                f.write(calendar_file("Proef", "10:00 Alarm nu"))
            with open(os.path.join(run.data, "Almanouk.ini"), "w", encoding="cp437", newline="") as f:
                f.write(settings_file(popup, "aan"))
            terminal = run.terminal("xterm-256color")
            try:
                start_program(terminal)
                terminal.wait_for("the month view", lambda: terminal.showing("Proef"))
                # The sound plays through a program of its own, the box meanwhile (msg: before it).
                sound = []
                terminal.wait_for(f"the alarm's box ({popup}) and its sound",
                                  lambda: (sound.extend(players(run.data)) or True) and terminal.showing("Alarm nu")
                                  and terminal.showing(words) and (popup == "ntp" or sound))
                terminal.send(b"\r")
                terminal.wait_for("the box gone", lambda: not terminal.showing(words))
                # The tone comes after the box is answered (msg), or while the page waits (ntp).
                terminal.wait_for("the bell", lambda: terminal.screen.bells > 0)
                terminal.wait_for("the sound", lambda: sound or sound.extend(players(run.data)) or sound)
                terminal.send(b"\x1bx")
                if terminal.wait_exit() != 0 or terminal.modes() != terminal.before:
                    raise Failure(f"{popup}: no orderly end after the alarm")
                print(f"alarm ({popup}): box in the screen, {terminal.screen.bells} bell(s), the sound started")
            finally:
                terminal.close()


def check_bytes(program, headless):
    limit = 200
    with tempfile.TemporaryDirectory() as work:
        run = Run(program, headless, work)
        snaps = []
        keys = ["Right", "Right", "Left", "Down"]
        run.headless_screens(keys, snaps)
        keys_of = Keys("xterm-256color")
        with in_month_view(run, shown=lambda terminal: terminal.text() == snaps[0]) as terminal:
            terminal.quiet()
            costs = []
            for i, key in enumerate(keys, 1):
                before = terminal.received
                terminal.send(keys_of.bytes_of(key))
                terminal.wait_for(f"the screen after {key}", lambda: terminal.text() == snaps[i])
                terminal.quiet()
                costs.append(terminal.received - before)
            print("bytes per day move in the month view: " + ", ".join(f"{k} {c}" for k, c in zip(keys, costs)))
            if max(costs) > limit:
                raise Failure(f"a day move sends {max(costs)} bytes, more than {limit}")
            terminal.send(b"\x1bx")
            terminal.wait_exit()


def check_focus(program, headless):
    """The terminal's cursor stands on what has the focus, for screen readers and braille displays."""
    with tempfile.TemporaryDirectory() as work:
        run = Run(program, headless, work)
        terminal = run.terminal("xterm-256color")
        keys = Keys("xterm-256color")
        screen = terminal.screen

        def at_cursor(count=1):
            row = terminal.lines()[screen.cursor.y]
            return "" if screen.cursor.hidden else row[screen.cursor.x:screen.cursor.x + count]

        def step(send, what, test):
            if send:
                terminal.send(send)
            terminal.wait_for(what, test)

        try:
            step(None, "the cursor on the notice's button", lambda: at_cursor(2) == "OK")
            terminal.send(b"\r")
            step(None, "the cursor on the selected day", lambda: at_cursor(2) == "15")
            step(keys.bytes_of("Right"), "the cursor on the next day", lambda: at_cursor(2) == "16")
            step(keys.bytes_of("Enter"), "the cursor on the diary's caret",
                 lambda: (screen.cursor.y, screen.cursor.x) == (2, 2) and not screen.cursor.hidden)
            step(b"ab", "the caret two on", lambda: (screen.cursor.y, screen.cursor.x) == (2, 4))
            step(keys.bytes_of("Esc"), "the cursor on the day again", lambda: at_cursor(2) == "16")
            step(keys.bytes_of("F2"), "the cursor on the editor's help", lambda: at_cursor(8) == "Verjaard")
            step(keys.bytes_of("Down"), "the cursor on the editor's caret",
                 lambda: not screen.cursor.hidden and screen.buffer[screen.cursor.y][screen.cursor.x].bg == "af00af")
            step(keys.bytes_of("Esc"), "the cursor on the day again", lambda: at_cursor(2) == "16")
            step(keys.bytes_of("F8"), "the cursor where the word is typed",
                 lambda: (screen.cursor.y, screen.cursor.x) == (0, 10) and not screen.cursor.hidden)
            step(b"dag", "the cursor after the word", lambda: (screen.cursor.y, screen.cursor.x) == (0, 13))
            step(b"\r", "the cursor on the first result", lambda: (screen.cursor.y, screen.cursor.x) == (1, 0))
            step(keys.bytes_of("Esc"), "the cursor on the day again", lambda: at_cursor(2) == "16")
            step(keys.bytes_of("F4"), "the cursor on the settings' first field",
                 lambda: terminal.showing("Gebruik de pijl") and at_cursor(6) == "PopUp=")
            step(keys.bytes_of("Esc"), "the cursor on the day again", lambda: at_cursor(2) == "16")
            step(keys.bytes_of("F1"), "the cursor on the help", lambda: at_cursor(8) == "Almanouk")
            step(keys.bytes_of("Esc"), "the cursor on the day again", lambda: at_cursor(2) == "16")
            terminal.send(b"\x1bx")
            terminal.wait_exit()
            print("focus: the cursor on the button, the day, the carets, the field, the result and the help")
        finally:
            terminal.close()


def check_fallback(program, headless):
    """Plain almanouk where no display answers, started in a terminal, runs in it."""
    with tempfile.TemporaryDirectory() as work:
        run = Run(program, headless, work)
        snaps = []
        run.headless_screens([], snaps)
        terminal = Terminal([program], "xterm-256color", dict(run.env(), DISPLAY=":nowhere"), run.cwd)
        try:
            start_program(terminal)
            terminal.wait_for("the month view in the terminal", lambda: terminal.text() == snaps[0])
            terminal.send(b"\x1bx")
            status = terminal.wait_exit()
            if status != 0 or terminal.modes() != terminal.before:
                raise Failure(f"no orderly end: status {status}{terminal.stderr()}")
            print("no display: plain almanouk ran in the terminal it was started from")
        finally:
            terminal.close()


def main():
    check, program, headless = sys.argv[1], os.path.abspath(sys.argv[2]), os.path.abspath(sys.argv[3])
    try:
        if check == "screens":
            check_screens(program, headless, sys.argv[4])
        elif check == "resize":
            check_resize(program, headless)
        elif check == "suspend":
            if not shutil.which("bash"):
                print("no bash: skipped")
                return 77
            check_suspend(program, headless)
        elif check == "signals":
            check_signals(program, headless)
        elif check == "alarm":
            check_alarm(program, headless)
        elif check == "bytes":
            check_bytes(program, headless)
        elif check == "focus":
            check_focus(program, headless)
        elif check == "fallback":
            check_fallback(program, headless)
        else:
            print(__doc__)
            return 2
    except Failure as failure:
        print(f"FAILED: {failure}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
