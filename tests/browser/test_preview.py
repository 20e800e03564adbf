#!/usr/bin/python3
"""The preview page played in headless Chromium (Debian's chromium and chromium-driver, driven
with Selenium): the start page and focus, OK down to a content page and BACK up again, a title
content's chapter menu, a chapter jump, paging of a grid with more entries than cells, and a
screenshot whose pixels at three buttons are those of their tracks.

Run by CTest with the built merrowkit program; exits 77 (skipped) when Chromium is not
installed. Writes its outputs and screenshots under --work.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ElementTree

CHROMIUM = '/usr/bin/chromium'
CHROMEDRIVER = '/usr/bin/chromedriver'
SKIPPED = 77
NS = {'c': 'http://merrowkit.example/BD-J/Calendar/0.1'}

ARGS = None


def run_merrowkit(*args):
    result = subprocess.run([ARGS.merrowkit, *args], capture_output=True, text=True, timeout=120)
    if result.returncode != 0:
        raise AssertionError('merrowkit %s: status %d\n%s' %
                             (' '.join(args), result.returncode, result.stderr))
    # The build checks its output: no warning about it either. The larger project's navigation
    # totals and weekdays are not kept consistent, so warnings about its input are let through.
    problems = [line for line in result.stderr.splitlines()
                if not (': warning: ' in line and '/presentation.xml:' in line)]
    if problems:
        raise AssertionError('merrowkit %s:\n%s' % (' '.join(args), '\n'.join(problems)))
    return result


def larger_project(folder):
    """The sample with ten more contents on 12 November 2023 (twelve contents for the eight
    cells of the content page's grid) and two more years, copies of 2024 (four years for the
    three holders of the year strip)."""
    shutil.copytree(ARGS.sample, folder)
    document = os.path.join(folder, 'presentation.xml')
    with open(document, encoding='utf-8') as f:
        text = f.read()
    year = re.search(r'\n *<yearInfo id="Year_2024".*?</yearInfo>', text, re.S).group(0)
    copies = ''.join(re.sub(r' id="([A-Za-z]+)_2024', r' id="\1_%d' % y,
                            year.replace('content="2024"', 'content="%d"' % y))
                     for y in (2025, 2026))
    text = text.replace(year, year + copies)
    extra = ''.join(
        '\n                        <contentInfo id="Content_2023_11_12_%d" content="%02d:%02d" '
        'PHOTO_NUMBER="3" startFrame="%d" thumbnailId="TH_CONTENT_2023_11_12_1"/>' %
        (n, 15 + n // 4, (n * 7) % 60, n) for n in range(3, 13))
    anchor = 'thumbnailId="TH_CONTENT_2023_11_12_2"/>'
    assert text.count(anchor) == 1, 'the sample changed: ' + anchor
    with open(document, 'w', encoding='utf-8') as f:
        f.write(text.replace(anchor, anchor + extra))


class Document:
    """The AppPresentation.xml of an output folder, for the expectations."""

    def __init__(self, folder):
        self.root = ElementTree.parse(os.path.join(folder, 'AppPresentation.xml')).getroot()

    def element(self, element_id):
        found = self.root.findall('.//*[@id="%s"]' % element_id)
        assert found, element_id
        return found[0]

    def first_page(self):
        return self.root.find('.//c:calendar', NS).get('firstPageId')

    def default_focus(self):
        return self.root.find('.//c:focuscontrol', NS).get('default')

    def entries(self, page_id):
        page = self.element(page_id)
        return [e for e in page if e.tag.split('}')[1] in
                ('year', 'month', 'day', 'titlecontent', 'slideshowcontent')]

    def first_child_page(self, entry):
        return next(c for c in entry if c.tag.endswith('page')).get('id')


class PreviewInChromium(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service

        os.makedirs(ARGS.work, exist_ok=True)
        cls.sample_out = os.path.join(ARGS.work, 'sample-out')
        run_merrowkit('build', ARGS.sample, '-o', cls.sample_out, '--preview')
        cls.sample = Document(cls.sample_out)

        project = os.path.join(ARGS.work, 'larger-project')
        shutil.rmtree(project, ignore_errors=True)
        larger_project(project)
        cls.larger_out = os.path.join(ARGS.work, 'larger-out')
        run_merrowkit('build', project, '-o', cls.larger_out, '--preview')
        cls.larger = Document(cls.larger_out)

        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for argument in ('--headless=new', '--no-sandbox', '--disable-gpu', '--hide-scrollbars',
                         '--force-device-scale-factor=1', '--disable-dev-shm-usage',
                         '--window-size=1920,1080'):
            options.add_argument(argument)
        options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
        cls.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        # The viewport exactly the stage's size, so that the stage is drawn at scale 1.
        width, height = cls.driver.execute_script('return [innerWidth, innerHeight]')
        cls.driver.set_window_size(1920 + (1920 - width), 1080 + (1080 - height))

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()

    def open(self, folder, page='preview.html'):
        self.driver.get('file://' + os.path.abspath(os.path.join(folder, page)))
        self.driver.execute_script(
            'return Promise.all([...document.images].map(i => i.decode().catch(() => null)))')
        errors = [e for e in self.driver.get_log('browser') if e['level'] == 'SEVERE']
        self.assertEqual(errors, [])

    def state(self):
        return self.driver.execute_script('return window.preview.state()')

    def press(self, *keys):
        for key in keys:
            state = self.driver.execute_script('return window.preview.press(arguments[0])', key)
        return state

    def drawn(self, element_id):
        return self.driver.execute_script(
            'return document.querySelectorAll(\'[data-id="\' + arguments[0] + \'"]\').length',
            element_id)

    def drawn_ids(self, prefix):
        return self.driver.execute_script(
            'return [...document.querySelectorAll("[data-id]")].map(e => e.dataset.id)'
            '.filter(id => id.startsWith(arguments[0]))', prefix)

    def picture_of(self, element_id):
        return self.driver.execute_script(
            'const e = document.querySelector(\'[data-id="\' + arguments[0] + \'"]\');'
            'return e ? decodeURIComponent(e.getAttribute("src")) : null', element_id)

    def press_until(self, key, focus, limit=12):
        for _ in range(limit):
            if self.press(key)['focus'] == focus:
                return
        self.fail('%s never reached %s (now %s)' % (key, focus, self.state()['focus']))

    # ---- the walk

    def test_start_page_and_focus(self):
        self.open(self.sample_out)
        default = self.sample.default_focus()
        self.assertEqual(self.state(), {'page': self.sample.first_page(), 'focus': default,
                                        'chapterMenu': None, 'status': ''})
        # The focused button shows its focus picture, the others their normal picture.
        self.assertEqual(self.picture_of(default),
                         'tracks/%s.png' % self.sample.element(default).get('imageFocus'))
        self.assertEqual(self.picture_of('L1_SCENE_2'),
                         'tracks/%s.png' % self.sample.element('L1_SCENE_2').get('imageNormal'))
        # The popup menu key hides the whole menu and shows it again; other keys wait.
        from selenium.webdriver.common.by import By
        self.driver.find_element(By.TAG_NAME, 'body').send_keys('m')
        self.assertEqual(self.drawn(default), 0)
        self.assertNotEqual(self.state()['status'], '')
        self.assertEqual(self.press('RIGHT')['focus'], default)
        self.assertEqual(self.press('POPUP_MENU'), {'page': self.sample.first_page(),
                                                    'focus': default, 'chapterMenu': None,
                                                    'status': ''})
        self.assertEqual(self.drawn(default), 1)
        # Every track the page shows is loaded from the output folder.
        broken = self.driver.execute_script(
            'return [...document.images].filter(i => !i.complete || !i.naturalWidth)'
            '.map(i => i.src)')
        self.assertEqual(broken, [])

    def test_ok_down_to_a_content_page_and_back_up(self):
        from selenium.webdriver.common.by import By
        from selenium.webdriver.common.keys import Keys

        self.open(self.sample_out)
        year = self.sample.entries('YearPage')[0]
        month_page = self.sample.first_child_page(year)
        month = self.sample.entries(month_page)[0]
        day_page = self.sample.first_child_page(month)
        day = self.sample.entries(day_page)[0]
        content_page = self.sample.first_child_page(day)

        # The real key first: Enter is OK.
        self.driver.find_element(By.TAG_NAME, 'body').send_keys(Keys.ENTER)
        self.assertEqual(self.state()['page'], month_page)
        self.assertEqual(self.state()['focus'], month.get('thumbnailResId'))
        self.assertEqual(self.press('OK')['page'], day_page)
        self.assertEqual(self.state()['focus'], day.get('thumbnailResId'))
        state = self.press('OK')
        self.assertEqual(state['page'], content_page)
        contents = self.sample.entries(content_page)
        self.assertEqual(state['focus'], contents[0].get('thumbnailResId'))
        for content in contents:
            self.assertEqual(self.drawn(content.get('thumbnailResId')), 1)
        self.assertEqual(self.drawn('C_BACKGROUND'), 1)

        # BACK (Escape, then the test interface) climbs with the focus on the entry opened.
        self.driver.find_element(By.TAG_NAME, 'body').send_keys(Keys.ESCAPE)
        self.assertEqual(self.state(), {'page': day_page, 'focus': day.get('thumbnailResId'),
                                        'chapterMenu': None, 'status': ''})
        self.assertEqual(self.press('BACK')['focus'], month.get('thumbnailResId'))
        self.assertEqual(self.press('BACK'), {'page': 'YearPage', 'focus': 'L1_SCENE_1',
                                              'chapterMenu': None, 'status': ''})

    def open_first_title_content(self):
        """Opens the sample's first day with a title content that has a chapter menu, with the
        focus on that content's button; returns the content element."""
        self.open(self.sample_out)
        self.press('OK', 'OK', 'OK')
        contents = self.sample.entries(self.state()['page'])
        content = next(c for c in contents if c.get('chapterLayoutId'))
        self.press_until('RIGHT', content.get('thumbnailResId'))
        return content

    def test_chapter_menu_opens_and_back_closes_it(self):
        content = self.open_first_title_content()
        menu = content.get('chapterLayoutId')
        page = self.state()['page']
        state = self.press('OK')
        self.assertEqual(state['chapterMenu'], menu)
        self.assertEqual(state['page'], page)
        first_scene = [e.get('id') for e in self.sample.element(menu).iter()
                       if re.match(r'.*_SCENE_1$', e.get('id') or '')][0]
        self.assertEqual(state['focus'], first_scene)
        background = self.sample.element(menu)[0].get('id')
        self.assertEqual(self.drawn(background), 1)
        # While it is shown, the focus stays in the chapter menu.
        for key in ('UP', 'LEFT', 'RIGHT', 'UP'):
            focus = self.press(key)['focus']
            self.assertTrue(focus.startswith(menu.split('_')[0] + '_'), focus)

        state = self.press('BACK')
        self.assertEqual(state, {'page': page, 'focus': content.get('thumbnailResId'),
                                 'chapterMenu': None, 'status': ''})
        self.assertEqual(self.drawn(background), 0)

    def test_a_chapter_scenes_ok_shows_the_jump(self):
        content = self.open_first_title_content()
        title = content.get('titleId')
        self.press('OK')
        state = self.press('RIGHT')
        launcher = state['focus']
        trigger = self.sample.root.find('.//c:trigger[@launcher="%s"]' % launcher, NS)
        jump = self.sample.element(trigger.find('c:use', NS).get('target'))
        state = self.press('OK')
        expected = 'Play title %s chapter %s' % (title, jump.get('chapterNo'))
        self.assertEqual(jump.get('chapterNo'), '2')
        self.assertEqual(state['status'], expected)
        self.assertEqual(self.driver.execute_script(
            'return document.getElementById("status").textContent'), expected)
        # DOWN past the bottom of the chapter menu hides it (the key event's HideChapterMenu).
        self.assertEqual(self.press('DOWN')['chapterMenu'], None)

        # A slideshow content plays from its start.
        slideshow = next(c for c in self.sample.entries(self.state()['page'])
                         if c.tag.endswith('slideshowcontent'))
        self.press_until('LEFT', slideshow.get('thumbnailResId'))
        self.assertEqual(self.press('OK')['status'],
                         'Play slideshow from ' + slideshow.get('startTime'))

    def test_paging_of_a_grid_with_more_entries_than_cells(self):
        self.open(self.larger_out)
        self.press('OK', 'OK', 'OK')
        page = self.state()['page']
        self.assertEqual(page, 'C20231112ContentPage')
        buttons = [c.get('thumbnailResId') for c in self.larger.entries(page)]
        self.assertEqual(len(buttons), 12)
        grid = self.larger.element('ContentPageLayout').find('c:gridlayout', NS)
        cells = int(grid.get('col')) * int(grid.get('row'))
        self.assertEqual(cells, 8)

        def shown():
            return self.drawn_ids('ContentSelectBtn_')

        self.assertEqual(shown(), buttons[:cells])
        next_button = self.larger.element(page).get('nextPageButtonId')
        previous_button = self.larger.element(page).get('previousPageButtonId')
        self.press_until('RIGHT', next_button)
        self.press('OK')
        self.assertEqual(shown(), buttons[cells:])
        self.assertEqual(self.state()['focus'], next_button)
        self.press('OK')  # no third page of cells
        self.assertEqual(shown(), buttons[cells:])
        self.press_until('LEFT', previous_button)
        self.press('OK')
        self.assertEqual(shown(), buttons[:cells])

        # A content of the second page of cells plays.
        self.press_until('RIGHT', next_button)
        self.press('OK')
        self.press_until('LEFT', buttons[-1])
        self.press('OK')
        self.assertEqual(self.state()['status'][:14], 'Play slideshow')

    def test_the_year_strip_scrolls_past_its_last_holder(self):
        self.open(self.larger_out)
        years = self.larger.entries('YearPage')
        holders = self.larger.root.findall('.//c:scrollcontainer3//c:scrollholder', NS)
        self.assertEqual((len(years), len(holders)), (4, 3))
        shown = lambda: self.drawn_ids('L1_SCENE_')
        self.assertEqual(shown(), ['L1_SCENE_1', 'L1_SCENE_2', 'L1_SCENE_3'])
        self.assertEqual(self.press('RIGHT', 'RIGHT')['focus'], 'L1_SCENE_3')
        self.assertEqual(self.press('RIGHT')['focus'], 'L1_SCENE_4')
        self.assertEqual(shown(), ['L1_SCENE_2', 'L1_SCENE_3', 'L1_SCENE_4'])
        # The last year's scene opens the last year's month page.
        state = self.press('OK')
        self.assertEqual(state['page'], self.larger.first_child_page(years[3]))
        self.assertEqual(self.press('BACK')['focus'], 'L1_SCENE_4')
        self.assertEqual(self.press('LEFT', 'LEFT', 'LEFT')['focus'], 'L1_SCENE_1')
        self.assertEqual(shown(), ['L1_SCENE_1', 'L1_SCENE_2', 'L1_SCENE_3'])

    def test_a_long_walk_never_loses_the_focus(self):
        """600 keys, chosen by a fixed seed, over the larger project: the focus is always a
        drawn element, every page met is a page of the document, and no script error."""
        import random

        self.open(self.larger_out)
        pages = {e.get('id') for e in self.larger.root.iter()
                 if e.tag.split('}')[1] in ('yearpage', 'monthpage', 'daypage', 'contentpage')}
        keys = ['UP', 'DOWN', 'LEFT', 'RIGHT', 'OK', 'OK', 'BACK']
        chosen = random.Random(10).choices(keys, k=600)
        seen = self.driver.execute_script("""
            const seen = [];
            for (const key of arguments[0]) {
                const s = window.preview.press(key);
                const drawn = document.querySelectorAll('[data-id="' + s.focus + '"]').length;
                seen.push([s.page, s.focus, drawn, s.chapterMenu]);
            }
            return seen;""", chosen)
        for page, focus, drawn, _ in seen:
            self.assertIn(page, pages)
            self.assertEqual(drawn, 1, (page, focus))
        visited = {page for page, _, _, _ in seen}
        self.assertGreaterEqual(len(visited), 8, visited)
        self.assertTrue(any(menu for _, _, _, menu in seen))
        errors = [e for e in self.driver.get_log('browser') if e['level'] == 'SEVERE']
        self.assertEqual(errors, [])

    def test_a_page_written_elsewhere_shows_the_tracks(self):
        elsewhere = os.path.join(ARGS.work, 'elsewhere', 'my pages')
        os.makedirs(elsewhere, exist_ok=True)
        run_merrowkit('preview', self.sample_out, '-o', os.path.join(elsewhere, 'menu.html'))
        self.open(elsewhere, 'menu.html')
        images = self.driver.execute_script(
            'return [...document.images].map(i => [i.complete && i.naturalWidth > 0, i.src])')
        self.assertGreater(len(images), 10)
        for loaded, source in images:
            self.assertTrue(loaded, source)

    # ---- pixels

    def test_screenshot_pixels_are_the_tracks_pixels(self):
        from PIL import Image
        import io

        self.open(self.sample_out)
        self.assertEqual(self.driver.execute_script('return [innerWidth, innerHeight]'),
                         [1920, 1080])
        shot_file = os.path.join(ARGS.work, 'preview.png')
        self.driver.save_screenshot(shot_file)
        shot = Image.open(shot_file).convert('RGB')
        self.assertEqual(shot.size, (1920, 1080))

        focus = self.sample.default_focus()
        checked = {}
        for button in (focus, 'L1_SCENE_2', 'Y_BTN_NEXT'):
            attribute = 'imageFocus' if button == focus else 'imageNormal'
            track = self.sample.element(button).get(attribute)
            picture = Image.open(os.path.join(self.sample_out, 'tracks', track + '.png'))
            picture = picture.convert('RGBA')
            rect = self.driver.execute_script(
                'const r = document.querySelector(\'[data-id="\' + arguments[0] + \'"]\')'
                '.getBoundingClientRect(); return [r.left, r.top, r.width, r.height]', button)
            left, top, width, height = (round(v) for v in rect)
            self.assertEqual((width, height), picture.size, button)
            compared = 0
            for x in range(1, width - 1, 3):
                for y in range(1, height - 1, 3):
                    r, g, b, a = picture.getpixel((x, y))
                    if a != 255:
                        continue  # shows what lies beneath as well
                    got = shot.getpixel((left + x, top + y))
                    self.assertLessEqual(max(abs(got[0] - r), abs(got[1] - g), abs(got[2] - b)),
                                         2, '%s at (%d, %d): %s, track %s' %
                                         (button, x, y, got, (r, g, b)))
                    compared += 1
            self.assertGreaterEqual(compared, 20, button)
            checked[button] = compared
        # The focused button shows its focus picture, which differs from its normal one.
        normal = Image.open(os.path.join(
            self.sample_out, 'tracks',
            self.sample.element(focus).get('imageNormal') + '.png')).convert('RGBA')
        focused = Image.open(os.path.join(
            self.sample_out, 'tracks',
            self.sample.element(focus).get('imageFocus') + '.png')).convert('RGBA')
        self.assertNotEqual(normal.tobytes(), focused.tobytes())
        print('pixels compared: %s' % checked, file=sys.stderr)

        # A second picture for the documentation: a chapter menu over its content page.
        content = self.open_first_title_content()
        self.press('OK', 'RIGHT', 'OK')
        self.assertEqual(self.state()['chapterMenu'], content.get('chapterLayoutId'))
        self.driver.save_screenshot(os.path.join(ARGS.work, 'preview-chapter-menu.png'))


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument('--merrowkit', required=True)
    parser.add_argument('--sample', required=True)
    parser.add_argument('--work', required=True)
    ARGS, rest = parser.parse_known_args()
    if not (os.access(CHROMIUM, os.X_OK) and os.access(CHROMEDRIVER, os.X_OK)):
        print('skipped: %s or %s is not installed (scripts/install-test-deps)' %
              (CHROMIUM, CHROMEDRIVER))
        return SKIPPED
    shutil.rmtree(ARGS.work, ignore_errors=True)
    program = unittest.main(argv=[sys.argv[0], '-v', *rest], exit=False)
    return 0 if program.result.wasSuccessful() else 1


if __name__ == '__main__':
    sys.exit(main())
