#!/usr/bin/env python3
"""make_manual.py OUT: writes the user's manual, one self-contained HTML file ("Zuvo.html",
opened by "HTML Manual" on the settings dialog's About page).

The prose is docs/manual.html. Its tables come from the program's own sources, so that they
never drift from what the program does:
- <!--KEYS-->: the main window's accelerator table (src/app/res/accel.rc), each command named
  by its menu entry (src/ui/menus.cpp and the built-in English texts), else by a description
  below or by the comment of its number (src/base/command_ids.h);
- <!--HOTKEYS-->: the global hotkeys' functions and presets (src/ui/hotkeys.cpp and the Hotkeys
  page's template);
- <!--PAGES-->: the settings dialog's tree (src/settings/settings_pages.cpp) with the controls
  of each page (the key table of docs/settings.md, which a unit test keeps equal to the
  program's control table)."""
import html
import os
import re
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..'))


def read(*path):
    with open(os.path.join(ROOT, *path), encoding='utf-8') as f:
        return f.read()


# Commands whose meaning depends on where the focus is; their menu entries do not say it.
DESCRIBED = {
    801: 'Focus the next pane (tree, file list, play list, toolbar)',
    802: 'Up one row', 803: 'Down one row',
    804: 'Rewind in a list; collapse in the tree; the previous toolbar button',
    805: 'Fast forward in a list; expand in the tree; the next toolbar button',
    806: 'Page up', 807: 'Page down',
    808: 'Move the selected rows up', 809: 'Move the selected rows down',
    810: 'Move the selected rows up a page', 811: 'Move the selected rows down a page',
    812: 'Stop the info scan, close the Big view, beat counter, intro scan or Insert '
         'view; quit when "Quit by Escape" is on and a path was given at start',
    813: 'The parent folder',
    814: 'Open the folder or list row, else play from the start',
    817: 'Stop or resume (on the toolbar: press the button)',
    938: 'First row', 939: 'Last row',
    944: 'Main menu', 945: 'Context menu of the focused row or folder',
    951: 'Shuffle the file list', 952: 'The next sort order of the file list',
    955: 'Run-time information', 956: 'The next repeat mode',
    512: 'Previous track', 513: 'Next track', 514: 'Previous folder (directory search back)',
    515: 'Next folder (directory search forward)', 516: 'Skip the selected rows',
    517: 'Play the selected rows next', 523: 'Play list view', 524: 'Go to the current track',
    525: 'Reload the list', 526: 'Scan for times and info', 528: 'Mute', 529: 'Soft mute',
    519: 'Show or hide the folder tree', 520: 'Compact view', 940: 'The next time display',
    934: 'Volume down', 935: 'Volume up',
    403: 'Start external program 1', 404: 'Start external program 2',
    471: 'Start external program 3', 460: 'Beat counter',
    467: 'Switch "Go home before track change"', 436: 'Switch "Upcoming file in title bar"',
}

KEY_NAMES = {
    'VK_TAB': 'Tab', 'VK_NEXT': 'Page Down', 'VK_PRIOR': 'Page Up', 'VK_UP': 'Up',
    'VK_DOWN': 'Down', 'VK_LEFT': 'Left', 'VK_RIGHT': 'Right', 'VK_ESCAPE': 'Esc',
    'VK_BACK': 'Backspace', 'VK_RETURN': 'Return', 'VK_SPACE': 'Space', 'VK_HOME': 'Home',
    'VK_END': 'End', 'VK_APPS': 'Context menu key', 'VK_DIVIDE': 'Num /',
    'VK_MULTIPLY': 'Num *', 'VK_SUBTRACT': 'Num -', 'VK_ADD': 'Num +', 'VK_DELETE': 'Del',
    'VK_INSERT': 'Ins', 'VK_PAUSE': 'Pause', '0xBC': ',', '0xBE': '.',
}


def key_name(token):
    if token in KEY_NAMES:
        return KEY_NAMES[token]
    if re.fullmatch(r'VK_F\d+', token):
        return token[3:]
    if re.fullmatch(r'"."', token):
        return token[1]
    raise SystemExit('make_manual.py: no name for the key %s' % token)


def command_numbers():
    """kCmdName -> number and number -> quoted comment, from command_ids.h."""
    names, comments = {}, {}
    for name, number, comment in re.findall(r'(kCmd\w+) = (\d+),\s*(?://\s*(.*))?',
                                            read('src', 'base', 'command_ids.h')):
        names[name] = int(number)
        quoted = re.search(r'"([^"]+)"', comment or '')
        if quoted:
            comments[int(number)] = quoted.group(1)
    return names, comments


