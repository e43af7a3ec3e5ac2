#!/usr/bin/env python3
"""plistlib's side of the property-list conformance tests.

  plist_oracle.py dump FILE                      print the canonical text of the property list in FILE
  plist_oracle.py write varied|large binary|xml OUT
                                                 write a sample with plistlib, print the canonical text
                                                 of what plistlib reads back from OUT (plistlib shares
                                                 equal floats, so -0.0 may come back as 0.0)

The canonical text is the one PlistTest::dump() prints on the C++ side: type-tagged scalars, strings as
json.dumps() writes them, dates in microseconds since 2001-01-01, dictionary entries sorted by key.
"""

import datetime
import json
import math
import plistlib
import sys

# Deep nesting (512 levels) takes more frames than the default limit allows.
sys.setrecursionlimit(10000)

EPOCH = datetime.datetime(2001, 1, 1)


def dump(value):
    if value is None:
        return "null"
    if isinstance(value, bool):
        return "true" if value else "false"
    if isinstance(value, int):
        return "int:%d" % value
    if isinstance(value, float):
        return "real:" + repr(value)
    if isinstance(value, str):
        return "str:" + json.dumps(value)
    if isinstance(value, (bytes, bytearray)):
        return "data:" + bytes(value).hex()
    if isinstance(value, datetime.datetime):
        return "date:%d" % ((value - EPOCH) // datetime.timedelta(microseconds=1))
    if isinstance(value, list):
        return "[" + ",".join(dump(item) for item in value) + "]"
    if isinstance(value, dict):
        items = sorted((json.dumps(key), dump(item)) for key, item in value.items())
        return "{" + ",".join(key + ":" + text for key, text in items) + "}"
    raise TypeError("unexpected %r" % type(value))


def varied():
    nested = {"level": 1}
    for level in range(2, 7):
        nested = {"level": level, "children": [nested, "leaf"]}
    return {
        "ascii": "Hello, World",
        "empty string": "",
        "long ascii": "A string long enough to need a count object",
        "accents": "Grüße, café \u25b8 naïve",
        "non-BMP": "\U0001F600 clef \U0001D11E",
        "markup": "<tag attr=\"v\"> & 'quoted' ]]> \ttab\nline",
        "Grüße \u25b8 key": True,
        "false": False,
        "integers": [0, 1, 255, 256, 65535, 65536, 2**32 - 1, 2**32, 2**63 - 1, -1, -2**63, 2**63, 2**64 - 1],
        "reals": [0.0, -0.0, 1.5, 0.1, 1e-300, 5e-324, 1.7976931348623157e308, 1e16, 1e15, 123456.789,
                  -2.5e-7, 0.0001, math.inf, -math.inf, math.nan],
        "dates": [datetime.datetime(2001, 1, 1), datetime.datetime(1970, 1, 1),
                  datetime.datetime(2024, 2, 29, 12, 34, 56), datetime.datetime(1900, 1, 1),
                  datetime.datetime(2000, 12, 31, 23, 59, 59)],
        "data": [b"", b"\x00\x01\x02", bytes((i * 7) % 256 for i in range(200))],
        "nested": nested,
        "empty array": [],
        "empty dict": {},
        "event log": [1.7e9 + 0.25, -(1.7e9 + 60.5), 1.7e9 + 3600, -(1.7e9 + 7200.125)],
        "mixed": [1, 2.5, "x", True],
        "integer array": [1, 2, 3],
        "repeated": ["same text"] * 3,
    }


def large():
    return {
        "integers": list(range(70000)),
        "log": [(1.0 if i % 2 == 0 else -1.0) * (1.6e9 + i * 37.5) for i in range(20000)],
        "strings": ["window title %d \u00e9" % i for i in range(300)],
        "data": bytes(i % 251 for i in range(70000)),
    }


def main(argv):
    if len(argv) == 3 and argv[1] == "dump":
        with open(argv[2], "rb") as f:
            print(dump(plistlib.load(f)))
        return 0
    if len(argv) == 5 and argv[1] == "write" and argv[2] in ("varied", "large") and argv[3] in ("binary", "xml"):
        value = varied() if argv[2] == "varied" else large()
        fmt = plistlib.FMT_BINARY if argv[3] == "binary" else plistlib.FMT_XML
        with open(argv[4], "wb") as f:
            plistlib.dump(value, f, fmt=fmt, sort_keys=False)
        with open(argv[4], "rb") as f:
            print(dump(plistlib.load(f)))
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
