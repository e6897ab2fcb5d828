"""What the game tells assistive technology, as a screen reader reads it.

Usage: accessible.py PID control DESCRIPTION   the name of the control so described ("Bankroll")
       accessible.py PID box TITLE             the texts of the open box so titled, one a line
       accessible.py PID buttons TITLE         the names of its buttons, one a line
       accessible.py PID where TITLE [BUTTON]  where the box (or its button) is in its window
       accessible.py PID fuzz                  every object of a box questioned out of range
PID is the game's (0: the one game there is). Exits 1 when what was asked for is not there,
2 when the game is not on the accessibility bus.
"""
import sys

import pyatspi


def nodes(node, depth=0):
    yield node
    for child in node if depth < 8 else []:
        if child is not None:
            yield from nodes(child, depth + 1)


def game(pid):
    for application in pyatspi.Registry.getDesktop(0):
        if application is not None and application.name == "Jangora" and (
                pid == 0 or application.get_process_id() == pid):
            return application
    sys.exit(2)


def box(title):
    for node in nodes(game(pid)):
        if node.name == title and node.getRoleName() in ("alert", "dialog"):
            return node
    sys.exit(1)


def fuzz():
    """Questions out of range of every object with text or a table, as a faulty screen reader
    might ask them: none may bring the game down or hold it up. Prints what it asked of what."""
    for node in nodes(game(pid)):
        for query, questions in (("queryText", (("getTextAtOffset", 11, 2), ("getTextAtOffset", -1, 3),
                                                ("getRangeExtents", 0, 2 ** 31 - 1, 0))),
                                 ("queryTable", (("getRowExtentAt", -1, -1), ("getColumnExtentAt", 0, 5),
                                                 ("isSelected", -1, -1)))):
            try:
                asked = getattr(node, query)()
            except NotImplementedError:
                continue
            for name, *arguments in questions:
                print(node.getRoleName(), name, *arguments)
                try:
                    getattr(asked, name)(*arguments)
                except Exception:  # refused: an answer too
                    pass


pid, what, *rest = int(sys.argv[1]), sys.argv[2], *sys.argv[3:]
if what == "control":
    for node in nodes(game(pid)):
        if node.description == rest[0]:
            sys.exit(print(node.name))
    sys.exit(1)
elif what == "box":
    for node in nodes(box(rest[0])):
        if node.getRoleName() == "label" and node.name:
            print(node.name)
elif what == "buttons":
    for node in nodes(box(rest[0])):
        if node.getRoleName() == "push button":
            print(node.name)
elif what == "where":
    for node in nodes(box(rest[0])):
        if len(rest) == 1 or node.getRoleName() == "push button" and node.name == rest[1]:
            extents = node.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
            sys.exit(print(extents.x, extents.y, extents.width, extents.height))
    sys.exit(1)
elif what == "fuzz":
    fuzz()
