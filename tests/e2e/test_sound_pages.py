"""The sound pages of the settings dialog ("Audio", "Decoders", "Enhancer 1", "Enhancer 2",
"Hotkeys"): each opens from the dialog's tree; a control of each, changed through its window
messages, is in the settings file after quitting; a hotkey "Set" to a combination
another slot holds is refused; choosing an Enhancer 2 preset while a track plays changes the
heard level by the preset's drive; "Solo 1" leaves the low band alone (heard as the band's
low-pass of the decode); user presets of both Enhancer pages are saved, listed, chosen and
deleted, as the settings file shows; "Always 24 bit output" shows its status word at once and
the next opening of the output is 24-bit; the DSP plug-in check box loads dsp_zuvogain.dll and its
doubling is heard; "Use bass.dll" unloads and loads the stand-in bass.dll, and the kinds only
it plays leave the File view and come back."""
import math
import os
import re
import shutil
import unittest

import e2e_lib
from e2e_lib import (Install, capture_audio, command, make_mp3, send, send_output, stop,
                     wait_until)

TITLE = ' Zuvo Directory Player - Configuration'
# Tree positions of the pages, depth first, and a control each page alone has.
AUDIO, DECODERS, ENHANCER1, ENHANCER2, HOTKEYS = 1, 2, 3, 4, 8
PROBE = {AUDIO: 4002, DECODERS: 4104, ENHANCER1: 4230, ENHANCER2: 4305, HOTKEYS: 4460}
# Entries of the hotkey page's key list (the key-name table's order).
KEY_F2, KEY_F9 = 78, 85

ENH2_2 = (b'----m044u051d088t046m045u051d085t051m045u047d085t020m022u058d085t009'
          b'----------------')
# Drive 0.5 and 1.5 with everything else of the chain off: the level is a factor of 3 apart.
QUIET = b'----f00000f00000f00000------------l000s020'
LOUD = b'----f00000f00000f00000------------l040s020'
PLAIN_LIM = b'------th300re040ce300kn000ra201at025ho000'


def low_pass(a, f, rate):
    """The bands' split: a second-order Butterworth low-pass at f (bilinear transform, Q
    0.707) over each channel of interleaved stereo a."""
    k = math.tan(math.pi * f / rate)
    q = 0.707
    norm = 1 / (1 + k / q + k * k)
    b0 = k * k * norm
    b1, b2 = 2 * b0, b0
    a1, a2 = 2 * (k * k - 1) * norm, (1 - k / q + k * k) * norm
    out = [0.0] * len(a)
    for c in (0, 1):
        z1 = z2 = 0.0
        for i in range(c, len(a), 2):
            x = a[i] / 32767.0
            y = b0 * x + z1
            z1 = b1 * x + z2 - a1 * y
            z2 = b2 * x - a2 * y
            out[i] = y * 32767.0
    return out


def rms(a, lo, hi):
    part = a[lo:hi]
    return math.sqrt(sum(x * x for x in part) / max(1, len(part)))


def music_folder(name):
    """An empty folder beside the install `name`."""
    music = os.path.join(e2e_lib.ARGS.work, name + '-music')
    shutil.rmtree(music, ignore_errors=True)
    os.makedirs(music)
    return music


