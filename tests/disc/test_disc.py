#!/usr/bin/python3
"""The disc that `merrowkit disc` writes, played by libbluray's BD-J player headless (the
harness merrowkit_play_disc), side by side with the preview of the same build in headless
Chromium: the start page, OK down to a content page and BACK, a chapter menu opened and closed,
grid paging and the year strip scrolling, on the sample, a larger copy of it and an imported
media folder. At every step both players are in the same state; at the checkpoints the disc's
picture and the preview's screenshot agree within 3 levels on average over the stage and
within 8 on 99 % of its pixels (the preview's help text and both status lines aside).

The walks are found in the compiled model read from the disc's menu.bin (a reader of its own
here), so each step is a key the model says leads on. Exits 77 (skipped) when Chromium or the
BD-J player is missing. Writes the discs, pictures and figures (figures.txt) under --work.
"""

import argparse
import collections
import io
import os
import re
import shutil
import struct
import subprocess
import sys
import unittest
import zipfile

CHROMIUM = '/usr/bin/chromium'
CHROMEDRIVER = '/usr/bin/chromedriver'
SKIPPED = 77
KEYS = ('UP', 'DOWN', 'LEFT', 'RIGHT', 'OK', 'BACK', 'POPUP_MENU')
# The remote's key for each key of the model (RED stands for BACK on a disc).
REMOTE = {'UP': 'UP', 'DOWN': 'DOWN', 'LEFT': 'LEFT', 'RIGHT': 'RIGHT', 'OK': 'ENTER',
          'BACK': 'RED', 'POPUP_MENU': 'POPUP'}
MEAN_LIMIT = 3.0
P99_LIMIT = 8
# A slide against the photo fitted here (PIL's bilinear scaling, not the disc's; JPEG).
SLIDE_MEAN_LIMIT = 2.0
SLIDE_P99_LIMIT = 8
# The disc's status line: the bottom band of the stage (CalendarXlet.STATUS_HEIGHT).
DISC_STATUS_HEIGHT = 40

ARGS = None


def run(*command, timeout=300):
    result = subprocess.run(command, capture_output=True, text=True, timeout=timeout)
    if result.returncode != 0:
        raise AssertionError('%s: status %d\n%s' % (' '.join(command), result.returncode,
                                                     result.stderr[-4000:]))
    return result


class Model:
    """menu.bin as docs/menu-model.md describes it."""

    def __init__(self, data):
        self.data, self.at = data, 0
        assert self.int() == 0x4D4B4D4D, 'magic'
        assert self.short() == 2, 'version'
        self.stage = (self.short(), self.short())
        self.prefix, self.suffix = self.utf(), self.utf()
        self.slide_prefix, self.slide_suffix = self.utf(), self.utf()
        self.slide_count, self.slide_seconds = self.int(), self.short()
        self.strings = [self.utf() for _ in range(self.int())]
        self.pictures = [(self.int(), self.short(), self.short()) for _ in range(self.int())]
        self.background = self.int()
        self.draw_lists = []
        for _ in range(self.int()):
            elements = []
            for _ in range(self.int()):
                kind = self.byte()
                element = [kind, self.int(), self.int()] + [self.short() for _ in range(4)]
                if kind == 1:
                    element.append(self.int())
                elif kind == 2:
                    element += [self.short() for _ in range(4)]
                elements.append(element)
            self.draw_lists.append(elements)
        self.actions = []
        for _ in range(self.int()):
            kind = self.byte()
            if kind == 1:
                self.actions.append((kind, self.int(), self.short(), self.int(), self.short()))
            elif kind == 2:
                self.actions.append((kind, self.int(), self.int()))
            else:
                self.actions.append((kind, [self.int() for _ in range(self.int())]))
        self.results = [(self.int(), self.short(), self.int(), self.byte(), self.int())
                        for _ in range(self.int())]
        self.views = []
        for _ in range(self.int()):
            page, chapter = self.int(), self.int()
            lists = [self.int() for _ in range(self.short())]
            focusables = [self.short() for _ in range(self.short())]
            keys = [self.int() for _ in range((len(focusables) + 1) * len(KEYS))]
            self.views.append((page, chapter, lists, focusables, keys))
        self.start = (self.int(), self.short())
        assert self.at == len(data), 'bytes after the model'

    def take(self, fmt):
        value = struct.unpack_from('>' + fmt, self.data, self.at)[0]
        self.at += struct.calcsize(fmt)
        return value

    def int(self):
        return self.take('i')

    def short(self):
        return self.take('h')

    def byte(self):
        return self.take('b')

    def utf(self):
        length = self.take('H')
        text = self.data[self.at:self.at + length].decode('utf-8', 'surrogatepass')
        self.at += length
        return text

    def elements(self, view):
        return [e for l in self.views[view][2] for e in self.draw_lists[l]]

    def state(self, node):
        """The preview's state() of a (view, focus) pair, without the status."""
        view, focus = node
        page, chapter, _, focusables, _ = self.views[view]
        name = None
        if focus >= 0:
            name = self.strings[self.elements(view)[focusables[focus]][1]]
        return {'page': self.strings[page], 'focus': name,
                'chapterMenu': self.strings[chapter] if chapter >= 0 else None}

    def pixels_drawn(self, node):
        """The decoded pixels of the pictures a (view, focus) pair draws, each picture once."""
        view, focus = node
        focused = self.views[view][3][focus] if focus >= 0 else -1
        pictures = {self.background} if self.background >= 0 else set()
        for index, element in enumerate(self.elements(view)):
            picture = element[2]
            if index == focused and element[0] == 1 and element[7] >= 0:
                picture = element[7]
            if picture >= 0:
                pictures.add(picture)
        return sum(self.pictures[p][1] * self.pictures[p][2] for p in pictures)

    def step(self, node, key):
        view, focus = node
        result = self.results[self.views[view][4][(focus + 1) * len(KEYS) + KEYS.index(key)]]
        return (result[0], result[1]) if result[0] >= 0 else node

    def walk(self, node, goal, keys=KEYS[:6]):
        """The shortest key sequence from node to a node where goal(node) holds."""
        seen, queue = {node: []}, collections.deque([node])
        while queue:
            current = queue.popleft()
            if goal(current) and seen[current]:
                return seen[current], current
            for key in keys:
                following = self.step(current, key)
                if following not in seen:
                    seen[following] = seen[current] + [key]
                    queue.append(following)
        raise AssertionError('no walk reaches the goal')


