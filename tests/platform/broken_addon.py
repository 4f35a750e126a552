"""An add-on that breaks the exchange's rules, for the conformance check's test: it writes a
page all the time (open or not, whether the last one was read or not) and never unregisters.
"""

import sqlite3
import sys
import time

KEY = "Software\\TrelkPro\\Interface"


def put(db, name, value):
    db.execute("INSERT INTO vals(key, name, value) VALUES(?, ?, ?) ON CONFLICT(key, name) "
               "DO UPDATE SET value = excluded.value", (KEY, name, value))


def main():
    db = sqlite3.connect(sys.argv[1], isolation_level=None, timeout=5)
    put(db, "AppReg", "Careless")
    count = 0
    while True:
        count += 1
        put(db, "Title", "Careless %d" % count)
        put(db, "DataReady", "Careless")
        time.sleep(0.1)


if __name__ == "__main__":
    main()
