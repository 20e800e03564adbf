package org.merrowkit.player;

import java.io.DataInputStream;
import java.io.IOException;

/**
 * The compiled calendar menu, as merrowkit writes it into menu.bin (docs/menu-model.md): views
 * with their draw lists, focusables and key tables, and the results the keys lead to. The
 * player only looks things up here; every rule was applied by the compiler.
 */
final class MenuModel {
    static final int MAGIC = 0x4D4B4D4D;
    static final int VERSION = 2;

    static final int PLAY_TITLE = 1;
    static final int PLAY_SLIDESHOW = 2;
    static final int PLAY_ALL = 3;

    // Elements are kept as rows of ELEMENT_SIZE ints: kind, name, picture, x, y, width, height,
    // focusPicture, sourceX, sourceY, sourceWidth, sourceHeight.
    static final int ELEMENT_SIZE = 12;
    static final int KIND_PICTURE = 0;
    static final int KIND_BUTTON = 1;
    static final int KIND_TILE = 2;

    static final int KEY_UP = 0;
    static final int KEY_DOWN = 1;
    static final int KEY_LEFT = 2;
    static final int KEY_RIGHT = 3;
    static final int KEY_OK = 4;
    static final int KEY_BACK = 5;
    static final int KEY_POPUP_MENU = 6;
    static final int KEY_COUNT = 7;

    int stageWidth;
    int stageHeight;
    String trackPrefix;
    String trackSuffix;
    String slidePrefix;
    String slideSuffix;
    int slideCount;
    int slideSeconds;
    String[] strings;
    int[] pictureTrack;
    int[] pictureWidth;
    int[] pictureHeight;
    int background;
    int[][] drawLists;
    int[] resultView;
    int[] resultFocus;
    int[] resultStatus;
    boolean[] resultToggle;
    int[] resultAction;
    // Actions: kind, then title and chapter (and the view and focus POPUP shows over it, or -1),
    // start frame and photos, or the items of a play all.
    int[] actionKind;
    int[] actionA;
    int[] actionB;
    int[] actionMenuView;
    int[] actionMenuFocus;
    int[][] actionItems;
    int[] viewPage;
    int[] viewChapterMenu;
    int[][] viewDrawLists;
    int[][] viewFocusables;
    int[][] viewKeys;
    int startView;
    int startFocus;

