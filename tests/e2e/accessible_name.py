"""Prints the name that the game's window gives assistive technology for the control it
describes as DESCRIPTION (the bankroll: "Bankroll"), as a screen reader reads it."""
import sys

import pyatspi


def described(node, description, depth=0):
    if node.description == description:
        return node
    for child in node if depth < 3 else []:
        found = child is not None and described(child, description, depth + 1)
        if found:
            return found
    return None


for application in pyatspi.Registry.getDesktop(0):
    if application is not None and application.name == "Jangora":
        control = described(application, sys.argv[1])
        if control:
            print(control.name)
            sys.exit(0)
sys.exit(f"no control described as {sys.argv[1]}")
