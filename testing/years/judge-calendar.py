#!/usr/bin/python3
"""Judges a calendar database by a year's records as the program prints them (--print-year):
every day of that year once with the record's colour and note (apostrophes single, as stored)
and no DateNotes, and each name of a named day as one plain all-day event linked to its date,
with each day's EventCount its number of links. Prints what differs; exits 1 when anything does.

usage: judge-calendar.py CALENDAR RECORDS"""
import sqlite3
import sys


def key(date):
    month, day, year = (int(part) for part in date.split("/"))
    return f"{year:04d}-{month:02d}-{day:02d}"


def judge(calendar, records):
    want_days, want_links = {}, set()
    for record in records:
        date, colour, names, notes = record.split("|")
        want_days[key(date)] = (colour, notes.replace("''", "'"), "")
        want_links |= {(key(date), name) for name in names.split("^") if name}
    year = next(iter(want_days))[:4]
    db = sqlite3.connect(f"file:{calendar}?mode=ro", uri=True)
    rows = db.execute("SELECT DateKey, DateColor, DateText, DateNotes FROM Dates "
                      "WHERE DateKey LIKE ? ORDER BY DateKey", (year + "-%",)).fetchall()
    problems = []
    got_days = {}
    for day, *fields in rows:
        if day in got_days:
            problems.append(f"{day} is in Dates twice")
        got_days[day] = tuple(fields)
    for day in sorted(set(want_days) | set(got_days)):
        if want_days.get(day) != got_days.get(day):
            problems.append(f"{day}: expected {want_days.get(day)!s:.100}, found {got_days.get(day)!s:.100}")
    links = db.execute("SELECT l.EventDate, e.EventName, e.AllDayEvent, e.StartTime, e.EndTime, "
                       "e.EventColor, e.EventIcon, e.Notes, e.Recurring FROM EventDates l "
                       "JOIN Events e ON e.EventID = l.EventId WHERE l.EventDate LIKE ?",
                       (year + "-%",)).fetchall()
    got_links = [(day, name) for day, name, *_ in links]
    if sorted(got_links) != sorted(want_links):
        problems.append(f"links: missing {sorted(want_links - set(got_links))[:5]}, "
                        f"unexpected {sorted(set(got_links) - want_links)[:5]}, "
                        f"{len(got_links) - len(set(got_links))} twice")
    plain = (1, "0:00 AM", "11:59 PM", "", "", "", 0)
    problems += [f"{day} {name}: not a plain all-day event" for day, name, *event in links
                 if tuple(event) != plain]
    counts = db.execute("SELECT DateKey FROM Dates d WHERE DateKey LIKE ? AND EventCount <> "
                        "(SELECT COUNT(*) FROM EventDates l WHERE l.EventDate = d.DateKey)",
                        (year + "-%",)).fetchall()
    problems += [f"{day}: EventCount is not its number of links" for (day,) in counts]
    return problems


if __name__ == "__main__":
    with open(sys.argv[2], encoding="utf-8") as lines:
        found = judge(sys.argv[1], lines.read().splitlines())
    for problem in found[:20]:
        print("  " + problem)
    sys.exit(1 if found else 0)
