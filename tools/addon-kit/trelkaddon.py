"""A small client for TrelkPro add-ons: the exchange through the per-user store, with the
Python standard library only.

    from trelkaddon import Addon

    addon = Addon("Miner", exe=__file__)
    addon.register()
    while addon.trelkpro_running():
        if addon.wait_for_page(timeout=0.5):
            addon.write_page("Miner", ["Rocks", "&/cargo"], highlight=2)
            key = addon.read_cursor()
    addon.unregister()

docs/addons.md describes the store, its values and the rules this client keeps for you:
names compare without case, every value is a string, and a request value is written only
once it is empty again (checked and written in one transaction, so two add-ons never
overwrite each other's request).
"""

import os
import sqlite3
import time

INTERFACE_KEY = "Software\\TrelkPro\\Interface"
PAGE_LINES = 15
CURSOR_VALUES = (
    "UpLevel", "CntrlUpLevel", "DownLevel", "CntrlDownLevel",
    "UpList", "CntrlUpList", "ShiftUpList", "DownList", "CntrlDownList", "ShiftDownList",
)


def default_store_path():
    """Where TrelkPro keeps the store: $TRELK_REGISTRY, else the user's config folder."""
    path = os.environ.get("TRELK_REGISTRY")
    if path:
        return path
    config = os.environ.get("XDG_CONFIG_HOME")
    if not config or not os.path.isabs(config):
        config = os.path.join(os.path.expanduser("~"), ".config")
    return os.path.join(config, "TrelkPro", "registry.db")


class StoreError(Exception):
    """The store could not be read or written."""


class Store:
    """The interface key of the per-user store.

    Every call is one short transaction; the connection never holds a lock between calls
    (autocommit), so TrelkPro and other add-ons are never kept waiting.
    """

    def __init__(self, path=None, busy_timeout=5.0):
        self.path = path or default_store_path()
        if not os.path.exists(self.path):
            raise StoreError("no store at %s: is TrelkPro installed and started once?" % self.path)
        self._db = sqlite3.connect(self.path, timeout=busy_timeout, isolation_level=None)
        # WAL is the store's journal already; NORMAL is safe with it and spares a disk flush
        # per write.
        self._db.execute("PRAGMA synchronous = NORMAL")

    def close(self):
        self._db.close()

    def get(self, name):
        """The text of a value; a missing value is the empty text."""
        row = self._db.execute(
            "SELECT value FROM vals WHERE key = ? AND name = ?", (INTERFACE_KEY, name)).fetchone()
        return _text(row[0]) if row else ""

    def values(self):
        """Every value of the interface key at one moment, by lower-case name."""
        rows = self._db.execute("SELECT name, value FROM vals WHERE key = ?", (INTERFACE_KEY,))
        return {name.lower(): _text(value) for name, value in rows}

    def set(self, name, value):
        self.write({name: value})

    def write(self, values, only_if_empty=None):
        """Writes several values in one transaction. With only_if_empty, nothing is written
        unless that value is empty at this moment; returns whether the values were written."""
        try:
            self._db.execute("BEGIN IMMEDIATE")
            if only_if_empty is not None and self.get(only_if_empty) != "":
                self._db.execute("ROLLBACK")
                return False
            self._ensure_key()
            for name, value in values.items():
                self._db.execute(
                    "INSERT INTO vals(key, name, value) VALUES(?, ?, ?) "
                    "ON CONFLICT(key, name) DO UPDATE SET value = excluded.value",
                    (INTERFACE_KEY, name, _blob(value)))
            self._db.execute("COMMIT")
            return True
        except sqlite3.Error as error:
            if self._db.in_transaction:
                self._db.execute("ROLLBACK")
            raise StoreError("%s: %s" % (self.path, error)) from error

    def take(self, name):
        """Reads a value and empties it in one transaction; returns what it held."""
        try:
            self._db.execute("BEGIN IMMEDIATE")
            value = self.get(name)
            if value:
                self._db.execute("UPDATE vals SET value = ? WHERE key = ? AND name = ?",
                                 (b"", INTERFACE_KEY, name))
            self._db.execute("COMMIT")
            return value
        except sqlite3.Error as error:
            if self._db.in_transaction:
                self._db.execute("ROLLBACK")
            raise StoreError("%s: %s" % (self.path, error)) from error

    def request(self, name, value, timeout=5.0, values=None, retry=0.005):
        """Writes a request value once it is empty again (TrelkPro empties it when handled),
        with other values in the same transaction, looking again every retry s. False when it
        stayed full for timeout s."""
        together = dict(values or {})
        together[name] = value
        deadline = time.monotonic() + timeout
        while not self.write(together, only_if_empty=name):
            if time.monotonic() > deadline:
                return False
            time.sleep(retry)
        return True

    def _ensure_key(self):
        parts = INTERFACE_KEY.split("\\")
        for end in range(1, len(parts) + 1):
            self._db.execute("INSERT OR IGNORE INTO keys(path) VALUES(?)",
                             ("\\".join(parts[:end]),))


