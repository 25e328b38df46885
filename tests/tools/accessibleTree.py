# accessibleTree.py APPLICATION SECONDS — what a screen reader finds in the
# application named APPLICATION on the accessibility bus, one node a line in
# tree order, tab-separated:
#   application  NAME  DESCRIPTION                         the application
#   gauge  NAME  VALUE  MINIMUM  MAXIMUM  DESCRIPTION      a level or progress bar
#                                                        (the values "-" when it
#                                                        has no Value interface)
#   ROLE  showing|hidden  NAME                             any other node (its
#                                                        line breaks as \n)
# Waits up to SECONDS for the application to appear; exit status 1 when it
# does not.
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi

name, seconds = sys.argv[1], float(sys.argv[2])


def application():
    desktop = Atspi.get_desktop(0)
    for index in range(desktop.get_child_count()):
        child = desktop.get_child_at_index(index)
        if child is not None and child.get_name() == name:
            return child
    return None


def number(value):
    return f"{value:g}"


def fields(node):
    role = node.get_role_name()
    if role in ("level bar", "progress bar"):
        # Atspi.Value's functions, called on the node: its own get_text
        # would be the Text interface's. Qt Quick's progress bars have none.
        value = Atspi.Value
        values = ["-", "-", "-"]
        if "Value" in node.get_interfaces():
            values = [number(value.get_current_value(node)), number(value.get_minimum_value(node)),
                      number(value.get_maximum_value(node))]
        return ["gauge", node.get_name(), *values, node.get_description()]
    showing = node.get_state_set().contains(Atspi.StateType.SHOWING)
    # A name of several lines (a tooltip's) stays on its node's line.
    return [role, "showing" if showing else "hidden", node.get_name().replace("\n", "\\n")]


def walk(node):
    for index in range(node.get_child_count()):
        child = node.get_child_at_index(index)
        if child is not None:
            print("\t".join(fields(child)))
            walk(child)


deadline = time.monotonic() + seconds
app = application()
while app is None and time.monotonic() < deadline:
    time.sleep(0.1)
    app = application()
if app is None:
    sys.exit(f"no application named {name!r} on the accessibility bus")
print("\t".join(["application", app.get_name(), app.get_description()]))
walk(app)
