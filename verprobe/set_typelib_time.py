#!/usr/bin/env python3
"""Sets the creation time that widl writes into a type library, as text and as a number, to a
fixed one, so that the same sources build the same library.

set_typelib_time.py TLB EPOCH   (widl run with TZ=UTC)
"""
import calendar
import re
import struct
import sys
import time

tlb, epoch = sys.argv[1], int(sys.argv[2])
with open(tlb, "rb") as f:
    data = f.read()
# "Created by WIDL version x at <asctime>", and the same moment as a 32-bit number.
text = re.search(rb"Created by WIDL version [^\n\0]* at (\w{3} \w{3} [ \d]\d \d\d:\d\d:\d\d \d{4})", data)
if not text:
    sys.exit(f"{tlb}: no creation text")
created = calendar.timegm(time.strptime(text.group(1).decode(), "%a %b %d %H:%M:%S %Y"))
stamps = [m.start() for m in re.finditer(re.escape(struct.pack("<I", created)), data)]
if len(stamps) != 1:
    sys.exit(f"{tlb}: {len(stamps)} creation stamps")
fixed = time.asctime(time.gmtime(epoch)).encode()
data = data[:text.start(1)] + fixed + data[text.end(1):]
data = data[:stamps[0]] + struct.pack("<I", epoch) + data[stamps[0] + 4:]
with open(tlb, "wb") as f:
    f.write(data)
