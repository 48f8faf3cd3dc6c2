// The web edition as a player meets it, in Debian's Chromium from a file:// page with no
// network: the form from the plan, the example loaded through the page's own controls, the
// live check, the boxes and the downloaded patch byte for byte the native kavelin-cli's.
//   node page_test.mjs PAGE.html NATIVE-KAVELIN-CLI SOURCE-DIR [SCREENSHOT-DIR]
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import assert from 'node:assert/strict';
import puppeteer from 'puppeteer-core';

const [pagePath, cli, sourceDir, shotDir] = process.argv.slice(2);
const examples = path.join(sourceDir, 'examples');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'kavelin-web-'));
const downloads = path.join(work, 'downloads');
fs.mkdirSync(downloads);
const figures = {};
let failures = 0;

async function step(name, body) {
  try {
    await body();
    console.log(`ok    ${name}`);
  } catch (e) {
    failures += 1;
    console.log(`FAIL  ${name}\n      ${e.stack || e}`);
  }
}

function native(sheet, template, out) {
  execFileSync(cli, ['make', template, '--sheet', sheet, '--yes', '-o', out], { stdio: 'ignore' });
  return fs.readFileSync(out);
}

async function waitForDownload(name, timeout = 5000) {
  const file = path.join(downloads, name);
  const until = Date.now() + timeout;
  while (Date.now() < until) {
    if (fs.existsSync(file) && !fs.existsSync(file + '.crdownload')) {
      const bytes = fs.readFileSync(file);
      fs.rmSync(file);
      return bytes;
    }
    await new Promise((r) => setTimeout(r, 50));
  }
  throw new Error(`no download ${name}`);
}

const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  // The sandbox needs namespaces a CI container does not give, and refuses root.
  args: process.env.CI || process.getuid() === 0 ? ['--no-sandbox'] : [],
});
const page = await browser.newPage();
const errors = [];
page.on('pageerror', (e) => errors.push(e.message));
const requests = [];
page.on('request', (r) => requests.push(r.url()));
const cdp = await page.createCDPSession();
await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
await page.setViewport({ width: 820, height: 700 });

const url = 'file://' + path.resolve(pagePath);
const started = Date.now();
await page.goto(url);
await page.waitForSelector('body[data-ready=true]', { timeout: 10000 });
figures.readyMs = Math.round(await page.evaluate(() => window.kavelin.timings.sinceNavigation));
figures.readyWallMs = Date.now() - started;
await page.waitForSelector('body[data-restored=true]');

const box = async () => {
  await page.waitForSelector('#boxLayer:not([hidden]) .box', { timeout: 5000 });
  return page.evaluate(() => ({
    role: document.querySelector('.box').getAttribute('role'),
    title: document.querySelector('#boxTitle').textContent,
    text: document.querySelector('#boxText').textContent,
    buttons: [...document.querySelectorAll('.box-buttons button')].map((b) => b.textContent),
  }));
};
const press = (caption) => page.evaluate((c) => [...document.querySelectorAll('.box-buttons button')].find((b) => b.textContent === c).click(), caption);
const control = (name) => `[data-name="${name}"]`;
async function chooseFile(trigger, file) {
  const [chooser] = await Promise.all([page.waitForFileChooser(), trigger()]);
  await chooser.accept([file]);
}
const menuItem = (text) => page.evaluate((t) => {
  const item = [...document.querySelectorAll('[role=menuitem]')].find((b) => b.textContent === t);
  item.closest('[role=menu]').hidden = false;
  item.click();
}, text);

await step('every control of the plan is on the page, named, in its place', async () => {
  const found = await page.evaluate(() => {
    const plan = window.kavelin.plan.controls;
    const unnamed = [];
    for (const el of document.querySelectorAll('#client input, #client select, #client textarea, #client output, #client button, #client canvas')) {
      const name = el.getAttribute('aria-label') || (el.labels && el.labels[0] && el.labels[0].textContent);
      if (!name) unnamed.push(el.closest('[data-name]').dataset.name);
    }
    return { planned: plan.length, shown: document.querySelectorAll('#client [data-name]').length, unnamed };
  });
  assert.equal(found.shown, found.planned);
  assert.deepEqual(found.unnamed, []);
  figures.controls = found.shown;
});

