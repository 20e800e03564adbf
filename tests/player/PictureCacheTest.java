package org.merrowkit.player;

import java.awt.Component;
import java.awt.Graphics;
import java.awt.image.BufferedImage;
import java.io.File;
import javax.imageio.ImageIO;

/**
 * The player's picture cache on a plain Java VM: pictures are read when a view needs them, the
 * decoded pixels held stay within 16 megapixels by letting go of the least recently used
 * pictures the view does not need, and keepOnly lets go of the rest. Five pictures of 2048 x
 * 2048 (4 megapixels each) make four the most it may hold.
 *
 *   java -Djava.awt.headless=true -cp PLAYER_CLASSES:TEST_CLASSES \
 *        org.merrowkit.player.PictureCacheTest WORK_DIR
 */
public final class PictureCacheTest {
    private static final int SIDE = 2048;
    private static final long PICTURE = (long) SIDE * SIDE;
    private static int failures;

    public static void main(String[] args) throws Exception {
        File folder = new File(args[0]);
        new File(folder, "tracks").mkdirs();
        MenuModel model = new MenuModel();
        model.trackPrefix = "tracks/";
        model.trackSuffix = ".png";
        model.strings = new String[] {"p0", "p1", "p2", "p3", "p4"};
        model.pictureTrack = new int[] {0, 1, 2, 3, 4};
        model.pictureWidth = new int[5];
        model.pictureHeight = new int[5];
        for (int i = 0; i < 5; i++) {
            model.pictureWidth[i] = SIDE;
            model.pictureHeight[i] = SIDE;
            BufferedImage image = new BufferedImage(SIDE, SIDE, BufferedImage.TYPE_INT_ARGB);
            Graphics g = image.getGraphics();
            g.setColor(new java.awt.Color(40 * i, 80, 200 - 40 * i));
            g.fillRect(0, 0, SIDE, SIDE);
            g.dispose();
            ImageIO.write(image, "png", new File(folder, "tracks/p" + i + ".png"));
        }
        PictureCache cache = new PictureCache(model, folder.getPath() + "/", new Component() {
            private static final long serialVersionUID = 1L;
        });

        cache.load(needs(new int[] {0, 1, 2}));
        expect("three pictures read", cache.heldPixels(), 3 * PICTURE);
        expect("a picture decoded", cache.image(1).getWidth(null), SIDE);
        expect("nothing read that no view needs", cache.image(3) == null ? 0 : 1, 0);

        cache.load(needs(new int[] {2, 3}));
        expect("four pictures fit the budget", cache.heldPixels(), 4 * PICTURE);

        // A fifth: the least recently used picture that the view does not need goes (0 and 1
        // were last used first; 0 comes first among them).
        cache.load(needs(new int[] {4}));
        expect("still four pictures", cache.heldPixels(), 4 * PICTURE);
        expect("the oldest let go", cache.image(0) == null ? 0 : 1, 0);
        expect("the next oldest kept", cache.image(1) == null ? 0 : 1, 1);
        expect("the new one read", cache.image(4).getWidth(null), SIDE);

        // Needed pictures are never let go for the budget.
        cache.load(needs(new int[] {1, 2, 3, 4}));
        expect("a view of four", cache.heldPixels(), 4 * PICTURE);

        cache.keepOnly(needs(new int[] {4}));
        expect("leaving the page keeps the new view's only", cache.heldPixels(), PICTURE);
        expect("the peak", cache.peakPixels(), PictureCache.BUDGET_PIXELS);
        if (failures > 0) {
            System.err.println(failures + " failed");
            System.exit(1);
        }
        System.out.println("PictureCacheTest: passed");
    }

    private static boolean[] needs(int[] pictures) {
        boolean[] needed = new boolean[5];
        for (int i = 0; i < pictures.length; i++) needed[pictures[i]] = true;
        return needed;
    }

    private static void expect(String what, long actual, long expected) {
        if (actual != expected) {
            System.err.println("FAILED " + what + ": " + actual + ", expected " + expected);
            failures++;
        }
    }
}
