#!/usr/bin/python3
"""Decodes every report and incoming message that sim_pdu_cases wrote (the
forms the simulator hands over) with gammu, an independent SMS decoder, and
compares its fields with those our decoder read: service centre, reference,
recipient, status and times of a report; sender, coding, text, times and the
concatenation header of a message. Exits 1 at the first mismatch, 2 when it
cannot run.

Must run under the system's Python (/usr/bin/python3), where Debian's
python3-gammu is installed."""
import sys

try:
    import gammu
except ImportError:
    print("sim_gammu_check: module gammu missing: install python3-gammu and run "
          "with /usr/bin/python3", file=sys.stderr)
    sys.exit(2)

CODING = {"7bit": "Default_No_Compression", "ucs2": "Unicode_No_Compression"}


class Mismatch(Exception):
    pass


def expect(field, ours, gammus):
    if ours != gammus:
        raise Mismatch("%s: our decoder gives %r, gammu %r" % (field, ours, gammus))


def expect_time(field, ours, gammus):
    # gammu gives the local time without its zone.
    expect(field, ours[:19], str(gammus))


def check_report(fields, sms):
    centre, reference, recipient, status, scts, dt = fields
    expect("type", "Status_Report", sms["Type"])
    expect("service centre", centre, sms["SMSC"]["Number"])
    expect("reference", int(reference), sms["MessageReference"])
    expect("recipient", recipient, sms["Number"])
    expect("status", int(status), sms["DeliveryStatus"])
    expect_time("service-centre time", scts, sms["DateTime"])
    expect_time("discharge time", dt, sms["SMSCDateTime"])


def check_text(coding, ours, gammus):
    if coding == "7bit":
        # gammu gives about as many characters as TP-UDL counts septets: after
        # an escape sequence stale characters follow the text.
        if len(gammus) < len(ours):
            raise Mismatch("gammu gives %d characters of %d" % (len(gammus), len(ours)))
        gammus = gammus[:len(ours)]
    elif "~" in ours:
        # gammu doubles each "~" of a UCS2 text and keeps about its length,
        # so as many characters fall away at the end (one more after a
        # character beyond the BMP).
        if len(gammus) < len(ours) - ours.count("~") - 1:
            raise Mismatch("gammu gives %d characters of %d" % (len(gammus), len(ours)))
        expect("text with gammu's doubled tildes", ours.replace("~", "~~")[:len(gammus)], gammus)
        return
    expect("text", ours, gammus)


def check_message(fields, sms):
    centre, sender, coding, reference, part, parts, scts, text_hex = fields
    text = "" if text_hex == "-" else bytes.fromhex(text_hex).decode("utf-8")
    expect("type", "Deliver", sms["Type"])
    expect("service centre", centre, sms["SMSC"]["Number"])
    expect("sender", sender, sms["Number"])
    expect("coding", CODING[coding], sms["Coding"])
    expect_time("service-centre time", scts, sms["DateTime"])
    udh = sms["UDH"]
    if int(parts) == 0:
        expect("UDH type", "NoUDH", udh["Type"])
        gammu_text = sms["Text"]
    else:
        expect("UDH type", "ConcatenatedMessages", udh["Type"])
        expect("concatenation reference", int(reference), udh["ID8bit"])
        expect("part number", int(part), udh["PartNumber"])
        expect("total parts", int(parts), udh["AllParts"])
        gammu_text = sms["Text"]
    check_text(coding, text, gammu_text)


def check_line(line):
    fields = line.rstrip("\n").split("\t")
    kind, pdu_hex = fields[0], fields[1]
    sms = gammu.DecodePDU(bytes.fromhex(pdu_hex), SMSC=True)
    if kind == "report":
        check_report(fields[2:], sms)
    else:
        check_message(fields[2:], sms)
    return kind


def main():
    if len(sys.argv) != 2:
        print("usage: sim_gammu_check.py <cases file>", file=sys.stderr)
        return 2
    counts = {}
    with open(sys.argv[1], encoding="ascii") as cases:
        for number, line in enumerate(cases, 1):
            try:
                kind = check_line(line)
            except (Mismatch, gammu.GSMError, ValueError, IndexError) as error:
                print("sim_gammu_check: line %d: %s\n  %s" % (number, error, line.strip()),
                      file=sys.stderr)
                return 1
            counts[kind] = counts.get(kind, 0) + 1
    if not counts:
        print("sim_gammu_check: no cases in %s" % sys.argv[1], file=sys.stderr)
        return 1
    print("sim_gammu_check: %d PDUs decoded alike (%s)" % (
        sum(counts.values()), ", ".join("%s %d" % kv for kv in sorted(counts.items()))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
