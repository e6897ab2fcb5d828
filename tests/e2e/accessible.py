"""What the game's windows tell assistive technology, as a screen reader reads it.

Usage: accessible.py control DESCRIPTION   the name of the control so described ("Bankroll")
       accessible.py box TITLE             the texts of the open box so titled, one a line
       accessible.py where TITLE [BUTTON]  where the box (or its button) is in its window:
                                           x y width height
"""
import sys

import pyatspi


def nodes(node, depth=0):
    yield node
    for child in node if depth < 6 else []:
        if child is not None:
            yield from nodes(child, depth + 1)


def game():
    for application in pyatspi.Registry.getDesktop(0):
        if application is not None and application.name == "Jangora":
            return application
    sys.exit("the game is not on the accessibility bus")


def box(title):
    for node in nodes(game()):
        if node.name == title and node.getRoleName() == "alert":
            return node
    sys.exit(f"no box {title}")


what = sys.argv[1]
if what == "control":
    for node in nodes(game()):
        if node.description == sys.argv[2]:
            sys.exit(print(node.name))
    sys.exit(f"no control {sys.argv[2]}")
elif what == "box":
    for node in nodes(box(sys.argv[2])):
        if node.getRoleName() == "label" and node.name:
            print(node.name)
elif what == "where":
    for node in nodes(box(sys.argv[2])):
        if len(sys.argv) == 3 or node.getRoleName() == "push button" and node.name == sys.argv[3]:
            extents = node.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
            sys.exit(print(extents.x, extents.y, extents.width, extents.height))
    sys.exit(f"no button {sys.argv[3]}")
