"""Two clients on one collection of a real server: the program and "the
phone" (plain HTTP). Each test starts from a fresh collection and a fresh
data folder."""
import datetime
import os

from synclib import Agenda, Phone, assert_same_both_sides, check, counts, event

KEPT = ["LOCATION:Kerkstraat 1\\, Utrecht", "ATTENDEE;CN=Piet:mailto:piet@example.org",
        "DESCRIPTION:Neem de verzekeringskaart mee", "BEGIN:VALARM", "ACTION:DISPLAY", "DESCRIPTION:Tandarts",
        "TRIGGER:-PT30M", "END:VALARM"]


def fresh(context, entries=None):
    url = context.server.new_collection()
    agenda = Agenda(context.program, context.workspace.folder("agenda"), entries)
    agenda.link(url)
    return agenda, Phone(url)


def first_sync_sends_and_second_sends_nothing(context):
    agenda, phone = fresh(context, {
        "December": ["24 2026 Kerstavond", "31 2026 20:00 Oudejaarsfeest"], "Dagelijks": ["07:30 Ontbijt"],
        "Wekelijks": ["Ma 09:00 Overleg"], "Maandelijks": ["01 Huur betalen"], "Maart": ["03 Verjaardag Anna"]})
    done = agenda.sync()
    check(counts(done.stdout)[:2] == (6, 0), f"first sync: {done.stdout}")
    check(len(phone.listing()) == 6, f"server holds {len(phone.listing())} events")
    check(all(href.rsplit("/", 1)[1].startswith("almanouk-") for href in phone.listing()), "hrefs")
    assert_same_both_sides(agenda, phone, {"Kerstavond", "Oudejaarsfeest", "Ontbijt", "Overleg", "Huur betalen",
                                           "Verjaardag Anna"})
    before, etags = agenda.read(), phone.listing()
    done = agenda.sync()
    check(counts(done.stdout) == (0, 0, 0, 0, 0, 0), f"second sync did something: {done.stdout}")
    check(agenda.read() == before and phone.listing() == etags, "second sync changed a side")


def phone_creates_changes_deletes_and_the_calendar_follows(context):
    agenda, phone = fresh(context)
    agenda.sync()
    href = phone.create(event("Tandarts", datetime.datetime(2027, 1, 5, 10, 0)))
    allday = phone.create(event("Koningsdag", datetime.date(2027, 4, 27)))
    done = agenda.sync()
    check(counts(done.stdout)[:2] == (0, 2), done.stdout)
    check(agenda.lines("Januari") == ["05 2027 10:00 Tandarts"], agenda.lines("Januari"))
    check(agenda.lines("April") == ["27 2027 Koningsdag"], agenda.lines("April"))

    def later(vevent):
        vevent["SUMMARY"] = "Tandarts controle"
        vevent["DTSTART"].dt = datetime.datetime(2027, 1, 7, 11, 15)
        vevent["DTEND"].dt = datetime.datetime(2027, 1, 7, 12, 0)
    phone.change(href, later)
    done = agenda.sync()
    check(counts(done.stdout)[2] == 1, done.stdout)
    check(agenda.lines("Januari") == ["07 2027 11:15 Tandarts controle"], agenda.lines("Januari"))
    phone.delete(allday)
    done = agenda.sync()
    check(counts(done.stdout)[3] == 1, done.stdout)
    check(agenda.lines("April") == [], agenda.lines("April"))
    assert_same_both_sides(agenda, phone, {"Tandarts controle"})


def local_change_patches_the_same_event_keeping_what_the_calendar_cannot_show(context):
    agenda, phone = fresh(context)
    href = phone.create(event("Tandarts", datetime.datetime(2027, 1, 5, 10, 0), extra=KEPT))
    agenda.sync()
    shown = "05 2027 10:00 Tandarts - Kerkstraat 1, Utrecht (herinnering 09:30)"
    check(agenda.lines("Januari") == [shown], agenda.lines("Januari"))
    agenda.edit("Januari", shown, "06 2027 14:30 Tandarts en mondhygienist")
    done = agenda.sync()
    check(counts(done.stdout)[:3] == (0, 0, 1), done.stdout)
    check(list(phone.listing()) == [href], f"not the same href: {list(phone.listing())}")
    text, _ = phone.get(href)
    for kept in ["LOCATION:Kerkstraat 1", "ATTENDEE;CN=Piet:mailto:piet@example.org",
                 "DESCRIPTION:Neem de verzekeringskaart mee", "BEGIN:VALARM", "TRIGGER:-PT30M"]:
        check(kept in text.replace("\r\n ", ""), f"{kept} lost:\n{text}")
    check("SUMMARY:Tandarts en mondhygienist" in text and "DTSTART:20270106T143000" in text
          and "DTEND:20270106T153000" in text, text)
    assert_same_both_sides(agenda, phone, {"Tandarts en mondhygienist"})


def both_changed_both_kept_and_told(context):
    agenda, phone = fresh(context, {"Februari": ["14 2027 Etentje"]})
    agenda.sync()
    href = next(iter(phone.listing()))
    phone.change(href, lambda v: v.__setitem__("SUMMARY", "Etentje bij Marco"))
    agenda.edit("Februari", "14 2027 Etentje", "14 2027 Etentje bij Jan")
    done = agenda.sync()
    check(counts(done.stdout)[4] == 1 and "beide bewaard" in done.stdout, done.stdout)
    check(sorted(agenda.lines("Februari")) == ["14 2027 Etentje bij Jan", "14 2027 Etentje bij Marco"],
          agenda.lines("Februari"))
    assert_same_both_sides(agenda, phone, {"Etentje bij Jan", "Etentje bij Marco"})
    done = agenda.sync()
    check(counts(done.stdout) == (0, 0, 0, 0, 0, 0), done.stdout)


