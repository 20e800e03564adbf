package org.merrowkit.player;

import java.awt.Component;
import java.awt.Image;
import java.awt.MediaTracker;
import java.awt.Toolkit;
import java.io.ByteArrayOutputStream;
import java.io.FileInputStream;
import java.io.IOException;

/**
 * The decoded pictures the player holds. A picture is read from the disc when a view first
 * needs it; the pictures held at once stay under a budget of decoded pixels, and those of a
 * page are let go when the page is left.
 */
final class PictureCache {
    /** 16 megapixels: 64 MB of ARGB, what a player's graphics memory affords. */
    static final long BUDGET_PIXELS = 16L * 1024 * 1024;

    private final MenuModel model;
    private final String folder;
    private final Component observer;
    private final Image[] images;
    private final long[] lastUse;
    private long clock;
    private long held;
    // The one slideshow photo held, and its pixels.
    private Image slide;
    private long slidePixels;
    private long peak;

    PictureCache(MenuModel model, String folder, Component observer) {
        this.model = model;
        this.folder = folder;
        this.observer = observer;
        images = new Image[model.pictureTrack.length];
        lastUse = new long[images.length];
    }

    /** The most pixels held at once so far. */
    long peakPixels() {
        return peak;
    }

    long heldPixels() {
        return held;
    }

    /** Lets go of every picture that needed is not set for. */
    void keepOnly(boolean[] needed) {
        for (int i = 0; i < images.length; i++) {
            if (images[i] != null && !needed[i]) release(i);
        }
    }

    /**
     * Reads the pictures needed that are not held yet, all at once, first letting go of the
     * least recently used others while the budget would be passed.
     */
    void load(boolean[] needed) {
        clock++;
        MediaTracker tracker = null;
        for (int i = 0; i < images.length; i++) {
            if (!needed[i]) continue;
            lastUse[i] = clock;
            if (images[i] != null) continue;
            long pixels = pixels(i);
            while (held + pixels > BUDGET_PIXELS && releaseOldest(needed)) {
            }
            byte[] bytes = read(file(i));
            if (bytes == null) continue;
            images[i] = Toolkit.getDefaultToolkit().createImage(bytes);
            held += pixels;
            if (tracker == null) tracker = new MediaTracker(observer);
            tracker.addImage(images[i], i);
        }
        if (held > peak) peak = held;
        if (tracker == null) return;
        try {
            tracker.waitForAll();
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
        }
        for (int i = 0; i < images.length; i++) {
            if (needed[i] && images[i] != null && images[i].getWidth(null) < 0) {
                System.err.println("merrowkit-player: cannot read " + file(i));
            }
        }
    }

    Image image(int picture) {
        return images[picture];
    }

    /**
     * Reads a slideshow photo of width x height pixels in place of the one held before, first
     * letting go of the least recently used menu pictures while the budget would be passed.
     * Null when it cannot be read.
     */
    Image slide(String file, int width, int height) {
        dropSlide();
        long pixels = (long) width * height;
        boolean[] none = new boolean[images.length];
        while (held + pixels > BUDGET_PIXELS && releaseOldest(none)) {
        }
        byte[] bytes = read(file);
        if (bytes == null) return null;
        Image image = Toolkit.getDefaultToolkit().createImage(bytes);
        MediaTracker tracker = new MediaTracker(observer);
        tracker.addImage(image, 0);
        try {
            tracker.waitForAll();
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
        }
        if (image.getWidth(null) < 0) {
            System.err.println("merrowkit-player: cannot read " + file);
            image.flush();
            return null;
        }
        slide = image;
        slidePixels = pixels;
        held += pixels;
        if (held > peak) peak = held;
        return slide;
    }

    /** Lets go of the slideshow photo held, if any. */
    void dropSlide() {
        if (slide == null) return;
        slide.flush();
        slide = null;
        held -= slidePixels;
        slidePixels = 0;
    }

    /**
     * The bytes of a picture file, read on the calling (Xlet) thread: the toolkit decodes images
     * on threads of its own, which the player does not let read the disc.
     */
    private static byte[] read(String file) {
        try {
            FileInputStream in = new FileInputStream(file);
            try {
                ByteArrayOutputStream out = new ByteArrayOutputStream(in.available() + 1);
                byte[] buffer = new byte[65536];
                int n;
                while ((n = in.read(buffer)) > 0) out.write(buffer, 0, n);
                return out.toByteArray();
            } finally {
                in.close();
            }
        } catch (IOException e) {
            System.err.println("merrowkit-player: cannot read " + file + ": " + e.getMessage());
            return null;
        }
    }

    private String file(int picture) {
        return folder + model.trackPrefix + model.strings[model.pictureTrack[picture]]
                + model.trackSuffix;
    }

    private long pixels(int picture) {
        return (long) model.pictureWidth[picture] * model.pictureHeight[picture];
    }

    private boolean releaseOldest(boolean[] needed) {
        int oldest = -1;
        for (int i = 0; i < images.length; i++) {
            if (images[i] != null && !needed[i]
                    && (oldest < 0 || lastUse[i] < lastUse[oldest])) {
                oldest = i;
            }
        }
        if (oldest < 0) return false;
        release(oldest);
        return true;
    }

    private void release(int picture) {
        images[picture].flush();
        images[picture] = null;
        held -= pixels(picture);
    }
}
