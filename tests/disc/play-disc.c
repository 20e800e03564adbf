/* Plays a Blu-ray disc folder headless with libbluray and writes what its BD-J application
 * draws as PNG pictures, so that tests can look at a disc's menu.
 *
 *   merrowkit-play-disc [--java JAVA_HOME] [--work DIR] DISC_DIR STEP...
 *
 * Steps run in order: a key name (UP, DOWN, LEFT, RIGHT, ENTER, POPUP, ROOT_MENU, RED, GREEN,
 * YELLOW, BLUE, 0 to 9) is sent to the player and the picture waited on until it is still
 * (400 ms without a new one; 2 s when it is empty, which on a loaded machine may be the root
 * window cleared before the application's late paint);
 * "shot=FILE.png" writes the current picture (ARGB as 8-bit RGBA). The First Play title is
 * started first and its first picture awaited. On stdout: "first-frame-ms N" (from bd_play to
 * the first picture) and "frames N" at the end. The player's cache and persistent storage go
 * under --work (default: the current folder), so that a run leaves nothing elsewhere.
 *
 * Playback: the stream is not read until "read" (then every wait reads it as fast as it comes,
 * as a player's demuxer would, and "hold" stops again), so that a started playlist stays at
 * its start. libbluray's playback events are written as they come ("event PLAYLIST 1",
 * "event CHAPTER 2", "event END_OF_TITLE 0", ...); "wait=NAME" waits (reading when reading is
 * on) for the next event of that name not waited for yet, and "where" writes "where playlist
 * P chapter C time T" (the current chapter from 1 as bd_get_current_chapter gives it, the time
 * in 90 kHz ticks). */

#define _DEFAULT_SOURCE

#include <libbluray/bluray.h>
#include <libbluray/keys.h>
#include <libbluray/overlay.h>
#include <png.h>
#include <pthread.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>

/* How long a picture must stay unchanged to count as still, and how long to wait at most. */
enum {
    kQuietMs = 400,
    kEmptyQuietMs = 2000,
    kKeyTimeoutMs = 3000,
    kStartTimeoutMs = 60000,
    kEventTimeoutMs = 30000
};

/* The playback events written and counted. */
static const struct {
    uint32_t event;
    const char* name;
} kEvents[] = {{BD_EVENT_PLAYLIST, "PLAYLIST"},
               {BD_EVENT_PLAYITEM, "PLAYITEM"},
               {BD_EVENT_CHAPTER, "CHAPTER"},
               {BD_EVENT_PLAYMARK, "PLAYMARK"},
               {BD_EVENT_END_OF_TITLE, "END_OF_TITLE"},
               {BD_EVENT_TITLE, "TITLE"},
               {BD_EVENT_ERROR, "ERROR"}};
enum { kEventKinds = sizeof kEvents / sizeof kEvents[0] };
static long seen[kEventKinds];   /* events of each kind so far */
static long waited[kEventKinds]; /* of those, the ones a wait= step took */
static int reading;
static uint32_t last_playlist;

struct plane {
    pthread_mutex_t lock;
    uint32_t* pixels; /* the plane as the last FLUSH left it */
    uint32_t* drawing;
    unsigned width, height;
    long frames;
    int64_t last_flush_ms;
};

