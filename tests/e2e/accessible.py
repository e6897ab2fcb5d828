"""What the game's windows tell assistive technology, as a screen reader reads it.

Usage: accessible.py control DESCRIPTION   the name of the control so described ("Bankroll")
       accessible.py box TITLE             the texts of the open box so titled, one a line
"""
import sys

import pyatspi


def game():
    for application in pyatspi.Registry.getDesktop(0):
        if application is not None and application.name == "Jangora":
            return application
    sys.exit("the game is not on the accessibility bus")


def nodes(node, depth=0):
    yield node
    for child in node if depth < 4 else []:
        if child is not None:
            yield from nodes(child, depth + 1)


what, which = sys.argv[1:3]
for window in game():
    if what == "control":
        for node in nodes(window):
            if node.description == which:
                sys.exit(print(node.name))
    elif window.name == which and window.getRoleName() == "alert":
        for node in nodes(window):
            if node.getRoleName() == "label" and node.name:
                print(node.name)
        sys.exit(0)
sys.exit(f"no {what} {which}")
