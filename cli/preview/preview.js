// Plays the calendar document embedded in this page as the calendar application on the disc
// would: pages, grids of cells, the year strip, chapter menus, focus moves and commands. The
// README section "How the preview plays the document" lists the rules this follows.
(function () {
    'use strict';

    const STAGE_WIDTH = 1920;
    const STAGE_HEIGHT = 1080;
    const PAGE_NAMES = ['yearpage', 'monthpage', 'daypage', 'contentpage'];
    const ENTRY_NAMES = ['year', 'month', 'day', 'titlecontent', 'slideshowcontent'];
    // The kinds of a scene element (PREFIX_KIND_N) and the placeholders of a holder they take.
    const SCENE_PLACEHOLDERS = {
        SCENE: 'button_',
        TEXT: 'text_',
        TITLEDECORATION: 'title_decoration_',
        TITLENUMBER: 'title_number_',
        PHOTODECORATION: 'photo_decoration_',
        PHOTONUMBER: 'photo_number_',
    };
    const SCENE_PATTERN = /^(.+)_(SCENE|TEXT|TITLEDECORATION|TITLENUMBER|PHOTODECORATION|PHOTONUMBER)_(\d+)$/;
    const DIRECTIONS = {
        UP: { axis: 'y', sign: -1 },
        DOWN: { axis: 'y', sign: 1 },
        LEFT: { axis: 'x', sign: -1 },
        RIGHT: { axis: 'x', sign: 1 },
    };

    const model = JSON.parse(document.getElementById('merrowkit-model').textContent);
    const trackBase = model.trackBase || '';
    const root = model.document;

    // ---- the document

    const byId = new Map();  // id -> every element with it, in document order
    (function index(node, parent) {
        node.p = parent;
        const id = node.a.id;
        if (id !== undefined) {
            if (!byId.has(id)) byId.set(id, []);
            byId.get(id).push(node);
        }
        node.c.forEach((child) => index(child, node));
    })(root, null);

    function find(id) {
        const found = id === undefined ? undefined : byId.get(id);
        return found ? found[0] : null;
    }
    function child(node, name) {
        return node ? node.c.find((c) => c.n === name) || null : null;
    }
    function descendants(node, name, out) {
        out = out || [];
        if (!node) return out;
        node.c.forEach((c) => {
            if (c.n === name) out.push(c);
            descendants(c, name, out);
        });
        return out;
    }
    function num(node, name, fallback) {
        const value = node && node.a[name] !== undefined ? Number(node.a[name]) : NaN;
        return Number.isFinite(value) ? value : fallback === undefined ? 0 : fallback;
    }
    function isInside(node, ancestor) {
        for (let up = node; up; up = up.p) if (up === ancestor) return true;
        return false;
    }

    const layout = child(root, 'layout');
    const command = child(root, 'command');
    const effect = child(root, 'effect');
    const calendar = descendants(command, 'calendar')[0] || null;
    const focusControl = descendants(command, 'focuscontrol')[0] || null;
    const focusTargets = descendants(focusControl, 'focusitem').map((f) => f.a.target);
    const focusable = new Set(focusTargets);
    const keyEvents = descendants(child(command, 'eventhandler'), 'key_event');
    const triggers = descendants(effect, 'trigger');
    const titles = descendants(child(root, 'titlelist'), 'title');

    function isPage(node) {
        return node !== null && PAGE_NAMES.includes(node.n);
    }
    function isEntry(node) {
        return node !== null && ENTRY_NAMES.includes(node.n);
    }
    function entriesOf(page) {
        return page.c.filter(isEntry);
    }
    // The page an entry opens (a year's month page, a month's day page, a day's content page).
    function pageOf(entry) {
        return entry.c.find(isPage) || null;
    }
    function parentPage(page) {
        for (let up = page.p; up; up = up.p) if (isPage(up)) return up;
        return null;
    }
    function entryOfPage(page) {
        return isEntry(page.p) ? page.p : null;
    }
    // What a number shows in the cell or scene of an entry.
    function entryValues(entry) {
        const opened = pageOf(entry);
        return {
            TITLE: opened ? opened.a.titleNumber : undefined,
            PHOTO: opened ? opened.a.photoNumber : undefined,
            DATE: entry.n === 'month' ? entry.a.month : entry.n === 'day' ? entry.a.day : undefined,
            TIME: entry.a.time,
        };
    }
    function pageValues(page) {
        return { TITLE: page.a.titleNumber, PHOTO: page.a.photoNumber };
    }
    // The entry whose select button (or year scene) this element is.
    const entryOfButton = new Map();
    if (calendar) {
        descendants(calendar, 'year').forEach((year, i) => {
            const scene = byId.has('L1_SCENE_' + (i + 1)) ? 'L1_SCENE_' + (i + 1) : null;
            if (scene) entryOfButton.set(scene, year);
        });
        ENTRY_NAMES.forEach((name) =>
            descendants(calendar, name).forEach((entry) => {
                if (entry.a.thumbnailResId) entryOfButton.set(entry.a.thumbnailResId, entry);
            }));
    }
    function chapterMenuOf(content) {
        return content && content.n === 'titlecontent' ? find(content.a.chapterLayoutId) : null;
    }
    const chapterMenus = new Set();
    descendants(calendar, 'titlecontent').forEach((c) => {
        const menu = chapterMenuOf(c);
        if (menu) chapterMenus.add(menu);
    });

    // ---- the state of the player

    const state = {
        page: calendar ? find(calendar.a.firstPageId) : null,
        focus: focusControl ? focusControl.a.default || null : null,
        chapterMenu: null,
        status: '',
        hidden: false,
        cells: new Map(),   // page id -> index of the page of cells shown
        scroll: new Map(),  // scroll container id -> index of the first scene shown
    };
    let drawn = [];  // {id, rect, layer} of every focusable element on the stage

    // ---- drawing

    const stage = document.getElementById('stage');
    const statusLine = document.getElementById('status');

    function trackUrl(id) {
        return trackBase + 'tracks/' + encodeURIComponent(id) + '.png';
    }
    function place(el, id, x, y, width, height) {
        el.className = (el.className ? el.className + ' ' : '') + 'el';
        if (id !== undefined) el.setAttribute('data-id', id);
        el.style.left = x + 'px';
        el.style.top = y + 'px';
        if (width !== undefined) el.style.width = width + 'px';
        if (height !== undefined) el.style.height = height + 'px';
        stage.appendChild(el);
        return el;
    }
    function picture(id, track, x, y, width, height) {
        const img = document.createElement('img');
        img.alt = '';
        img.draggable = false;
        img.src = trackUrl(track);
        if (width > 0) img.width = width;
        if (height > 0) img.height = height;
        return place(img, id, x, y, width > 0 ? width : undefined, height > 0 ? height : undefined);
    }
    function decoration(node, x, y) {
        if (!node.a.image) return;
        picture(node.a.id, node.a.image, x + num(node, 'x'), y + num(node, 'y'),
                num(node, 'width'), num(node, 'height'));
    }
    // A button at (x, y) of the stage with the given size; focusable when a focus item names it.
    function button(node, x, y, width, height, layer) {
        const id = node.a.id;
        const focused = id !== undefined && id === state.focus;
        const track = focused && node.a.imageFocus ? node.a.imageFocus : node.a.imageNormal;
        if (track) picture(id, track, x, y, width, height);
        if (focusable.has(id)) drawn.push({ id, rect: { x, y, width, height }, layer });
    }
    function layoutButton(node, x, y, layer) {
        button(node, x + num(node, 'x'), y + num(node, 'y'), num(node, 'width'),
               num(node, 'height'), layer);
    }
    // A number drawn from a strip of the ten digits, each tileWidth x tileHeight.
    function number(node, value, x, y) {
        if (value === undefined || value === null || value === '' || !node.a.tileImage) return null;
        const tileWidth = num(node, 'tileWidth', 0);
        const tileHeight = num(node, 'tileHeight', 0);
        if (tileWidth <= 0 || tileHeight <= 0) return null;
        const box = place(document.createElement('div'), node.a.id, x, y, undefined, tileHeight);
        let at = 0;
        for (const ch of String(value)) {
            if (ch >= '0' && ch <= '9') {
                const digit = document.createElement('div');
                digit.className = 'digit';
                digit.style.left = at + 'px';
                digit.style.width = tileWidth + 'px';
                digit.style.height = tileHeight + 'px';
                digit.style.backgroundImage = 'url("' + trackUrl(node.a.tileImage) + '")';
                digit.style.backgroundSize = tileWidth * 10 + 'px ' + tileHeight + 'px';
                digit.style.backgroundPosition = -Number(ch) * tileWidth + 'px 0';
                box.appendChild(digit);
                at += tileWidth;
            } else {
                at += Math.round(tileWidth / 2);  // separators (":" of a time) leave a gap
            }
        }
        box.style.width = at + 'px';
        return { x, y, width: at, height: tileHeight };
    }
    function numberValue(node, values) {
        const type = node.a.type;
        if (values && type in values) return values[type];
        return node.a.value;
    }

    function drawContainer(container, x, y, values, layer) {
        const skipped = new Set();
        container.c.forEach((node) => {
            if (skipped.has(node)) return;
            switch (node.n) {
                case 'decoration':
                    decoration(node, x, y);
                    break;
                case 'graphicbutton':
                    layoutButton(node, x, y, layer);
                    break;
                case 'graphictext':
                    number(node, numberValue(node, values), x + num(node, 'x'), y + num(node, 'y'));
                    break;
                case 'gridlayout': {
                    // The grid's background picture lies under its cells.
                    const background = container.c.find((c) => c.a.id === node.a.id + '_BGIMAGE');
                    if (background) {
                        decoration(background, x, y);
                        skipped.add(background);
                    }
                    drawGrid(node, x, y, layer);
                    break;
                }
                case 'scrollcontainer2':
                case 'scrollcontainer3':
                    drawScroll(node, x, y, layer);
                    break;
                case 'container':
                    drawContainer(node, x + num(node, 'x'), y + num(node, 'y'), values, layer);
                    break;
                default:
                    break;
            }
        });
    }

    // The cells of the grid: col x row inside the margins, hGap and vGap between them.
    function gridCells(grid) {
        const col = Math.max(1, num(grid, 'col', 1));
        const row = Math.max(1, num(grid, 'row', 1));
        const left = num(grid, 'leftMargin');
        const top = num(grid, 'topMargin');
        const width = (num(grid, 'width') - left - num(grid, 'rightMargin') -
                       (col - 1) * num(grid, 'hGap')) / col;
        const height = (num(grid, 'height') - top - num(grid, 'bottomMargin') -
                        (row - 1) * num(grid, 'vGap')) / row;
        const cells = [];
        for (let k = 0; k < col * row; ++k) {
            const c = k % col;
            const r = Math.floor(k / col);
            cells.push({
                x: num(grid, 'x') + left + c * (width + num(grid, 'hGap')),
                y: num(grid, 'y') + top + r * (height + num(grid, 'vGap')),
                width,
                height,
            });
        }
        return cells;
    }
    function cellPageCount(page, grid) {
        return Math.max(1, Math.ceil(entriesOf(page).length / gridCells(grid).length));
    }
    function gridOf(page) {
        const container = find(page.a.layoutId);
        return container ? descendants(container, 'gridlayout')[0] || null : null;
    }

    function drawGrid(grid, x, y, layer) {
        const page = state.page;
        const cells = gridCells(grid);
        const first = (state.cells.get(page.a.id) || 0) * cells.length;
        const entries = entriesOf(page).slice(first, first + cells.length);
        entries.forEach((entry, k) => {
            const cell = { x: x + cells[k].x, y: y + cells[k].y };
            const selectButton = find(entry.a.thumbnailResId);
            if (selectButton) {
                button(selectButton, cell.x + num(selectButton, 'x'), cell.y + num(selectButton, 'y'),
                       num(selectButton, 'width', cells[k].width),
                       num(selectButton, 'height', cells[k].height), layer);
            }
            drawOverlays(grid, entry, cell.x, cell.y);
        });
    }

    // The cell overlays of a grid for one entry: the date or time, and the title and photo
    // marks and counters (for a content, only those of its kind). A counter without a place
    // stands right of the mark before it.
    function drawOverlays(grid, entry, x, y) {
        const values = entryValues(entry);
        let mark = null;
        grid.c.forEach((node) => {
            const id = (node.a.id || '').toLowerCase();
            if (entry.n === 'titlecontent' && id.startsWith('photo_')) return;
            if (entry.n === 'slideshowcontent' && id.startsWith('title_')) return;
            if (node.n === 'decoration') {
                decoration(node, x, y);
                mark = { x: x + num(node, 'x'), y: y + num(node, 'y'), width: num(node, 'width') };
            } else if (node.n === 'graphictext') {
                const placed = node.a.x !== undefined || node.a.y !== undefined || mark === null;
                const nx = placed ? x + num(node, 'x') : mark.x + mark.width + 4;
                const ny = placed ? y + num(node, 'y') : mark.y;
                number(node, numberValue(node, values), nx, ny);
            } else if (node.n === 'graphicbutton') {
                layoutButton(node, x, y, null);
            }
        });
    }

    // A scroll container: its own decorations and buttons, and its scenes (PREFIX_KIND_N) placed
    // at the placeholders of its holders, which stand side by side along its direction.
    function scrollGeometry(scroll) {
        const holders = descendants(child(scroll, 'scrollinfo'), 'scrollholder');
        const vertical = scroll.a.direction === 'vertical';
        let low = Infinity;
        let high = 0;
        holders.forEach((h) => h.c.forEach((p) => {
            const start = num(p, vertical ? 'y' : 'x');
            low = Math.min(low, start);
            high = Math.max(high, start + num(p, vertical ? 'height' : 'width'));
        }));
        const extent = holders.length ? high + (Number.isFinite(low) ? low : 0) : 0;
        const length = num(scroll, vertical ? 'height' : 'width');
        const start = (length - extent * holders.length) / 2;
        const scenes = new Map();  // scene number -> [{node, kind}]
        scroll.c.forEach((node) => {
            const match = SCENE_PATTERN.exec(node.a.id || '');
            if (!match) return;
            const n = Number(match[3]);
            if (!scenes.has(n)) scenes.set(n, []);
            scenes.get(n).push({ node, kind: match[2] });
        });
        const count = scenes.size ? Math.max(...scenes.keys()) : 0;
        return { holders, vertical, extent, start, scenes, count };
    }
    function scrollOffset(scroll, geometry) {
        const most = Math.max(0, geometry.count - geometry.holders.length);
        return Math.min(Math.max(0, state.scroll.get(scroll.a.id) || 0), most);
    }

    function drawScroll(scroll, x, y, layer) {
        const sx = x + num(scroll, 'x');
        const sy = y + num(scroll, 'y');
        const geometry = scrollGeometry(scroll);
        scroll.c.forEach((node) => {
            if (SCENE_PATTERN.test(node.a.id || '')) return;
            if (node.n === 'decoration') decoration(node, sx, sy);
            else if (node.n === 'graphicbutton') layoutButton(node, sx, sy, layer);
        });
        const offset = scrollOffset(scroll, geometry);
        geometry.holders.forEach((holder, h) => {
            const n = offset + h + 1;
            const parts = geometry.scenes.get(n);
            if (!parts) return;
            const hx = sx + (geometry.vertical ? 0 : geometry.start + h * geometry.extent);
            const hy = sy + (geometry.vertical ? geometry.start + h * geometry.extent : 0);
            const entry = entryOfButton.get(parts.find((p) => p.kind === 'SCENE')?.node.a.id);
            const values = entry ? entryValues(entry) : null;
            parts.forEach(({ node, kind }) => {
                const placeholder = holder.c.find((p) => p.a.id === SCENE_PLACEHOLDERS[kind] + (h + 1));
                if (!placeholder) return;
                const px = hx + num(placeholder, 'x');
                const py = hy + num(placeholder, 'y');
                if (node.n === 'graphicbutton') {
                    button(node, px, py, num(node, 'width', num(placeholder, 'width')) ||
                           num(placeholder, 'width'),
                           num(node, 'height') || num(placeholder, 'height'), layer);
                } else if (node.n === 'decoration') {
                    if (node.a.image) {
                        picture(node.a.id, node.a.image, px, py,
                                num(node, 'width') || num(placeholder, 'width'),
                                num(node, 'height') || num(placeholder, 'height'));
                    }
                } else if (node.n === 'graphictext') {
                    number(node, numberValue(node, values), px, py);
                }
            });
        });
    }

    function fit() {
        const scale = Math.min(window.innerWidth / STAGE_WIDTH, window.innerHeight / STAGE_HEIGHT);
        const left = (window.innerWidth - STAGE_WIDTH * scale) / 2;
        const top = (window.innerHeight - STAGE_HEIGHT * scale) / 2;
        stage.style.transform = 'translate(' + left + 'px, ' + top + 'px) scale(' + scale + ')';
    }

    function render() {
        stage.textContent = '';
        drawn = [];
        if (!state.hidden && model.background) {
            const b = model.background;
            picture(b.id, b.id, 0, 0, num({ a: b }, 'width'), num({ a: b }, 'height'));
        }
        if (!state.hidden && state.page) {
            const container = find(state.page.a.layoutId);
            if (container) {
                drawContainer(container, num(container, 'x'), num(container, 'y'),
                              pageValues(state.page), 'page');
            }
            if (state.chapterMenu) {
                drawContainer(state.chapterMenu, num(state.chapterMenu, 'x'),
                              num(state.chapterMenu, 'y'), null, 'chapter');
            }
        }
        statusLine.textContent = state.status;
    }

    // ---- focus

    // What the focus can move to: the focusable elements on the stage, only those of the chapter
    // menu while one is shown.
    function candidates() {
        const layer = state.chapterMenu ? 'chapter' : 'page';
        return drawn.filter((d) => d.layer === layer);
    }
    function drawnRect(id) {
        const d = drawn.find((e) => e.id === id);
        return d ? d.rect : null;
    }
    function centre(rect, axis) {
        return axis === 'x' ? rect.x + rect.width / 2 : rect.y + rect.height / 2;
    }

    // True when the rectangle lies wholly past the edge of `from` in the direction.
    function isBeyond(rect, from, direction) {
        const size = direction.axis === 'x' ? 'width' : 'height';
        const axis = direction.axis;
        return direction.sign > 0 ? rect[axis] >= from[axis] + from[size]
                                  : rect[axis] + rect[size] <= from[axis];
    }

    // Moves the focus to the nearest focusable element in the direction; false when none.
    function moveFocus(key) {
        const direction = DIRECTIONS[key];
        if (scrollPastEnd(key)) return true;
        const from = drawnRect(state.focus);
        if (!from) {
            const first = candidates()[0];
            if (!first) return false;
            state.focus = first.id;
            return true;
        }
        const other = direction.axis === 'x' ? 'y' : 'x';
        let best = null;
        let bestScore = Infinity;
        candidates().forEach((d) => {
            if (d.id === state.focus || !isBeyond(d.rect, from, direction)) return;
            const along = (centre(d.rect, direction.axis) - centre(from, direction.axis)) *
                          direction.sign;
            const across = Math.abs(centre(d.rect, other) - centre(from, other));
            const score = along + 2 * across;
            if (score < bestScore) {
                bestScore = score;
                best = d;
            }
        });
        if (!best) return false;
        state.focus = best.id;
        return true;
    }

    // The scroll container and scene number of the focused element, when it is a scene.
    function focusedScene() {
        const node = find(state.focus);
        const match = node && SCENE_PATTERN.exec(node.a.id);
        if (!match || !node.p || !/^scrollcontainer[23]$/.test(node.p.n)) return null;
        return { scroll: node.p, prefix: match[1], kind: match[2], n: Number(match[3]) };
    }
    // Moving along a strip from its last (first) shown scene to a hidden next (previous) one
    // scrolls the strip by one and focuses that scene.
    function scrollPastEnd(key) {
        const scene = focusedScene();
        if (!scene) return false;
        const direction = DIRECTIONS[key];
        const geometry = scrollGeometry(scene.scroll);
        if ((direction.axis === 'y') !== geometry.vertical) return false;
        const offset = scrollOffset(scene.scroll, geometry);
        const next = scene.n + direction.sign;
        const target = scene.prefix + '_' + scene.kind + '_' + next;
        if (!byId.has(target) || !focusable.has(target)) return false;
        const shownFirst = offset + 1;
        const shownLast = offset + geometry.holders.length;
        if (next >= shownFirst && next <= shownLast) return false;
        state.scroll.set(scene.scroll.a.id, offset + direction.sign);
        state.focus = target;
        return true;
    }
    // Scrolls a strip by one scene (its previous and next buttons); false at its end.
    function scrollBy(scroll, delta) {
        const geometry = scrollGeometry(scroll);
        const offset = scrollOffset(scroll, geometry);
        const most = Math.max(0, geometry.count - geometry.holders.length);
        const moved = Math.min(Math.max(0, offset + delta), most);
        if (moved === offset) return false;
        state.scroll.set(scroll.a.id, moved);
        return true;
    }
    // Scrolls the strip that holds a scene so that the scene is shown.
    function revealScene(id) {
        const node = find(id);
        const match = node && SCENE_PATTERN.exec(id);
        if (!match || !node.p || !/^scrollcontainer[23]$/.test(node.p.n)) return;
        const geometry = scrollGeometry(node.p);
        const offset = scrollOffset(node.p, geometry);
        const n = Number(match[3]);
        if (n <= offset) state.scroll.set(node.p.a.id, n - 1);
        else if (n > offset + geometry.holders.length) {
            state.scroll.set(node.p.a.id, n - geometry.holders.length);
        }
    }

    // ---- pages and commands

    function firstFocus(layer, preferScenes) {
        render();
        const shown = drawn.filter((d) => d.layer === layer);
        const ordered = focusTargets.map((id) => shown.find((d) => d.id === id)).filter(Boolean);
        const grid = state.page ? gridOf(state.page) : null;
        const inCells = shown.filter((d) => entryOfButton.has(d.id) && layer === 'page' && grid);
        const scenes = ordered.filter((d) => SCENE_PATTERN.exec(d.id)?.[2] === 'SCENE');
        const pick = (preferScenes && scenes[0]) || inCells[0] || scenes[0] || ordered[0] ||
                     shown[0];
        return pick ? pick.id : null;
    }

    function openPage(page) {
        if (!isPage(page)) return;
        state.page = page;
        state.chapterMenu = null;
        state.cells.set(page.a.id, 0);
        state.focus = firstFocus('page', false);
    }

    // BACK: the parent page, with the focus on the entry that was opened.
    function goBack() {
        const parent = state.page ? parentPage(state.page) : null;
        if (!parent) return false;
        const from = entryOfPage(state.page);
        state.page = parent;
        state.chapterMenu = null;
        let focus = null;
        if (from) {
            const grid = gridOf(parent);
            if (grid) {
                const perPage = gridCells(grid).length;
                state.cells.set(parent.a.id, Math.floor(entriesOf(parent).indexOf(from) / perPage));
            }
            for (const [id, entry] of entryOfButton) if (entry === from) focus = id;
        }
        if (focus) {
            revealScene(focus);
            state.focus = focus;
        } else {
            state.focus = firstFocus('page', false);
        }
        return true;
    }

    function turnCells(delta) {
        const page = state.page;
        const grid = page ? gridOf(page) : null;
        if (!grid) return;
        const current = state.cells.get(page.a.id) || 0;
        const next = Math.min(Math.max(0, current + delta), cellPageCount(page, grid) - 1);
        state.cells.set(page.a.id, next);
    }

    function titleName(titleNo) {
        const title = titles.find((t) => t.a.titleNo === titleNo);
        return title ? title.a.id : titleNo;
    }

    // A menu property: its visibility shows or hides the chapter menu container it names.
    function applyMenuProperty(property) {
        const target = find(property.a.target);
        const visibility = descendants(property, 'property').find((p) => p.a.name === 'visibility');
        if (!target || !visibility) return;
        if (visibility.a.value === 'true') {
            state.chapterMenu = target;
            state.focus = firstFocus('chapter', true);
        } else if (state.chapterMenu === target) {
            closeChapterMenu(false);
        }
    }

    // The focused content's chapter menu is shown and takes the focus; the focus goes back to
    // the content when it closes.
    let chapterMenuOpener = null;
    function showChapterMenu(content) {
        const property = find(content.a.showChapterCmdId);
        if (!property || property.n !== 'menuproperty') return false;
        chapterMenuOpener = state.focus;
        applyMenuProperty(property);
        return state.chapterMenu !== null;
    }
    function closeChapterMenu(runHide) {
        if (!state.chapterMenu) return false;
        const content = descendants(calendar, 'titlecontent').find(
            (c) => chapterMenuOf(c) === state.chapterMenu);
        const hide = content ? find(content.a.hideChapterCmdId) : null;
        state.chapterMenu = null;
        if (runHide && hide && hide.n === 'menuproperty') applyMenuProperty(hide);
        state.focus = chapterMenuOpener && byId.has(chapterMenuOpener) ? chapterMenuOpener
                                                                      : firstFocus('page', false);
        chapterMenuOpener = null;
        return true;
    }

    function playContent(content) {
        if (!content) return;
        if (content.n === 'titlecontent') {
            if (chapterMenuOf(content) && showChapterMenu(content)) return;
            state.status = 'Play title ' + content.a.titleId;
        } else if (content.n === 'slideshowcontent') {
            state.status = 'Play slideshow from ' + content.a.startTime;
        }
    }

    // One use of the calendar command: "VERB" or "VERB,ID".
    function calendarCommand(param, key) {
        const comma = param.indexOf(',');
        const verb = comma < 0 ? param : param.slice(0, comma);
        const id = comma < 0 ? '' : param.slice(comma + 1);
        switch (verb) {
            case 'SwitchPage':
                openPage(find(id));
                return true;
            case 'PlayContent':
                playContent(find(id));
                return true;
            case 'BackPage':
                return goBack();
            case 'NextPage':
                turnCells(1);
                return true;
            case 'PreviousPage':
                turnCells(-1);
                return true;
            case 'PlayAllContent':
                state.status = 'Play all contents of ' + (state.page ? state.page.a.id : '');
                return true;
            case 'TogglePage':
                state.hidden = !state.hidden;
                state.status = state.hidden ? 'Menu hidden (m shows it)' : '';
                return true;
            case 'ShowChapterMenu': {
                if (state.chapterMenu) return false;
                const entry = entryOfButton.get(state.focus);
                return entry && entry.n === 'titlecontent' && chapterMenuOf(entry)
                    ? showChapterMenu(entry) : false;
            }
            case 'HideChapterMenu':
                return closeChapterMenu(true);
            default:
                return false;
        }
    }

    // Runs one use: of a trigger (key null) or of a key event (the key pressed). True when it
    // did something.
    function runUse(use, key) {
        const target = find(use.a.target);
        if (!target) return false;
        switch (target.n) {
            case 'calendar':
                return calendarCommand(use.a.param || '', key);
            case 'focuscontrol':
                return key in DIRECTIONS ? moveFocus(key) : false;
            case 'jumpchapter':
                state.status = 'Play title ' + titleName(target.a.titleNo) + ' chapter ' +
                               target.a.chapterNo;
                return true;
            case 'menuproperty':
                applyMenuProperty(target);
                return true;
            case 'scrollcontainer2':
            case 'scrollcontainer3': {
                // A strip follows the keys along its direction while the focus is on one of its
                // scenes.
                const scene = focusedScene();
                return key in DIRECTIONS && scene !== null && scene.scroll === target
                    ? scrollPastEnd(key) : false;
            }
            default:
                return false;
        }
    }

    function activate() {
        const id = state.focus;
        if (!id) return;
        const launched = triggers.filter((t) => t.a.launcher === id);
        if (launched.length) {
            launched.forEach((t) => descendants(t, 'use').forEach((u) => runUse(u, null)));
            return;
        }
        const entry = entryOfButton.get(id);
        if (entry) {
            if (entry.n === 'titlecontent' || entry.n === 'slideshowcontent') playContent(entry);
            else openPage(pageOf(entry));
            return;
        }
        // A strip's previous and next buttons scroll it.
        const node = find(id);
        if (node && node.p && /^scrollcontainer[23]$/.test(node.p.n)) {
            if (/PREV/i.test(id)) scrollBy(node.p, -1);
            else if (/NEXT/i.test(id)) scrollBy(node.p, 1);
        }
    }

    function press(key) {
        key = String(key).toUpperCase();
        render();  // the focusable elements as they are drawn now
        const keyEvent = keyEvents.find((k) => k.a.vkey === 'VK_' + key);
        if (key === 'POPUP_MENU') {
            if (keyEvent) descendants(keyEvent, 'use').some((u) => runUse(u, key));
            else calendarCommand('TogglePage', key);
        } else if (state.hidden) {
            // keys other than the popup menu key do nothing while the menu is hidden
        } else if (key in DIRECTIONS) {
            if (keyEvent) descendants(keyEvent, 'use').some((u) => runUse(u, key));
            else moveFocus(key);
        } else if (key === 'OK') {
            activate();
        } else if (key === 'BACK') {
            if (!closeChapterMenu(true)) goBack();
        }
        render();
        return snapshot();
    }

    function snapshot() {
        return {
            page: state.page ? state.page.a.id : null,
            focus: state.focus,
            chapterMenu: state.chapterMenu ? state.chapterMenu.a.id : null,
            status: state.status,
        };
    }

    const KEYS = {
        ArrowUp: 'UP',
        ArrowDown: 'DOWN',
        ArrowLeft: 'LEFT',
        ArrowRight: 'RIGHT',
        Enter: 'OK',
        Backspace: 'BACK',
        Escape: 'BACK',
        m: 'POPUP_MENU',
        M: 'POPUP_MENU',
    };
    document.addEventListener('keydown', (event) => {
        const key = KEYS[event.key];
        if (!key || event.altKey || event.ctrlKey || event.metaKey) return;
        event.preventDefault();
        press(key);
    });
    window.addEventListener('resize', fit);

    window.preview = {
        state: snapshot,
        press,
    };
    fit();
    render();
})();