def player_state(line):
    """The state a line of the player's stderr reports, or None."""
    found = re.search(r'merrowkit-player: state page=(\S*) focus=(\S*) '
                      r'chapterMenu=(\S*) hidden=(\S*) heldPixels=(\d+) '
                      r'peakPixels=(\d+) playing=(\S+) status=(.*)$', line)
    if not found:
        return None
    page, focus, chapter, hidden, held, peak, playing, status = found.groups()
    return {'page': page, 'focus': None if focus == 'null' else focus,
            'chapterMenu': None if chapter == 'null' else chapter, 'hidden': hidden == 'true',
            'status': status, 'heldPixels': int(held), 'peakPixels': int(peak),
            'playing': playing}


def larger_project(folder):
    """The sample with more contents on one day and more years (tests/browser)."""
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'browser'))
    import test_preview
    test_preview.ARGS = argparse.Namespace(sample=ARGS.sample)
    test_preview.larger_project(folder)


def agreement(disc_file, preview_file, masks):
    """(mean difference in levels over the stage's channels, 99th percentile of the largest
    channel difference per pixel), both pictures as RGB over black, the masked boxes left out."""
    from PIL import Image, ImageChops, ImageDraw
    disc = Image.open(disc_file).convert('RGBA')
    black = Image.new('RGBA', disc.size, (0, 0, 0, 255))
    disc = Image.alpha_composite(black, disc).convert('RGB')
    preview = Image.open(preview_file).convert('RGB')
    assert disc.size == preview.size == (1920, 1080), (disc.size, preview.size)
    left_out = 0
    for box in masks:
        for picture in (disc, preview):
            ImageDraw.Draw(picture).rectangle(box, fill=(0, 0, 0))
    mask = Image.new('L', disc.size, 0)
    for box in masks:
        ImageDraw.Draw(mask).rectangle(box, fill=255)
    left_out = mask.histogram()[255]
    counted = disc.size[0] * disc.size[1] - left_out
    difference = ImageChops.difference(disc, preview)
    r, g, b = difference.split()
    total = sum(level * count for channel in (r, g, b)
                for level, count in enumerate(channel.histogram()))
    mean = total / (3 * counted)
    largest = ImageChops.lighter(r, ImageChops.lighter(g, b)).histogram()
    largest[0] -= left_out
    allowed, running, p99 = counted * 0.99, 0, 0
    for level, count in enumerate(largest):
        running += count
        if running >= allowed:
            p99 = level
            break
    return mean, p99


