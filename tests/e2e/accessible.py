"""What the game tells assistive technology, as a screen reader reads it.

Usage: accessible.py PID control DESCRIPTION   the name of the control so described ("Bankroll")
       accessible.py PID box TITLE             the texts of the open box so titled, one a line
       accessible.py PID buttons TITLE         the names of its buttons, one a line
       accessible.py PID where TITLE [BUTTON]  where the box (or its button) is in its window
       accessible.py PID fuzz                  every object questioned out of range
PID is the game's (0: the one game there is). Exits 1 when what was asked for is not there,
2 when the game is not on the accessibility bus.
"""
import sys
import time
import warnings

import pyatspi


def nodes(node, depth=0):
    yield node
    for child in node if depth < 8 else []:
        if child is not None:
            yield from nodes(child, depth + 1)


def game(pid):
    # The registry's list changes as other programs come and go (the print test runs games side
    # by side): one that went away may not answer, and the list is read again a few times.
    for _ in range(10):
        for application in pyatspi.Registry.getDesktop(0):
            try:
                if application.name == "Jangora" and pid in (0, application.get_process_id()):
                    return application
            except Exception:
                continue
        time.sleep(0.2)
    sys.exit(2)


def box(title):
    for node in nodes(game(pid)):
        if node.name == title and node.getRoleName() in ("alert", "dialog"):
            return node
    sys.exit(1)


def fuzz():
    """Questions out of range asked of every object of the game and its boxes, as a faulty
    screen reader might ask them, whether or not it says it has text or a table: none may bring
    the game down or hold it up a second. Prints how many were asked."""
    from gi.repository import Atspi
    warnings.filterwarnings("ignore")  # the calls a reader of old might make
    word, window = Atspi.TextBoundaryType.WORD_START, Atspi.CoordType.WINDOW
    questions = (lambda node: Atspi.Text.get_text_at_offset(node, 11, word),
                 lambda node: Atspi.Text.get_text_at_offset(node, -1, Atspi.TextBoundaryType.SENTENCE_START),
                 lambda node: Atspi.Text.get_range_extents(node, 0, 2 ** 31 - 1, window),
                 lambda node: Atspi.Table.get_row_extent_at(node, -1, -1),
                 lambda node: Atspi.Table.get_column_extent_at(node, 0, 5),
                 lambda node: Atspi.Table.is_selected(node, -1, -1))
    asked = 0
    for node in list(nodes(game(pid))):
        for question in questions:
            began = time.monotonic()
            try:
                question(node)
            except Exception:  # refused: an answer too
                pass
            asked += 1
            if time.monotonic() - began > 1:
                sys.exit(f"a question held the game {time.monotonic() - began:.1f} s")
    print(asked)


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
