"""A screen reader's view of `bin` over AT-SPI: the fields named by their labels, the pictures by
their tooltips; text inserted into "Decimale" converts into every field, or is refused; the arrow
is pressed as it is clicked."""
import subprocess
import sys
import time

import pyatspi

FIELDS = ["Decimale", "Binario", "Ottale", "Esadecimale", "Romano", "UTF-8   (Base 256)"]
PICTURES = ["Autore", "Visualizza/Nascondi la scrittura guidata del campo UTF-8"]


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def wait_for(what, condition, seconds=30):
    """Polls `condition` until it gives something true; fails the test once the time is up."""
    deadline = time.monotonic() + seconds
    while True:
        try:
            found = condition()
        except Exception:  # the application is still starting or its tree is changing
            found = None
        if found:
            return found
        if time.monotonic() > deadline:
            fail(what)
        time.sleep(0.1)


def descendants(node):
    for child in node:
        if child is not None:
            yield child
            yield from descendants(child)


def window(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return next((w for w in app if w is not None and w.name == "Tessaldo"), None)
    return None


def text_of(node):
    return node.queryText().getText(0, -1)


def main(program):
    process = subprocess.Popen([program])
    try:
        def started():
            if process.poll() is not None:
                fail(f"bin ended with status {process.returncode} before its window appeared")
            return window(process.pid)

        form = wait_for("no window named Tessaldo on the AT-SPI bus", started)
        nodes = list(descendants(form))
        fields = {}
        for name in FIELDS:
            matches = [n for n in nodes if n.name == name and "Text" in pyatspi.listInterfaces(n)]
            if len(matches) != 1:
                fail(f"{len(matches)} text fields named {name!r}")
            fields[name] = matches[0]
        pictures = {}
        for name in PICTURES:
            matches = [n for n in nodes if n.name == name and n.getRole() == pyatspi.ROLE_IMAGE]
            if len(matches) != 1:
                fail(f"{len(matches)} pictures named {name!r}")
            pictures[name] = matches[0]

        decimal = fields["Decimale"].queryEditableText()
        expected = ["255", "11111111", "377", "FF", "CCLV", "| NBSP | "]
        decimal.insertText(0, "255", 3)
        shown = lambda: [text_of(fields[name]) for name in FIELDS]
        wait_for(f"inserting 255 showed {shown()}", lambda: shown() == expected)
        # Refused: nothing changes; a digit inserted after it is taken as the next edit.
        decimal.insertText(3, "x", 1)
        if shown() != expected:
            fail(f"inserting x showed {shown()}")
        decimal.insertText(3, "0", 1)
        wait_for(f"inserting 0 showed {shown()}",
                 lambda: shown()[:5] == ["2550", "100111110110", "4766", "9F6", "MMDL"])
        # Pressing the arrow opens the panel: the window widens from 3940 to 7095 twips.
        width = lambda: form.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).width
        if width() != 263:
            fail(f"the window starts {width()} px wide")
        arrow = pictures[PICTURES[1]].queryAction()
        arrow.doAction(next(i for i in range(arrow.nActions) if arrow.getName(i).lower() == "press"))
        wait_for(f"pressing the arrow left the window {width()} px wide", lambda: width() == 473)
        print("accessibility: fields named by their labels, pictures by their tooltips; "
              "insertions converted or refused, the arrow pressed")
    finally:
        process.terminate()
        process.wait(timeout=30)


if __name__ == "__main__":
    main(sys.argv[1])
