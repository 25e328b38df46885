# python3 accessibleGauges.py — the progress bars in plasmoidviewer's
# accessible tree as screen readers see them, one a line: name, tab,
# description, tab, value, minimum and maximum ("-" when it has no value
# interface). Exits 2
# when no plasmoidviewer is registered, so that the caller can tell a
# registry that does not list it from a widget without gauges.
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi


def walk(node):
    if node.get_role() == Atspi.Role.PROGRESS_BAR:
        if "Value" in node.get_interfaces():
            values = [Atspi.Value.get_current_value(node), Atspi.Value.get_minimum_value(node), Atspi.Value.get_maximum_value(node)]
            print("\t".join([node.get_name(), node.get_description(), " ".join(f"{value:g}" for value in values)]))
        else:
            print(f"{node.get_name()}\t{node.get_description()}\t-")
    for index in range(node.get_child_count()):
        child = node.get_child_at_index(index)
        if child is not None:
            walk(child)


desktop = Atspi.get_desktop(0)
for index in range(desktop.get_child_count()):
    application = desktop.get_child_at_index(index)
    if application is not None and application.get_name() == "plasmoidviewer":
        walk(application)
        sys.exit(0)
sys.exit(2)