static int64_t now_ms(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (int64_t)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

static void sleep_ms(long ms) {
    struct timespec ts = {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&ts, NULL);
}

static void on_overlay(void* handle, const BD_ARGB_OVERLAY* const ov) {
    struct plane* p = handle;
    if (!ov) return;
    if (ov->plane != BD_OVERLAY_IG) return;
    pthread_mutex_lock(&p->lock);
    switch (ov->cmd) {
        case BD_ARGB_OVERLAY_INIT:
            free(p->pixels);
            free(p->drawing);
            p->width = ov->w;
            p->height = ov->h;
            p->pixels = calloc((size_t)ov->w * ov->h, 4);
            p->drawing = calloc((size_t)ov->w * ov->h, 4);
            fprintf(stderr, "play-disc: overlay %ux%u\n", (unsigned)ov->w, (unsigned)ov->h);
            break;
        case BD_ARGB_OVERLAY_CLOSE:
            fprintf(stderr, "play-disc: overlay closed\n");
            break;
        case BD_ARGB_OVERLAY_DRAW:
            if (p->drawing && ov->argb && ov->x + ov->w <= p->width && ov->y + ov->h <= p->height) {
                for (unsigned y = 0; y < ov->h; ++y) {
                    memcpy(p->drawing + (size_t)(ov->y + y) * p->width + ov->x,
                           ov->argb + (size_t)y * ov->stride, (size_t)ov->w * 4);
                }
            }
            break;
        case BD_ARGB_OVERLAY_FLUSH:
            if (p->pixels) memcpy(p->pixels, p->drawing, (size_t)p->width * p->height * 4);
            p->frames++;
            p->last_flush_ms = now_ms();
            break;
    }
    pthread_mutex_unlock(&p->lock);
}

/* True while the last picture draws nothing (the stage before the application's first paint). */
static int plane_empty(struct plane* p) {
    int empty = 1;
    pthread_mutex_lock(&p->lock);
    for (size_t i = 0; p->pixels && empty && i < (size_t)p->width * p->height; ++i) {
        if (p->pixels[i] >> 24) empty = 0;
    }
    pthread_mutex_unlock(&p->lock);
    return empty;
}

static long frames_of(struct plane* p, int64_t* last) {
    pthread_mutex_lock(&p->lock);
    long frames = p->frames;
    if (last) *last = p->last_flush_ms;
    pthread_mutex_unlock(&p->lock);
    return frames;
}

static void note_event(const BD_EVENT* ev) {
    if (ev->event == BD_EVENT_ERROR) fprintf(stderr, "play-disc: player error %u\n", ev->param);
    if (ev->event == BD_EVENT_PLAYLIST) last_playlist = ev->param;
    for (int k = 0; k < kEventKinds; ++k) {
        if (kEvents[k].event == ev->event) {
            seen[k]++;
            printf("event %s %u\n", kEvents[k].name, ev->param);
            fflush(stdout);
        }
    }
}

/* Drains libbluray's events while waiting (the BD-J title runs on its own threads), reading
 * the stream while reading is on: up to 1 MB a call, so that a wait still looks at the clock. */
static void pump(BLURAY* bd) {
    BD_EVENT ev;
    if (reading) {
        static unsigned char buffer[6144 * 8];
        for (int n = 0; n < 1024 * 1024 / (int)sizeof buffer; ++n) {
            int bytes = bd_read_ext(bd, buffer, (int)sizeof buffer, &ev);
            if (ev.event != BD_EVENT_NONE) note_event(&ev);
            if (bytes <= 0 && ev.event == BD_EVENT_NONE) break;
        }
    }
    while (bd_get_event(bd, &ev)) note_event(&ev);
}

static int event_kind(const char* name) {
    for (int k = 0; k < kEventKinds; ++k) {
        if (strcmp(kEvents[k].name, name) == 0) return k;
    }
    return -1;
}

/* Waits for the next event of the kind that no wait= took yet; 0 after kEventTimeoutMs. */
static int wait_event(BLURAY* bd, int kind) {
    const int64_t start = now_ms();
    while (seen[kind] <= waited[kind]) {
        if (now_ms() - start > kEventTimeoutMs) return 0;
        pump(bd);
        sleep_ms(10);
    }
    waited[kind]++;
    return 1;
}

/* Waits for a picture after `before` frames, then until none came for kQuietMs. Returns 0 when
 * no new picture came within timeout_ms. */
static int wait_still(BLURAY* bd, struct plane* p, long before, long timeout_ms) {
    const int64_t start = now_ms();
    int64_t last = 0;
    while (frames_of(p, &last) == before) {
        if (now_ms() - start > timeout_ms) return 0;
        pump(bd);
        sleep_ms(10);
    }
    for (;;) {
        long frames = frames_of(p, &last);
        /* An empty picture may be the root window cleared before a late paint (on a loaded
         * machine): it counts as still only after kEmptyQuietMs. */
        long quiet = plane_empty(p) ? kEmptyQuietMs : kQuietMs;
        if (now_ms() - last >= quiet) return frames > before;
        pump(bd);
        sleep_ms(20);
    }
}

static int write_png(struct plane* p, const char* file) {
    FILE* out = fopen(file, "wb");
    if (!out) {
        perror(file);
        return 0;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
    png_infop info = png_create_info_struct(png);
    unsigned char* row = NULL;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        free(row);
        fclose(out);
        fprintf(stderr, "play-disc: %s: cannot write the picture\n", file);
        return 0;
    }
    png_init_io(png, out);
    pthread_mutex_lock(&p->lock);
    png_set_IHDR(png, info, p->width, p->height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    row = malloc((size_t)p->width * 4);
    for (unsigned y = 0; y < p->height; ++y) {
        for (unsigned x = 0; x < p->width; ++x) {
            uint32_t argb = p->pixels[(size_t)y * p->width + x];
            row[4 * x] = (unsigned char)(argb >> 16);
            row[4 * x + 1] = (unsigned char)(argb >> 8);
            row[4 * x + 2] = (unsigned char)argb;
            row[4 * x + 3] = (unsigned char)(argb >> 24);
        }
        png_write_row(png, row);
    }
    pthread_mutex_unlock(&p->lock);
    png_write_end(png, NULL);
    png_destroy_write_struct(&png, &info);
    free(row);
    return fclose(out) == 0;
}

static int key_code(const char* name, uint32_t* key) {
    static const struct {
        const char* name;
        uint32_t key;
    } keys[] = {{"UP", BD_VK_UP},
                {"DOWN", BD_VK_DOWN},
                {"LEFT", BD_VK_LEFT},
                {"RIGHT", BD_VK_RIGHT},
                {"ENTER", BD_VK_ENTER},
                {"OK", BD_VK_ENTER},
                {"POPUP", BD_VK_POPUP},
                {"ROOT_MENU", BD_VK_ROOT_MENU},
                {"RED", BD_VK_RED},
                {"GREEN", BD_VK_GREEN},
                {"YELLOW", 405 /* BD_VK_YELLOW, misspelt BD_VL_YELLOW in keys.h */},
                {"BLUE", BD_VK_BLUE}};
    for (size_t i = 0; i < sizeof keys / sizeof keys[0]; ++i) {
        if (strcmp(name, keys[i].name) == 0) {
            *key = keys[i].key;
            return 1;
        }
    }
    if (name[0] >= '0' && name[0] <= '9' && name[1] == 0) {
        *key = BD_VK_0 + (uint32_t)(name[0] - '0');
        return 1;
    }
    return 0;
}

int main(int argc, char** argv) {
    const char* java = NULL;
    const char* work = ".";
    int i = 1;
    for (; i + 1 < argc && strncmp(argv[i], "--", 2) == 0; i += 2) {
        if (strcmp(argv[i], "--java") == 0)
            java = argv[i + 1];
        else if (strcmp(argv[i], "--work") == 0)
            work = argv[i + 1];
        else
            break;
    }
    if (i >= argc) {
        fprintf(stderr, "usage: %s [--java JAVA_HOME] [--work DIR] DISC_DIR STEP...\n", argv[0]);
        return 2;
    }
    /* libbluray's Java side resolves its storage folders from absolute paths only. */
    char disc[4096], work_abs[4096];
    if (!realpath(argv[i], disc) || !realpath(work, work_abs)) {
        fprintf(stderr, "play-disc: %s: no such folder\n",
                realpath(argv[i], disc) ? work : argv[i]);
        return 2;
    }
    ++i;
    work = work_abs;

    char path[4200]; /* room for the longest folder name below after a full path */
    snprintf(path, sizeof path, "%s/cache", work);
    mkdir(path, 0777);
    setenv("XDG_CACHE_HOME", path, 1);
    snprintf(path, sizeof path, "%s/config", work);
    mkdir(path, 0777);
    setenv("XDG_CONFIG_HOME", path, 1);
    snprintf(path, sizeof path, "%s/data", work);
    mkdir(path, 0777);
    setenv("XDG_DATA_HOME", path, 1);
    if (java) setenv("JAVA_HOME", java, 1);

    BLURAY* bd = bd_open(disc, NULL);
    if (!bd) {
        fprintf(stderr, "play-disc: %s: libbluray cannot open the disc\n", disc);
        return 1;
    }
    if (java) bd_set_player_setting_str(bd, BLURAY_PLAYER_JAVA_HOME, java);
    snprintf(path, sizeof path, "%s/cache/bluray-cache", work);
    bd_set_player_setting_str(bd, BLURAY_PLAYER_CACHE_ROOT, path);
    snprintf(path, sizeof path, "%s/cache/bluray-persistent", work);
    bd_set_player_setting_str(bd, BLURAY_PLAYER_PERSISTENT_ROOT, path);

    struct plane plane;
    memset(&plane, 0, sizeof plane);
    pthread_mutex_init(&plane.lock, NULL);
    bd_register_argb_overlay_proc(bd, &plane, on_overlay, NULL);

    const int64_t start = now_ms();
    if (!bd_play(bd)) {
        fprintf(stderr, "play-disc: %s: the First Play title does not start\n", disc);
        bd_close(bd);
        return 1;
    }
    int64_t first = 0;
    /* Under load the root window may show an empty picture before the Xlet's first paint. */
    while (frames_of(&plane, &first) == 0 || plane_empty(&plane)) {
        if (now_ms() - start > kStartTimeoutMs) {
            fprintf(stderr, "play-disc: %s: nothing was drawn\n", disc);
            bd_close(bd);
            return 1;
        }
        pump(bd);
        sleep_ms(10);
    }
    printf("first-frame-ms %lld\n", (long long)(first - start));
    wait_still(bd, &plane, 0, 0);

    int status = 0;
    for (; i < argc && status == 0; ++i) {
        uint32_t key;
        if (strncmp(argv[i], "shot=", 5) == 0) {
            if (!write_png(&plane, argv[i] + 5)) status = 1;
        } else if (strcmp(argv[i], "read") == 0 || strcmp(argv[i], "hold") == 0) {
            reading = argv[i][0] == 'r';
        } else if (strncmp(argv[i], "wait=", 5) == 0) {
            int kind = event_kind(argv[i] + 5);
            long before = frames_of(&plane, NULL);
            if (kind < 0) {
                fprintf(stderr, "play-disc: unknown event '%s'\n", argv[i] + 5);
                status = 2;
            } else if (!wait_event(bd, kind)) {
                fprintf(stderr, "play-disc: no %s event came\n", argv[i] + 5);
                status = 1;
            } else {
                /* What the player draws in answer, if anything. */
                wait_still(bd, &plane, before, kKeyTimeoutMs);
            }
        } else if (strcmp(argv[i], "where") == 0) {
            pump(bd);
            printf("where playlist %u chapter %u time %llu\n", last_playlist,
                   bd_get_current_chapter(bd) + 1, (unsigned long long)bd_tell_time(bd));
            fflush(stdout);
        } else if (key_code(argv[i], &key)) {
            long before = frames_of(&plane, NULL);
            bd_user_input(bd, -1, key);
            wait_still(bd, &plane, before, kKeyTimeoutMs);
        } else {
            fprintf(stderr, "play-disc: unknown step '%s'\n", argv[i]);
            status = 2;
        }
    }
    printf("frames %ld\n", frames_of(&plane, NULL));
    fflush(stdout);
    bd_close(bd);
    free(plane.pixels);
    free(plane.drawing);
    return status;
}
