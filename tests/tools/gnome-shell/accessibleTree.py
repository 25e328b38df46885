# python3 accessibleTree.py — GNOME Shell's accessible tree as screen
# readers see it, one node a line: role, tab, whether it is showing, tab,
# name.
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi


def walk(node):
    showing = node.get_state_set().contains(Atspi.StateType.SHOWING)
    print(f"{node.get_role_name()}\t{'showing' if showing else 'hidden'}\t{node.get_name()}")
    for index in range(node.get_child_count()):
        child = node.get_child_at_index(index)
        if child is not None:
            walk(child)


desktop = Atspi.get_desktop(0)
for index in range(desktop.get_child_count()):
    application = desktop.get_child_at_index(index)
    if application is not None and application.get_name() == "gnome-shell":
        walk(application)
        sys.exit(0)
sys.exit("no gnome-shell application in the accessible tree")
