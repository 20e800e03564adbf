package org.merrowkit.player;

import java.awt.Color;
import java.awt.Component;
import java.awt.Font;
import java.awt.Graphics;
import java.awt.Image;
import java.io.BufferedInputStream;
import java.io.DataInputStream;
import java.io.File;
import java.io.FileInputStream;
import java.io.IOException;
import javax.media.ControllerEvent;
import javax.media.ControllerListener;
import javax.media.EndOfMediaEvent;
import javax.media.Manager;
import javax.media.MediaLocator;
import javax.media.Player;
import javax.tv.xlet.Xlet;
import javax.tv.xlet.XletContext;
import org.bluray.net.BDLocator;
import org.dvb.event.EventManager;
import org.dvb.event.UserEvent;
import org.dvb.event.UserEventListener;
import org.dvb.event.UserEventRepository;
import org.dvb.ui.DVBAlphaComposite;
import org.dvb.ui.DVBGraphics;
import org.dvb.ui.UnsupportedDrawingOperationException;
import org.havi.ui.HScene;
import org.havi.ui.HSceneFactory;
import org.havi.ui.event.HRcEvent;

/**
 * The calendar menu on a BD-J player: it reads the compiled menu model from the disc, draws its
 * current view and follows the model's key tables. The remote's arrows move the focus, ENTER is
 * OK, POPUP the popup menu key and the RED colour key BACK. What a key plays (a title's
 * playlist through JMF, the slideshow's photos, or a page's contents one after the other) hides
 * the menu until it ends or POPUP brings the menu back.
 */
