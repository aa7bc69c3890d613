#!/usr/bin/python3
"""Reads a vCard file with python3-vobject and prints its cards as JSON, for the tests.

    read_vcards.py FILE

Prints one JSON array, a card per object, in the file's order:
    {"version", "fn", "n": [family, given, additional, prefix, suffix],
     "tel": [[[types...], value], ...], "email": [...], "adr": [[[types...], [7 parts]], ...],
     "url": [values], "bday": text or null, "categories": [names] or null, "uid": text or null}
Types are upper-cased as the parameters give them. A file vobject cannot read (or a card that
fails its validation) exits with status 1 and the reason on standard error.
"""
import json
import sys

import vobject


def types_of(line):
    return [value.upper() for value in line.params.get("TYPE", [])]


def card_of(component):
    card = {"version": None, "fn": None, "n": None, "tel": [], "email": [], "adr": [],
            "url": [], "bday": None, "categories": None, "uid": None}
    for line in component.getChildren():
        name = line.name.upper()
        if name == "VERSION":
            card["version"] = line.value
        elif name == "FN":
            card["fn"] = line.value
        elif name == "N":
            value = line.value
            card["n"] = [value.family, value.given, value.additional, value.prefix,
                         value.suffix]
        elif name == "TEL":
            card["tel"].append([types_of(line), line.value])
        elif name == "EMAIL":
            card["email"].append([types_of(line), line.value])
        elif name == "ADR":
            value = line.value
            card["adr"].append([types_of(line), [value.box, value.extended, value.street,
                                                  value.city, value.region, value.code,
                                                  value.country]])
        elif name == "URL":
            card["url"].append(line.value)
        elif name == "BDAY":
            card["bday"] = line.value
        elif name == "CATEGORIES":
            card["categories"] = line.value
        elif name == "UID":
            card["uid"] = line.value
        else:
            raise ValueError("a property the export does not write: " + line.name)
    return card


def main():
    if len(sys.argv) != 2:
        print("usage: read_vcards.py FILE", file=sys.stderr)
        return 2
    with open(sys.argv[1], encoding="utf-8", newline="") as file:
        text = file.read()
    try:
        cards = [card_of(component)
                 for component in vobject.readComponents(text, validate=True)]
    except Exception as error:  # every failure of the parser is a finding
        print("vobject: %s: %s" % (type(error).__name__, error), file=sys.stderr)
        return 1
    json.dump(cards, sys.stdout, ensure_ascii=False)
    return 0


if __name__ == "__main__":
    sys.exit(main())
