# python3 accessibleTree.py [APPLICATION] — the accessible tree of GNOME
# Shell (or of the application named, e.g. cinnamon) as screen readers see
# it, one node a line: role, tab, whether it is showing, tab, name (its
# line breaks written as \n).
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi


def walk(node):
    showing = node.get_state_set().contains(Atspi.StateType.SHOWING)
    # A name of several lines (a tooltip's) stays on its node's line.
    name = node.get_name().replace("\n", "\\n")
    print(f"{node.get_role_name()}\t{'showing' if showing else 'hidden'}\t{name}")
    for index in range(node.get_child_count()):
        child = node.get_child_at_index(index)
        if child is not None:
            walk(child)


wanted = sys.argv[1] if len(sys.argv) > 1 else "gnome-shell"
desktop = Atspi.get_desktop(0)
for index in range(desktop.get_child_count()):
    application = desktop.get_child_at_index(index)
    if application is not None and application.get_name() == wanted:
        walk(application)
        sys.exit(0)
sys.exit(f"no {wanted} application in the accessible tree")
