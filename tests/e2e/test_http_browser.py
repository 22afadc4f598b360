"""A real browser on the control page: Debian's Chromium, headless, driven through chromedriver
by Selenium, loads the page of zuvo.exe under Wine, finds the tag title that holds a script
shown as text (no alert), clicks ">l" and then a volume step; the page then shows the next
track and the player keeps the step's volume."""
import os
import sys
import unittest

import e2e_lib
import http_client as hc
from e2e_lib import Install, send, stop, wait_until, win_path

try:
    import selenium  # noqa: F401
except ImportError:  # Debian's python3-selenium, when another Python runs the tests
    sys.path.append('/usr/lib/python3/dist-packages')
try:
    from selenium import webdriver
    from selenium.common.exceptions import NoAlertPresentException
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
except ImportError:
    webdriver = None

PORT = hc.free_port()
CHROMEDRIVER = '/usr/bin/chromedriver'
HIGHLIGHT = ('rgb(29, 150, 250)', 'rgba(29, 150, 250, 1)')  # the current track's colour


class Browser(unittest.TestCase):
    def test_next_track_and_volume_step_from_chromium(self):
        if webdriver is None or not os.path.exists(CHROMEDRIVER):
            self.skipTest('no Selenium or chromedriver')
        z = Install('http_browser')
        music = os.path.join(z.folder, 'music')
        os.makedirs(music)
        paths = [e2e_lib.make_mp3(os.path.join(music, '%02d Track.mp3' % (i + 1)), 30,
                                  sweep=str(300 + 200 * i),
                                  lame=('-b', '128', '--ta', 'Zuvo', '--tt',
                                        '<script>alert(%d)</script>' % (i + 1)))
                 for i in range(3)]
        z.write_ini(hc.settings(PORT, extra=b'stylez=%d\r\n' % (1 << 13)))
        proc = z.start(win_path(paths[0]), '/localini')
        try:
            self.assertEqual(send('wait', '20000'), 0, 'no main window')
            hc.wait_for_page(PORT)
            wait_until(lambda: b'alert(1)' in hc.get(PORT, '/'), 20, 'the first track playing')
            self.drive()
        finally:
            stop(proc, self)
        self.assertIn(b'volume=43000\r\n', z.read_ini())

    def drive(self):
        options = webdriver.ChromeOptions()
        for arg in ('--headless=new', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage',
                    '--no-proxy-server'):
            options.add_argument(arg)
        driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        try:
            root = 'http://127.0.0.1:%d/' % PORT
            driver.get(root)
            self.assertEqual(driver.title, 'Zuvo HTTP Control')
            titles = [p.text for p in driver.find_elements(By.CSS_SELECTOR, 'p.big')]
            self.assertIn('Zuvo - <script>alert(1)</script>', titles)
            self.assertRaises(NoAlertPresentException, lambda: driver.switch_to.alert)

            driver.find_element(By.LINK_TEXT, '>l').click()
            current = lambda: [p.text for p in driver.find_elements(By.CSS_SELECTOR, 'p[style]')
                               if p.value_of_css_property('color') in HIGHLIGHT
                               and 'Track' in p.text]
            wait_until(lambda: current() == ['02 Track'], 10, 'the next track on the page')
            self.assertIn('Zuvo - <script>alert(2)</script>',
                          [p.text for p in driver.find_elements(By.CSS_SELECTOR, 'p.big')])
            # From a fresh load, so that the Referer names no command ("/nxt" would come
            # first in the router's order).
            driver.get(root)
            driver.find_element(By.CSS_SELECTOR, 'a[href="v05"]').click()
            # 204: the browser stays on the page.
            self.assertEqual(driver.current_url, root)
        finally:
            driver.quit()


if __name__ == '__main__':
    e2e_lib.main()
