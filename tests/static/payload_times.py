#!/usr/bin/env python3
"""The payload builder on files dated before 1980, west of UTC: it must build, with each such
entry at the first moment a ZIP time can name."""
import os
import subprocess
import sys
import tempfile
import zipfile

script = os.path.join(os.path.dirname(__file__), "..", "..", "installer", "make_payload.py")
with tempfile.TemporaryDirectory() as work:
    sources = []
    for i in range(8):
        path = os.path.join(work, "f%d" % i)
        with open(path, "w") as f:
            f.write("x")
        os.utime(path, (0, 0))  # 1 January 1970
        sources.append(path)
    out = os.path.join(work, "payload.zip")
    env = dict(os.environ, TZ="America/New_York")
    subprocess.run([sys.executable, script, out] + sources, env=env, check=True)
    stamps = {i.filename: i.date_time for i in zipfile.ZipFile(out).infolist() if not i.filename.endswith("/")}
    assert len(stamps) == 8 and set(stamps.values()) == {(1980, 1, 1, 0, 0, 0)}, stamps
print("payload times: ok")
