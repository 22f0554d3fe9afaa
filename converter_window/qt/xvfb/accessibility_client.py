"""A screen reader's view of `bin` over AT-SPI: the fields named by their labels, the pictures by
their tooltips; text inserted into "Decimale" converts into every field, or is refused."""
import subprocess
import sys
import time

import pyatspi

FIELDS = ["Decimale", "Binario", "Ottale", "Esadecimale", "Romano", "UTF-8   (Base 256)"]
PICTURES = ["Autore", "Visualizza/Nascondi la scrittura guidata del campo UTF-8"]


def wait_for(what, condition, seconds=30):
    """Polls `condition` until it gives something true; fails the test once the time is up."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            found = condition()
        except Exception:  # the application is still starting or its tree is changing
            found = None
        if found:
            return found
        time.sleep(0.1)
    sys.exit("FAIL: " + what)


def descendants(node):
    for child in filter(None, node):
        yield child
        yield from descendants(child)


def only(nodes, name, kind):
    matches = [n for n in nodes if n.name == name and kind(n)]
    if len(matches) != 1:
        sys.exit(f"FAIL: {len(matches)} of the right kind named {name!r}")
    return matches[0]


def main(program):
    process = subprocess.Popen([program])
    try:
        def window():
            if process.poll() is not None:
                sys.exit(f"FAIL: bin ended with status {process.returncode} before its window")
            desktop = pyatspi.Registry.getDesktop(0)
            app = next(a for a in desktop if a and a.get_process_id() == process.pid)
            return next(w for w in app if w and w.name == "Tessaldo")

        nodes = list(descendants(wait_for("no window named Tessaldo on the AT-SPI bus", window)))
        fields = [only(nodes, name, lambda n: "Text" in pyatspi.listInterfaces(n)) for name in FIELDS]
        for name in PICTURES:
            only(nodes, name, lambda n: n.getRole() == pyatspi.ROLE_IMAGE)
        shown = lambda: [f.queryText().getText(0, -1) for f in fields]
        decimal = fields[0].queryEditableText()
        decimal.insertText(0, "255", 3)
        wait_for(f"inserting 255 showed {shown()}",
                 lambda: shown() == ["255", "11111111", "377", "FF", "CCLV", "| NBSP | "])
        # Refused: nothing changes; a digit inserted after it is taken as the next edit.
        decimal.insertText(3, "x", 1)
        decimal.insertText(3, "0", 1)
        wait_for(f"inserting x then 0 showed {shown()}",
                 lambda: shown()[:5] == ["2550", "100111110110", "4766", "9F6", "MMDL"])
        print("accessibility: fields and pictures named; insertions converted or refused")
    finally:
        process.terminate()
        process.wait(timeout=30)


if __name__ == "__main__":
    main(sys.argv[1])
