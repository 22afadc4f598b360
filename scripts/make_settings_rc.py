#!/usr/bin/env python3
"""Writes src/settings/settings_pages.rc: the settings dialog's frame and the templates of its
general pages, laid out from the control table in src/settings/control_table.cpp.

Every row of the table becomes its control (check box, number or text box with its label,
drop-down list, button, text) in the group box named by the row, in table order, which is also
the tab order. Each control's label gets a mnemonic letter not used before on its page.
Run it after changing the table; the native test SettingsPagesRc checks that the resource
script and the table agree. Usage: make_settings_rc.py [--check]
"""
import os
import re
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
TABLE = os.path.join(ROOT, 'src', 'settings', 'control_table.cpp')
OUT = os.path.join(ROOT, 'src', 'settings', 'settings_pages.rc')

ROW = re.compile(r'\{(\d+), (\d+), (nullptr|"[^"]*"), Ctl::(\w+), ([^,]+), ([^,]+), ([^,]+), '
                 r'([^,]+), (nullptr|"[^"]*"),\s*"((?:[^"\\]|\\.)*)", "([^"]*)"\}', re.S)

PAGE_W, PAGE_H = 290, 256
GROUP_X, GROUP_W = 4, 282
IN_X, IN_W = GROUP_X + 7, GROUP_W - 14
CHECKS = ('Bit', 'Switch', 'CharFlag', 'Radio')
NUMBERS = ('Number', 'Digits', 'CharCount', 'SkipStep')
LISTS = ('Choice', 'CharChoice')
TEXTS = ('Text', 'TextFrom')
BUTTONS = ('Colour', 'Font')
# Action rows by what they are on the page.
ACTION_LISTS = {3101, 3102, 3103, 3104, 3370}
ACTION_CHECKS = {3504}
# Text rows of several lines (help and about texts).
TALL_STATICS = {3653: 62, 3703: 48, 3751: 110, 3106: 20}


def rows():
    text = open(TABLE, encoding='utf-8').read()
    text = text[text.index('kControlTable[] = {'):text.index('// clang-format on')]
    out = []
    for m in ROW.finditer(text):
        out.append(dict(id=int(m.group(1)), page=int(m.group(2)), kind=m.group(4),
                        label=m.group(10).replace('\\"', '""'), group=m.group(11)))
    return out


def caption(label):
    return label.split('|')[0]


class Page:
    def __init__(self, index):
        self.index = index
        self.lines = []
        self.used = set()

    def mnemonic(self, text):
        """Puts "&" before the first letter of text not yet used on this page."""
        for i, ch in enumerate(text):
            if ch.isalnum() and ch.lower() not in self.used:
                self.used.add(ch.lower())
                return text[:i] + '&' + text[i:]
        return text

    def add(self, line):
        self.lines.append('  ' + line)


