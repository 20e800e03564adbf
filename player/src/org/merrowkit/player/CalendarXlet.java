package org.merrowkit.player;

import java.awt.Color;
import java.awt.Component;
import java.awt.Font;
import java.awt.Graphics;
import java.awt.Image;
import java.io.BufferedInputStream;
import java.io.DataInputStream;
import java.io.FileInputStream;
import java.io.IOException;
import javax.tv.xlet.Xlet;
import javax.tv.xlet.XletContext;
import org.dvb.event.EventManager;
import org.dvb.event.UserEvent;
import org.dvb.event.UserEventListener;
import org.dvb.event.UserEventRepository;
import org.havi.ui.HScene;
import org.havi.ui.HSceneFactory;
import org.havi.ui.event.HRcEvent;

/**
 * The calendar menu on a BD-J player: it reads the compiled menu model from the disc, draws its
 * current view and follows the model's key tables. The remote's arrows move the focus, ENTER is
 * OK, POPUP the popup menu key and the RED colour key BACK.
 */
public final class CalendarXlet extends Component implements Xlet, UserEventListener {
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

    public void initXlet(XletContext context) {
    }

    public void startXlet() {
        long start = System.currentTimeMillis();
        String folder = System.getProperty("bluray.vfs.root") + DATA_FOLDER;
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
    }

    public void pauseXlet() {
    }

    public void destroyXlet(boolean unconditional) {
        if (keys != null) EventManager.getInstance().removeUserEventListener(this);
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
        return changed;
    }

    /** One line on stderr with the state, as the preview's state() gives it (for tests). */
    private synchronized void report() {
        String chapter = model.viewChapterMenu[view] < 0 ? "null"
                : model.strings[model.viewChapterMenu[view]];
        System.err.println("merrowkit-player: state page=" + model.strings[model.viewPage[view]]
                + " focus=" + model.focusName(view, focus) + " chapterMenu=" + chapter
                + " hidden=" + hidden + " heldPixels=" + pictures.heldPixels()
                + " peakPixels=" + pictures.peakPixels()
                + " status=" + status);
    }

    public void update(Graphics g) {
        paint(g);
    }

    public synchronized void paint(Graphics g) {
        g.setColor(Color.black);
        g.fillRect(0, 0, model.stageWidth, model.stageHeight);
        if (!hidden) drawView(g);
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
        if (!hidden) {
            if (model.background >= 0) needed[model.background] = true;
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
        if (hidden || model.viewPage[view] != drawnPage) {
            pictures.keepOnly(needed);
            drawnPage = hidden ? -1 : model.viewPage[view];
        }
        pictures.load(needed);
    }

    private void drawView(Graphics g) {
        int focusElement = focus < 0 ? -1 : model.viewFocusables[view][focus];
        int[] lists = model.viewDrawLists[view];
        int index;
        if (model.background >= 0 && pictures.image(model.background) != null) {
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
