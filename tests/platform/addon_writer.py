"""An add-on process for the store tests: registers and unregisters PAIRS names of its own,
one request at a time as the add-on kit writes requests, and fails on any store error.

    addon_writer.py KIT_DIR STORE PREFIX PAIRS
"""

import sys

sys.path.insert(0, sys.argv[1])

from trelkaddon import Store, StoreError  # noqa: E402


def main():
    store = Store(sys.argv[2])
    prefix, pairs = sys.argv[3], int(sys.argv[4])
    try:
        for i in range(pairs):
            name = "%s%05d" % (prefix, i)
            for value in ("AppReg", "AppUnReg"):
                if not store.request(value, name, timeout=60, retry=0.0002):
                    print("%s stayed full for 60 s" % value, file=sys.stderr)
                    return 1
    except StoreError as error:
        print(error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
