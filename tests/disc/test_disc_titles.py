#!/usr/bin/env python3
"""The sample media imported (`merrowkit import`) and put on a disc (`merrowkit disc`), read back
by libbluray (merrowkit-disc-titles): every title of the project that has a video has its
playlist, with its clip, a duration within one frame of its clip's pictures, and as many chapters as the
project's chapterInfo entries, each starting within one frame of the video's chapter; `merrowkit
check` of the disc finds nothing. Prints each clip's stream properties (ffprobe).

Status 77 (skipped) without ffprobe, or when `merrowkit disc` writes no clips (a build without
the conversion of the titles' videos)."""

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import unittest
import urllib.parse
import xml.etree.ElementTree as ET

from test_disc import run  # a command that must succeed, its output kept

SKIPPED = 77
ARGS = None


def probe(path, *entries):
    out = run('ffprobe', '-v', 'error', '-of', 'json', *entries, path).stdout
    return json.loads(out)


def rate(text):
    num, den = text.split('/')
    return int(num) / int(den)


class DiscTitles(unittest.TestCase):
    no_clips = False

    @classmethod
    def setUpClass(cls):
        shutil.rmtree(ARGS.work, ignore_errors=True)
        os.makedirs(ARGS.work)
        cls.project = os.path.join(ARGS.work, 'project')
        cls.disc = os.path.join(ARGS.work, 'disc')
        run(ARGS.merrowkit, 'import', ARGS.media, '-o', cls.project)
        run(ARGS.merrowkit, 'disc', cls.project, '-o', cls.disc, timeout=1200)
        stream = os.path.join(cls.disc, 'BDMV', 'STREAM')
        DiscTitles.no_clips = not any(name.endswith('.m2ts') for name in os.listdir(stream))
        if DiscTitles.no_clips:
            raise unittest.SkipTest('no clips')
        cls.titles = {}
        for line in run(ARGS.titles, cls.disc).stdout.splitlines():
            m = re.fullmatch(r'playlist (\d{5}) clips((?: \d{5})*) duration (\d+) chapters((?: \d+)*)',
                             line)
            assert m, line
            cls.titles[int(m.group(1))] = {
                'clips': m.group(2).split(), 'duration': int(m.group(3)),
                'chapters': [int(c) for c in m.group(4).split()]}

    def project_titles(self):
        """(N, video path, chapterInfo count) of each user title, from project.xml and the
        reference document."""
        project = ET.parse(os.path.join(self.project, 'project.xml')).getroot()
        media = urllib.parse.unquote(project.get('media'))
        media = os.path.join(self.project, media)
        presentation = ET.parse(os.path.join(self.project, project.find('presentation').get('file')))
        chapters = {}
        local = lambda element: element.tag.rsplit('}', 1)[-1]
        for info in presentation.iter():
            if local(info) == 'titleInfo':
                chapters[info.get('id')] = sum(local(c) == 'chapterInfo' for c in info)
        titles = []
        for n, title in enumerate(project.find('titles').findall('title'), start=1):
            video = title.get('video')
            path = os.path.join(media, urllib.parse.unquote(video)) if video else None
            titles.append((n, path, chapters.get('UserTitle_%d' % n)))
        return titles

    def test_every_title_has_its_playlist_and_chapters(self):
        titles = self.project_titles()
        self.assertTrue(any(path for _, path, _ in titles), 'the sample has videos')
        for n, video, chapter_count in titles:
            if not video:
                self.assertNotIn(n, self.titles)
                continue
            with self.subTest(title=n):
                self.assertIn(n, self.titles, 'playlist %05d' % n)
                title = self.titles[n]
                self.assertEqual(title['clips'], ['%05d' % n])
                clip = os.path.join(self.disc, 'BDMV', 'STREAM', '%05d.m2ts' % n)
                stream = probe(clip, '-select_streams', 'v:0', '-count_packets',
                               '-show_streams')['streams'][0]
                frame = 90000 / rate(stream['avg_frame_rate'])
                # The play item spans the clip's pictures, each one frame long.
                pictures = int(stream['nb_read_packets'])
                self.assertLessEqual(abs(title['duration'] - pictures * frame), frame,
                                     'duration of title %d' % n)
                starts = [round(float(c['start_time']) * 90000)
                          for c in probe(video, '-show_chapters')['chapters']][:99] or [0]
                starts.sort()
                self.assertEqual(len(title['chapters']), chapter_count)
                self.assertEqual(len(title['chapters']), len(starts))
                for k, (got, want) in enumerate(zip(title['chapters'], starts), start=1):
                    self.assertLessEqual(abs(got - want), frame, 'chapter %d' % k)
                print('title %d: %s %s level %s %dx%d %s %s, %d chapters' % (
                    n, stream['codec_name'], stream.get('profile'), stream.get('level'),
                    stream['width'], stream['height'], stream['avg_frame_rate'],
                    stream.get('field_order', '?'), len(starts)), file=sys.stderr)

    def test_check_of_the_disc_finds_nothing(self):
        result = subprocess.run([ARGS.merrowkit, 'check', self.disc], capture_output=True,
                                text=True, timeout=600)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr, '')
        self.assertIn('every title can play', result.stdout)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument('--merrowkit', required=True)
    parser.add_argument('--titles', required=True)
    parser.add_argument('--media', required=True)
    parser.add_argument('--work', required=True)
    ARGS, rest = parser.parse_known_args()
    if not shutil.which('ffprobe'):
        print('skipped: no ffprobe', file=sys.stderr)
        return SKIPPED
    program = unittest.main(argv=[sys.argv[0]] + rest, exit=False, verbosity=2)
    if DiscTitles.no_clips:
        print('skipped: merrowkit disc wrote no clips (this build does not convert the titles\' '
              'videos)', file=sys.stderr)
        return SKIPPED
    return 0 if program.result.wasSuccessful() else 1


if __name__ == '__main__':
    sys.exit(main())
