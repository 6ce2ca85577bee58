#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 Соколов А. В.
# SPDX-License-Identifier: LicenseRef-proprietary
"""What Orca says while a user presses keys: orca.py [--pause=SECONDS] <key> ... (a pause may come
before any key). Starts Orca on the session's accessibility bus, presses each key with xdotool and
waits a second (or the last pause given before it) after it, and prints Orca's speech, one
utterance a line, key echoes included. Orca's speech goes to its debug file only (no sound card
here); the rest of Orca runs as for a user.
Exits 1 when Orca does not start or does not end."""
import os
import re
import subprocess
import sys
import tempfile
import time

# Each key with the wait after it.
keys = []
pause = 1.0
for arg in sys.argv[1:]:
    if arg.startswith("--pause="):
        pause = float(arg.split("=", 1)[1])
    else:
        keys.append((arg, pause))

with tempfile.TemporaryDirectory() as home:
    transcript = f"{home}/debug"
    orca = subprocess.Popen(["orca", "--disable", "speech", "--disable", "braille",
                             "--user-prefs", home, "--debug-file", transcript],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # Orca writes its file in blocks, whole only once it has ended; its start fills a block or
    # more and ends on the window it found.
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline and not (os.path.exists(transcript)
                                               and os.path.getsize(transcript)):
        time.sleep(0.2)
    time.sleep(2)
    for key, wait in keys:
        subprocess.run(["xdotool", "key", key], check=True)
        time.sleep(wait)
    time.sleep(2)
    # Orca's handler for SIGTERM runs only when an event wakes it: a key of its own does.
    orca.terminate()
    subprocess.run(["xdotool", "key", "shift"], check=True)
    try:
        orca.wait(10)
    except subprocess.TimeoutExpired:
        orca.kill()
        print("Orca does not end on SIGTERM", file=sys.stderr)
        sys.exit(1)
    said = re.findall(r"SPEECH OUTPUT: '(.*)' ?\{", open(transcript, encoding="utf-8").read())
    print("\n".join(said))
    sys.exit(0 if said else 1)
