# A screen reader's view of acidora over the AT-SPI bus: the four commands found by name, one
# pressed through the action interface, the boxes typed, and the schematic read in words.
import time

import pyatspi


def find(node, name):  # depth first; a widget gone while walked is passed over
    try:
        children = (find(node.getChildAtIndex(i), name) for i in range(node.childCount))
        return node if node.name == name else next((c for c in children if c), None)
    except Exception:
        return None


for _ in range(100):
    app = next((a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "Acidora"), None)
    if app and find(app, "Table & results"):
        break
    time.sleep(0.1)
buttons = [find(app, n) for n in ("Input data", "Table & results", "Curve", "Help")]
assert all(b and b.getRoleName() == "push button" for b in buttons), "the four commands"
find(app, "Titrate weak acid with strong base").queryAction().doAction(0)
for name, text in (("Titrant molarity, mol/L", "0.1"), ("Analyte volume, mL", "25"),
                   ("Analyte molarity, mol/L", "0.1"), ("Acidity constant Ka", "1.8E-5")):
    find(app, name).queryEditableText().setTextContents(text)
buttons[1].queryAction().doAction(0)
time.sleep(0.5)
said = find(app, "Burette and flask").description
assert "Burette: strong base 0.1 mol/L, pH 13. Flask: weak acid, pH 2.876" in said, said
