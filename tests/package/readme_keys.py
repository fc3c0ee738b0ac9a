#!/usr/bin/env python3
"""The key list of the packages' README.txt against the program's resources: every key of the
accelerator table and every key a menu item shows must be in the list, and every key in the list
must be one of those or one that the window's code takes itself.

  readme_keys.py README.txt quillomere.rc

Exit status 1, with what is missing or unknown, when they differ. package_test.py runs the same
check on the README.txt inside the packages.
"""
import re
import sys

# Keys the windows take in their code rather than through the table: Delete in the tree, Tab and
# Escape between the pane and the tree, and the keys that open the tree's context menu.
KEYS_OF_THE_CODE = {"Delete", "Tab", "Shift+Tab", "Esc", "Shift+F10", "Menu"}

KEY = re.compile(r"^((Ctrl|Shift|Alt)\+)*(F[0-9]{1,2}|[A-Z0-9]|Up|Down|Left|Right|Del|Delete|Tab|"
                 r"Esc|Enter|Space|Menu|Home|End)$")
VIRTUAL_KEYS = {"VK_UP": "Up", "VK_DOWN": "Down", "VK_LEFT": "Left", "VK_RIGHT": "Right",
                "VK_DELETE": "Del", "VK_ESCAPE": "Esc", "VK_RETURN": "Enter", "VK_TAB": "Tab"}


def key_name(key, flags):
    """An accelerator as the menus write it: Ctrl, Shift and Alt in that order, then the key."""
    if key.startswith('"'):
        name = key.strip('"')
    elif re.fullmatch(r"VK_F[0-9]{1,2}", key):
        name = key[3:]
    else:
        name = VIRTUAL_KEYS.get(key, key)
    modifiers = [label for flag, label in (("CONTROL", "Ctrl"), ("SHIFT", "Shift"), ("ALT", "Alt"))
                 if flag in flags]
    return "+".join(modifiers + [name])


def resource_keys(rc):
    """{key: where} from the accelerator table and the menu items' texts."""
    keys = {}
    table = re.search(r"^\w+ ACCELERATORS\s*\nBEGIN\n(.*?)^END", rc, re.MULTILINE | re.DOTALL)
    for line in (table.group(1).splitlines() if table else []):
        parts = [part.strip() for part in line.split(",")]
        if len(parts) >= 3 and not line.strip().startswith("//"):
            keys.setdefault(key_name(parts[0], parts[3:]), "the accelerator table")
    for text in re.findall(r'^\s*MENUITEM\s+"([^"]*)"', rc, re.MULTILINE):
        if "\\t" in text:
            label, shown = text.split("\\t", 1)
            keys.setdefault(shown, f'the menu item "{label}"')
    return keys


def readme_keys(readme):
    """The keys of the README's list: the lines under the "Keys" heading up to the first blank
    line after them, each key column (before two spaces) a comma-separated list of keys."""
    lines = readme.replace("\r\n", "\n").split("\n")
    try:
        start = next(i for i, line in enumerate(lines)
                     if line.strip() == "Keys" and i + 1 < len(lines) and
                     lines[i + 1].startswith("----"))
    except StopIteration:
        return None
    keys = []
    for line in lines[start + 2:]:
        if not line.strip():
            if keys:
                break
            continue
        if line.startswith(" "):
            continue
        column = re.split(r"\s{2,}", line.strip(), maxsplit=1)[0]
        keys.extend(key.strip() for key in column.split(",") if key.strip())
    return keys


def problems(readme, rc):
    """What is wrong with the README's key list, as lines; none when it matches."""
    listed = readme_keys(readme)
    if listed is None:
        return ["README.txt has no Keys section"]
    found = []
    for key in listed:
        if not KEY.match(key):
            found.append(f"README.txt lists {key!r}, which is not written as a key")
    known = resource_keys(rc)
    for key, where in sorted(known.items()):
        if key not in listed:
            found.append(f"README.txt lacks {key}, from {where}")
    for key in listed:
        if KEY.match(key) and key not in known and key not in KEYS_OF_THE_CODE:
            found.append(f"README.txt lists {key}, which the program does not know")
    return found


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    with open(sys.argv[1], encoding="utf-8") as f:
        readme = f.read()
    with open(sys.argv[2], encoding="utf-8") as f:
        rc = f.read()
    found = problems(readme, rc)
    for problem in found:
        print(problem)
    if not found:
        print(f"README.txt lists all {len(resource_keys(rc))} keys of the resources")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