class Addon:
    """One add-on: its name (also its window caption, when it has a window) and program."""

    def __init__(self, name, exe="", store=None):
        if "," in name:
            raise ValueError("an add-on name cannot contain a comma")
        self.name = name
        self.exe = os.path.abspath(exe) if exe else ""
        self.store = store or Store()

    def trelkpro_running(self):
        return self.store.get("TrelkProStartUp") == "1"

    def register(self, timeout=5.0):
        """Asks TrelkPro to list the add-on; True once it is in "AddOnRegList"."""
        if not self.store.request("AppReg", self.name, timeout, {"AppExe": self.exe}):
            return False
        return self._wait(lambda: self.name in self.registered(), timeout)

    def unregister(self, timeout=5.0):
        """Asks TrelkPro to drop the add-on (do this before the program ends)."""
        return self.store.request("AppUnReg", self.name, timeout)

    def registered(self):
        return [n for n in self.store.get("AddOnRegList").split(",") if n]

    def active(self):
        """The pilot has the add-on's page open (or it popped up)."""
        return self.store.get("ActiveAddon") == self.name

    def wait_for_page(self, timeout=None):
        """Waits until the add-on's page is open; True when it is."""
        return self._wait(self.active, timeout)

    def write_page(self, title, lines, highlight=0, timeout=5.0):
        """Writes a page: a title, up to fifteen lines (a line beginning with "&" is an entry
        the pilot can type into the chat with Down Level) and the highlighted line (1..15, 0
        for none). Waits until the previous page was drawn; writes only while the page is
        open. Returns whether the page was handed over."""
        if len(lines) > PAGE_LINES:
            raise ValueError("a page has at most %d lines" % PAGE_LINES)
        if not 0 <= highlight <= PAGE_LINES:
            raise ValueError("the highlight is a line number 1..15, or 0")
        values = {"Title": title, "ListHighLight": str(highlight)}
        for n in range(1, PAGE_LINES + 1):
            values["Line%d" % n] = lines[n - 1] if n <= len(lines) else ""
        deadline = time.monotonic() + timeout
        while self.active():
            if self.store.write(dict(values, DataReady=self.name), only_if_empty="DataReady"):
                return True
            if time.monotonic() > deadline:
                return False
            time.sleep(0.005)
        return False

    def read_cursor(self):
        """The navigation key pressed on the page since the last call, or None."""
        key = self.store.take("Cursor")
        return key if key in CURSOR_VALUES else None

    def release_up_level(self):
        """Lets Up Level navigate the console again (until the pilot's next Down Level)."""
        return self.store.request("AddOnRelease", self.name)

    def pop_up(self):
        """Opens the console on the add-on's page now."""
        return self.store.request("RequestPopUp", self.name)

    def pop_off(self):
        """Closes the page popped up and returns the console to where it was."""
        return self.store.request("RequestPopOff", self.name)

    def wide_console(self, on):
        return self.store.request("RequestWide", "ON" if on else "OFF")

    def last_chat_line(self):
        """The last line the pilot sent in the game (printable ASCII)."""
        return self.store.get("Input")

    def _wait(self, condition, timeout):
        deadline = None if timeout is None else time.monotonic() + timeout
        while not condition():
            if deadline is not None and time.monotonic() > deadline:
                return False
            time.sleep(0.02)
        return True


def _text(value):
    if isinstance(value, bytes):
        try:
            return value.decode("utf-8")
        except UnicodeDecodeError:
            return value.decode("cp1252", errors="replace")
    return "" if value is None else str(value)


def _blob(value):
    return value.encode("utf-8") if isinstance(value, str) else bytes(value)