def deletions_pass_both_ways_and_the_old_calendar_stays_in_versies(context):
    agenda, phone = fresh(context, {"Mei": ["05 2027 Bevrijdingsdag", "12 2027 Kapper", "20 2027 Tuinfeest"]})
    agenda.sync()
    hrefs = {text.split("SUMMARY:")[1].split("\r\n")[0]: href for href, text in phone.events().items()}
    agenda.edit("Mei", "12 2027 Kapper", None)
    done = agenda.sync()
    check(counts(done.stdout)[3] == 1, done.stdout)
    check(hrefs["Kapper"] not in phone.listing(), "deleted here, still on the server")
    versions = agenda.versions()
    before = agenda.read()
    phone.delete(hrefs["Tuinfeest"])
    done = agenda.sync()
    check(counts(done.stdout)[3] == 1 and agenda.lines("Mei") == ["05 2027 Bevrijdingsdag"],
          f"{done.stdout} {agenda.lines('Mei')}")
    new = [v for v in agenda.versions() if v not in versions]
    check(new, f"no new version in Versies: {agenda.versions()}")
    with open(os.path.join(agenda.data, "Versies", new[-1]), "rb") as f:
        check(f.read().decode("cp437") == before, "the version kept is not the calendar before the deletion")
    assert_same_both_sides(agenda, phone, {"Bevrijdingsdag"})


def deletion_only_where_unchanged(context):
    agenda, phone = fresh(context, {"Juni": ["01 2027 Een", "02 2027 Twee", "03 2027 Drie", "04 2027 Vier"]})
    agenda.sync()
    by_summary = {}
    for href, text in phone.events().items():
        by_summary[text.split("SUMMARY:")[1].split("\r\n")[0].strip()] = href
    # Deleted here, changed there: the server's version comes back.
    agenda.edit("Juni", "01 2027 Een", None)
    phone.change(by_summary["Een"], lambda v: v.__setitem__("SUMMARY", "Een gewijzigd"))
    # Deleted there, changed here: ours goes out again.
    phone.delete(by_summary["Twee"])
    agenda.edit("Juni", "02 2027 Twee", "02 2027 Twee gewijzigd")
    # Deleted there, unchanged here: gone here.
    phone.delete(by_summary["Drie"])
    # Deleted on both sides: gone.
    phone.delete(by_summary["Vier"])
    agenda.edit("Juni", "04 2027 Vier", None)
    done = agenda.sync()
    check(sorted(agenda.lines("Juni")) == ["01 2027 Een gewijzigd", "02 2027 Twee gewijzigd"],
          f"{agenda.lines('Juni')}\n{done.stdout}")
    assert_same_both_sides(agenda, phone, {"Een gewijzigd", "Twee gewijzigd"})
    done = agenda.sync()
    check(counts(done.stdout) == (0, 0, 0, 0, 0, 0), done.stdout)


def exotic_rule_stays_untouched_and_edited_lines_come_back(context):
    agenda, phone = fresh(context)
    href = phone.create(event("Zwemles", datetime.date(2027, 1, 4), rrule="FREQ=WEEKLY;INTERVAL=2;COUNT=5",
                              extra=["EXDATE;VALUE=DATE:20270201"]))
    _, etag = phone.get(href)
    agenda.sync()
    written = agenda.lines("Januari") + agenda.lines("Februari") + agenda.lines("Maart")
    check(sorted(written) == ["01 2027 Zwemles [reeks]", "04 2027 Zwemles [reeks]", "15 2027 Zwemles [reeks]",
                              "18 2027 Zwemles [reeks]"], written)
    check(phone.listing() == {href: etag}, "the series was touched on the server")
    agenda.edit("Januari", "18 2027 Zwemles [reeks]", "19 2027 Zwemles verzet")
    done = agenda.sync()
    check(counts(done.stdout)[0] == 1, done.stdout)
    check(phone.listing()[href] == etag, "the series was changed on the server")
    check(len(phone.listing()) == 2, f"{phone.listing()}")
    check(sorted(agenda.lines("Januari")) == ["04 2027 Zwemles [reeks]", "18 2027 Zwemles [reeks]",
                                              "19 2027 Zwemles verzet"], agenda.lines("Januari"))
    assert_same_both_sides(agenda, phone, {"Zwemles", "Zwemles verzet"})
    done = agenda.sync()
    check(counts(done.stdout) == (0, 0, 0, 0, 0, 0), done.stdout)


TESTS = [
    first_sync_sends_and_second_sends_nothing,
    phone_creates_changes_deletes_and_the_calendar_follows,
    local_change_patches_the_same_event_keeping_what_the_calendar_cannot_show,
    both_changed_both_kept_and_told,
    deletions_pass_both_ways_and_the_old_calendar_stays_in_versies,
    deletion_only_where_unchanged,
    exotic_rule_stays_untouched_and_edited_lines_come_back,
]