class SoundPages(unittest.TestCase):
    def start(self, name, ini, track=None, beside=(), device=0, keep_openings=False):
        z = Install(name, beside)
        cap = capture_audio(self, z.folder, keep_openings)
        return z, e2e_lib.start_with(self, z, track, ini, device), cap

    def steps(self, *steps):
        """Sends each (verb, control, values...) to the settings dialog."""
        for verb, *args in steps:
            self.assertEqual(send(verb, TITLE, *map(str, args)), 0, (verb, args))

    def open_page(self, page):
        self.assertEqual(send('dlgtree', TITLE, str(page)), 0, 'no settings tree')
        self.assertEqual(send('dlgtext', TITLE, str(PROBE[page])), 0, 'page %d' % page)

    def open_dialog(self, page):
        self.assertEqual(command('Settings'), 0)
        wait_until(lambda: send('dlgtree', TITLE, str(page)) == 0, 20, 'the settings dialog')
        self.assertEqual(send('dlgtext', TITLE, str(PROBE[page])), 0, 'page %d' % page)

    def text(self, control):
        rc, out = send_output('dlgtext', TITLE, str(control))
        self.assertEqual(rc, 0, 'no control %d' % control)
        return out.decode('utf-8')

    def close_dialog(self):
        self.assertEqual(send('press', '#32770', '2'), 0)  # Escape's IDCANCEL
        wait_until(lambda: send('dlgtree', TITLE, '0') != 0, 20, 'the dialog to close')

    def test_controls_write_their_settings(self):
        ini = b'hotkeys=0\r\ngapless=0\r\nenh2_1=' + QUIET + b'\r\n'
        bass = e2e_lib.built('standins', 'bass.dll')
        plugin = e2e_lib.built('plugins', 'in_sndfile.dll')
        # A folder of a tracker module (BASS alone plays it), a WAV file (the input plug-in
        # plays it too) and an MP3 file, shown in the File view.
        music = music_folder('soundpages')
        for file in ('mod only.mod', 'shared.wav', 'mpeg.mp3'):
            e2e_lib.write(os.path.join(music, file), b'\0' * 1000)
        z, proc, _ = self.start('soundpages', ini, music,
                                [p for p in (bass, plugin) if os.path.exists(p)])
        shown = lambda: sorted(r[1] for r in e2e_lib.rows())
        if os.path.exists(bass) and os.path.exists(plugin):
            wait_until(lambda: shown() == ['mod only', 'mpeg', 'shared'], 20, 'the File view')
        # One edit box or slider of each page (the native tests check every control against
        # the bits and keys it writes), with the text a slider updates.
        self.open_dialog(AUDIO)
        self.steps(('dlgset', 4001, '300'), ('dlgslider', 4003, 8))
        self.assertEqual(self.text(4004), '2.00 s')

        self.open_page(DECODERS)
        loaded = self.text(4104)
        if os.path.exists(bass):
            # "Use bass.dll" unloads the stand-in beside the program and loads it again.
            self.assertRegex(loaded, r'^bass\.dll version \d+\.\d+\.\d+\.\d+$')
            # Without it the module is no track at once; the WAV file stays the plug-in's.
            self.assertEqual(send('dlgclick', TITLE, '4103'), 0)
            wait_until(lambda: self.text(4104) == 'bass.dll not loaded', 10, 'bass.dll to go')
            if os.path.exists(plugin):
                wait_until(lambda: shown() == ['mpeg', 'shared'], 10, 'the module to go')
            self.assertEqual(send('dlgclick', TITLE, '4103'), 0)
            wait_until(lambda: self.text(4104) == loaded, 10, 'bass.dll to load again')
            if os.path.exists(plugin):
                wait_until(lambda: shown() == ['mod only', 'mpeg', 'shared'], 10,
                           'the module back')
        else:
            self.assertEqual(loaded, 'bass.dll not loaded')
        self.steps(('dlgset', 4107, '12'))
        self.open_page(ENHANCER1)
        self.steps(('dlgslider', 4242, 20))
        wait_until(lambda: self.text(4245) == '30', 5, 'the band text')
        self.open_page(ENHANCER2)
        self.steps(('dlgslider', 4336, 40))
        wait_until(lambda: self.text(4396) == '+3.5 dB', 5, 'the drive text')

        self.open_page(HOTKEYS)
        # Slot 1 is chosen and its Ctrl + Shift + F8 fills the boxes; slot 2 holds
        # Ctrl + Shift + F9: the same is refused for slot 1. "Own definitions" is clicked
        # first: dlgclick posts its click and returns, while dlgpick's messages are sent and
        # so handled ahead of anything posted; the click's effect is awaited before the key
        # list is driven, so that the page sees the steps in the test's order.
        self.assertEqual(send('dlgclick', TITLE, '4457'), 0)
        wait_until(lambda: send_output('dlgcheck', TITLE, '4457')[1].strip() == b'1', 5,
                   '"Own definitions" chosen')
        self.steps(('dlgpick', 4461, KEY_F9), ('dlgclick', 4466))
        wait_until(lambda: 'used' in self.text(4468), 5, 'the refusal')
        self.steps(('dlgpick', 4461, KEY_F2), ('dlgclick', 4465), ('dlgclick', 4466))
        wait_until(lambda: self.text(4468) == '', 5, 'the refusal to go')
        self.open_page(DECODERS)
        # The input plug-in's own About and Config boxes open from its row and close again.
        self.assertEqual(send('dlgpick', TITLE, '4108', '0'), 0)
        for button, words in [(4110, 'test input plug-in'), (4109, 'Nothing to set')]:
            self.assertEqual(send('dlgclick', TITLE, str(button)), 0)
            wait_until(lambda: words in send_output('dlgtext', 'in_sndfile', '65535')[1].decode(),
                       10, 'the plug-in box %d' % button)
            self.assertEqual(send('dlgclick', 'in_sndfile', '1'), 0)  # OK
            wait_until(lambda: send('titled', 'in_sndfile') != 0, 10, 'the box to close')
        self.close_dialog()
        stop(proc, self)

        v = z.values()
        self.assertEqual((v['filebufsize'], v['outbuflength'], v['streambuffer'], v['eq'],
                          v['enh2_1'][34:38], v['hotkeys']),
                         ('300', '8', '12', '020,050,050', 'l040', '7'))
        self.assertTrue(v['hotkey_def'].startswith('0x7110x789'), v['hotkey_def'])

    def play_and_change(self, name, ini, beside, page, change):
        """Plays an MP3 while `change` is made on `page`; returns (capture, decode, the capture
        sample count before and after the change)."""
        mp3 = make_mp3(os.path.join(music_folder(name), 'a.mp3'), 20, noise=True, volume=0.25)
        z, proc, cap = self.start(name, b'gapless=0\r\n' + ini, mp3, beside)
        size = lambda: e2e_lib.file_size(cap)
        wait_until(lambda: size() > 0, 30, 'playback to start')
        self.open_dialog(page)
        # Two and a half seconds of the sound before the change, enough to judge its level.
        wait_until(lambda: size() // 2 >= 5 * 44100, 30, 'audio before the change')
        before = size() // 2
        self.steps(*change)
        after = size() // 2
        print('%s: change between samples %d and %d' % (name, before, after))
        # The output queue (1 s) still holds the old sound; then 2.5 s of the new.
        wait_until(lambda: size() // 2 >= after + 8 * 44100, 30, 'audio after the change')
        self.close_dialog()
        stop(proc, self)
        return z, e2e_lib.samples(cap), e2e_lib.decode(mp3, gapless=False), before, after

    def assert_gain(self, cap, ref, lo, hi, want, what):
        self.assertGreater(hi - lo, 44100, '%s: too little audio to judge' % what)
        got = rms(cap, lo, hi) / rms(ref, lo, hi)
        self.assertAlmostEqual(got, want, delta=want * 0.08, msg=what)

    def test_an_enhancer2_preset_changes_the_level(self):
        ini = (b'enhance=2\r\nenh2_1=' + QUIET + b'\r\nenh2_2=' + ENH2_2 + b'\r\nenh2_lim=' +
               PLAIN_LIM + b'\r\nenh2_set=' + LOUD + b'##' + ENH2_2 + b'##' + PLAIN_LIM +
               b'##Loud\r\n')
        # The list: "Presets:", "Restore previous", nine built-ins, "User settings:", "Loud".
        z, cap, ref, before, after = self.play_and_change(
            'enh2preset', ini, (), ENHANCER2, [('dlgpick', 4305, 12)])
        second = 2 * 44100
        self.assert_gain(cap, ref, second // 2, before - second // 2, 0.5, 'before the preset')
        self.assert_gain(cap, ref, after + 3 * second // 2, after + 4 * second,
                         1.5, 'after the preset')
        self.assertEqual(z.values()['enh2_1'].encode(), LOUD)

    def items(self, control):
        rc, out = send_output('dlgitems', TITLE, str(control))
        self.assertEqual(rc, 0, 'no list %d' % control)
        return out.decode('utf-8').splitlines()

    def test_solo_and_the_user_presets(self):
        # Two bands split at 300 Hz, each at a fixed gain of 1 (max amp 1.0, threshold 0 dB),
        # nothing else in the chain: the sum is the input, "Solo 1" the low band alone.
        split = b'm---f00300f00000f00000------------l020s020'
        flat = b'----' + b'm000u050d050t100' * 4 + b'-' * 16
        ini = (b'enhance=2\r\nenh2_1=' + split + b'\r\nenh2_2=' + flat + b'\r\nenh2_lim=' +
               PLAIN_LIM + b'\r\n')
        mp3 = make_mp3(os.path.join(music_folder('solo'), 'a.mp3'), 24, noise=True, volume=0.25)
        z, proc, cap = self.start('solo', b'gapless=0\r\n' + ini, mp3)
        size = lambda: e2e_lib.file_size(cap) // 2
        second = 2 * 44100
        wait_until(lambda: size() > 0, 30, 'playback to start')
        self.open_dialog(ENHANCER2)
        wait_until(lambda: size() >= 5 * second // 2, 30, 'audio before the solo')
        before = size()
        self.assertEqual(send('dlgclick', TITLE, '4410'), 0)
        wait_until(lambda: send_output('dlgcheck', TITLE, '4410')[1].strip() == b'1', 5, 'solo')
        solo = size()
        # The output queue (1 s) still holds the sum; then 2.5 s of the low band alone.
        wait_until(lambda: size() >= solo + 4 * second, 30, 'audio with the solo')
        self.assertEqual(send('dlgclick', TITLE, '4410'), 0)

        # A user preset: "Mine" keeps the strings the page opened with; after a built-in it
        # is chosen again (the strings come back) and then deleted.
        self.steps(('dlgset', 4306, 'Mine'), ('dlgclick', 4307))
        wait_until(lambda: self.items(4305)[-2:] == ['User settings:', '   Mine'], 5,
                   'the saved preset in the list')
        self.steps(('dlgpick', 4305, self.items(4305).index('   4 band enhance')),
                   ('dlgpick', 4305, self.items(4305).index('   Mine')), ('dlgclick', 4308))
        wait_until(lambda: '   Mine' not in self.items(4305), 5, 'the preset to go')

        # Enhancer 1: "Keep" and "Drop" saved under the typed names, "Drop" chosen and removed.
        self.open_page(ENHANCER1)
        for typed in ('Keep', 'Drop'):
            self.assertEqual(send('dlgset', TITLE, '4202', typed), 0)
            self.assertEqual(send('dlgclick', TITLE, '4203'), 0)
            wait_until(lambda: typed in self.items(4202), 5, 'Enhancer 1 preset %s' % typed)
        self.assertEqual(send('dlgpick', TITLE, '4202', str(self.items(4202).index('Drop'))), 0)
        self.assertEqual(send('dlgclick', TITLE, '4204'), 0)
        wait_until(lambda: 'Drop' not in self.items(4202), 5, 'the Enhancer 1 preset to go')
        self.assertIn('Keep', self.items(4202))
        self.close_dialog()
        stop(proc, self)

        text = z.read_ini().decode('latin-1')
        v = z.values()
        self.assertEqual(v['enh2_1'].encode(), split, 'the strings of "Mine" chosen again')
        self.assertEqual(v['enh2_2'].encode(), flat)
        self.assertEqual(re.findall(r'^enh2_set=(.*?)\r?$', text, re.M), [])
        e1 = [u.split(',')[-1] for u in re.findall(r'^enh_eq_set=(.*?)\r?$', text, re.M)]
        self.assertIn('Keep', e1)
        self.assertNotIn('Drop', e1)

        ref = e2e_lib.decode(mp3, gapless=False)
        got = e2e_lib.samples(cap)
        lo, hi = solo + 3 * second // 2, solo + 4 * second
        low = low_pass(ref, 300, 44100)
        self.assert_gain(got, ref, second // 2, before - second // 2, 1.0, 'the bands summed')
        want = rms(low, lo, hi) / rms(ref, lo, hi)
        print('solo: the low band is %.3f of the sum' % want)
        self.assert_gain(got, ref, lo, hi, want, 'band 1 alone')

    def test_24_bit_output_from_the_next_opening(self):
        # "Always 24 bit output" ticked while playback is stopped: the status shows " 24BIT "
        # at once and the resumed track opens the output in 24 bits. A steady tone in noise:
        # the level of any stretch is the track's level.
        mp3 = make_mp3(os.path.join(music_folder('mode24'), 'a.mp3'), 20, '440-440', noise=True,
                       volume=0.25)
        z, proc, cap = self.start('mode24', b'gapless=0\r\n', mp3, keep_openings=True)
        size = e2e_lib.file_size
        wait_until(lambda: size(cap) > 4 * 44100, 30, 'playback to start')
        self.assertEqual(command('StopResume'), 0)  # stop
        self.open_dialog(AUDIO)
        self.assertEqual(send('dlgclick', TITLE, '4007'), 0)
        wait_until(lambda: ' 24BIT ' in (e2e_lib.output('status') or ''), 5, 'the status word')
        self.close_dialog()
        self.assertEqual(command('StopResume'), 0)  # resume
        second = cap + '.0001'
        wait_until(lambda: size(second) > 6 * 44100, 30, 'playback to resume')
        stop(proc, self)
        ref = e2e_lib.decode(mp3, gapless=False)
        first = e2e_lib.samples(cap)
        data = e2e_lib.read(second)
        # The resumed opening read as packed 24-bit samples (16-bit data would read as noise).
        got = [int.from_bytes(data[i:i + 3], 'little', signed=True) / 256.0
               for i in range(0, len(data) - 2, 3)]
        whole = rms(ref, 0, len(ref))
        for heard, what in ((first, '16-bit before the stop'), (got, '24-bit after the resume')):
            self.assertAlmostEqual(rms(heard, 8192, len(heard)) / whole, 1.0, delta=0.05,
                                   msg=what)

    def test_the_dsp_plugin_box_loads_the_plugin(self):
        dsp = e2e_lib.built('plugins', 'dsp_zuvogain.dll')
        if not os.path.exists(dsp):
            raise unittest.SkipTest('dsp_zuvogain.dll was not built')
        z, cap, ref, before, after = self.play_and_change(
            'dspbox', b'wave_flags=0\r\n', [dsp], DECODERS, [('dlgclick', 4111)])
        second = 2 * 44100
        self.assert_gain(cap, ref, second // 2, before - second // 2, 1.0, 'without the plug-in')
        self.assert_gain(cap, ref, after + 3 * second // 2, after + 4 * second,
                         2.0, 'with the plug-in')
        self.assertEqual(int(z.values()['wave_flags']) & 0x100, 0x100)


if __name__ == '__main__':
    e2e_lib.main()
