#!/usr/bin/env python3
"""A sample TrelkPro add-on: a cargo page in the console.

Open it in the game from the console ("Software Addon Modules", then "Cargo Hold"). Down List
and Up List move the highlight; Down Level on a "&" line lets TrelkPro type that command into
the chat line; the pilot's chat line "//cargo" pops the page up, "//cargooff" closes it again.
The add-on ends, unregistering itself, when TrelkPro closes or on SIGTERM / SIGINT.

    sample_addon.py [--name NAME] [--store PATH]
"""

import argparse
import os
import signal
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from trelkaddon import Addon, Store  # noqa: E402

HOLD = [
    "Ore: 120 t",
    "Gas: 40 t",
    "Crystals: 3 t",
    "&/cargo",
    "&/jettison gas",
]


def page(highlight, note):
    lines = list(HOLD) + ["", note]
    return "Cargo Hold", lines, highlight


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--name", default="Cargo Hold")
    parser.add_argument("--store", default=None)
    args = parser.parse_args()

    stopping = []
    for sig in (signal.SIGTERM, signal.SIGINT):
        signal.signal(sig, lambda *_: stopping.append(True))

    store = Store(args.store)
    addon = Addon(args.name, exe=__file__, store=store)
    while not addon.trelkpro_running():
        if stopping:
            return 0
        time.sleep(0.2)
    addon.register()

    highlight, note = 4, "Down List / Up List: choose"
    shown = False
    last_input = addon.last_chat_line()
    popped = False
    while not stopping and addon.trelkpro_running():
        chat = addon.last_chat_line()
        if chat != last_input:
            last_input = chat
            if chat.strip().lower() == "//cargo" and not addon.active():
                popped = addon.pop_up()
            elif chat.strip().lower() == "//cargooff" and popped:
                addon.pop_off()
                popped = False
        if not addon.active():
            shown = False
            time.sleep(0.05)
            continue
        key = addon.read_cursor()
        if key in ("DownList", "ShiftDownList", "CntrlDownList"):
            highlight = highlight % len(HOLD) + 1
        elif key in ("UpList", "ShiftUpList", "CntrlUpList"):
            highlight = (highlight - 2) % len(HOLD) + 1
        elif key == "DownLevel":
            note = "Typed: " + HOLD[highlight - 1].lstrip("&") if HOLD[highlight - 1].startswith("&") \
                else "Not an entry"
        elif key == "UpLevel":
            # Back to the console's add-on list with the next Up Level.
            addon.release_up_level()
            note = "Up Level again to leave"
        if key or not shown:
            title, lines, mark = page(highlight, note)
            shown = addon.write_page(title, lines, highlight=mark)
        time.sleep(0.02)
    addon.unregister()
    store.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
