// Plays the compiled calendar menu embedded in this page (docs/menu-model.md): draws the current
// view's elements and follows the view's key table. merrowkit computed the layout, the focus
// moves and the actions; this only looks them up.
(function () {
    'use strict';

    const KEYS = ['UP', 'DOWN', 'LEFT', 'RIGHT', 'OK', 'BACK', 'POPUP_MENU'];
    const KIND_BUTTON = 1;
    const KIND_TILE = 2;

    const page = JSON.parse(document.getElementById('merrowkit-model').textContent);
    const trackBase = page.trackBase || '';
    const menu = page.menu;
    const strings = menu.strings;
    const [stageWidth, stageHeight] = menu.stage;

    const state = {
        view: menu.start[0],
        focus: menu.start[1],
        status: '',
        hidden: false,
    };

    const stage = document.getElementById('stage');
    const statusLine = document.getElementById('status');
    stage.style.width = stageWidth + 'px';
    stage.style.height = stageHeight + 'px';

    function text(index) {
        return index >= 0 ? strings[index] : null;
    }
    function pictureUrl(index) {
        const track = strings[menu.pictures[index][0]];
        return trackBase + menu.trackPrefix + encodeURIComponent(track) + menu.trackSuffix;
    }
    // The view's elements, its draw lists one after the other.
    function elementsOf(view) {
        const out = [];
        menu.views[view][2].forEach((list) => out.push(...menu.drawLists[list]));
        return out;
    }

    function place(el, name, x, y, width, height) {
        el.className = (el.className ? el.className + ' ' : '') + 'el';
        if (name !== null) el.setAttribute('data-id', name);
        el.style.left = x + 'px';
        el.style.top = y + 'px';
        el.style.width = width + 'px';
        el.style.height = height + 'px';
        stage.appendChild(el);
    }
    function picture(name, index, x, y, width, height) {
        const img = document.createElement('img');
        img.alt = '';
        img.draggable = false;
        img.src = pictureUrl(index);
        img.width = width;
        img.height = height;
        place(img, name, x, y, width, height);
    }
    // A rectangle of a picture scaled to the box: the picture as the box's background, scaled
    // so that the rectangle fills the box.
    function tile(name, index, x, y, width, height, sx, sy, sw, sh) {
        const div = document.createElement('div');
        const [, pw, ph] = menu.pictures[index];
        if (sw > 0 && sh > 0) {
            div.style.backgroundImage = 'url("' + pictureUrl(index) + '")';
            div.style.backgroundRepeat = 'no-repeat';
            div.style.backgroundSize = (pw * width) / sw + 'px ' + (ph * height) / sh + 'px';
            div.style.backgroundPosition = -(sx * width) / sw + 'px ' + -(sy * height) / sh + 'px';
        }
        place(div, name, x, y, width, height);
    }

    function render() {
        stage.textContent = '';
        statusLine.textContent = state.status;
        if (state.hidden) return;
        if (menu.background >= 0) {
            const [track, width, height] = menu.pictures[menu.background];
            picture(strings[track], menu.background, 0, 0, width, height);
        }
        const focused = focusedElement();
        elementsOf(state.view).forEach((e, i) => {
            const [kind, name, index, x, y, width, height] = e;
            let shown = index;
            if (kind === KIND_BUTTON && i === focused && e[7] >= 0) shown = e[7];
            if (shown < 0) {
                place(document.createElement('div'), text(name), x, y, width, height);
            } else if (kind === KIND_TILE) {
                tile(text(name), shown, x, y, width, height, e[7], e[8], e[9], e[10]);
            } else {
                picture(text(name), shown, x, y, width, height);
            }
        });
    }

    function focusedElement() {
        return state.focus >= 0 ? menu.views[state.view][3][state.focus] : -1;
    }

    function press(key) {
        key = String(key).toUpperCase();
        if (key === 'RED') key = 'BACK';  // the remote's RED colour key stands for BACK
        const column = KEYS.indexOf(key);
        if (column >= 0 && !(state.hidden && key !== 'POPUP_MENU')) {
            const view = menu.views[state.view];
            const [target, focus, status, toggle] =
                menu.results[view[4][(state.focus + 1) * KEYS.length + column]];
            if (target >= 0) {
                state.view = target;
                state.focus = focus;
            }
            if (status >= 0) state.status = strings[status];
            if (toggle) {
                state.hidden = !state.hidden;
                state.status = state.hidden ? 'Menu hidden (m shows it)' : '';
            }
        }
        render();
        return snapshot();
    }

    function snapshot() {
        const view = menu.views[state.view];
        const focused = focusedElement();
        return {
            page: text(view[0]),
            focus: focused >= 0 ? text(elementsOf(state.view)[focused][1]) : null,
            chapterMenu: text(view[1]),
            status: state.status,
        };
    }

    function fit() {
        const scale = Math.min(window.innerWidth / stageWidth, window.innerHeight / stageHeight);
        const left = (window.innerWidth - stageWidth * scale) / 2;
        const top = (window.innerHeight - stageHeight * scale) / 2;
        stage.style.transform = 'translate(' + left + 'px, ' + top + 'px) scale(' + scale + ')';
    }

    const KEYBOARD = {
        ArrowUp: 'UP',
        ArrowDown: 'DOWN',
        ArrowLeft: 'LEFT',
        ArrowRight: 'RIGHT',
        Enter: 'OK',
        Backspace: 'BACK',
        Escape: 'BACK',
        r: 'BACK',
        R: 'BACK',
        m: 'POPUP_MENU',
        M: 'POPUP_MENU',
    };
    document.addEventListener('keydown', (event) => {
        const key = KEYBOARD[event.key];
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