class DiscAndPreview(unittest.TestCase):
    figures = []

    @classmethod
    def setUpClass(cls):
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service

        os.makedirs(ARGS.work, exist_ok=True)
        cls.projects = {'sample': ARGS.sample}
        larger = os.path.join(ARGS.work, 'larger-project')
        larger_project(larger)
        cls.projects['larger'] = larger
        imported = os.path.join(ARGS.work, 'media-project')
        run(ARGS.merrowkit, 'import', ARGS.media, '-o', imported)
        cls.projects['media'] = imported
        for name, project in cls.projects.items():
            run(ARGS.merrowkit, 'build', project, '-o', cls.out(name), '--preview')
            run(ARGS.merrowkit, 'disc', project, '-o', cls.disc(name))

        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for argument in ('--headless=new', '--no-sandbox', '--disable-gpu', '--hide-scrollbars',
                         '--force-device-scale-factor=1', '--disable-dev-shm-usage',
                         '--window-size=1920,1080'):
            options.add_argument(argument)
        cls.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        width, height = cls.driver.execute_script('return [innerWidth, innerHeight]')
        cls.driver.set_window_size(1920 + (1920 - width), 1080 + (1080 - height))

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        with open(os.path.join(ARGS.work, 'figures.txt'), 'w') as f:
            f.write('\n'.join(cls.figures) + '\n')
        print('\n'.join(cls.figures), file=sys.stderr)

    @staticmethod
    def out(name):
        return os.path.join(ARGS.work, name + '-out')

    @staticmethod
    def disc(name):
        return os.path.join(ARGS.work, name + '-disc')

    def model(self, name):
        with open(os.path.join(self.disc(name), 'BDMV/JAR/00001/menu.bin'), 'rb') as f:
            return Model(f.read())

    def play_disc(self, name, steps, shots):
        """Plays the disc with the keys of steps, a picture after the steps whose index is in
        shots; returns the states the player reported (start, then one per key) and the
        harness's figures."""
        work = os.path.join(ARGS.work, 'player-' + name)
        shutil.rmtree(work, ignore_errors=True)
        os.makedirs(work)
        script = []
        for index, key in enumerate(steps):
            script.append(REMOTE[key])
            if index in shots:
                script.append('shot=' + shots[index])
        if -1 in shots:
            script.insert(0, 'shot=' + shots[-1])
        result = run(ARGS.player, '--java', ARGS.java, '--work', work, self.disc(name), *script)
        states = []
        for line in result.stderr.splitlines():
            state = player_state(line)
            if state:
                states.append(state)
        figures = dict(re.findall(r'^(first-frame-ms|frames) (\d+)$', result.stdout, re.M))
        return states, figures

    def open_preview(self, name):
        self.driver.get('file://' + os.path.abspath(os.path.join(self.out(name),
                                                                 'preview.html')))
        self.settle()

    def settle(self):
        self.driver.execute_script(
            'return Promise.all([...document.images].map(i => i.decode().catch(() => null)))')

    def preview_state(self, key=None):
        if key is None:
            return self.driver.execute_script('return window.preview.state()')
        return self.driver.execute_script('return window.preview.press(arguments[0])', key)

    def preview_masks(self):
        boxes = []
        for element in ('keys', 'status'):
            box = self.driver.execute_script(
                'const e = document.getElementById(arguments[0]);'
                'if (!e || !e.textContent) return null;'
                'const r = e.getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]',
                element)
            if box:
                boxes.append([int(box[0]) - 1, int(box[1]) - 1, int(box[2]) + 1, int(box[3]) + 1])
        return boxes

    def walk_both(self, name, walks):
        """walks: (checkpoint name, goal) in order; each goal is reached from where the last one
        left off by the model's shortest walk. Plays the keys on both players and compares."""
        model = self.model(name)
        node = model.start
        steps, checkpoints = [], {-1: 'start'}
        for checkpoint, goal, *then in walks:
            keys, node = model.walk(node, goal)
            for key in then:  # a key pressed where the goal holds
                keys.append(key)
                node = model.step(node, key)
            steps += keys
            checkpoints[len(steps) - 1] = checkpoint
        shot_files = {i: os.path.join(ARGS.work, '%s-%s-disc.png' % (name, c))
                      for i, c in checkpoints.items()}
        states, figures = self.play_disc(name, steps, shot_files)
        self.assertEqual(len(states), len(steps) + 1, 'one state per key')

        self.open_preview(name)
        previews = [self.preview_state()]
        for index in range(-1, len(steps)):
            if index >= 0:
                previews.append(self.preview_state(steps[index]))
            if index in checkpoints:
                self.settle()
                shot = os.path.join(ARGS.work, '%s-%s-preview.png' % (name, checkpoints[index]))
                self.driver.save_screenshot(shot)
                masks = self.preview_masks()
                if states[index + 1]['status']:
                    masks.append([0, 1080 - DISC_STATUS_HEIGHT, 1919, 1079])
                mean, p99 = agreement(shot_files[index], shot, masks)
                self.figures.append('%s %s: mean %.2f levels, 99%% within %d' %
                                    (name, checkpoints[index], mean, p99))
                self.assertLessEqual(mean, MEAN_LIMIT, '%s %s' % (name, checkpoints[index]))
                self.assertLessEqual(p99, P99_LIMIT, '%s %s' % (name, checkpoints[index]))
        for index, (disc, preview) in enumerate(zip(states, previews)):
            shown = {k: disc[k] for k in ('page', 'focus', 'chapterMenu', 'status')}
            self.assertEqual(shown, preview, 'after %s' % (steps[:index],))
        # Pictures held: those of the view drawn, read when it is drawn; on a new page exactly
        # those (the old page's are let go), within a page also those of its earlier views.
        node = model.start
        for index, disc in enumerate(states):
            if index > 0:
                node = model.step(node, steps[index - 1])
            needed = model.pixels_drawn(node)
            if index == 0 or disc['page'] != states[index - 1]['page']:
                self.assertEqual(disc['heldPixels'], needed, 'after %s' % (steps[:index],))
            else:
                self.assertGreaterEqual(disc['heldPixels'], needed)
            self.assertLessEqual(disc['heldPixels'], 16 * 1024 * 1024)
        self.figures.append('%s: first frame %s ms, peak decoded pixels %d' %
                            (name, figures.get('first-frame-ms'),
                             max(s['peakPixels'] for s in states)))
        return model, states

    # ---- the walks

    def content_page_and_back(self, name, plays_on_disc):
        model = self.model(name)

        def content_page(node):
            return model.state(node)['page'].endswith('ContentPage')

        def chapter_menu(node):
            return model.state(node)['chapterMenu'] is not None

        def closed(node):
            state = model.state(node)
            return state['chapterMenu'] is None and state['page'].endswith('ContentPage')

        def plays(text):
            # OK here shows a status text that starts with text.
            def goal(node):
                view, focus = node
                result = model.results[model.views[view][4][(focus + 1) * len(KEYS) + 4]]
                return result[2] >= 0 and model.strings[result[2]].startswith(text)
            return goal

        walks = [('content-page', content_page),
                 ('back', lambda node: not content_page(node)),
                 ('chapter-menu', chapter_menu),
                 ('chapter-menu-closed', closed)]
        if not plays_on_disc:
            # The disc has neither the titles' playlists nor the slideshow's photos: it shows
            # the preview's status texts.
            walks += [('chapter-jump', plays('Play title '), 'OK'),
                      ('slideshow', plays('Play slideshow from '), 'OK')]
        _, states = self.walk_both(name, walks)
        if not plays_on_disc:
            self.assertRegex(states[-1]['status'], r'^Play slideshow from ')
            self.assertEqual(states[-1]['playing'], 'none')

    def test_sample(self):
        self.content_page_and_back('sample', False)

    def test_imported_media(self):
        self.content_page_and_back('media', True)

    def test_a_slideshow_shows_its_photos_fitted_upright(self):
        """OK on a slideshow content whose first photo is stored sideways shows that photo
        turned upright and fitted to the stage; RIGHT shows the next, POPUP the menu again
        at the page and focus it left."""
        from PIL import Image, ImageOps
        model = self.model('media')
        with open(os.path.join(self.projects['media'], 'slideshow.xml')) as f:
            photos = re.findall(r'<photo frame="(\d+)" file="([^"]*)"[^>]* orientation="(\d)"',
                                f.read())
        turned = {int(frame): path for frame, path, orientation in photos if orientation != '1'}

        def starts_turned(node):
            view, focus = node
            action = model.results[model.views[view][4][(focus + 1) * len(KEYS) + 4]][4]
            return action >= 0 and model.actions[action][0] == 2 and \
                model.actions[action][1] in turned and model.actions[action][2] > 1

        keys, node = model.walk(model.start, starts_turned)
        view, focus = node
        frame = model.actions[model.results[model.views[view][4][(focus + 1) * 7 + 4]][4]][1]
        menu, first, second, back = (os.path.join(ARGS.work, 'slides-%s.png' % n)
                                     for n in ('menu', 'first', 'second', 'back'))
        work = os.path.join(ARGS.work, 'player-slides')
        shutil.rmtree(work, ignore_errors=True)
        os.makedirs(work)
        result = run(ARGS.player, '--java', ARGS.java, '--work', work, self.disc('media'),
                     *[REMOTE[k] for k in keys], 'shot=' + menu, 'ENTER', 'shot=' + first,
                     'RIGHT', 'shot=' + second, 'POPUP', 'shot=' + back)
        states = [s for s in map(player_state, result.stderr.splitlines()) if s]
        before, shown, stepped, after = states[-4:]
        self.assertEqual(shown['playing'], 'slide:%d' % frame)
        self.assertEqual(stepped['playing'], 'slide:%d' % (frame + 1))
        self.assertEqual(after['playing'], 'none')
        self.assertEqual((after['page'], after['focus']), (before['page'], before['focus']))
        # One slide held (1920 x 1080), the menu's pictures let go.
        self.assertEqual(shown['heldPixels'], 1920 * 1080)

        def expected(path):
            photo = ImageOps.exif_transpose(Image.open(os.path.join(ARGS.media, path)))
            scale = min(1920 / photo.width, 1080 / photo.height)
            size = (round(photo.width * scale), round(photo.height * scale))
            stage = Image.new('RGB', (1920, 1080))
            stage.paste(photo.convert('RGB').resize(size, Image.BILINEAR),
                        ((1920 - size[0]) // 2, (1080 - size[1]) // 2))
            fitted = os.path.join(ARGS.work, 'slides-expected-%d.png' % frame)
            stage.save(fitted)
            return fitted

        mean, p99 = agreement(first, expected(turned[frame]), [])
        self.figures.append('slide %d (turned): mean %.2f levels, 99%% within %d' %
                            (frame, mean, p99))
        self.assertLessEqual(mean, SLIDE_MEAN_LIMIT)
        self.assertLessEqual(p99, SLIDE_P99_LIMIT)
        # The menu comes back as it was left.
        mean, p99 = agreement(back, menu, [])
        self.assertLessEqual(mean, 0.01)

    def test_paging_and_year_strip(self):
        model = self.model('larger')
        page = 'C20231112ContentPage'
        views_of_page = [v for v, view in enumerate(model.views)
                         if model.strings[view[0]] == page]
        first_view = min(views_of_page)

        def second_page_of_cells(node):
            # The second page of cells, turned by OK on the page's next button.
            state = model.state(node)
            return node[0] in views_of_page and node[0] != first_view and \
                state['chapterMenu'] is None and state['focus'] == 'C_BTN_NEXT'

        def strip_scrolled(node):
            # The fourth year's scene is shown on the year page.
            view = model.views[node[0]]
            names = [model.strings[e[1]] for e in model.elements(node[0])]
            return model.strings[view[0]] == 'YearPage' and 'L1_SCENE_4' in names

        self.walk_both('larger', [('grid-page-2', second_page_of_cells),
                                  ('year-strip-scrolled', strip_scrolled)])

    def test_popup_key_hides_the_menu_and_shows_it_again(self):
        from PIL import Image, ImageChops
        start, hidden, shown = (os.path.join(ARGS.work, 'sample-popup-%s.png' % n)
                                for n in ('start', 'hidden', 'shown'))
        work = os.path.join(ARGS.work, 'player-popup')
        shutil.rmtree(work, ignore_errors=True)
        os.makedirs(work)
        result = run(ARGS.player, '--java', ARGS.java, '--work', work, self.disc('sample'),
                     'shot=' + start, 'POPUP', 'shot=' + hidden, 'RIGHT', 'POPUP',
                     'shot=' + shown)
        lines = re.findall(r'merrowkit-player: state .*? hidden=(\S+) .*? status=(.*)$',
                           result.stderr, re.M)
        self.assertEqual([flag for flag, _ in lines], ['false', 'true', 'true', 'false'])
        self.assertEqual(lines[1][1], 'Menu hidden (POPUP shows it)')
        self.assertEqual(lines[3][1], '')
        # Hidden: a black stage but for the status band; shown again: the start picture, the
        # RIGHT pressed while hidden having done nothing.
        picture = Image.open(hidden).convert('RGB')
        above = picture.crop((0, 0, 1920, 1080 - DISC_STATUS_HEIGHT))
        self.assertEqual(above.getextrema(), ((0, 0), (0, 0), (0, 0)))
        self.assertIsNone(ImageChops.difference(Image.open(start).convert('RGB'),
                                                Image.open(shown).convert('RGB')).getbbox())


    # ---- playback

    def play_script(self, name, script, label):
        """Runs the harness with a script of its own; (states, stdout lines)."""
        work = os.path.join(ARGS.work, 'player-' + label)
        shutil.rmtree(work, ignore_errors=True)
        os.makedirs(work)
        result = run(ARGS.player, '--java', ARGS.java, '--work', work, self.disc(name), *script)
        states = [s for s in map(player_state, result.stderr.splitlines()) if s]
        return states, result.stdout.splitlines()

    def chapter_scene(self, model, chapter):
        """A walk from the start to a chapter scene whose OK plays chapter `chapter` of a
        title: (keys, title number)."""
        def plays_chapter(node):
            view, focus = node
            action = model.results[model.views[view][4][(focus + 1) * len(KEYS) + 4]][4]
            return action >= 0 and model.actions[action][0] == 1 and \
                model.actions[action][2] == chapter

        keys, node = model.walk(model.start, plays_chapter)
        view, focus = node
        action = model.actions[model.results[model.views[view][4][(focus + 1) * 7 + 4]][4]]
        return [REMOTE[k] for k in keys], action[1]

    def titles_disc(self):
        """The imported media's disc, which carries its two videos as titles with playlists."""
        for number in (1, 2):
            self.assertTrue(os.path.exists(os.path.join(
                self.disc('media'), 'BDMV/PLAYLIST/%05d.mpls' % number)), 'playlist %d' % number)
        return self.model('media')

    def test_a_chapter_plays_from_its_mark_and_the_menu_comes_back(self):
        """OK on a chapter scene starts its title's playlist at that chapter; at the end of the
        title the menu is back at the page and focus it left, drawn as it was."""
        from PIL import Image
        model = self.titles_disc()
        keys, title = self.chapter_scene(model, 2)
        before, after = (os.path.join(ARGS.work, 'title-%s.png' % n) for n in ('before', 'after'))
        states, out = self.play_script('media', keys + ['shot=' + before, 'ENTER', 'where',
                                                        'read', 'wait=END_OF_TITLE',
                                                        'shot=' + after], 'title')
        events = [line for line in out if line.startswith('event ')]
        self.assertIn('event PLAYLIST %d' % title, events)
        where = [line.split() for line in out if line.startswith('where ')][0]
        self.assertEqual((int(where[2]), int(where[4])), (title, 2), where)
        chapters = chapter_starts(self.disc('media'), title)
        # Playback begins at the I-frame that starts chapter 2, at most a second (a Blu-ray
        # GOP) before its mark and not after it (one frame's slack).
        self.assertGreaterEqual(int(where[6]), chapters[1] - 90000)
        self.assertLessEqual(int(where[6]), chapters[1] + 3754)
        playing, ended = states[-2], states[-1]
        self.assertEqual(playing['playing'], 'title:%d:2' % title)
        self.assertEqual(ended['playing'], 'none')
        self.assertEqual((ended['page'], ended['focus'], ended['chapterMenu']),
                         (states[-3]['page'], states[-3]['focus'], states[-3]['chapterMenu']))
        mean, _ = agreement(after, before, [])
        self.figures.append('title %d chapter 2: began at %s ticks (chapters at %s); the menu '
                            'back after the title: mean %.3f levels' %
                            (title, where[6], chapters, mean))
        self.assertLessEqual(mean, 0.01)
        self.assertEqual(Image.open(after).getpixel((960, 540))[3], 255)

    def test_every_chapter_the_menu_offers_plays_from_it(self):
        """Every chapter jump the imported media's menu offers starts its title's playlist at
        that chapter, and the menu comes back when the title ends."""
        model = self.titles_disc()
        offered = sorted({(a[1], a[2]) for a in model.actions if a[0] == 1 and a[2] > 0})
        self.assertGreaterEqual(len(offered), 4, offered)  # two videos of two chapters each
        for title, chapter in offered:
            def plays(node, wanted=(title, chapter)):
                view, focus = node
                action = model.results[model.views[view][4][(focus + 1) * len(KEYS) + 4]][4]
                return action >= 0 and model.actions[action][0] == 1 and \
                    tuple(model.actions[action][1:3]) == wanted
            keys, _ = model.walk(model.start, plays)
            states, out = self.play_script(
                'media', [REMOTE[k] for k in keys] + ['ENTER', 'where', 'read',
                                                       'wait=END_OF_TITLE'],
                'chapter-%d-%d' % (title, chapter))
            self.assertIn('event PLAYLIST %d' % title, out, (title, chapter))
            where = [line.split() for line in out if line.startswith('where ')][0]
            self.assertEqual((int(where[2]), int(where[4])), (title, chapter), where)
            self.assertEqual(states[-2]['playing'], 'title:%d:%d' % (title, chapter))
            self.assertEqual(states[-1]['playing'], 'none')
            self.assertEqual((states[-1]['page'], states[-1]['focus']),
                             (states[-3]['page'], states[-3]['focus']))
        self.figures.append('every chapter the menu offers played from its mark: %s' % offered)

    def test_the_popup_key_shows_the_menu_over_a_playing_title(self):
        """While a title plays the stage is transparent; POPUP draws the menu (the chapter menu
        it was started from) over the video, and OK there starts the chapter again. Keys in
        the menu over the video move it (BACK closes the chapter menu), but at the end of the
        title the menu is back where playback began."""
        from PIL import Image, ImageChops
        model = self.titles_disc()
        keys, title = self.chapter_scene(model, 2)
        menu, video, popup = (os.path.join(ARGS.work, 'popup-%s.png' % n)
                              for n in ('menu', 'video', 'over'))
        states, out = self.play_script('media', keys + [
            'shot=' + menu, 'ENTER', 'shot=' + video, 'POPUP', 'shot=' + popup, 'ENTER',
            'POPUP', 'RED', 'POPUP', 'read', 'wait=END_OF_TITLE'], 'popup')
        playing = 'title:%d:2' % title
        self.assertEqual([s['playing'] for s in states[-8:]],
                         ['none', playing, playing + ':menu', playing, playing + ':menu',
                          playing + ':menu', playing, 'none'])
        left = states[-8]
        self.assertIsNotNone(left['chapterMenu'])
        self.assertEqual(states[-6]['chapterMenu'], left['chapterMenu'])
        self.assertIsNone(states[-3]['chapterMenu'])
        self.assertEqual((states[-1]['page'], states[-1]['focus'], states[-1]['chapterMenu']),
                         (left['page'], left['focus'], left['chapterMenu']))
        self.assertEqual(len([l for l in out if l == 'event PLAYLIST %d' % title]), 2)
        alpha = Image.open(video).getchannel('A')
        self.assertEqual(alpha.getextrema(), (0, 0), 'the video shows through')
        over = Image.open(popup).convert('RGBA')
        drawn = over.getchannel('A').point(lambda a: 255 if a == 255 else 0)
        share = drawn.histogram()[255] / (1920 * 1080)
        # Where the overlay draws, it draws the menu as it was before OK.
        difference = ImageChops.difference(over.convert('RGB'),
                                           Image.open(menu).convert('RGB'))
        masked = Image.composite(difference, Image.new('RGB', over.size), drawn)
        total = sum(level * count for channel in masked.split()
                    for level, count in enumerate(channel.histogram()))
        mean = total / (3 * max(drawn.histogram()[255], 1))
        self.figures.append('popup over title %d: %.1f %% of the stage drawn, mean %.3f '
                            'levels from the menu' % (title, 100 * share, mean))
        self.assertGreater(share, 0.05)
        self.assertLess(share, 0.95)
        self.assertLessEqual(mean, 0.5)

    def test_play_all_plays_the_page_contents_in_order(self):
        """"Play all" on a content page shows a slideshow content's photos (RIGHT past the last
        one moves on), then plays the title content's title from its start, then the menu is
        back."""
        model = self.titles_disc()

        def plays_all(node):
            view, focus = node
            action = model.results[model.views[view][4][(focus + 1) * len(KEYS) + 4]][4]
            if action < 0 or model.actions[action][0] != 3:
                return False
            kinds = [model.actions[i][0] for i in model.actions[action][1]]
            return kinds[:2] == [2, 1]

        keys, (view, focus) = model.walk(model.start, plays_all)
        items = [model.actions[i] for i in model.actions[
            model.results[model.views[view][4][(focus + 1) * 7 + 4]][4]][1]]
        slides, title = items[0], items[1]
        script = [REMOTE[k] for k in keys] + ['ENTER'] + ['RIGHT'] * slides[2] + \
            ['POPUP', 'POPUP', 'read', 'wait=END_OF_TITLE']
        states, out = self.play_script('media', script, 'play-all')
        expected = ['slide:%d' % (slides[1] + i) for i in range(slides[2])]
        playing = 'title:%d:0' % title[1]
        expected += [playing, playing + ':menu', playing]
        if len(items) == 2:
            expected.append('none')
        played = states[len(keys) + 1:]
        self.assertEqual([s['playing'] for s in played][:len(expected)], expected)
        self.assertIn('event PLAYLIST %d' % title[1], out)
        # POPUP over the title shows its content's chapter menu, where it has one.
        over = played[slides[2] + 1]
        if title[3] >= 0:
            self.assertEqual(over['chapterMenu'], model.strings[model.views[title[3]][1]])
            self.assertIsNotNone(over['chapterMenu'])


def chapter_starts(disc, title):
    """The entry marks of a title's playlist as libbluray's bd_get_title_info gives them is
    what the player seeks to; here they are read from the playlist file itself (45 kHz marks
    over the play item's in-time, as 90 kHz from the clip's start)."""
    with open(os.path.join(disc, 'BDMV/PLAYLIST/%05d.mpls' % title), 'rb') as f:
        data = f.read()
    playlist_at, marks_at = struct.unpack_from('>II', data, 8)
    in_time = struct.unpack_from('>I', data, playlist_at + 10 + 2 + 12)[0]
    count = struct.unpack_from('>H', data, marks_at + 4)[0]
    starts = []
    for m in range(count):
        entry = marks_at + 6 + 14 * m
        if data[entry + 1] == 1:  # an entry mark
            starts.append((struct.unpack_from('>I', data, entry + 4)[0] - in_time) * 2)
    return starts


class PlayerJar(unittest.TestCase):
    def test_every_class_is_java_1_4_and_the_jar_fits_a_players_cache(self):
        jar = os.path.join(DiscAndPreview.disc('sample'), 'BDMV/JAR/00000.jar')
        if not os.path.exists(jar):
            run(ARGS.merrowkit, 'disc', ARGS.sample, '-o', DiscAndPreview.disc('sample'))
        self.assertLessEqual(os.path.getsize(jar), 4 * 1024 * 1024)
        classes = 0
        with zipfile.ZipFile(jar) as archive:
            for entry in archive.namelist():
                if entry.endswith('.class'):
                    header = archive.read(entry)[:8]
                    magic, minor, major = struct.unpack('>IHH', header)
                    self.assertEqual(magic, 0xCAFEBABE, entry)
                    self.assertLessEqual(major, 48, entry)
                    classes += 1
        self.assertGreater(classes, 0)
        print('player JAR: %d bytes, %d classes' % (os.path.getsize(jar), classes),
              file=sys.stderr)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument('--merrowkit', required=True)
    parser.add_argument('--player', required=True, help='merrowkit_play_disc')
    parser.add_argument('--java', required=True, help='JAVA_HOME of Java 17')
    parser.add_argument('--sample', required=True)
    parser.add_argument('--media', required=True)
    parser.add_argument('--work', required=True)
    ARGS, rest = parser.parse_known_args()
    if not (os.access(CHROMIUM, os.X_OK) and os.access(CHROMEDRIVER, os.X_OK)):
        print('skipped: %s or %s is not installed (scripts/install-test-deps)' %
              (CHROMIUM, CHROMEDRIVER))
        return SKIPPED
    shutil.rmtree(ARGS.work, ignore_errors=True)
    # merrowkit disc's clip cache stays inside the test's folder.
    os.environ['XDG_CACHE_HOME'] = os.path.join(os.path.abspath(ARGS.work), 'cache')
    program = unittest.main(argv=[sys.argv[0], '-v', *rest], exit=False)
    return 0 if program.result.wasSuccessful() else 1


if __name__ == '__main__':
    sys.exit(main())
