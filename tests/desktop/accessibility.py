"""Checks the exercise window as AT-SPI presents it: every control that shows
has the role and name a screen reader should announce, the answer boxes are
named after their prompts, and the hidden controls do not show."""

import sys
import time

import pyatspi

PROMPTS = [
    "L'album le plus réussi                 N°",
    "Un personnage inoubliable        N°",
    "La présentation de Dorvé           N°",
    "La popularité de la collection    N°",
]
BANNER = "Lis d'abord ce texte, puis réponds à la question qui suit le texte."
INSTRUCTION = ("Utilise les nombres de 1 à 4 pour indiquer dans quel paragraphe tu "
               "retrouves les idées suivantes:")


def find_application(name, seconds=20):
    deadline = time.time() + seconds
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    sys.exit(f"FAIL: no accessible application named {name}")


def walk(node, depth=0):
    yield node, depth
    for child in node:
        if child is not None:
            yield from walk(child, depth + 1)


def main():
    app = find_application("morvel2")
    frame = None
    deadline = time.time() + 20
    while frame is None and time.time() < deadline:
        frame = next((c for c in app if c is not None and c.name == "Form1"), None)
        time.sleep(0.2)
    if frame is None:
        sys.exit("FAIL: no frame named Form1")

    if frame.getRoleName() != "frame":
        sys.exit(f"FAIL: the window is presented as a {frame.getRoleName()!r}, not a frame")
    showing = []
    for node, depth in walk(frame):
        states = node.getState()
        role = node.getRoleName()
        shown = states.contains(pyatspi.STATE_SHOWING)
        print(f"{'  ' * depth}{role!r} {node.name!r}{' showing' if shown else ''}"
              f"{' focused' if states.contains(pyatspi.STATE_FOCUSED) else ''}")
        if shown and node is not frame:
            showing.append((role, node.name, states.contains(pyatspi.STATE_FOCUSED)))

    failures = []
    entries = [(name, focused) for role, name, focused in showing if role in ("entry", "text")]
    if [name for name, _ in entries] != PROMPTS:
        failures.append(f"answer boxes are named {[n for n, _ in entries]}, not after their prompts")
    if entries and not entries[0][1]:
        failures.append("the first answer box does not have the focus")
    labels = [name for role, name, _ in showing if role == "label"]
    for text in [BANNER, INSTRUCTION] + PROMPTS:
        if text not in labels:
            failures.append(f"no label reads {text!r}")
    if not any(name.startswith("1- ") and " 4. " in name for name in labels):
        failures.append("the passage is not readable as a label")
    for role, name, _ in showing:
        if role in ("push button", "check box", "image") or name in ("valider/vérifier", "Check1"):
            failures.append(f"a hidden control is presented as showing: {role} {name!r}")
        if role not in ("entry", "text", "label", "filler", "panel"):
            failures.append(f"unexpected control showing: {role} {name!r}")
        if not name and role in ("entry", "text", "label"):
            failures.append(f"a {role} without a name")
    if failures:
        sys.exit("FAIL:\n  " + "\n  ".join(failures))
    print(f"accessibility tree: {len(showing)} controls showing, each with its role and name")


main()
