#!/usr/bin/python3
"""What a screen reader sees of the window: starts the program given as the only argument with
Qt's AT-SPI bridge on and reads its tree over the accessibility bus. Buttons must be named by
their captions, lists must expose their current text, reserved rows must be disabled.

Run under an X server and a D-Bus session (with_xvfb.sh dbus-run-session -- ...). Exits 77 when
pyatspi is missing."""

import os
import subprocess
import sys
import time

try:
    import pyatspi
except ImportError:
    print("pyatspi is not installed: skipped", file=sys.stderr)
    sys.exit(77)

RESERVED = {5, 10, 11, 18}
# Captions, trailing blanks included, and the choice each list starts on.
EXPECTED_BUTTONS = {
    1: "1. Buffer Size    ", 14: "14. Interface          ", 22: "22. Protocol         ",
    24: "24. Baudrate       ", 26: "26. Inter Char Set", 5: "5. Reservation  ",
}
EXPECTED_LISTS = {1: "128K *", 14: "Auto *", 22: "Xon/Xoff *", 24: "38400 *", 20: "Invalid *",
                  18: "Reservation"}


def find_application(name, timeout):
    desktop = pyatspi.Registry.getDesktop(0)
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    return None


def walk(node):
    yield node
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield from walk(child)


def number_of(caption):
    return int(caption.split(".", 1)[0])


def main():
    program = sys.argv[1]
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    process = subprocess.Popen([program], env=env)
    try:
        app = find_application(os.path.basename(program), 30)
        if app is None:
            print("the program never appeared on the accessibility bus", file=sys.stderr)
            return 1
        deadline = time.monotonic() + 20
        while True:
            nodes = list(walk(app))
            buttons = [n for n in nodes if n.getRole() == pyatspi.ROLE_PUSH_BUTTON]
            lists = [n for n in nodes if n.getRole() == pyatspi.ROLE_COMBO_BOX]
            if (len(buttons), len(lists)) == (26, 26) or time.monotonic() > deadline:
                break
            time.sleep(0.2)
        failures = []
        if len(buttons) != 26 or len(lists) != 26:
            failures.append(f"{len(buttons)} buttons and {len(lists)} lists, not 26 each")
        by_number = {number_of(b.name): b for b in buttons if b.name[:1].isdigit()}
        for number, caption in EXPECTED_BUTTONS.items():
            if number not in by_number or by_number[number].name != caption:
                failures.append(f"button {number} is not named {caption!r}")
        for number, button in by_number.items():
            enabled = button.getState().contains(pyatspi.STATE_ENABLED)
            if enabled == (number in RESERVED):
                failures.append(f"button {number} enabled={enabled}")
        # The lists in creation order are lists 1 to 26.
        for number, text in EXPECTED_LISTS.items():
            if len(lists) >= number and lists[number - 1].name != text:
                failures.append(f"list {number} reads {lists[number - 1].name!r}, not {text!r}")
        disabled_lists = {i + 1 for i, node in enumerate(lists)
                          if not node.getState().contains(pyatspi.STATE_ENABLED)}
        if disabled_lists != RESERVED:
            failures.append(f"disabled lists {sorted(disabled_lists)}")
        for failure in failures:
            print(failure, file=sys.stderr)
        if not failures:
            print(f"{len(buttons)} buttons, {len(lists)} lists, reserved rows disabled")
        return 1 if failures else 0
    finally:
        process.terminate()
        process.wait(10)


if __name__ == "__main__":
    sys.exit(main())