await step('the accessibility tree names every control and gives every list its value and entries', async () => {
  const tree = await page.accessibility.snapshot({ interestingOnly: true });
  const found = { combobox: [], unnamed: [], status: [] };
  (function walk(n) {
    if (n.role === 'combobox') found.combobox.push(n);
    if (['combobox', 'textbox', 'checkbox', 'radio', 'button', 'image'].includes(n.role) && !n.name) found.unnamed.push(n.role);
    if (n.role === 'button' && /^入力/.test(n.name || '')) found.status.push(n.name);
    (n.children || []).forEach(walk);
  })(tree);
  assert.equal(found.combobox.length, 23);
  for (const list of found.combobox) {
    assert.ok(list.name && list.value, JSON.stringify({ name: list.name, value: list.value }));
    assert.ok((list.children || []).length > 1, `${list.name} shows no entries`);
  }
  assert.deepEqual(found.unnamed, []);
  assert.deepEqual(found.status, ['入力エラー 1件・注意 0件']);
});

await step('the example loaded through the page makes the native patch byte for byte', async () => {
  await chooseFile(() => page.click(control('Command2')), path.join(examples, 'hero.gif'));
  await chooseFile(() => menuItem('キャラクターを開く…'), path.join(examples, 'hero.json'));
  assert.equal(await page.$eval(control('Text1'), (e) => e.value), 'アルト');
  const t0 = Date.now();
  await page.click(control('Command1'));
  const confirm = await box();
  figures.firstPatchMs = await page.evaluate(() => window.kavelin.timings.lastPatch);
  assert.equal(confirm.title, '確認');
  assert.deepEqual(confirm.buttons, ['はい', 'いいえ']);
  await press('はい');
  const made = await waitForDownload('hero.k7p');
  const done = await box();
  assert.equal(done.title, 'Kavelin');
  assert.equal(done.text, '処理が終了しました');
  await press('OK');
  figures.patchRoundMs = Date.now() - t0;
  const expected = native(path.join(examples, 'hero.json'), path.join(examples, 'hero.gif'), path.join(work, 'hero.k7p'));
  assert.ok(made.equals(expected), 'the downloaded patch differs from kavelin-cli make');
  figures.patchBytes = made.length;
  await page.click(control('Command1'));
  await box();
  figures.laterPatchMs = await page.evaluate(() => window.kavelin.timings.lastPatch);
  await page.keyboard.press('Escape');  // Esc is いいえ: nothing is downloaded
  await new Promise((r) => setTimeout(r, 300));
  assert.ok(!fs.existsSync(path.join(downloads, 'hero.k7p')));
  if (shotDir) await page.screenshot({ path: path.join(shotDir, 'web_window.png') });
});