public final class CalendarXlet extends Component
        implements Xlet, UserEventListener, ControllerListener, Runnable {
    private static final long serialVersionUID = 1L;

    /** Where merrowkit puts the model and its pictures, from the disc's root. */
    static final String DATA_FOLDER = "/BDMV/JAR/00001/";
    static final String MODEL_FILE = "menu.bin";
    /** The popup menu key of org.bluray.ui.event.HRcEvent. */
    static final int VK_POPUP_MENU = 461;

    private static final Color STATUS_BACKGROUND = new Color(0, 0, 0, 191);
    // Java's logical sans-serif family, which every player maps to a font of its own (libbluray
    // 1.3.4's table gives it a serif face; the status line is not compared with the preview's).
    private static final Font STATUS_FONT = new Font("SansSerif", Font.PLAIN, 20);
    private static final int STATUS_HEIGHT = 40;
    private static final Color CLEAR = new Color(0, 0, 0, 0);

    // What plays: nothing (the menu), a title's playlist or the slideshow.
    private static final int SHOWING_MENU = 0;
    private static final int PLAYING_TITLE = 1;
    private static final int PLAYING_SLIDES = 2;

    private HScene scene;
    private MenuModel model;
    private PictureCache pictures;
    private UserEventRepository keys;

    // The menu's state; the key handler changes it, paint() draws it.
    private int view;
    private int focus;
    private String status = "";
    private boolean hidden;
    private int drawnPage = -1;

    // Playback: what plays, the actions still to come (play all), the view and focus the menu
    // comes back to, and the menu shown over a playing title.
    private String root;
    private int playing = SHOWING_MENU;
    private int[] queue = new int[0];
    private int queued;
    private boolean played;
    private int backView;
    private int backFocus;
    private boolean overlay;
    private volatile Player player;
    private int title;
    private int titleAction;
    private int chapter;
    private int slide;
    private int slideEnd;
    private Image slideImage;
    private long slideDue;
    private volatile boolean ended;
    private volatile Thread timer;

    public void initXlet(XletContext context) {
    }

    public void startXlet() {
        long start = System.currentTimeMillis();
        root = System.getProperty("bluray.vfs.root");
        String folder = root + DATA_FOLDER;
        try {
            DataInputStream in = new DataInputStream(
                    new BufferedInputStream(new FileInputStream(folder + MODEL_FILE), 65536));
            try {
                model = MenuModel.read(in);
            } finally {
                in.close();
            }
        } catch (IOException e) {
            System.err.println("merrowkit-player: " + folder + MODEL_FILE + ": " + e.getMessage());
            return;
        }
        pictures = new PictureCache(model, folder, this);
        view = model.startView;
        focus = model.startFocus;
        System.err.println("merrowkit-player: model read in "
                + (System.currentTimeMillis() - start) + " ms");
        // The first view's pictures are read before the scene shows, so that its first
        // picture is the whole view.
        prepare();
        report();

        scene = HSceneFactory.getInstance().getDefaultHScene();
        scene.setSize(model.stageWidth, model.stageHeight);
        setBounds(0, 0, model.stageWidth, model.stageHeight);
        scene.add(this);
        scene.setVisible(true);

        keys = new UserEventRepository("merrowkit");
        keys.addAllArrowKeys();
        keys.addKey(HRcEvent.VK_ENTER);
        keys.addKey(HRcEvent.VK_COLORED_KEY_0);
        keys.addKey(VK_POPUP_MENU);
        EventManager.getInstance().addUserEventListener(this, keys);
        // The scene shows nothing until it is painted once.
        scene.repaint();
        timer = new Thread(this, "merrowkit-player");
        timer.start();
    }

    public void pauseXlet() {
    }

    public void destroyXlet(boolean unconditional) {
        if (keys != null) EventManager.getInstance().removeUserEventListener(this);
        synchronized (this) {
            stopPlaying();
            Thread t = timer;
            timer = null;
            if (t != null) notifyAll();
        }
        if (scene != null) {
            scene.setVisible(false);
            scene.removeAll();
            HSceneFactory.getInstance().dispose(scene);
        }
        scene = null;
        if (pictures != null) pictures.keepOnly(new boolean[model.pictureTrack.length]);
    }

    public void userEventReceived(UserEvent event) {
        if (event.getType() != java.awt.event.KeyEvent.KEY_PRESSED) return;
        int key;
        switch (event.getCode()) {
            case HRcEvent.VK_UP: key = MenuModel.KEY_UP; break;
            case HRcEvent.VK_DOWN: key = MenuModel.KEY_DOWN; break;
            case HRcEvent.VK_LEFT: key = MenuModel.KEY_LEFT; break;
            case HRcEvent.VK_RIGHT: key = MenuModel.KEY_RIGHT; break;
            case HRcEvent.VK_ENTER: key = MenuModel.KEY_OK; break;
            case HRcEvent.VK_COLORED_KEY_0: key = MenuModel.KEY_BACK; break;
            case VK_POPUP_MENU: key = MenuModel.KEY_POPUP_MENU; break;
            default: return;
        }
        if (press(key)) {
            prepare();
            repaint();
        }
        report();
    }

    /** Applies a key to the state; true when what is drawn changed. */
    private synchronized boolean press(int key) {
        if (playing == PLAYING_SLIDES) return slideKey(key);
        if (playing == PLAYING_TITLE) {
            // POPUP shows the menu over the title and hides it again; the menu's keys work
            // while it is shown.
            if (key == MenuModel.KEY_POPUP_MENU) {
                overlay = !overlay;
                // The title's own menu (its chapter menu, in a play all) where it has one.
                if (overlay && model.actionMenuView[titleAction] >= 0) {
                    view = model.actionMenuView[titleAction];
                    focus = model.actionMenuFocus[titleAction];
                }
                return true;
            }
            if (!overlay) return false;
        }
        if (hidden && key != MenuModel.KEY_POPUP_MENU) return false;
        int result = model.result(view, focus, key);
        boolean changed = false;
        if (model.resultView[result] >= 0) {
            changed = view != model.resultView[result] || focus != model.resultFocus[result];
            view = model.resultView[result];
            focus = model.resultFocus[result];
        }
        if (model.resultStatus[result] >= 0) {
            status = model.strings[model.resultStatus[result]];
            changed = true;
        }
        if (model.resultToggle[result]) {
            hidden = !hidden;
            status = hidden ? "Menu hidden (POPUP shows it)" : "";
            changed = true;
        }
        int action = model.resultAction[result];
        if (action >= 0) {
            stopPlaying();
            backView = view;
            backFocus = focus;
            if (model.actionKind[action] == MenuModel.PLAY_ALL) {
                queue = model.actionItems[action];
            } else {
                queue = new int[] {action};
            }
            queued = 0;
            played = false;
            playNext();
            changed = true;
        }
        return changed;
    }

    /** Starts the next action of the queue that can play; back to the menu when none is left. */
    private void playNext() {
        stopPlaying();
        while (queued < queue.length) {
            int action = queue[queued++];
            int kind = model.actionKind[action];
            if (kind == MenuModel.PLAY_TITLE && startTitle(model.actionA[action],
                    model.actionB[action])) {
                titleAction = action;
                return;
            }
            if (kind == MenuModel.PLAY_SLIDESHOW && startSlides(model.actionA[action],
                    model.actionB[action])) {
                return;
            }
        }
        // Back where the viewer left the menu; the status text stays only when nothing could
        // be played (a title that is not on the disc).
        if (queue.length > 0) {
            view = backView;
            focus = backFocus;
        }
        if (played) status = "";
        played = false;
        queue = new int[0];
        queued = 0;
    }

    /** Plays title n's playlist from chapter k (its entry mark k - 1; 0: the start). */
    private boolean startTitle(int n, int k) {
        String number = fiveDigits(n);
        if (!new File(root + "/BDMV/PLAYLIST/" + number + ".mpls").exists()) return false;
        String locator = "bd://PLAYLIST:" + number;
        if (k > 1) locator += ".MARK:" + fiveDigits(k - 1);
        try {
            Player p = Manager.createPlayer(
                    new MediaLocator(new BDLocator(locator).toExternalForm()));
            p.addControllerListener(this);
            player = p;
            playing = PLAYING_TITLE;
            overlay = false;
            title = n;
            chapter = k;
            played = true;
            // Its pictures are let go while the video plays; the menu reads them again.
            pictures.keepOnly(new boolean[model.pictureTrack.length]);
            drawnPage = -1;
            p.start();
            return true;
        } catch (Exception e) {
            System.err.println("merrowkit-player: " + locator + ": " + e);
            player = null;
            playing = SHOWING_MENU;
            return false;
        }
    }

    /** Shows photos from frame start on, each for the slideshow's seconds. */
    private boolean startSlides(int start, int photos) {
        int end = Math.min(start + photos, model.slideCount);
        if (start < 0 || start >= end) return false;
        pictures.keepOnly(new boolean[model.pictureTrack.length]);
        drawnPage = -1;
        playing = PLAYING_SLIDES;
        slideEnd = end;
        played = true;
        showSlide(start);
        return true;
    }

    private void showSlide(int frame) {
        slide = frame;
        slideImage = pictures.slide(root + DATA_FOLDER + model.slidePrefix + fiveDigits(frame)
                + model.slideSuffix, model.stageWidth, model.stageHeight);
        slideDue = System.currentTimeMillis() + model.slideSeconds * 1000L;
        notifyAll();
    }

    /** LEFT and RIGHT step through the photos; POPUP and BACK end the slideshow. */
    private boolean slideKey(int key) {
        if (key == MenuModel.KEY_POPUP_MENU || key == MenuModel.KEY_BACK) {
            queued = queue.length;
            playNext();
            return true;
        }
        if (key == MenuModel.KEY_LEFT && slide > 0) {
            showSlide(slide - 1);
            return true;
        }
        if (key == MenuModel.KEY_RIGHT) {
            if (slide + 1 < slideEnd) {
                showSlide(slide + 1);
            } else {
                playNext();
            }
            return true;
        }
        return false;
    }

    private void stopPlaying() {
        if (player != null) {
            Player p = player;
            player = null;
            p.removeControllerListener(this);
            p.stop();
            p.close();
        }
        if (pictures != null) pictures.dropSlide();
        slideImage = null;
        overlay = false;
        playing = SHOWING_MENU;
    }

    /**
     * The end of a title: the Xlet's own thread plays the next action or shows the menu. Not
     * synchronized: the player may send events while a key holds the lock to start it.
     */
    public void controllerUpdate(ControllerEvent event) {
        if (event instanceof EndOfMediaEvent && event.getSourceController() == player) {
            ended = true;
            Thread t = timer;
            if (t != null) t.interrupt();
        }
    }

    /** Turns the slideshow's photos and moves on after a title, on a thread of the Xlet. */
    public void run() {
        while (true) {
            synchronized (this) {
                if (timer == null) return;
                long wait = playing == PLAYING_SLIDES
                        ? slideDue - System.currentTimeMillis() : 0;
                if (!ended && (playing != PLAYING_SLIDES || wait > 0)) {
                    try {
                        wait(Math.max(wait, 0));
                    } catch (InterruptedException e) {
                        // The end of a title (or of the Xlet) wakes the thread.
                    }
                    continue;
                }
                if (ended) {
                    ended = false;
                    playNext();
                } else if (slide + 1 < slideEnd) {
                    showSlide(slide + 1);
                } else {
                    playNext();
                }
            }
            prepare();
            repaint();
            report();
        }
    }

    private static String fiveDigits(int n) {
        String digits = "0000" + n;
        return digits.substring(digits.length() - 5);
    }

    /** One line on stderr with the state, as the preview's state() gives it (for tests). */
    private synchronized void report() {
        String chapter = model.viewChapterMenu[view] < 0 ? "null"
                : model.strings[model.viewChapterMenu[view]];
        System.err.println("merrowkit-player: state page=" + model.strings[model.viewPage[view]]
                + " focus=" + model.focusName(view, focus) + " chapterMenu=" + chapter
                + " hidden=" + hidden + " heldPixels=" + pictures.heldPixels()
                + " peakPixels=" + pictures.peakPixels()
                + " playing=" + playingText()
                + " status=" + status);
    }

    private String playingText() {
        if (playing == PLAYING_TITLE) {
            return "title:" + title + ":" + chapter + (overlay ? ":menu" : "");
        }
        return playing == PLAYING_SLIDES ? "slide:" + slide : "none";
    }

    public void update(Graphics g) {
        paint(g);
    }

    public synchronized void paint(Graphics g) {
        if (playing == PLAYING_TITLE) {
            // The video shows through; the menu, without its background, over it on POPUP.
            clear(g);
            if (overlay) drawView(g, false);
            return;
        }
        g.setColor(Color.black);
        g.fillRect(0, 0, model.stageWidth, model.stageHeight);
        if (playing == PLAYING_SLIDES) {
            if (slideImage != null) g.drawImage(slideImage, 0, 0, this);
            return;
        }
        if (!hidden) drawView(g, true);
        if (status.length() > 0) {
            int top = model.stageHeight - STATUS_HEIGHT;
            g.setColor(STATUS_BACKGROUND);
            g.fillRect(0, top, model.stageWidth, STATUS_HEIGHT);
            g.setColor(Color.white);
            g.setFont(STATUS_FONT);
            g.drawString(status, 16, top + 28);
        }
    }

    /**
     * Reads the pictures the current view draws that are not held yet. Pictures are read here,
     * on the Xlet's own threads (startXlet, the key listener), never in paint(): the player's
     * toolkit makes images only within the Xlet's context.
     */
    private synchronized void prepare() {
        boolean[] needed = new boolean[model.pictureTrack.length];
        boolean shown = playing == SHOWING_MENU ? !hidden : playing == PLAYING_TITLE && overlay;
        if (shown) {
            if (model.background >= 0 && playing == SHOWING_MENU) needed[model.background] = true;
            int focusElement = focus < 0 ? -1 : model.viewFocusables[view][focus];
            int[] lists = model.viewDrawLists[view];
            int index = 0;
            for (int l = 0; l < lists.length; l++) {
                int[] list = model.drawLists[lists[l]];
                for (int at = 0; at < list.length; at += MenuModel.ELEMENT_SIZE, index++) {
                    int picture = pictureOf(list, at, index == focusElement);
                    if (picture >= 0) needed[picture] = true;
                }
            }
        }
        // Leaving a page lets go of its pictures; a view of the same page keeps them.
        if (!shown || model.viewPage[view] != drawnPage) {
            pictures.keepOnly(needed);
            drawnPage = shown ? model.viewPage[view] : -1;
        }
        pictures.load(needed);
    }

    /** Makes the whole stage transparent (the player's graphics draw over colours otherwise). */
    private void clear(Graphics g) {
        try {
            if (g instanceof DVBGraphics) {
                ((DVBGraphics) g).setDVBComposite(DVBAlphaComposite.Src);
            }
            g.setColor(CLEAR);
            g.fillRect(0, 0, model.stageWidth, model.stageHeight);
            if (g instanceof DVBGraphics) {
                ((DVBGraphics) g).setDVBComposite(DVBAlphaComposite.SrcOver);
            }
        } catch (UnsupportedDrawingOperationException e) {
            g.clearRect(0, 0, model.stageWidth, model.stageHeight);
        }
    }

    private void drawView(Graphics g, boolean withBackground) {
        int focusElement = focus < 0 ? -1 : model.viewFocusables[view][focus];
        int[] lists = model.viewDrawLists[view];
        int index;
        if (withBackground && model.background >= 0 && pictures.image(model.background) != null) {
            g.drawImage(pictures.image(model.background), 0, 0, this);
        }
        index = 0;
        for (int l = 0; l < lists.length; l++) {
            int[] list = model.drawLists[lists[l]];
            for (int at = 0; at < list.length; at += MenuModel.ELEMENT_SIZE, index++) {
                int picture = pictureOf(list, at, index == focusElement);
                if (picture < 0) continue;
                Image image = pictures.image(picture);
                if (image == null) continue;
                int x = list[at + 3];
                int y = list[at + 4];
                int w = list[at + 5];
                int h = list[at + 6];
                if (list[at] == MenuModel.KIND_TILE) {
                    int sx = list[at + 8];
                    int sy = list[at + 9];
                    g.drawImage(image, x, y, x + w, y + h, sx, sy, sx + list[at + 10],
                            sy + list[at + 11], this);
                } else if (w == model.pictureWidth[picture]
                        && h == model.pictureHeight[picture]) {
                    g.drawImage(image, x, y, this);
                } else {
                    g.drawImage(image, x, y, w, h, this);
                }
            }
        }
    }

    private static int pictureOf(int[] list, int at, boolean focused) {
        if (focused && list[at] == MenuModel.KIND_BUTTON && list[at + 7] >= 0) {
            return list[at + 7];
        }
        return list[at + 2];
    }
}