def layout_page(index, page_rows):
    page = Page(index)
    groups = []
    for r in page_rows:
        if not groups or groups[-1][0] != r['group']:
            groups.append((r['group'], []))
        groups[-1][1].append(r)
    y = 2
    for title, items in groups:
        body = []  # (dy, lines) built below, placed after the group box
        gy = y
        cy = y + 11
        pending_half = None
        first = True

        def style(extra=''):
            nonlocal first
            s = 'WS_TABSTOP' + (' | WS_GROUP' if first else '') + extra
            first = False
            return s

        i = 0
        while i < len(items):
            r = items[i]
            kind = r['kind']
            cap = caption(r['label'])
            is_check = kind in CHECKS or r['id'] in ACTION_CHECKS
            if is_check:
                short = len(cap) <= 31
                nxt = items[i + 1] if i + 1 < len(items) else None
                nshort = nxt is not None and (nxt['kind'] in CHECKS) and len(caption(nxt['label'])) <= 31
                if short and nshort:
                    w = IN_W // 2 - 2
                    body.append('AUTOCHECKBOX "%s", %d, %d, %d, %d, 10, %s' %
                                (page.mnemonic(cap), r['id'], IN_X, cy, w, style()))
                    body.append('AUTOCHECKBOX "%s", %d, %d, %d, %d, 10, %s' %
                                (page.mnemonic(caption(nxt['label'])), nxt['id'], IN_X + IN_W // 2,
                                 cy, w, style()))
                    cy += 10
                    i += 2
                    continue
                body.append('AUTOCHECKBOX "%s", %d, %d, %d, %d, 10, %s' %
                            (page.mnemonic(cap), r['id'], IN_X, cy, IN_W, style()))
                cy += 10
            elif kind in NUMBERS:
                body.append('LTEXT "%s", -1, %d, %d, %d, 10' % (page.mnemonic(cap), IN_X, cy + 2, IN_W - 50))
                body.append('EDITTEXT %d, %d, %d, 44, 12, %s' %
                            (r['id'], IN_X + IN_W - 44, cy, style(' | ES_NUMBER | ES_AUTOHSCROLL')))
                # Its up-down arrows (and the arrow keys) step the number within its limits.
                body.append('CONTROL "", -1, "msctls_updown32", UDS_AUTOBUDDY | UDS_SETBUDDYINT | '
                            'UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 8, 12')
                cy += 14
            elif kind in LISTS or r['id'] in ACTION_LISTS:
                long_list = r['page'] == 0
                if long_list:
                    body.append('COMBOBOX %d, %d, %d, %d, 150, %s' %
                                (r['id'], IN_X, cy, IN_W, style(' | CBS_DROPDOWNLIST | WS_VSCROLL')))
                else:
                    body.append('LTEXT "%s", -1, %d, %d, %d, 10' % (page.mnemonic(cap), IN_X, cy + 2, IN_W - 128))
                    body.append('COMBOBOX %d, %d, %d, 124, 150, %s' %
                                (r['id'], IN_X + IN_W - 124, cy, style(' | CBS_DROPDOWNLIST | WS_VSCROLL')))
                cy += 15
            elif kind in TEXTS:
                body.append('LTEXT "%s", -1, %d, %d, %d, 10' % (page.mnemonic(cap), IN_X, cy, IN_W))
                body.append('EDITTEXT %d, %d, %d, %d, 12, %s' %
                            (r['id'], IN_X, cy + 10, IN_W, style(' | ES_AUTOHSCROLL')))
                cy += 24
            elif kind in BUTTONS or kind == 'Action':
                # Up to three buttons a row.
                run = [r]
                while len(run) < 3 and i + len(run) < len(items) and \
                        items[i + len(run)]['kind'] in BUTTONS:
                    run.append(items[i + len(run)])
                w = (IN_W - 8) // 3
                for k, b in enumerate(run):
                    extra = ' | NOT WS_VISIBLE' if b['id'] == 3105 else ''
                    body.append('PUSHBUTTON "%s", %d, %d, %d, %d, 14, %s' %
                                (page.mnemonic(caption(b['label'])), b['id'], IN_X + k * (w + 4), cy,
                                 w if b['id'] != 3105 else IN_W, style(extra)))
                cy += 17
                i += len(run)
                continue
            elif kind == 'Static':
                h = TALL_STATICS.get(r['id'], 10)
                body.append('LTEXT "", %d, %d, %d, %d, %d' % (r['id'], IN_X, cy, IN_W, h))
                cy += h + 2
            i += 1
        gh = cy - gy + 2
        # The quick settings' lists have no labels of their own: their group titles take the
        # mnemonics.
        shown = page.mnemonic(title) if index == 0 and title != 'Apply' else title
        page.add('GROUPBOX "%s", -1, %d, %d, %d, %d' % (shown, GROUP_X, gy, GROUP_W, gh))
        for b in body:
            page.add(b)
        y = gy + gh + 2
    if y > PAGE_H:
        print('page %d is %d units high (more than %d)' % (index, y, PAGE_H), file=sys.stderr)
    return page


FRAME = '''kSettingsFrameTemplate DIALOGEX 0, 0, 424, 300
STYLE DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION " Zuvo Directory Player - Configuration"
FONT 8, "MS Shell Dlg"
BEGIN
  CONTROL "", kIdFrameTree, "SysTreeView32", TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_NOTOOLTIPS | WS_BORDER | WS_TABSTOP, 6, 6, 116, 268
  LTEXT "", kIdFrameTitle, 128, 7, 290, 10
  LTEXT "", kIdFramePageArea, 128, 20, 290, 256, NOT WS_VISIBLE
  PUSHBUTTON "Restart Zuvo", kIdFrameRestart, 6, 280, 80, 14, WS_TABSTOP
  PUSHBUTTON "&Close", IDCANCEL, 338, 280, 80, 14, WS_TABSTOP
END
'''


def render():
    all_rows = rows()
    out = ['// The settings dialog: the frame and the general pages (96-DPI dialog units; each page',
           '// is a child template of %d x %d units placed in the frame\'s page area).' % (PAGE_W, PAGE_H),
           '// Written by scripts/make_settings_rc.py from the control table: edit the table, then',
           '// run the script.',
           '#include "settings/settings_ids.h"', '', FRAME]
    for index in sorted({r['page'] for r in all_rows}):
        page = layout_page(index, [r for r in all_rows if r['page'] == index])
        out.append('%d DIALOGEX 0, 0, %d, %d' % (3000 + index, PAGE_W, PAGE_H))
        out.append('STYLE DS_SETFONT | DS_CONTROL | WS_CHILD')
        out.append('FONT 8, "MS Shell Dlg"')
        out.append('BEGIN')
        out.extend(page.lines)
        out.append('END')
        out.append('')
    return '\n'.join(out)


def main():
    text = render()
    if '--check' in sys.argv:
        same = os.path.exists(OUT) and open(OUT, encoding='utf-8').read() == text
        print('settings_pages.rc is %s' % ('current' if same else 'out of date'))
        return 0 if same else 1
    open(OUT, 'w', encoding='utf-8').write(text)
    return 0


if __name__ == '__main__':
    sys.exit(main())
