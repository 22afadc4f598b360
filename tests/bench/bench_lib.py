"""What the benchmarks of zuvo.exe under Wine share: the end-to-end helpers (e2e_lib) pointed
at a Windows build, a test case to carry their cleanups, and a process's CPU time."""
import argparse
import os
import subprocess
import sys
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.path.join(ROOT, 'build', 'windows')
sys.path.insert(0, os.path.join(ROOT, 'tests', 'e2e'))
import e2e_lib  # noqa: E402


def use_build(work, build=BUILD):
    """Points e2e_lib at the build's zuvo.exe and zuvo-send.exe, with the work folder `work`
    (made when missing)."""
    e2e_lib.ARGS = argparse.Namespace(exe=os.path.join(build, 'src', 'app', 'zuvo.exe'),
                                      send=os.path.join(build, 'tests', 'e2e', 'zuvo-send.exe'),
                                      work=work)
    os.makedirs(work, exist_ok=True)


def case():
    """A test case for e2e_lib's helpers outside a test run: they register their cleanups on
    it (run with doCleanups()) and e2e_lib.stop asserts through it."""
    return unittest.TestCase()


def cpu_seconds(exe):
    """User + system seconds of the running processes whose command line starts with exe
    (Wine's process of a Windows program is named by the program's Linux path)."""
    out = subprocess.run(['pgrep', '-f', '^' + exe], capture_output=True, text=True).stdout
    total = 0
    for pid in out.split():
        with open('/proc/%s/stat' % pid) as f:
            fields = f.read().rsplit(')', 1)[1].split()
        total += (int(fields[11]) + int(fields[12])) / os.sysconf('SC_CLK_TCK')
    return total
