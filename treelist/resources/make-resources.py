#!/usr/bin/env python3
"""Draws the tree list's indicator bitmaps cvgrid_*.bmp beside this script: an
arrow, a pencil, a star, dots and an arrow with dots, on white, which is their
mask colour. The BMP writer and palette are the editors' own. Run it again
after changing a drawing; the build reads only the written files."""
import importlib.util
import os

HERE = os.path.dirname(os.path.abspath(__file__))
EDITORS = os.path.join(HERE, '..', '..', 'editors', 'resources', 'make-resources.py')
spec = importlib.util.spec_from_file_location('editor_resources', EDITORS)
editor_resources = importlib.util.module_from_spec(spec)
spec.loader.exec_module(editor_resources)

INDICATORS = {
    'cvgrid_arrow': [
        "wwwwwwww",
        "wwkwwwww",
        "wwkkwwww",
        "wwkkkwww",
        "wwkkkkww",
        "wwkkkwww",
        "wwkkwwww",
        "wwkwwwww",
        "wwwwwwww",
    ],
    'cvgrid_edit': [
        "wwwwwkww",
        "wwwwkskw",
        "wwwksskw",
        "wwksskww",
        "wksskwww",
        "kkskwwww",
        "kkkwwwww",
        "kkwwwwww",
        "wwwwwwww",
    ],
    'cvgrid_insert': [
        "wwwwwwww",
        "kwwkwwkw",
        "wkwkwkww",
        "wwkkkwww",
        "kkkkkkkw",
        "wwkkkwww",
        "wkwkwkww",
        "kwwkwwkw",
        "wwwwwwww",
    ],
    'cvgrid_multidot': [
        "wwwwwwww",
        "wwwwwwww",
        "wwkkwwww",
        "wwkkwwww",
        "wwwwwwww",
        "wwkkwwww",
        "wwkkwwww",
        "wwwwwwww",
        "wwwwwwww",
    ],
    'cvgrid_multiarrow': [
        "wwwwwwww",
        "kwwkwwww",
        "wwwkkwww",
        "kwwkkkww",
        "wwwkkkkw",
        "kwwkkkww",
        "wwwkkwww",
        "kwwkwwww",
        "wwwwwwww",
    ],
}


def main():
    for name, rows in INDICATORS.items():
        assert len(rows) == 9 and all(len(r) == 8 for r in rows), name
        with open(os.path.join(HERE, name + '.bmp'), 'wb') as f:
            f.write(editor_resources.bmp(rows))


if __name__ == '__main__':
    main()
