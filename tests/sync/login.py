"""Linking to a server that asks for a login: the user name and password
typed at the terminal (in a pseudo-terminal here), or a command that prints
the password; never a password in a file; without a terminal or a login the
link says what to give; a wrong password is told with the server's status."""
import os
import pty
import select
import subprocess
import time

import requests

from synclib import Agenda, Server, check, counts

NAME, PASSWORD = "anna", "geheim-wachtwoord"
NO_LOGIN = {"ALMANOUK_SYNC_USER": "", "ALMANOUK_SYNC_PASSWORD": ""}


def guarded_server(context):
    """A Radicale that lets in only anna with her password, and her calendar on it."""
    folder = context.workspace.folder("login")
    users = os.path.join(folder, "users")
    with open(users, "w") as f:
        f.write(f"{NAME}:{PASSWORD}\n")
    server = Server("radicale", folder, extra=["--auth-type", "htpasswd", "--auth-htpasswd-filename", users,
                                               "--auth-htpasswd-encryption", "plain"])
    context.__dict__.setdefault("servers", []).append(server)
    url = f"{server.origin}/{NAME}/thuis/"
    answer = requests.request("MKCALENDAR", url, auth=(NAME, PASSWORD), timeout=30)
    check(answer.status_code == 201, f"MKCALENDAR: {answer.status_code}")
    return server, url


def link_at_a_terminal(agenda, url, answers):
    """--sync-koppel with a pseudo-terminal as its input: each answer is typed
    as soon as the prompt it answers has come."""
    leader, follower = pty.openpty()
    process = subprocess.Popen(agenda.command("--sync-koppel", url, "ALMANOUK.AMN"), env=agenda.env(**NO_LOGIN),
                               cwd=agenda.home, stdin=follower, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    os.close(follower)
    said = b""
    deadline = time.monotonic() + 60
    for prompt, answer in answers:
        while prompt.encode() not in said:
            check(time.monotonic() < deadline, f"no prompt {prompt!r}; said {said!r}")
            ready, _, _ = select.select([process.stderr], [], [], deadline - time.monotonic())
            chunk = os.read(process.stderr.fileno(), 4096) if ready else b""
            check(chunk or process.poll() is None, f"ended before {prompt!r}; said {said!r}")
            said += chunk
        os.write(leader, (answer + "\n").encode())
    out, err = process.communicate(timeout=60)
    os.close(leader)
    return process.returncode, out.decode(), (said + err).decode()


def a_typed_password_is_used_and_not_kept(context):
    server, url = guarded_server(context)
    agenda = Agenda(context.program, context.workspace.folder("typed"), {"Mei": ["05 2027 Bevrijdingsdag"]})
    status, out, err = link_at_a_terminal(agenda, url, [("Gebruikersnaam: ", NAME), ("Wachtwoord", PASSWORD)])
    check(status == 0, f"link: {status} {out} {err}")
    check(PASSWORD not in err, "the password was shown as it was typed")
    check("niet bewaard" in out or "sleutelbos van het bureaublad" in out, f"not told where the password went: {out}")
    state = open(os.path.join(agenda.data, "ALMANOUK.SYN"), encoding="utf-8", errors="replace").read()
    check(PASSWORD not in state and f"gebruiker\t{NAME}" in state, f"the link: {state}")
    if "niet bewaard" in out:
        done = agenda.run("--sync", **NO_LOGIN)
        check(done.returncode == 1 and "ALMANOUK_SYNC_PASSWORD" in done.stderr, f"{done.returncode} {done.stderr}")
    done = agenda.sync(ALMANOUK_SYNC_USER=NAME, ALMANOUK_SYNC_PASSWORD=PASSWORD)
    check(counts(done.stdout)[0] == 1, f"not sent: {done.stdout}")


def a_password_command_is_kept_instead_of_the_password(context):
    server, url = guarded_server(context)
    agenda = Agenda(context.program, context.workspace.folder("command"), {"Mei": ["05 2027 Bevrijdingsdag"]})
    status, out, err = link_at_a_terminal(agenda, url, [("Gebruikersnaam: ", NAME),
                                                        ("Wachtwoord", f"!printf '%s\\n' {PASSWORD}")])
    check(status == 0, f"link: {status} {out} {err}")
    state = open(os.path.join(agenda.data, "ALMANOUK.SYN"), encoding="utf-8", errors="replace").read()
    check("wachtwoordopdracht\tprintf" in state, f"no password command in the link: {state}")
    done = agenda.sync(**NO_LOGIN)
    check(counts(done.stdout)[0] == 1, f"not sent: {done.stdout}")


def without_a_terminal_or_a_login_the_link_says_what_to_give(context):
    server, url = guarded_server(context)
    agenda = Agenda(context.program, context.workspace.folder("script"))
    done = agenda.run("--sync-koppel", url, "ALMANOUK.AMN", **NO_LOGIN)
    check(done.returncode == 1 and "ALMANOUK_SYNC_USER" in done.stderr, f"{done.returncode} {done.stderr}")
    check(not os.path.exists(os.path.join(agenda.data, "ALMANOUK.SYN")), "linked without a login")


def a_wrong_password_is_told_with_the_servers_status(context):
    server, url = guarded_server(context)
    agenda = Agenda(context.program, context.workspace.folder("wrong"))
    done = agenda.run("--sync-koppel", url, "ALMANOUK.AMN", ALMANOUK_SYNC_USER=NAME, ALMANOUK_SYNC_PASSWORD="fout")
    check(done.returncode == 1 and "aanmelding geweigerd" in done.stderr and "401" in done.stderr,
          f"{done.returncode} {done.stderr}")


LOGIN = [a_typed_password_is_used_and_not_kept, a_password_command_is_kept_instead_of_the_password,
         without_a_terminal_or_a_login_the_link_says_what_to_give, a_wrong_password_is_told_with_the_servers_status]