await step('the keyboard reaches every control once, each frame in its order, and Shift+Tab goes back', async () => {
  const plan = await page.evaluate(() => window.kavelin.plan.controls.map((c) => ({ name: c.name, parent: c.parent })));
  const at = (name) => plan.findIndex((c) => c.name === name);
  const focusedName = () => page.evaluate(() => {
    const el = document.activeElement;
    const owner = el && el.closest('#client [data-name]');
    return owner ? owner.dataset.name : null;
  });
  // Every control a key can reach now: enabled and shown; of a group of options, the one
  // Tab stops at.
  const reachable = await page.evaluate(() => {
    const names = new Set();
    for (const el of document.querySelectorAll('#client input, #client select, #client textarea, #client button, #client canvas[tabindex]')) {
      if (el.disabled || el.tabIndex < 0 || el.closest('[hidden]') || el.type === 'radio') continue;
      names.add(el.closest('[data-name]').dataset.name);
    }
    return [...names];
  });
  const focusOn = (name) => page.focus(`${control(name)} :is(input, select, textarea, button), ${control(name)}`);
  const first = plan.find((c) => reachable.includes(c.name)).name;
  await focusOn(first);
  const visited = [await focusedName()];
  for (let i = 0; i < 600; ++i) {
    await page.keyboard.press('Tab');
    const name = await focusedName();
    if (!name || name === visited[0]) break;
    if (name !== visited[visited.length - 1]) visited.push(name);
  }
  assert.equal(new Set(visited).size, visited.length, 'Tab came to a control twice');
  assert.deepEqual(reachable.filter((n) => !visited.includes(n)), [], 'controls Tab never reached');
  // Within one frame, the window's order: the frame's tick first, then its inputs.
  for (let i = 1; i < visited.length; ++i) {
    const [a, b] = [plan[at(visited[i - 1])], plan[at(visited[i])]];
    if (a.parent === b.parent) assert.ok(at(a.name) < at(b.name), `Tab went from ${a.name} back to ${b.name}`);
  }
  // And back: Shift+Tab returns the way Tab came.
  await focusOn(visited[visited.length - 1]);
  await page.keyboard.down('Shift');
  await page.keyboard.press('Tab');
  await page.keyboard.up('Shift');
  assert.equal(await focusedName(), visited[visited.length - 2]);
  figures.tabStops = visited.length;
});

await step('the exported template is the picture as loaded: taken in again, it makes the same patch', async () => {
  await menuItem('テンプレート画像を書き出す…');
  const exported = await waitForDownload('hero.gif');
  assert.equal(exported.toString('latin1', 0, 4), 'GIF8');
  const again = path.join(work, 'exported.gif');
  fs.writeFileSync(again, exported);
  await chooseFile(() => page.click(control('Command2')), again);
  await page.waitForFunction(() => window.kavelin.template.name === 'exported.gif');
  await page.click(control('Command1'));
  await box();
  await press('はい');
  const made = await waitForDownload('exported.k7p');
  await box();
  await press('OK');
  assert.ok(made.equals(native(path.join(examples, 'hero.json'), path.join(examples, 'hero.gif'), path.join(work, 'hero.k7p'))));
  await chooseFile(() => page.click(control('Command2')), path.join(examples, 'hero.gif'));
  await page.waitForFunction(() => window.kavelin.template.name === 'hero.gif');
});

await step('a bad value is marked at once, counted, and F8 says why', async () => {
  await page.click(control('Text3(0)'), { clickCount: 3 });
  await page.keyboard.type('99');
  figures.liveCheckMs = await page.evaluate(() => window.kavelin.timings.lastCheck);
  const marked = await page.$eval(control('Text3(0)'), (e) => ({ mark: e.className, tip: e.title }));
  assert.match(marked.mark, /mark-error/);
  assert.match(await page.$eval('#checkStatus', (e) => e.textContent), /^入力エラー 1件/);
  await page.keyboard.press('F8');
  assert.equal(await page.$eval('#statusText', (e) => e.textContent), marked.tip);
  if (shotDir) await page.screenshot({ path: path.join(shotDir, 'web_live_mark.png'), clip: { x: 200, y: 20, width: 320, height: 250 } });
  await page.click(control('Command1'));
  const report = await box();
  assert.equal(report.title, '入力エラー');
  assert.equal(report.role, 'alertdialog');
  assert.deepEqual(report.buttons, ['OK']);
  await press('OK');
  await page.keyboard.down('Control');
  await page.keyboard.press('KeyZ');
  await page.keyboard.up('Control');
});

