#!/usr/bin/python3
"""Decodes every PDU that pdu_cases wrote with gammu, an independent SMS
decoder, and compares number, text, coding, validity, the service centre and
the concatenation header with what the line expects. Also checks the octet
layout itself, the status-report request among it.
Exits 1 at the first mismatch, 2 when it cannot run.

Must run under the system's Python (/usr/bin/python3), where Debian's
python3-gammu is installed."""
import sys

try:
    import gammu
except ImportError:
    print("gammu_check: module gammu missing: install python3-gammu and run "
          "with /usr/bin/python3", file=sys.stderr)
    sys.exit(2)

CODING = {"7bit": "Default_No_Compression",
          "ucs2": "Unicode_No_Compression",
          "part": "Unicode_No_Compression"}
FIRST_OCTET = {"7bit": 0x11, "ucs2": 0x11, "part": 0x51}
UDL_AFTER_CENTRE = 13  # first octet, MR, DA length, type, 6 digit octets, PID, DCS, VP
STATUS_REPORT_REQUEST = 0x20


class Mismatch(Exception):
    pass


def expect(field, expected, actual):
    if expected != actual:
        raise Mismatch("%s: expected %r, gammu/PDU gives %r" % (field, expected, actual))


def check_layout(kind, octets, reference, part, total, report):
    first = 1 + octets[0]  # after the service-centre field
    expected_first = FIRST_OCTET[kind] | (STATUS_REPORT_REQUEST if report else 0)
    expect("first octet", expected_first, octets[first])
    udl = octets[first + UDL_AFTER_CENTRE]
    data = octets[first + UDL_AFTER_CENTRE + 1:]
    if kind == "7bit":
        expect("user data octets for TP-UDL %d septets" % udl, (7 * udl + 7) // 8, len(data))
    else:
        expect("user data octets (TP-UDL)", udl, len(data))
    if kind == "part":
        expect("user data header", bytes([5, 0, 3, reference, total, part]), bytes(data[:6]))


# Characters of the default alphabet's extension table (TS 23.038 6.2.1.1):
# each is sent as the escape septet and one more.
GSM_EXTENSION = "\f^{}\\[~]|\u20ac"


def check_text(kind, expected, sms):
    text = sms["Text"]
    if kind == "7bit":
        # gammu gives as many characters as TP-UDL counts septets, so after
        # each escape sequence one character of stale buffer content follows
        # the real text: compare the septet count, then the text before them.
        septets = len(expected) + sum(c in GSM_EXTENSION for c in expected)
        expect("septets", septets, len(text))
        text = text[:len(expected)]
    expect("text", expected, text)


def check_line(line):
    kind, number, text_hex, pdu_hex, reference, part, total, report, centre = line.split()
    reference, part, total, report = int(reference), int(part), int(total), int(report)
    text = b"" if text_hex == "-" else bytes.fromhex(text_hex)
    octets = bytes.fromhex(pdu_hex)
    check_layout(kind, octets, reference, part, total, report)
    sms = gammu.DecodePDU(octets, SMSC=True)
    expect("type", "Submit", sms["Type"])
    expect("service centre", "" if centre == "-" else centre, sms["SMSC"]["Number"])
    expect("number", number, sms["Number"])
    expect("coding", CODING[kind], sms["Coding"])
    expect("validity", "4D", sms["SMSC"]["Validity"])
    check_text(kind, text.decode("cp1251"), sms)
    udh = sms["UDH"]
    if kind == "part":
        expect("UDH type", "ConcatenatedMessages", udh["Type"])
        expect("concatenation reference", reference, udh["ID8bit"])
        expect("part number", part, udh["PartNumber"])
        expect("total parts", total, udh["AllParts"])
    else:
        expect("UDH type", "NoUDH", udh["Type"])


def main():
    if len(sys.argv) != 2:
        print("usage: gammu_check.py <cases file>", file=sys.stderr)
        return 2
    counts = {}
    with open(sys.argv[1], encoding="ascii") as cases:
        for number, line in enumerate(cases, 1):
            try:
                check_line(line)
            except (Mismatch, gammu.GSMError, ValueError) as error:
                print("gammu_check: line %d: %s\n  %s" % (number, error, line.strip()),
                      file=sys.stderr)
                return 1
            kind = line.split()[0]
            counts[kind] = counts.get(kind, 0) + 1
    if not counts:
        print("gammu_check: no cases in %s" % sys.argv[1], file=sys.stderr)
        return 1
    print("gammu_check: %d PDUs decoded as expected (%s)" % (
        sum(counts.values()), ", ".join("%s %d" % kv for kv in sorted(counts.items()))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
