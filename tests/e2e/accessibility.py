"""Reads the game's accessible tree through AT-SPI, prints it and checks it, then plays a spin
with the lever's action, as a switch or a script would, and reads the new bankroll and the
symbols the reel windows name. (What Orca says is the Orca test's.)"""
import sys
import time

import pyatspi

SYMBOLS = {"apple", "cherry", "banana", "box", "dollar sign", "seven"}


def fail(what):
    sys.exit(f"FAIL: {what}")


def until(condition, seconds=5):
    for _ in range(seconds * 10):
        if found := condition():
            return found
        time.sleep(0.1)
    return None


def dump(node, depth=0):
    print("  " * depth + f"{node.getRoleName()} {node.name!r} ({node.description!r})")
    for child in node:
        dump(child, depth + 1)


def find(node, role, name=None):
    for child in node:
        if child.getRoleName() == role and (name is None or child.name == name):
            return child
        found = find(child, role, name)
        if found:
            return found
    return None


app = until(lambda: next((app for app in pyatspi.Registry.getDesktop(0)
                          if app is not None and app.name == "Jangora"), None)) \
    or fail("no application named 'Jangora' on the accessibility bus")
dump(app)
frame = find(app, "frame", "Jangora 2.4") or fail("no frame 'Jangora 2.4'")
seen = [(child.getRoleName(), child.name, child.description) for child in frame]
expected = [("status bar", "No game on.", ""), ("label", "", "Reel 1"), ("label", "", "Reel 2"),
            ("label", "", "Reel 3"),
            ("push button", "Lever", "Pull to play a spin for 25 cents"),
            ("image", "$$ CASH LEFT $$", ""), ("label", "$70.00", "Bankroll"),
            ("label", "Jangora team", "Credits"),
            ("push button", "Print the window", "Asks, then prints the window as it looks now")]
if seen != expected:
    fail(f"the window's children are {seen}")

bankroll = [child for child in frame if child.description == "Bankroll"][0]
find(frame, "push button", "Lever").queryAction().doAction(0)
until(lambda: bankroll.name != "$70.00") or fail("the lever's action played no spin")
reels = [child for child in frame if child.description.startswith("Reel")]
until(lambda: all(reel.name in SYMBOLS for reel in reels)) or \
    fail(f"the reels name no symbols: {[reel.name for reel in reels]}")
print("after the lever's action: bankroll", bankroll.name, "reels", [reel.name for reel in reels])
