// The Kavelin window in a page. Every step of the road is the core's (the WebAssembly
// module); this script lays out the form from the core's form plan, keeps the sheet as the
// sheet file's JSON, and asks and downloads around the core's answers.
'use strict';

(function () {
  const state = {
    core: null,
    texts: null,
    plan: null,
    sheet: null,          // the sheet file's object, as the core writes it
    template: null,       // {name, bytes}
    settings: null,       // {name, bytes} of KV7Tools.ini
    names: null,          // {name, bytes} of a names file
    preview: false,
    ticked: -1,           // the first palette toggle of a swap
    controls: new Map(),  // plan name -> element
    byKey: new Map(),     // key path -> elements
    undo: [],
    redo: [],
    marks: [],
    markAt: -1,
    timings: {},
  };
  window.kavelin = state;  // for the browser test's measurements

  const $ = (id) => document.getElementById(id);
  const fill = (text, ...args) => text.replace(/%(\d)/g, (m, n) => (args[n - 1] !== undefined ? String(args[n - 1]) : m));

  // ----- the sheet as JSON, by key path ("initialArts.spells[2]")
  function pathParts(key) {
    return key.split('.').flatMap((part) => {
      const m = /^(\w+)\[(\d+)\]$/.exec(part);
      return m ? [m[1], Number(m[2])] : [part];
    });
  }
  function getKey(obj, key) {
    return pathParts(key).reduce((o, p) => (o == null ? undefined : o[p]), obj);
  }
  function setKey(obj, key, value) {
    const parts = pathParts(key);
    let o = obj;
    for (let i = 0; i < parts.length - 1; ++i) o = o[parts[i]];
    o[parts[parts.length - 1]] = value;
  }
  const sectionKey = (key) => key.split('.')[0];

  // ----- boxes: in-page and modal, titled as the window's, focus kept inside, Esc = No
  function box(title, text, icon, buttons, field) {
    return new Promise((resolve) => {
      const layer = $('boxLayer');
      const before = document.activeElement;
      layer.replaceChildren();
      const dialog = document.createElement('div');
      dialog.className = 'box ' + icon;
      dialog.setAttribute('role', icon === 'stop' || icon === 'exclamation' ? 'alertdialog' : 'dialog');
      dialog.setAttribute('aria-modal', 'true');
      const heading = document.createElement('h2');
      heading.id = 'boxTitle';
      heading.textContent = title;
      const body = document.createElement('p');
      body.className = 'box-text';
      body.id = 'boxText';
      body.textContent = text.replace(/\r\n/g, '\n');
      dialog.setAttribute('aria-labelledby', 'boxTitle');
      dialog.setAttribute('aria-describedby', 'boxText');
      const row = document.createElement('div');
      row.className = 'box-buttons';
      const focusable = () => (field ? [field, ...made] : made);
      const made = buttons.map(([caption, value]) => {
        const b = document.createElement('button');
        b.type = 'button';
        b.textContent = caption;
        b.addEventListener('click', () => close(value));
        row.append(b);
        return b;
      });
      dialog.append(heading, body);
      if (field) {
        dialog.append(field);
        field.addEventListener('keydown', (e) => { if (e.key === 'Enter') { e.preventDefault(); close(buttons[0][1]); } });
      }
      dialog.append(row);
      layer.append(dialog);
      layer.hidden = false;
      const cancel = buttons[buttons.length - 1][1];
      function close(value) {
        layer.hidden = true;
        layer.replaceChildren();
        document.removeEventListener('keydown', keys, true);
        if (before && before.focus) before.focus();
        resolve(value);
      }
      function keys(e) {
        if (e.key === 'Escape') {
          e.preventDefault();
          close(cancel);
        } else if (e.key === 'Tab') {
          const order = focusable();
          const i = order.indexOf(document.activeElement);
          const next = (i + (e.shiftKey ? order.length - 1 : 1)) % order.length;
          e.preventDefault();
          order[next < 0 ? 0 : next].focus();
        }
      }
      document.addEventListener('keydown', keys, true);
      (field || made[0]).focus();
    });
  }
  const show = (title, text, icon) => box(title, text, icon, [[state.texts.ok, true]]);
  const ask = (title, text, icon) => box(title, text, icon, [[state.texts.yes, true], [state.texts.no, false]]);

  // ----- files in and out
  // A file of `kind` chosen by the player, read whole unless it is past the kind's cap,
  // which is said in a box instead: nothing is read of a file that large.
  async function readChosen(file, kind) {
    if (file.size > state.texts.caps[kind]) {
      await show(state.texts.readErrorTitle, file.name + '\n' + state.texts.tooLarge[kind], 'stop');
      return null;
    }
    return { name: file.name, bytes: new Uint8Array(await file.arrayBuffer()) };
  }
  function pick(accept, kind) {
    return new Promise((resolve) => {
      const input = $('filePicker');
      input.value = '';
      input.accept = accept;
      input.onchange = async () => resolve(input.files[0] ? await readChosen(input.files[0], kind) : null);
      input.click();
    });
  }
  function download(name, bytes, type) {
    const url = URL.createObjectURL(new Blob([bytes], { type }));
    const a = document.createElement('a');
    a.href = url;
    a.download = name;
    document.body.append(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 1000);
  }
  const baseName = (name) => name.replace(/\.[^.]*$/, '');

  // ----- storage: the settings, the last sheet and its template stay in this browser only
  const store = {
    db: null,
    open() {
      return new Promise((resolve) => {
        if (!window.indexedDB) return resolve(null);
        let request;
        try {
          request = indexedDB.open('kavelin', 1);
        } catch (e) {
          return resolve(null);
        }
        request.onupgradeneeded = () => request.result.createObjectStore('kept');
        request.onsuccess = () => resolve((this.db = request.result));
        request.onerror = () => resolve(null);
      });
    },
    run(mode, work) {
      return new Promise((resolve) => {
        if (!this.db) return resolve(undefined);
        const tx = this.db.transaction('kept', mode);
        const request = work(tx.objectStore('kept'));
        tx.oncomplete = () => resolve(request && request.result);
        tx.onerror = () => resolve(undefined);
      });
    },
    get(key) { return this.run('readonly', (s) => s.get(key)); },
    put(key, value) { return this.run('readwrite', (s) => s.put(value, key)); },
    clear() { return this.run('readwrite', (s) => s.clear()); },
  };
  let keepTimer = 0;
  function keepLater() {
    clearTimeout(keepTimer);
    keepTimer = setTimeout(() => {
      store.put('sheet', JSON.stringify(state.sheet));
      store.put('template', state.template);
      store.put('settings', state.settings);
      store.put('names', state.names);
      store.put('preview', { zoom: preview.zoom, background: preview.background });
    }, 300);
  }

  // ----- the form, from the plan
  function buildForm() {
    const client = $('client');
    const area = document.createElement('div');
    area.className = 'form-area';
    area.style.width = state.plan.width + 'px';
    area.style.height = state.plan.height + 'px';
    client.append(area);
    const made = [];
    const controls = state.plan.controls;
    controls.forEach((c, i) => {
      const parent = c.parent >= 0 ? made[c.parent].body : area;
      const el = makeControl(c, i);
      const [left, top, width, height] = c.at;
      el.classList.add('c');
      el.style.left = left + 'px';
      el.style.top = top + 'px';
      el.style.width = width + 'px';
      el.style.height = height + 'px';
      if (c.tip) el.title = c.tip;
      el.dataset.name = c.name;
      el.dataset.tip = c.tip;
      parent.append(el);
      made[i] = { el, body: el.querySelector('.frame-body') || el };
      state.controls.set(c.name, el);
      if (c.key) {
        if (!state.byKey.has(c.key)) state.byKey.set(c.key, []);
        state.byKey.get(c.key).push({ el, c });
      }
    });
    // A caption names its input, as a buddy does.
    controls.forEach((c, i) => {
      if (c.labels < 0) return;
      const target = made[c.labels].el;
      const input = target.matches('input,select,textarea') ? target : target.querySelector('input,select,textarea');
      if (input) made[i].el.htmlFor = input.id;
    });
  }

  let idCount = 0;
  function makeControl(c) {
    const id = 'k' + idCount++;
    switch (c.kind) {
      case 'frame': {
        const f = document.createElement('fieldset');
        if (c.text) {
          const legend = document.createElement('legend');
          legend.textContent = c.text;
          f.append(legend);
        } else {
          f.style.border = '0';
        }
        const body = document.createElement('div');
        body.className = 'frame-body';
        f.append(body);
        return f;
      }
      case 'caption': {
        const l = document.createElement(c.labels >= 0 ? 'label' : 'span');
        l.textContent = c.text;
        if (c.centred) l.classList.add('centred');
        return l;
      }
      case 'box': {
        const input = document.createElement('input');
        input.type = 'text';
        input.id = id;
        if (c.limit > 0) input.maxLength = c.limit;
        input.setAttribute('aria-label', c.label);
        input.addEventListener('input', () => edited(c, input.value, false));
        input.addEventListener('change', () => {
          if (/^basicStatus\.(stats\[\d\]|lp)$/.test(c.key)) input.value = state.core.tidyNumber(input.value);
          edited(c, input.value, true);
        });
        return input;
      }
      case 'list': {
        const select = document.createElement('select');
        select.id = id;
        select.setAttribute('aria-label', c.label);
        c.list.entries.forEach((text, i) => select.add(new Option(text, String(i))));
        select.addEventListener('change', () => edited(c, c.list.values[select.selectedIndex], true));
        select.addEventListener('keydown', (e) => searchList(select, e));
        if (c.list.values.some((v) => typeof v === 'string')) {
          select.addEventListener('contextmenu', (e) => { e.preventDefault(); nameMenu(select, c, e.clientX, e.clientY); });
          select.addEventListener('keydown', (e) => {
            if (e.key === 'ContextMenu' || (e.shiftKey && e.key === 'F10')) {
              e.preventDefault();
              const r = select.getBoundingClientRect();
              nameMenu(select, c, r.left, r.bottom);
            }
          });
        }
        return select;
      }
      case 'tick':
      case 'option': {
        const wrap = document.createElement('label');
        wrap.className = 'tick';
        const input = document.createElement('input');
        input.type = c.kind === 'tick' ? 'checkbox' : 'radio';
        input.id = id;
        if (c.kind === 'option') input.name = c.key;
        input.setAttribute('aria-label', c.label);
        wrap.append(input, document.createTextNode(c.text));
        input.addEventListener('change', () => {
          if (c.name === 'Check2') return previewToggled(input.checked);
          if (c.kind === 'option') edited(c, c.limit, true);
          else edited(c, input.checked, true);
        });
        return wrap;
      }
      case 'display': {
        const out = document.createElement('output');
        out.setAttribute('aria-label', c.label);
        return out;
      }
      case 'comment': {
        const t = document.createElement('textarea');
        t.id = id;
        t.setAttribute('aria-label', c.label);
        t.wrap = 'off';
        t.addEventListener('input', () => edited(c, t.value.replace(/\r?\n/g, '\r\n'), false));
        t.addEventListener('change', () => commitStep());
        return t;
      }
      case 'button': {
        const b = document.createElement('button');
        b.type = 'button';
        b.textContent = c.text;
        b.setAttribute('aria-label', c.label);
        if (c.name === 'Command1') b.addEventListener('click', createPatch);
        else if (c.name === 'Command2') b.addEventListener('click', openTemplate);
        else if (c.name.startsWith('Check1(')) {
          b.setAttribute('aria-pressed', 'false');
          b.disabled = true;
          b.addEventListener('click', () => paletteToggled(c.limit, b));
        } else if (c.name === 'GamePreviewButton') {
          b.disabled = true;
          b.addEventListener('click', openPreview);
        }
        return b;
      }
      case 'picture': {
        const canvas = document.createElement('canvas');
        canvas.setAttribute('role', 'img');
        canvas.setAttribute('aria-label', c.label);
        canvas.width = c.at[2];
        canvas.height = c.at[3];
        return canvas;
      }
    }
    return document.createElement('span');
  }

  // Type-to-search: the letters typed within a second find the first entry whose text
  // holds them anywhere, code or name ("1A", "剣"), not only at its start.
  const search = { text: '', at: 0 };
  function searchList(select, e) {
    if (e.ctrlKey || e.altKey || e.metaKey || e.key.length !== 1 || e.key === ' ') return;
    const now = performance.now();
    search.text = (now - search.at < 1000 ? search.text : '') + e.key.toLowerCase();
    search.at = now;
    const found = [...select.options].findIndex((o) => o.text.toLowerCase().includes(search.text));
    e.preventDefault();
    if (found < 0 || found === select.selectedIndex) return;
    select.selectedIndex = found;
    select.dispatchEvent(new Event('change'));
  }

  // ----- names given in place: the list's context menu, kept in the browser as a names file
  function nameMenu(select, c, x, y) {
    const t = state.texts;
    document.querySelector('.context')?.remove();
    const menu = document.createElement('ul');
    menu.className = 'context';
    menu.setAttribute('role', 'menu');
    menu.style.left = x + 'px';
    menu.style.top = y + 'px';
    const entry = select.options[select.selectedIndex].text;
    const items = [[t.nameEntry, () => giveName(select, c, entry)], [t.unnameEntry, () => changeName(c, select.selectedIndex, '', true, entry)]];
    for (const [text, act] of items) {
      const li = document.createElement('li');
      li.setAttribute('role', 'none');
      const b = document.createElement('button');
      b.type = 'button';
      b.setAttribute('role', 'menuitem');
      b.textContent = text;
      b.addEventListener('click', () => { menu.remove(); act(); });
      li.append(b);
      menu.append(li);
    }
    menu.addEventListener('keydown', (e) => {
      const entries = [...menu.querySelectorAll('button')];
      const i = entries.indexOf(document.activeElement);
      if (e.key === 'Escape') { menu.remove(); select.focus(); }
      if (e.key === 'ArrowDown' || e.key === 'ArrowUp') { e.preventDefault(); entries[(i + 1) % 2].focus(); }
    });
    document.body.append(menu);
    menu.querySelector('button').focus();
    setTimeout(() => document.addEventListener('click', () => menu.remove(), { once: true }));
  }
  async function giveName(select, c, entry) {
    const t = state.texts;
    const name = await askText(t.nameEntryTitle, fill(t.nameEntryQuestion, entry, t.nameMax));
    if (name !== null) changeName(c, select.selectedIndex, name, false, entry);
  }
  function changeName(c, position, name, unname, entry) {
    const changed = state.core.nameEntry(state.names ? state.names.bytes : null, c.list.id, position, name, unname);
    if (!changed.ok) {
      if (changed.message) show(state.texts.nameEntryTitle, changed.message, 'stop');
      return;
    }
    state.names = { name: state.names ? state.names.name : 'kavelin-names.tsv', bytes: changed.bytes };
    applyNames(true);
    say(unname ? fill(state.texts.nameTaken, entry) : fill(state.texts.nameGiven, entry, name));
    keepLater();
  }
  function askText(title, question) {
    return new Promise((resolve) => {
      const input = document.createElement('input');
      input.type = 'text';
      input.className = 'box-input';
      input.maxLength = state.texts.nameMax * 2;  // characters outside the BMP take two units
      input.setAttribute('aria-label', question);
      box(title, question, 'question', [[state.texts.ok, true], [state.texts.no, false]], input)
        .then((yes) => resolve(yes ? input.value : null));
    });
  }

  // ----- the sheet shown in the form, and the form's edits into the sheet
  function showSheet() {
    for (const [key, entries] of state.byKey) {
      const value = getKey(state.sheet, key);
      for (const { el, c } of entries) {
        if (c.kind === 'box') el.value = value ?? '';
        else if (c.kind === 'comment') el.value = String(value ?? '').replace(/\r\n/g, '\n');
        else if (c.kind === 'list') el.selectedIndex = Math.max(0, c.list.values.findIndex((v) => v === value));
        else if (c.kind === 'tick') el.querySelector('input').checked = !!value;
        else if (c.kind === 'option') el.querySelector('input').checked = value === c.limit;
      }
    }
    applySections();
    liveCheck();
  }

  function applySections() {
    for (const [key, entries] of state.byKey) {
      const section = sectionKey(key);
      const on = state.sheet[section] && state.sheet[section].enabled;
      for (const { el, c } of entries) {
        const input = el.matches('input,select,textarea') ? el : el.querySelector('input');
        if (!input || key.endsWith('.enabled')) continue;
        if (key.endsWith('.locked')) input.disabled = !on;
        else if (c.group >= 0) input.disabled = !on;
      }
    }
  }

  function edited(c, value, step) {
    setKey(state.sheet, c.key, value);
    if (c.key.endsWith('.enabled')) applySections();
    liveCheck();
    if (step) commitStep();
  }

  // ----- undo: one step per choice, tick or left box
  let lastStep = null;
  function commitStep() {
    const now = JSON.stringify(state.sheet);
    if (now === lastStep) return;
    if (lastStep !== null) state.undo.push(lastStep);
    state.redo = [];
    lastStep = now;
    keepLater();
  }
  function undoRedo(from, to) {
    if (!from.length) return;
    to.push(lastStep);
    lastStep = from.pop();
    state.sheet = JSON.parse(lastStep);
    showSheet();
    refreshTemplate();
    keepLater();
  }
  function resetHistory() {
    state.undo = [];
    state.redo = [];
    lastStep = JSON.stringify(state.sheet);
  }

  // ----- the live check: marks, messages in the tooltip, the count in the status bar
  function liveCheck() {
    const started = performance.now();
    const found = JSON.parse(state.core.check(JSON.stringify(state.sheet), !!state.template, state.settings ? state.settings.bytes : null));
    for (const el of document.querySelectorAll('.mark-error,.mark-warning')) {
      el.classList.remove('mark-error', 'mark-warning');
      el.title = el.dataset.tip || '';
      el.removeAttribute('aria-invalid');
      el.removeAttribute('aria-errormessage');
    }
    state.marks = [];
    const mark = (list, kind) => {
      for (const f of list || []) {
        for (const key of f.keys) {
          const target = key === 'template' ? [{ el: state.controls.get('Picture1') }] : state.byKey.get(key) || [];
          for (const { el } of target) {
            const shown = el.querySelector('input') || el;
            if (kind === 'warning' && shown.classList.contains('mark-error')) continue;
            shown.classList.add('mark-' + kind);
            shown.title = f.message;
            shown.setAttribute('aria-invalid', kind === 'error' ? 'true' : 'false');
            state.marks.push({ el: shown, message: f.message });
          }
        }
      }
    };
    if (found.sheetError) return;
    mark(found.errors, 'error');
    mark(found.warnings, 'warning');
    const hints = (state.hints ? state.hints.length : 0) + (state.pictureHints ? state.pictureHints.length : 0);
    const errors = found.errors.length, warnings = found.warnings.length;
    const status = $('checkStatus');
    status.textContent = errors + warnings + hints === 0 ? state.texts.allWell
      : hints > 0 ? fill(state.texts.checkStatusWithHints, errors, warnings, hints)
        : fill(state.texts.checkStatus, errors, warnings);
    status.classList.toggle('has-errors', errors > 0);
    status.classList.toggle('has-warnings', errors === 0 && warnings > 0);
    if (found.displays) {
      const d = found.displays;
      d.star.forEach((v, k) => { state.controls.get(`Label11(${k})`).value = v; });
      d.weapon.forEach((v, k) => { state.controls.get(`Label13(${k})`).value = v; });
      d.shifted.forEach((v, k) => { state.controls.get(`Label18(${k})`).value = v; });
      state.controls.get('Label20').value = d.total;
    }
    state.timings.lastCheck = performance.now() - started;
  }

  // F8: to the next marked field, its message in the status bar.
  function nextMark() {
    if (!state.marks.length) return;
    state.markAt = (state.markAt + 1) % state.marks.length;
    const { el, message } = state.marks[state.markAt];
    el.focus();
    say(message);
  }
  let sayTimer = 0;
  function say(text) {
    const s = $('statusText');
    s.textContent = text;
    s.title = text;
    clearTimeout(sayTimer);
    sayTimer = setTimeout(() => { s.textContent = ''; s.title = ''; }, 10000);
  }

  // ----- the template: drawn through the sheet's swaps, its palette rows, its hints
  function refreshTemplate() {
    const canvas = state.controls.get('Picture1');
    const g = canvas.getContext('2d');
    g.fillStyle = '#c8d0d4';
    g.fillRect(0, 0, canvas.width, canvas.height);
    state.hints = [];
    state.pictureHints = [];
    const toggles = [...Array(16).keys()].map((i) => state.controls.get(`Check1(${i})`));
    if (!state.template) {
      toggles.forEach((b) => { b.disabled = true; });
      state.controls.get('GamePreviewButton').disabled = true;
      state.controls.get('Check2').querySelector('input').disabled = true;
      canvas.title = state.texts.noTemplate;
      return true;
    }
    const view = state.core.loadTemplate(state.template.bytes, state.template.name, JSON.stringify(state.sheet.paletteSwaps || []), state.preview);
    state.refused = !view.ok && view.rgba ? view : null;
    if (!view.ok) return view.message;
    const pixels = new ImageData(new Uint8ClampedArray(view.rgba.buffer.slice(0)), view.width, view.height);
    g.putImageData(pixels, 0, 0);
    // Cells past the picture's edge, outlined in amber, and the picture's hints as its tip.
    g.strokeStyle = '#e08a00';
    for (const [x, y, w, h] of JSON.parse(view.outlined)) g.strokeRect(x + 0.5, y + 0.5, w - 1, h - 1);
    state.pictureHints = JSON.parse(view.pictureHints);
    canvas.title = state.pictureHints.length ? state.pictureHints.join('\n') : canvas.dataset.tip;
    canvas.setAttribute('aria-description', [state.template.name, ...state.pictureHints].join('\n'));
    const palette = JSON.parse(view.palette);
    palette.forEach((p, i) => {
      const b = toggles[i];
      b.disabled = !p.enabled;
      b.style.background = p.css || '';
      b.style.color = p.empty ? '' : p.text;
      b.setAttribute('aria-pressed', String(state.ticked === i));
      b.setAttribute('aria-label', fill(state.texts.paletteEntry, i) + ' ' + (p.empty ? state.texts.emptyEntry : p.css));
      b.title = fill(state.texts.paletteToggleTip, i);
      ['Label2', 'Label3', 'Label4', 'Label1'].forEach((base, c) => {
        state.controls.get(`${base}(${i})`).value = p.values[c];
      });
      if (p.fixed) {
        const snes = state.controls.get(`Label1(${i})`);
        const swatch = document.createElement('span');
        swatch.className = 'swatch';
        swatch.style.background = p.fixed;
        snes.append(swatch);
        snes.classList.add('has-swatch');
      }
    });
    state.hints = JSON.parse(view.hints);
    for (const h of state.hints) {
      toggles[h.entry].classList.add('mark-warning');
      toggles[h.entry].title = h.message;
    }
    state.controls.get('Check2').querySelector('input').disabled = false;
    state.controls.get('GamePreviewButton').disabled = false;
    drawPreview();
    return true;
  }

  // A picture refused for its colours, as the window shows it until the next picture: as
  // decoded, a red ring (radius 4 up to 6) round the first pixel whose colour found no
  // entry, the hint that counts the colours as its tip and in the status bar.
  function drawRefused(view) {
    const canvas = state.controls.get('Picture1');
    const g = canvas.getContext('2d');
    g.fillStyle = '#c8d0d4';
    g.fillRect(0, 0, canvas.width, canvas.height);
    g.putImageData(new ImageData(new Uint8ClampedArray(view.rgba.buffer.slice(0)), view.width, view.height), 0, 0);
    g.fillStyle = '#ff0000';
    for (let dy = -6; dy <= 6; ++dy) {
      for (let dx = -6; dx <= 6; ++dx) {
        const squared = dx * dx + dy * dy;
        if (squared >= 16 && squared < 36) g.fillRect(view.ringX + dx, view.ringY + dy, 1, 1);
      }
    }
    const hints = JSON.parse(view.pictureHints);
    canvas.title = hints.join('\n');
    canvas.setAttribute('aria-description', [view.name, ...hints].join('\n'));
    return hints;
  }

  async function takeTemplate(file) {
    const before = state.template;
    state.template = file;
    const result = refreshTemplate();
    if (result !== true) {
      const refused = state.refused;
      state.template = before;
      refreshTemplate();
      // The picture, with its ring, is on screen before the box that explains it; after the
      // box, whose text stays as it is, the status bar says how many colours there are.
      const hints = refused ? drawRefused({ ...refused, name: file.name }) : [];
      await show(state.texts.readErrorTitle, result, 'stop');
      if (hints.length) say(hints[0]);
      return false;
    }
    liveCheck();
    keepLater();
    return true;
  }
  async function openTemplate() {
    const file = await pick('.gif,.bmp,.png,image/gif,image/bmp,image/png', 'template');
    if (file) await takeTemplate(file);
  }

  function paletteToggled(i, button) {
    if (state.ticked < 0) {
      state.ticked = i;
      button.setAttribute('aria-pressed', 'true');
      return;
    }
    const first = state.ticked;
    state.ticked = -1;
    if (first !== i) {
      state.sheet.paletteSwaps = [...(state.sheet.paletteSwaps || []), [first, i]];
      commitStep();
    }
    refreshTemplate();
  }
  function previewToggled(on) {
    state.preview = on;
    refreshTemplate();
  }

  // ----- the in-game preview: the patch as the game draws it, ×1 to ×6 on three backgrounds
  const preview = { zoom: 3, background: 0, panel: null, shown: null };
  function openPreview() {
    if (preview.panel) return preview.panel.querySelector('select').focus();
    const t = state.texts;
    const panel = document.createElement('div');
    panel.className = 'preview';
    panel.setAttribute('role', 'dialog');
    panel.setAttribute('aria-label', t.previewTitle);
    const heading = document.createElement('h2');
    heading.textContent = t.previewTitle;
    const row = document.createElement('div');
    row.className = 'preview-controls';
    const choice = (caption, entries, value, onChange) => {
      const label = document.createElement('label');
      const select = document.createElement('select');
      entries.forEach((text, i) => select.add(new Option(text, String(i))));
      select.selectedIndex = value;
      select.addEventListener('change', () => { onChange(select.selectedIndex); drawPreview(); keepLater(); });
      label.append(caption + ' ', select);
      return label;
    };
    const save = document.createElement('button');
    save.type = 'button';
    save.textContent = t.previewSave;
    save.addEventListener('click', () => {
      if (preview.shown) download(baseName(state.template.name) + '-preview.png', preview.shown.png, 'image/png');
    });
    const close = document.createElement('button');
    close.type = 'button';
    close.textContent = t.close;
    close.addEventListener('click', closePreview);
    row.append(choice(t.previewZoom, [1, 2, 3, 4, 5, 6].map((z) => '×' + z), preview.zoom - 1, (i) => { preview.zoom = i + 1; }),
      choice(t.previewBackground, t.previewBackgrounds, preview.background, (i) => { preview.background = i; }), save, close);
    const canvas = document.createElement('canvas');
    canvas.setAttribute('role', 'img');
    canvas.setAttribute('aria-label', t.previewPicture);
    panel.append(heading, row, canvas);
    panel.addEventListener('keydown', (e) => { if (e.key === 'Escape') { e.preventDefault(); closePreview(); } });
    document.body.append(panel);
    preview.panel = panel;
    drawPreview();
    panel.querySelector('select').focus();
  }
  function closePreview() {
    if (!preview.panel) return;
    preview.panel.remove();
    preview.panel = null;
    state.controls.get('GamePreviewButton').focus();
  }
  function drawPreview() {
    if (!preview.panel || !state.template) return;
    const shown = state.core.gamePreview(state.template.bytes, state.template.name, JSON.stringify(state.sheet.paletteSwaps || []), preview.background, preview.zoom);
    if (!shown.ok) return;
    preview.shown = shown;
    const canvas = preview.panel.querySelector('canvas');
    canvas.width = shown.width;
    canvas.height = shown.height;
    canvas.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(shown.rgba.buffer.slice(0)), shown.width, shown.height), 0, 0);
  }

  // ----- the road
  async function createPatch() {
    if (!state.template) {
      await show(state.texts.readErrorTitle, state.texts.noTemplate, 'stop');
      return;
    }
    const started = performance.now();
    const made = state.core.makePatch(JSON.stringify(state.sheet), state.template.bytes, state.settings ? state.settings.bytes : null, state.template.name);
    state.timings.lastPatch = performance.now() - started;
    if (made.stage === 'sheet' || made.stage === 'template') {
      await show(state.texts.readErrorTitle, made.message, 'stop');
      return;
    }
    // The form shows the sheet as the road tidied it while the box is read.
    const tidied = JSON.parse(made.tidied);
    tidied.paletteSwaps = state.sheet.paletteSwaps;
    if (made.tidied) {
      state.sheet = tidied;
      showSheet();
      commitStep();
    }
    if (made.stage === 'errors') {
      await show(state.texts.inputErrorTitle, made.errors, 'stop');
      return;
    }
    const yes = made.stage === 'warnings'
      ? await ask(state.texts.cautionTitle, made.warnings, 'exclamation')
      : await ask(state.texts.confirmTitle, state.texts.confirmQuestion, 'question');
    if (!yes) return;
    download(baseName(state.template.name) + '.k7p', made.bytes, 'application/octet-stream');
    await show(state.texts.programTitle, state.texts.done, 'information');
  }

  // ----- the file menu
  async function openSheet() {
    const file = await pick('.k7c,.json,application/json', 'sheet');
    if (!file) return;
    const read = state.core.sheetFile(new TextDecoder().decode(file.bytes));
    if (!read.ok) {
      await show(state.texts.programTitle, state.texts.sheetUnreadable + '\n' + read.message, 'stop');
      return;
    }
    state.sheet = JSON.parse(read.sheet);
    delete state.sheet.template;
    resetHistory();
    showSheet();
    refreshTemplate();
    keepLater();
  }
  function saveSheet() {
    const read = state.core.sheetFile(JSON.stringify(state.sheet));
    const name = state.template ? baseName(state.template.name) + '.k7c' : 'character.k7c';
    download(name, new TextEncoder().encode(read.ok ? read.sheet : JSON.stringify(state.sheet, null, 2)), 'application/json');
  }
  async function openPatch() {
    const file = await pick('.k7p', 'patch');
    if (!file) return;
    const opened = state.core.openPatch(file.bytes, state.settings ? state.settings.bytes : null);
    if (!opened.ok) {
      await show(state.texts.programTitle, state.texts.patchUnreadable + '\n' + opened.message, 'stop');
      return;
    }
    state.sheet = JSON.parse(opened.sheet);
    state.template = { name: baseName(file.name) + '.gif', bytes: opened.template };
    resetHistory();
    showSheet();
    refreshTemplate();
    liveCheck();
    keepLater();
  }
  // As the window exports it: the picture as loaded, cut to the template's size, in the
  // format its name says.
  async function exportTemplate() {
    if (!state.template) return;
    const name = state.template.name;
    const out = state.core.exportTemplate(state.template.bytes, name, name);
    if (!out.ok) {
      await show(state.texts.writeErrorTitle, out.message, 'stop');
      return;
    }
    const type = { gif: 'image/gif', bmp: 'image/bmp', png: 'image/png' }[name.split('.').pop().toLowerCase()];
    download(name, out.bytes, type || 'application/octet-stream');
  }
  function blankTemplate() {
    download('template.gif', state.core.blankTemplate(), 'image/gif');
  }
  async function openSettings() {
    const file = await pick('.ini', 'settings');
    if (!file) return;
    state.settings = file;
    liveCheck();
    keepLater();
    say(fill(state.texts.settingsRead, file.name));
  }
  // The entries of every list as a names file gives them; the status bar says how many.
  function applyNames(quiet) {
    if (!state.names) return;
    const read = JSON.parse(state.core.namesFile(state.names.bytes, state.names.name));
    for (const entries of state.byKey.values()) {
      for (const { el, c } of entries) {
        const shown = c.list && read.lists[c.list.id];
        if (!shown || shown.length !== el.options.length) continue;
        shown.forEach((text, i) => { el.options[i].text = text; });
      }
    }
    if (!quiet) say(read.note ? read.read + ' ' + read.note : read.read);
  }
  async function openNames() {
    const file = await pick('.tsv,.txt,text/tab-separated-values,text/plain', 'names');
    if (!file) return;
    state.names = file;
    applyNames(false);
    keepLater();
  }
  function saveNames() {
    if (state.names) download(state.names.name, state.names.bytes, 'text/tab-separated-values');
  }
  async function clearStored() {
    await store.clear();
    say(state.texts.storedCleared);
  }

  // ----- menus: ファイル and 編集, opened by click, Alt+F / Alt+E or F10
  function buildMenus() {
    const t = state.texts;
    const menus = [
      [t.fileMenu, [[t.openSheet, openSheet], [t.saveSheet, saveSheet], null, [t.openPatch, openPatch],
        [t.openTemplate, openTemplate], [t.exportTemplate, exportTemplate], [t.blankTemplate, blankTemplate], null,
        [t.openNames, openNames], [t.saveNames, saveNames], [t.openSettings, openSettings], [t.clearStored, clearStored]]],
      [t.editMenu, [[t.undo + '\tCtrl+Z', () => undoRedo(state.undo, state.redo)],
        [t.redo + '\tCtrl+Y', () => undoRedo(state.redo, state.undo)]]],
    ];
    const bar = $('menubar');
    for (const [title, items] of menus) {
      const menu = document.createElement('div');
      menu.className = 'menu';
      const button = document.createElement('button');
      button.type = 'button';
      const mnemonic = /\(&(\w)\)/.exec(title);
      button.textContent = title.replace('&', '');
      button.setAttribute('aria-haspopup', 'menu');
      button.setAttribute('aria-expanded', 'false');
      if (mnemonic) button.dataset.mnemonic = mnemonic[1].toLowerCase();
      const list = document.createElement('ul');
      list.setAttribute('role', 'menu');
      list.hidden = true;
      for (const item of items) {
        const li = document.createElement('li');
        if (!item) {
          li.setAttribute('role', 'separator');
        } else {
          li.setAttribute('role', 'none');
          const b = document.createElement('button');
          b.type = 'button';
          b.setAttribute('role', 'menuitem');
          b.textContent = item[0].split('\t')[0];
          b.addEventListener('click', () => { close(); item[1](); });
          li.append(b);
        }
        list.append(li);
      }
      const close = () => { list.hidden = true; button.setAttribute('aria-expanded', 'false'); };
      button.addEventListener('click', () => {
        const open = list.hidden;
        for (const other of bar.querySelectorAll('[role=menu]')) other.hidden = true;
        list.hidden = !open;
        button.setAttribute('aria-expanded', String(open));
        if (open) list.querySelector('[role=menuitem]').focus();
      });
      list.addEventListener('keydown', (e) => {
        const entries = [...list.querySelectorAll('[role=menuitem]')];
        const i = entries.indexOf(document.activeElement);
        if (e.key === 'ArrowDown') { e.preventDefault(); entries[(i + 1) % entries.length].focus(); }
        if (e.key === 'ArrowUp') { e.preventDefault(); entries[(i + entries.length - 1) % entries.length].focus(); }
        if (e.key === 'Escape') { e.preventDefault(); close(); button.focus(); }
      });
      menu.append(button, list);
      bar.append(menu);
    }
    document.addEventListener('click', (e) => {
      if (!bar.contains(e.target)) for (const list of bar.querySelectorAll('[role=menu]')) list.hidden = true;
    });
  }

  function keys(e) {
    if (!$('boxLayer').hidden) return;
    const bar = $('menubar');
    if (e.key === 'F8') { e.preventDefault(); nextMark(); return; }
    if (e.ctrlKey && e.key.toLowerCase() === 'g' && state.template) { e.preventDefault(); openPreview(); return; }
    if (e.key === 'F10' || (e.altKey && !e.ctrlKey)) {
      const want = e.key === 'F10' ? null : e.key.toLowerCase();
      const button = [...bar.querySelectorAll('.menu > button')].find((b) => want === null || b.dataset.mnemonic === want);
      if (button) { e.preventDefault(); button.click(); }
      return;
    }
    if (e.ctrlKey && !e.altKey) {
      const k = e.key.toLowerCase();
      const inText = e.target.matches && e.target.matches('input[type=text],textarea');
      if ((k === 'z' || k === 'y') && !inText) {
        e.preventDefault();
        if (k === 'z') undoRedo(state.undo, state.redo);
        else undoRedo(state.redo, state.undo);
      } else if ((k === 'z' || k === 'y') && inText) {
        // A box keeps its own undo while it holds typing; an untouched box passes it on.
        if (JSON.stringify(state.sheet) === lastStep) {
          e.preventDefault();
          if (k === 'z') undoRedo(state.undo, state.redo);
          else undoRedo(state.redo, state.undo);
        }
      } else if (k === 's') {
        e.preventDefault();
        saveSheet();
      } else if (k === 'o') {
        e.preventDefault();
        openSheet();
      }
    }
  }

  // A template dropped anywhere on the page.
  function dropping() {
    const canvas = () => state.controls.get('Picture1');
    document.addEventListener('dragover', (e) => { e.preventDefault(); canvas().classList.add('drop'); });
    document.addEventListener('dragleave', () => canvas().classList.remove('drop'));
    document.addEventListener('drop', async (e) => {
      e.preventDefault();
      canvas().classList.remove('drop');
      const file = e.dataTransfer.files[0];
      const read = file && (await readChosen(file, 'template'));
      if (read) await takeTemplate(read);
    });
  }

  async function start(core) {
    const started = performance.now();
    state.core = core;
    state.texts = JSON.parse(core.texts());
    state.plan = JSON.parse(core.formPlan());
    buildMenus();
    buildForm();
    const status = $('checkStatus');
    // Its text, the count, is what a screen reader reads; the tip says what pressing does.
    status.title = state.texts.checkStatusTip;
    status.addEventListener('click', nextMark);
    state.sheet = JSON.parse(core.freshSheet());
    document.addEventListener('keydown', keys);
    dropping();
    showSheet();
    refreshTemplate();
    resetHistory();
    state.timings.ready = performance.now() - started;
    // From the start of the navigation: loading, compiling the module and laying out.
    state.timings.sinceNavigation = performance.now();
    document.body.dataset.ready = 'true';
    // What this browser kept from the last visit.
    if (await store.open()) {
      const [sheet, template, settings, names, view] = await Promise.all(
        [store.get('sheet'), store.get('template'), store.get('settings'), store.get('names'), store.get('preview')]);
      if (view) Object.assign(preview, view);
      if (settings) state.settings = settings;
      if (names) {
        state.names = names;
        applyNames(true);
      }
      if (sheet) {
        const read = core.sheetFile(sheet);
        if (read.ok) state.sheet = JSON.parse(read.sheet);
      }
      if (template) state.template = template;
      if (sheet || template) {
        showSheet();
        refreshTemplate();
        liveCheck();
        resetHistory();
      }
    }
    document.body.dataset.restored = 'true';
  }

  KavelinCore().then(start);
})();