await step('a names file names the entries of every list that offers them', async () => {
  const names = path.join(work, 'kavelin-names.tsv');
  fs.writeFileSync(names, '# names\ntechniques\t0F\t疾風斬り\nweapons\t08\t名剣\nweapons\tZZ\tbad line\n');
  await chooseFile(() => menuItem('名前ファイルを開く…'), names);
  await page.waitForFunction(() => document.querySelector('#statusText').textContent.startsWith('名前を'));
  const shown = await page.evaluate(() => [...document.querySelector('[data-name="Combo5(0)"]').options].map((o) => o.text));
  assert.ok(shown.includes('【0F】疾風斬り'), shown.slice(0, 20).join(','));
  const weapon = await page.$eval('[data-name="Combo6(0)"]', (e) => e.options[e.selectedIndex].text);
  assert.equal(weapon, '【08】名剣');
  assert.match(await page.$eval('#statusText', (e) => e.textContent), /^名前を 2 件読み込みました：kavelin-names\.tsv 名前ファイルの 4 行目を飛ばしました/);
});

await step('a name given in place shows in every list at once, and can be taken out', async () => {
  await page.focus(control('Combo6(1)'));
  await page.select(control('Combo6(1)'), '0');
  await page.click(control('Combo6(1)'), { button: 'right' });
  await page.evaluate(() => document.querySelector('.context button').click());
  await page.waitForSelector('.box .box-input');
  await page.evaluate(() => { const i = document.querySelector('.box .box-input'); i.value = '伝説の剣'; });
  await press('OK');
  await page.waitForFunction(() => document.querySelector('#statusText').textContent.includes('伝説の剣'));
  const shown = (name) => page.evaluate((n) => document.querySelector(`[data-name="${n}"]`).options[0].text, name);
  // The name was given to the entry chosen, 【FF】, the first of every weapon list.
  assert.match(await shown('Combo6(2)'), /伝説の剣/);
  await page.click(control('Combo6(1)'), { button: 'right' });
  await page.evaluate(() => document.querySelectorAll('.context button')[1].click());
  assert.doesNotMatch(await shown('Combo6(2)'), /伝説の剣/);
});

await step('typing in a long list finds an entry by its code or name anywhere in it', async () => {
  await page.focus(control('Combo5(1)'));
  await page.keyboard.type('1a');
  assert.equal(await page.$eval(control('Combo5(1)'), (e) => e.options[e.selectedIndex].text), '【1A】技1A');
  await new Promise((r) => setTimeout(r, 1100));
  await page.keyboard.type('10');
  assert.equal(await page.$eval(control('Combo5(1)'), (e) => e.options[e.selectedIndex].text), '【10】技10');
});

await step('the in-game preview shows the patch at every zoom and background, and saves a PNG', async () => {
  await page.click(control('GamePreviewButton'));
  await page.waitForSelector('.preview canvas');
  const size = () => page.$eval('.preview canvas', (c) => [c.width, c.height]);
  assert.deepEqual(await size(), [176 * 3, 132 * 3]);
  await page.select('.preview select', '5');
  assert.deepEqual(await size(), [176 * 6, 132 * 6]);
  await page.evaluate(() => [...document.querySelectorAll('.preview button')][0].click());
  const png = await waitForDownload('hero-preview.png');
  assert.equal(png.readUInt32BE(16), 176 * 6);
  assert.equal(png.readUInt32BE(20), 132 * 6);
  // Compressed as the desktop's writer compresses, with zlib at its best: the same rows
  // deflated by this machine's zlib give the page's IDAT byte for byte.
  let idat = Buffer.alloc(0);
  for (let at = 8; at < png.length;) {
    const length = png.readUInt32BE(at), type = png.toString('latin1', at + 4, at + 8);
    if (type === 'IDAT') idat = Buffer.concat([idat, png.subarray(at + 8, at + 8 + length)]);
    at += 12 + length;
  }
  const again = execFileSync('python3', ['-c', 'import sys, zlib; d = sys.stdin.buffer.read(); sys.stdout.buffer.write(zlib.compress(zlib.decompress(d), 9))'], { input: idat });
  assert.ok(again.equals(idat), `the page's IDAT (${idat.length} bytes) is zlib's (${again.length})`);
  if (shotDir) await page.screenshot({ path: path.join(shotDir, 'web_game_preview.png') });
  await page.keyboard.press('Escape');
  assert.equal(await page.$('.preview'), null);
});