    static MenuModel read(DataInputStream in) throws IOException {
        MenuModel m = new MenuModel();
        if (in.readInt() != MAGIC) throw new IOException("not a menu model");
        int version = in.readShort();
        if (version != VERSION) throw new IOException("menu model version " + version);
        m.stageWidth = in.readShort();
        m.stageHeight = in.readShort();
        m.trackPrefix = in.readUTF();
        m.trackSuffix = in.readUTF();
        m.slidePrefix = in.readUTF();
        m.slideSuffix = in.readUTF();
        m.slideCount = in.readInt();
        m.slideSeconds = in.readShort();
        m.strings = new String[in.readInt()];
        for (int i = 0; i < m.strings.length; i++) m.strings[i] = in.readUTF();

        int pictures = in.readInt();
        m.pictureTrack = new int[pictures];
        m.pictureWidth = new int[pictures];
        m.pictureHeight = new int[pictures];
        for (int i = 0; i < pictures; i++) {
            m.pictureTrack[i] = in.readInt();
            m.pictureWidth[i] = in.readShort();
            m.pictureHeight[i] = in.readShort();
        }
        m.background = in.readInt();

        m.drawLists = new int[in.readInt()][];
        for (int i = 0; i < m.drawLists.length; i++) {
            int count = in.readInt();
            int[] list = new int[count * ELEMENT_SIZE];
            for (int e = 0; e < count; e++) {
                int at = e * ELEMENT_SIZE;
                int kind = in.readByte();
                list[at] = kind;
                list[at + 1] = in.readInt();
                list[at + 2] = in.readInt();
                for (int k = 3; k < 7; k++) list[at + k] = in.readShort();
                list[at + 7] = -1;
                if (kind == KIND_BUTTON) {
                    list[at + 7] = in.readInt();
                } else if (kind == KIND_TILE) {
                    for (int k = 8; k < 12; k++) list[at + k] = in.readShort();
                }
            }
            m.drawLists[i] = list;
        }

        int actions = in.readInt();
        m.actionKind = new int[actions];
        m.actionA = new int[actions];
        m.actionB = new int[actions];
        m.actionItems = new int[actions][];
        m.actionMenuView = new int[actions];
        m.actionMenuFocus = new int[actions];
        for (int i = 0; i < actions; i++) {
            int kind = in.readByte();
            m.actionKind[i] = kind;
            if (kind == PLAY_TITLE) {
                m.actionA[i] = in.readInt();
                m.actionB[i] = in.readShort();
                m.actionMenuView[i] = in.readInt();
                m.actionMenuFocus[i] = in.readShort();
            } else if (kind == PLAY_SLIDESHOW) {
                m.actionA[i] = in.readInt();
                m.actionB[i] = in.readInt();
            } else if (kind == PLAY_ALL) {
                int[] items = new int[in.readInt()];
                for (int k = 0; k < items.length; k++) items[k] = in.readInt();
                m.actionItems[i] = items;
            } else {
                throw new IOException("unknown action " + kind);
            }
        }

        int results = in.readInt();
        m.resultView = new int[results];
        m.resultFocus = new int[results];
        m.resultStatus = new int[results];
        m.resultToggle = new boolean[results];
        m.resultAction = new int[results];
        for (int i = 0; i < results; i++) {
            m.resultView[i] = in.readInt();
            m.resultFocus[i] = in.readShort();
            m.resultStatus[i] = in.readInt();
            m.resultToggle[i] = (in.readByte() & 1) != 0;
            m.resultAction[i] = in.readInt();
        }

        int views = in.readInt();
        m.viewPage = new int[views];
        m.viewChapterMenu = new int[views];
        m.viewDrawLists = new int[views][];
        m.viewFocusables = new int[views][];
        m.viewKeys = new int[views][];
        for (int v = 0; v < views; v++) {
            m.viewPage[v] = in.readInt();
            m.viewChapterMenu[v] = in.readInt();
            int[] lists = new int[in.readShort()];
            for (int i = 0; i < lists.length; i++) lists[i] = in.readInt();
            m.viewDrawLists[v] = lists;
            int[] focusables = new int[in.readShort()];
            for (int i = 0; i < focusables.length; i++) focusables[i] = in.readShort();
            m.viewFocusables[v] = focusables;
            int[] keys = new int[(focusables.length + 1) * KEY_COUNT];
            for (int i = 0; i < keys.length; i++) keys[i] = in.readInt();
            m.viewKeys[v] = keys;
        }
        m.startView = in.readInt();
        m.startFocus = in.readShort();
        if (in.read() != -1) throw new IOException("data after the menu model");
        return m;
    }

    /** The result of a key in a view while focusable focus (or -1: none) has the focus. */
    int result(int view, int focus, int key) {
        return viewKeys[view][(focus + 1) * KEY_COUNT + key];
    }

    /**
     * Where element index (counting through the view's draw lists one after the other) lies:
     * the draw list in the high half, the element's row in the low half; -1 when beyond.
     */
    long locate(int view, int element) {
        int[] lists = viewDrawLists[view];
        for (int i = 0; i < lists.length; i++) {
            int count = drawLists[lists[i]].length / ELEMENT_SIZE;
            if (element < count) return ((long) lists[i] << 32) | element;
            element -= count;
        }
        return -1;
    }

    /** The id of the focused element of a view, or null. */
    String focusName(int view, int focus) {
        if (focus < 0) return null;
        long at = locate(view, viewFocusables[view][focus]);
        if (at < 0) return null;
        int[] list = drawLists[(int) (at >> 32)];
        return strings[list[(int) at * ELEMENT_SIZE + 1]];
    }
}
