package org.merrowkit.player;

import java.awt.Component;
import java.awt.Image;
import java.awt.MediaTracker;
import java.awt.Toolkit;

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
            String file = folder + model.trackPrefix + model.strings[model.pictureTrack[i]]
                    + model.trackSuffix;
            images[i] = Toolkit.getDefaultToolkit().createImage(file);
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
        if (tracker.isErrorAny()) {
            Object[] failed = tracker.getErrorsAny();
            for (int i = 0; i < failed.length; i++) {
                System.err.println("merrowkit-player: cannot read a picture");
            }
        }
    }

    Image image(int picture) {
        return images[picture];
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