await step('an opened patch fills the sheet and draws its template back, and makes itself again', async () => {
  await chooseFile(() => menuItem('パッチを開く…'), path.join(work, 'hero.k7p'));
  await page.waitForFunction(() => document.querySelector('[data-name="Text1"]').value === 'アルト');
  await page.click(control('Command1'));
  await box();
  await press('はい');
  const again = await waitForDownload('hero.gif'.replace('.gif', '.k7p'));
  await box();
  await press('OK');
  assert.ok(again.equals(fs.readFileSync(path.join(work, 'hero.k7p'))));
});

await step('cells past a cropped picture\'s edge are a hint of the picture, counted', async () => {
  // The blank template as a BMP, cut to 160 pixels wide, its palette kept: two cells then
  // cross the edge (the example would gain a 17th colour, the background, and be refused).
  const full = path.join(work, 'full.bmp');
  execFileSync(cli, ['template', '-o', full, '--force'], { stdio: 'ignore' });
  const bmp = fs.readFileSync(full);
  const offset = bmp.readUInt32LE(10), w = bmp.readInt32LE(18), h = Math.abs(bmp.readInt32LE(22));
  const bytes = bmp.readUInt16LE(28) / 8;
  const cut = 160, rowIn = Math.ceil((w * bytes) / 4) * 4, rowOut = Math.ceil((cut * bytes) / 4) * 4;
  const out = Buffer.alloc(offset + rowOut * h);
  bmp.copy(out, 0, 0, offset);
  out.writeUInt32LE(out.length, 2);
  out.writeInt32LE(cut, 18);
  out.writeUInt32LE(rowOut * h, 34);
  for (let y = 0; y < h; ++y) bmp.copy(out, offset + y * rowOut, offset + y * rowIn, offset + y * rowIn + cut * bytes);
  const cropped = path.join(work, 'cropped.bmp');
  fs.writeFileSync(cropped, out);
  await chooseFile(() => page.click(control('Command2')), cropped);
  await page.waitForFunction(() => window.kavelin.template.name === 'cropped.bmp');
  assert.match(await page.$eval(control('Picture1'), (e) => e.title), /^絵の大きさは 160×132 ですが/);
  // With the blank template's two fixed-colour hints.
  assert.match(await page.$eval('#checkStatus', (e) => e.textContent), /ヒント 3件$/);
});

