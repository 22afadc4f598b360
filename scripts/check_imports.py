#!/usr/bin/env python3
"""check_imports.py OBJDUMP EXE: fails when zuvo.exe links a library that only some commands
need. Every linked DLL is loaded and initialised before the window can show; these are loaded
on their first use instead (SystemDllProc in src/base/dll_win.h, the common file dialogs in
src/base/file_dialog_win.h). Prints the import list."""
import subprocess
import sys

# Loaded on first use: the network neighbourhood, the file dialogs (and the printing libraries
# they pull in), the RSS downloads, the dark frame and the themes, the rich-edit viewers, the
# audio devices and codecs (src/base/mmsystem_win.h), COM (initialised once the window shows)
# and Winsock (src/http/winsock_win.h: the HTTP server, off by default).
ON_FIRST_USE = {'netapi32.dll', 'mpr.dll', 'comdlg32.dll', 'wininet.dll', 'dwmapi.dll',
                'uxtheme.dll', 'riched32.dll', 'riched20.dll', 'dsound.dll', 'winmm.dll',
                'msacm32.dll', 'ole32.dll', 'oleaut32.dll', 'ws2_32.dll'}


def main():
    objdump, exe = sys.argv[1], sys.argv[2]
    out = subprocess.run([objdump, '-p', exe], check=True, capture_output=True, text=True).stdout
    imports = sorted(line.split(':', 1)[1].strip().lower()
                     for line in out.splitlines() if 'DLL Name:' in line)
    print('zuvo.exe imports: ' + ', '.join(imports))
    linked = [d for d in imports if d in ON_FIRST_USE]
    for d in linked:
        print('check_imports: %s is linked; load it on first use instead' % d, file=sys.stderr)
    return 1 if linked or not imports else 0


if __name__ == '__main__':
    sys.exit(main())
