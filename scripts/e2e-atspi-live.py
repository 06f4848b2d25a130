# A screen reader's view of the live panel over the AT-SPI bus, the run started and one volume
# typed by the caller: the pH is heard by name, at most about once a second as it changes, and
# the reading kept is said.
import time

import pyatspi
from gi.repository import GLib


def find(node, test):  # depth first; a widget gone while walked is passed over
    try:
        if test(node):
            return node
        for i in range(node.childCount):
            found = find(node.getChildAtIndex(i), test)
            if found:
                return found
    except Exception:
        return None
    return None


def named(prefix):
    return lambda node: (node.name or "").startswith(prefix)


app = None
for _ in range(100):
    app = next((a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "Acidora"), None)
    if app and find(app, named("Kept: 0 mL, pH ")):
        break
    time.sleep(0.1)
assert app and find(app, named("Kept: 0 mL, pH ")), "the reading kept is said"
assert find(app, named("Readings kept")).childCount == 1, "the list of readings kept"

heard = []
pyatspi.Registry.registerEventListener(
    lambda e: heard.append(e.source.name) if (e.source.name or "").startswith("Live pH") else None,
    "object:property-change:accessible-name")
GLib.timeout_add(4000, pyatspi.Registry.stop)
pyatspi.Registry.start()
assert heard and all(h.startswith("Live pH ") and h.endswith(("Settled", "Settling…"))
                     for h in heard), heard
# Eight readings came meanwhile: a few said, and never the same twice running.
assert len(heard) <= 5 and all(a != b for a, b in zip(heard, heard[1:])), heard
print("e2e: the screen reader heard", heard)
