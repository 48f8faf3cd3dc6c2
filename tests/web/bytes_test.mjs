// The web edition's byte-level entry under node against the native kavelin-cli: a few
// hundred sheets made from the form plan's own fields and lists, good and bad, each must
// give the same patch bytes, or be refused by both.
//   node bytes_test.mjs WEB-CORE.js NATIVE-KAVELIN-CLI SOURCE-DIR [COUNT]
import { execFileSync } from 'node:child_process';
import { createRequire } from 'node:module';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

const [corePath, cli, sourceDir, countText] = process.argv.slice(2);
const count = Number(countText || 300);
const require = createRequire(import.meta.url);
const core = await require(path.resolve(corePath))();
const examples = path.join(sourceDir, 'examples');
const gif = new Uint8Array(fs.readFileSync(path.join(examples, 'hero.gif')));
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'kavelin-bytes-'));
fs.copyFileSync(path.join(examples, 'hero.gif'), path.join(work, 'hero.gif'));

// A small deterministic generator, so that a failure can be repeated.
let seed = 20261209;
const random = () => ((seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648);
const pick = (list) => list[Math.floor(random() * list.length)];

const plan = JSON.parse(core.formPlan()).controls;
// Mostly values every number field takes (8 and 30), some that only some take, some none.
const good = ['8', '30', '８', '+8', '08', '30.0'];
const numbers = ['0', '5', '15', '30', '90', '91', '120', '900', '255', '128', '-1', '1.5', '０８', '&H1F', 'abc', '', ' 7'];
const names = ['アルト', '名無しさん', 'ＡＢＣＤ', 'ｶﾅ', '①', 'Ω', '剣士', '', 'あいうえおかきくけこさしすせそ'];

function setKey(obj, key, value) {
  const parts = key.split('.').flatMap((p) => {
    const m = /^(\w+)\[(\d+)\]$/.exec(p);
    return m ? [m[1], Number(m[2])] : [p];
  });
  let o = obj;
  for (let i = 0; i < parts.length - 1; ++i) o = o[parts[i]];
  o[parts[parts.length - 1]] = value;
}

function generated(i) {
  const sheet = JSON.parse(i % 3 === 0 ? core.freshSheet() : fs.readFileSync(path.join(examples, 'hero.json'), 'utf8'));
  for (const c of plan) {
    if (!c.key || c.key === 'template' || random() < 0.8) continue;
    if (c.kind === 'box') setKey(sheet, c.key, c.key === 'name' || c.key === 'jobName' ? pick(names) : random() < 0.85 ? pick(good) : pick(numbers));
    else if (c.kind === 'list') setKey(sheet, c.key, pick(c.list.values));
    else if (c.kind === 'tick') setKey(sheet, c.key, random() < 0.5);
    else if (c.kind === 'option') setKey(sheet, c.key, c.limit);
    else if (c.kind === 'comment') setKey(sheet, c.key, pick(['', 'コメント', 'a\r\nb', 'ｶﾅ①'.repeat(20)]));
  }
  if (random() < 0.3) sheet.paletteSwaps = [[Math.floor(random() * 15) + 1, Math.floor(random() * 15) + 1]];
  return sheet;
}

let made = 0, refused = 0, differ = 0;
for (let i = 0; i < count; ++i) {
  const sheet = generated(i);
  const text = JSON.stringify(sheet, null, 1);
  const sheetFile = path.join(work, `s${i}.k7c`);
  fs.writeFileSync(sheetFile, text);
  const web = core.makePatch(text, gif, null, 'hero.gif');
  const out = path.join(work, `p${i}.k7p`);
  let exit = 0;
  try {
    execFileSync(cli, ['make', path.join(work, 'hero.gif'), '--sheet', sheetFile, '--yes', '-o', out], { stdio: 'ignore' });
  } catch (e) {
    exit = e.status;
  }
  const webMade = web.bytes !== undefined;
  if (webMade !== (exit === 0) || (webMade && !Buffer.from(web.bytes).equals(fs.readFileSync(out)))) {
    differ += 1;
    if (differ <= 5) console.log(`sheet ${i} differs (web ${web.stage}, native exit ${exit}):\n${text}`);
  }
  if (webMade) made += 1;
  else refused += 1;
  fs.rmSync(out, { force: true });
}
fs.rmSync(work, { recursive: true, force: true });
console.log(`byte-level entry: ${count} sheets, ${made} patches byte for byte kavelin-cli's, ${refused} refused by both, ${differ} differ`);
process.exit(differ === 0 && made > 0 && refused > 0 ? 0 : 1);