await step('a picture of too many colours is refused, shown with its ring and counted', async () => {
  // 176×132, white, with 20 colours in a row inside the first cells: more than 15 fit.
  const w = 176, h = 132, row = Math.ceil((w * 3) / 4) * 4, size = 54 + row * h;
  const bmp = Buffer.alloc(size, 0xff);
  bmp.fill(0, 0, 54);
  bmp.write('BM', 0);
  bmp.writeUInt32LE(size, 2);
  bmp.writeUInt32LE(54, 10);
  bmp.writeUInt32LE(40, 14);
  bmp.writeInt32LE(w, 18);
  bmp.writeInt32LE(-h, 22);
  bmp.writeUInt16LE(1, 26);
  bmp.writeUInt16LE(24, 28);
  for (let x = 2; x < 22; ++x) bmp.writeUIntLE(0x102030 + x * 0x0b0907, 54 + 10 * row + x * 3, 3);
  const file = path.join(work, 'many.bmp');
  fs.writeFileSync(file, bmp);
  await chooseFile(() => page.click(control('Command2')), file);
  const refused = await box();
  assert.equal(refused.title, '読み込みエラー');
  assert.equal(refused.text, '色数が多すぎます。');
  // The ring is drawn: red pixels 4 to 6 away from the first pixel that found no entry.
  const tip = await page.$eval(control('Picture1'), (e) => e.title);
  const [, x, y] = tip.match(/入りきらなかった最初の色は \((\d+), (\d+)\) の #/).map(Number);
  const red = await page.$eval(control('Picture1'), (c, x, y) => Array.from(c.getContext('2d').getImageData(x + 5, y, 1, 1).data), x, y);
  assert.deepEqual(red, [255, 0, 0, 255]);
  if (shotDir) await page.screenshot({ path: path.join(shotDir, 'web_too_many_colours.png') });
  await press('OK');
  assert.match(await page.$eval('#statusText', (e) => e.textContent), /色/);
});

await step('a 4096×4096 template is taken or refused with a message, and the tab lives on', async () => {
  // A 4096×4096 BMP, as a paint program would save it: the largest the intake takes.
  const w = 4096, h = 4096, row = w * 3, size = 54 + row * h;
  const bmp = Buffer.alloc(size);
  bmp.write('BM', 0);
  bmp.writeUInt32LE(size, 2);
  bmp.writeUInt32LE(54, 10);
  bmp.writeUInt32LE(40, 14);
  bmp.writeInt32LE(w, 18);
  bmp.writeInt32LE(h, 22);
  bmp.writeUInt16LE(1, 26);
  bmp.writeUInt16LE(24, 28);
  const file = path.join(work, 'huge.bmp');
  fs.writeFileSync(file, bmp);
  await chooseFile(() => page.click(control('Command2')), file);
  await page.waitForFunction(() => !document.querySelector('#boxLayer').hidden || window.kavelin.template.name === 'huge.bmp', { timeout: 10000 });
  if (!(await page.$eval('#boxLayer', (e) => e.hidden))) {
    assert.equal((await box()).title, '読み込みエラー');
    await press('OK');
  }
  // Still answering: an edit is checked at once.
  await page.click(control('Text3(1)'), { clickCount: 3 });
  await page.keyboard.type('20');
  assert.ok(await page.evaluate(() => window.kavelin.timings.lastCheck) < 50);
  await chooseFile(() => page.click(control('Command2')), path.join(examples, 'hero.gif'));
  await page.waitForFunction(() => window.kavelin.template.name === 'hero.gif');
});

await step('a file past its kind\'s cap is refused before it is read', async () => {
  const big = path.join(work, 'big.k7p');
  fs.writeFileSync(big, Buffer.alloc((1 << 20) + 1));
  await chooseFile(() => menuItem('パッチを開く…'), big);
  const refused = await box();
  assert.equal(refused.title, '読み込みエラー');
  assert.equal(refused.text, 'big.k7p\nファイルが大きすぎます（上限 1 MiB）。');
  await press('OK');
});

await step('the kept sheet and template come back on the next visit, and can be cleared', async () => {
  await new Promise((r) => setTimeout(r, 500));
  await page.reload();
  await page.waitForSelector('body[data-restored=true]');
  assert.equal(await page.$eval(control('Text1'), (e) => e.value), 'アルト');
  assert.equal(await page.evaluate(() => window.kavelin.template && window.kavelin.template.name), 'hero.gif');
  await menuItem('保存データを消す');
  await page.reload();
  await page.waitForSelector('body[data-restored=true]');
  assert.equal(await page.evaluate(() => window.kavelin.template), null);
});

await step('nothing but the page itself was loaded, and no script failed', async () => {
  assert.deepEqual(requests.filter((u) => !u.startsWith('file://') && !u.startsWith('data:') && !u.startsWith('blob:')), []);
  assert.deepEqual(errors, []);
});

await browser.close();
const html = fs.readFileSync(pagePath);
figures.fileBytes = html.length;
figures.gzipBytes = zlib.gzipSync(html, { level: 9 }).length;
console.log('figures: ' + JSON.stringify(figures));
await step('fast and light', async () => {
  assert.ok(figures.readyMs < 1000, `ready in ${figures.readyMs} ms`);
  assert.ok(figures.liveCheckMs < 5, `live check ${figures.liveCheckMs} ms`);
  assert.ok(figures.laterPatchMs < 50, `patch ${figures.laterPatchMs} ms`);
  assert.ok(figures.fileBytes < 1024 * 1024 && figures.gzipBytes < 400 * 1024, 'file size');
});
fs.rmSync(work, { recursive: true, force: true });
process.exit(failures ? 1 : 0);