def menu_texts(numbers):
    """number -> menu text (without "&" and the key after the tab)."""
    english = {int(i): t for i, t in re.findall(r'\{(\d+), L"((?:[^"\\]|\\.)*)"\}',
                                                read('src', 'config', 'lang_table.cpp'))}
    # The menus first, then the toolbar's tooltips (src/app/commands.cpp).
    pairs = re.findall(r'Item\((kCmd\w+), LangText\(lang, (\d+)\)', read('src', 'ui', 'menus.cpp'))
    pairs += re.findall(r'\{(kCmd\w+), (\d+)\}', read('src', 'app', 'commands.cpp'))
    out = {}
    for name, entry in pairs:
        text = english.get(int(entry))
        if name in numbers and text and numbers[name] not in out:
            text = text.split('\\t')[0].split('  [')[0].replace('&', '').replace('\\"', '"')
            out[numbers[name]] = text.strip()
    return out


def hotkey_names(numbers):
    """number -> the global hotkey function's name (src/ui/hotkeys.cpp)."""
    return {numbers[c]: n for c, n in re.findall(r'\{(kCmd\w+), "([^"]+)"\}',
                                                read('src', 'ui', 'hotkeys.cpp')) if c in numbers}


def keys_table():
    numbers, comments = command_numbers()
    menus = menu_texts(numbers)
    menus = {**hotkey_names(numbers), **menus}
    rows = []
    for line in read('src', 'app', 'res', 'accel.rc').splitlines():
        m = re.match(r'\s*("."|\w+),\s*(\d+),\s*VIRTKEY((?:,\s*\w+)*)', line)
        if not m:
            continue
        key, number = m.group(1), int(m.group(2))
        mods = [x.strip() for x in m.group(3).split(',') if x.strip()]
        combo = '+'.join([{'CONTROL': 'Ctrl', 'SHIFT': 'Shift', 'ALT': 'Alt'}[x] for x in mods] +
                         [key_name(key)])
        what = DESCRIBED.get(number) or menus.get(number) or comments.get(number)
        if not what:
            raise SystemExit('make_manual.py: command %d of the accelerators has no name' % number)
        # Keys of one command share a row.
        for row in rows:
            if row[1] == what:
                row[0].append(combo)
                break
        else:
            rows.append(([combo], what))
    body = ''.join('<tr><td>%s</td><td>%s</td></tr>\n' %
                   (', '.join('<kbd>%s</kbd>' % html.escape(k) for k in keys), html.escape(w))
                   for keys, w in rows)
    return '<table>\n<tr><th>Keys</th><th>What they do</th></tr>\n' + body + '</table>'


def hotkeys_table():
    slots = re.findall(r'\{kCmd\w+, "([^"]+)"\}', read('src', 'ui', 'hotkeys.cpp'))
    rc = read('src', 'settings', 'sound_pages.rc')
    presets = re.findall(r'AUTORADIOBUTTON "([^"]+)", 445\d', rc)
    out = ['<p>The presets of the "Hotkeys" page:</p>\n<ul>']
    out += ['<li>%s</li>' % html.escape(p.replace('&', '')) for p in presets]
    out.append('</ul>\n<p>The functions a hotkey can have, in the order of the page\'s list '
               '(the F8 ... F12 and media key presets use the first five, or three):</p>\n<ol>')
    out += ['<li>%s</li>' % html.escape(s) for s in slots]
    out.append('</ol>')
    return '\n'.join(out)


def pages_table():
    pages = re.findall(r'\{"([^"]+)", (-?\d+)\}', read('src', 'settings', 'settings_pages.cpp'))
    controls = {}
    for key, page, what in re.findall(r'^\| `(\w+)` \| ([^|]+) \| ([^|]+) \|$',
                                      read('docs', 'settings.md'), re.M):
        if page.strip() == 'none':
            continue
        what = what.strip().replace('the page\'s own controls: ', '')
        controls.setdefault(page.strip(), []).append(what)
    out = []
    for name, parent in pages:
        parent = int(parent)
        where = '' if parent < 0 else ' (under "%s")' % pages[parent][0]
        out.append('<h3>%s%s</h3>' % (html.escape(name), html.escape(where)))
        items = controls.get(name)
        if items:
            out.append('<ul>' + ''.join('<li>%s</li>' % html.escape(i) for i in items) + '</ul>')
    return '\n'.join(out)


def main():
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    text = read('docs', 'manual.html')
    for mark, make in (('<!--KEYS-->', keys_table), ('<!--HOTKEYS-->', hotkeys_table),
                       ('<!--PAGES-->', pages_table)):
        if mark not in text:
            raise SystemExit('make_manual.py: docs/manual.html lacks %s' % mark)
        text = text.replace(mark, make())
    tmp = sys.argv[1] + '.new'
    with open(tmp, 'w', encoding='utf-8', newline='\n') as f:
        f.write(text)
    os.replace(tmp, sys.argv[1])


if __name__ == '__main__':
    main()
