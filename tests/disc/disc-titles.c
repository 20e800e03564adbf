/* Lists the titles of a Blu-ray disc folder as libbluray sees them, so that tests can compare
 * them with the project the disc was made from.
 *
 *   merrowkit-disc-titles DISC_DIR
 *
 * One line per playlist that libbluray lists (every playlist, however short), in its order:
 *
 *   playlist 00001 clips 00001 duration 180180 chapters 0 45045 117117
 *
 * the playlist's number, its clips, its duration and each chapter's start (90 kHz, from the
 * start of the title). Exit status 0 listed, 1 libbluray cannot open the folder, 2 bad usage. */

#include <libbluray/bluray.h>
#include <stdio.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: merrowkit-disc-titles DISC_DIR\n");
        return 2;
    }
    BLURAY* bd = bd_open(argv[1], NULL);
    if (!bd) {
        fprintf(stderr, "%s: libbluray cannot open the disc folder\n", argv[1]);
        return 1;
    }
    const uint32_t count = bd_get_titles(bd, TITLES_ALL, 0);
    for (uint32_t i = 0; i < count; ++i) {
        BLURAY_TITLE_INFO* info = bd_get_title_info(bd, i, 0);
        if (!info) {
            fprintf(stderr, "%s: libbluray cannot read title %u\n", argv[1], i);
            bd_close(bd);
            return 1;
        }
        printf("playlist %05u clips", info->playlist);
        for (uint32_t c = 0; c < info->clip_count; ++c) printf(" %s", info->clips[c].clip_id);
        printf(" duration %llu chapters", (unsigned long long)info->duration);
        for (uint32_t k = 0; k < info->chapter_count; ++k)
            printf(" %llu", (unsigned long long)info->chapters[k].start);
        printf("\n");
        bd_free_title_info(info);
    }
    bd_close(bd);
    return 0;
}
