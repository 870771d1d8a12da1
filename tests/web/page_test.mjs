// The game's page in this machine's Chromium, driven as a player would:
// the pictures it shows are the game's own (korvane-headless shows the same
// at the same moments), the best score lives in the browser's storage,
// a recorded game becomes a link that plays it again, and play keeps time.
//   node page_test.mjs SITE_DIR KORVANE_HEADLESS
// NODE_PATH finds playwright-core; CHROMIUM names the browser (/usr/bin/chromium).
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, mkdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { createRequire } from 'node:module';
import { serve } from './static_server.mjs';

const { chromium } = createRequire(import.meta.url)('playwright-core');
const [siteDir, headlessProgram] = process.argv.slice(2);
const scratch = mkdtempSync(join(tmpdir(), 'korvane-page-'));
// A busy machine makes everything slow; a picture is waited for this long.
const patience_ms = 60000;

// What korvane-headless shows at moments of a script, with a given best score.
function headlessShots(name, best, script, moments, extra = []) {
  const folder = join(scratch, name);
  mkdirSync(join(folder, 'data', 'korvane'), { recursive: true });
  if (best !== null) writeFileSync(join(folder, 'data', 'korvane', 'hiscore.txt'), `hi-score\r\n${best < 0 ? '-' : ' '}${Math.abs(best)}\r\n`);
  writeFileSync(join(folder, 'input.txt'), script);
  const args = ['--input', join(folder, 'input.txt'), '--end', String(Math.max(...moments) + 100), ...extra];
  moments.forEach((ms, i) => args.push('--shot', `${ms}:${join(folder, `${i}.png`)}`));
  execFileSync(headlessProgram, args, { cwd: folder, env: { ...process.env, XDG_DATA_HOME: join(folder, 'data') }, stdio: 'ignore' });
  return moments.map((_, i) => readFileSync(join(folder, `${i}.png`)));
}
// The title shows its prompt for 0.9 s, then hides it for 0.9 s.
const titleWithBest = (name, best) => headlessShots(name, best, '', [100, 1000]);

let browser, context, server, site, comparer;

before(async () => {
  server = await serve(siteDir);
  site = `http://127.0.0.1:${server.address().port}/`;
  browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
           '--disable-sync', '--no-first-run'],
  });
  // The player's browser, its storage shared by all its pages; a viewport
  // where the picture fits once, so that the page's pixels are the game's.
  context = await browser.newContext({ viewport: { width: 720, height: 560 } });
  await context.grantPermissions(['clipboard-read', 'clipboard-write'], { origin: site });
  // Pictures are compared pixel by pixel in a page of their own.
  comparer = await browser.newPage();
});

after(async () => {
  await browser?.close();
  server?.close();
  rmSync(scratch, { recursive: true, force: true });
});

// Counts the pixels of PNG a that differ from PNG b.
async function differingPixels(a, b) {
  return comparer.evaluate(async ([a, b]) => {
    const pixels = async (base64) => {
      const bitmap = await createImageBitmap(await (await fetch(`data:image/png;base64,${base64}`)).blob());
      const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
      const context = canvas.getContext('2d');
      context.drawImage(bitmap, 0, 0);
      return context.getImageData(0, 0, bitmap.width, bitmap.height);
    };
    const [x, y] = [await pixels(a), await pixels(b)];
    if (x.width !== y.width || x.height !== y.height) return x.width * x.height;
    let differing = 0;
    for (let i = 0; i < x.data.length; i += 4)
      if (x.data[i] !== y.data[i] || x.data[i + 1] !== y.data[i + 1] || x.data[i + 2] !== y.data[i + 2]) ++differing;
    return differing;
  }, [a.toString('base64'), b.toString('base64')]);
}

// The pause dialog: a black box across the middle of the field, with its text.
async function showsDialog(png) {
  return comparer.evaluate(async (base64) => {
    const bitmap = await createImageBitmap(await (await fetch(`data:image/png;base64,${base64}`)).blob());
    const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
    const context = canvas.getContext('2d');
    context.drawImage(bitmap, 0, 0);
    const blackShare = (x, y, w, h) => {
      const area = context.getImageData(x, y, w, h).data;
      let black = 0;
      for (let i = 0; i < area.length; i += 4) if (area[i] + area[i + 1] + area[i + 2] === 0) ++black;
      return black / (area.length / 4);
    };
    // and the field goes on around it
    return blackShare(80, 100, 480, 160) > 0.8 && blackShare(0, 300, 640, 180) < 0.5;
  }, png.toString('base64'));
}

// The picture on the page, at the game's own 640x480.
const pageShot = (page) => page.locator('canvas').screenshot();

async function waitForPicture(page, what, matches) {
  const deadline = Date.now() + patience_ms;
  for (;;) {
    const shot = await pageShot(page);
    if (await matches(shot)) return shot;
    if (Date.now() > deadline) {
      writeFileSync(join(tmpdir(), 'korvane-page-failure.png'), shot);
      assert.fail(`the page never showed ${what} (its last picture: ${join(tmpdir(), 'korvane-page-failure.png')})`);
    }
    await page.waitForTimeout(100);
  }
}
const isOneOf = (pictures) => async (shot) => {
  for (const picture of pictures) if ((await differingPixels(shot, picture)) === 0) return true;
  return false;
};

async function openGame(query = '') {
  const page = await context.newPage();
  page.on('pageerror', (e) => console.log(`page error: ${e.message}`));
  page.on('console', (m) => { if (m.type() === 'error') console.log(`page says: ${m.text()}`); });
  await page.addInitScript(() => {
    // Sound as a desktop browser allows it, only after a click or key (a
    // headless one allows it at once): a page's audio starts suspended.
    const Audio = window.AudioContext;
    window.AudioContext = function (...args) {
      const audio = new Audio(...args);
      audio.suspend();
      return audio;
    };
    // When the game draws: the moments of its pictures.
    window.korvaneDraws = [];
    for (const type of [WebGLRenderingContext, WebGL2RenderingContext])
      for (const name of ['drawArrays', 'drawElements']) {
        const draw = type.prototype[name];
        type.prototype[name] = function (...args) {
          window.korvaneDraws.push(performance.now());
          return draw.apply(this, args);
        };
      }
  });
  await page.goto(site + query);
  return page;
}

// A recording file dropped onto the page, as a player drops one.
async function dropRecording(page, text) {
  const dropped = await page.evaluateHandle((text) => {
    const transfer = new DataTransfer();
    transfer.items.add(new File([text], 'recording.txt', { type: 'text/plain' }));
    return transfer;
  }, text);
  await page.dispatchEvent('#stage', 'drop', { dataTransfer: dropped });
}

// The best score's file as the page keeps it in the browser's storage.
async function storedBest(page) {
  return page.evaluate(() => new Promise((resolve, reject) => {
    const folder = '/home/web_user/.local/share/korvane';
    const open = indexedDB.open(folder);
    open.onerror = () => reject(open.error);
    open.onsuccess = () => {
      const db = open.result;
      if (!db.objectStoreNames.contains('FILE_DATA')) return resolve(null);
      const get = db.transaction('FILE_DATA').objectStore('FILE_DATA').get(`${folder}/hiscore.txt`);
      get.onsuccess = () => { db.close(); resolve(get.result ? new TextDecoder().decode(get.result.contents) : null); };
      get.onerror = () => reject(get.error);
    };
  }));
}
async function storeBest(page, text) {
  await page.evaluate((text) => new Promise((resolve, reject) => {
    const folder = '/home/web_user/.local/share/korvane';
    const open = indexedDB.open(folder);
    open.onsuccess = () => {
      const db = open.result;
      if (!db.objectStoreNames.contains('FILE_DATA')) return reject(new Error('the page keeps no files'));
      const put = db.transaction('FILE_DATA', 'readwrite').objectStore('FILE_DATA')
        .put({ timestamp: new Date(), mode: 0o100644, contents: new TextEncoder().encode(text) }, `${folder}/hiscore.txt`);
      put.onsuccess = () => { db.close(); resolve(); };
      put.onerror = () => reject(put.error);
    };
    open.onerror = () => reject(open.error);
  }), text);
}
const bestFile = (value) => `hi-score\r\n${value < 0 ? '-' : ' '}${Math.abs(value)}\r\n`;

// Intervals between pictures: draws within a few ms are one picture.
function pictureIntervals(draws) {
  const pictures = draws.filter((t, i) => i === 0 || t - draws[i - 1] > 5);
  return pictures.slice(1).map((t, i) => t - pictures[i]);
}
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

let recording, dialogPicture, link;

test('the title is the game\'s own picture, and a new visit starts from the default best', async () => {
  const started = Date.now();
  const page = await openGame();
  await waitForPicture(page, 'the title with the best 1000', isOneOf(titleWithBest('title-1000', null)));
  console.log(`first title picture after ${Date.now() - started} ms`);
  assert.equal(await storedBest(page), bestFile(1000), 'the default best is kept in the browser');
  await page.close();
});

test('a recorded game: click, Escape skips, the dialog pauses and resumes, Y returns to the title', async () => {
  // A best any game beats: the game must save and keep the new one.
  const other = await context.newPage();
  await other.goto(site + 'icon.png');
  await storeBest(other, bestFile(-5));
  await other.close();

  const page = await openGame('?record');
  const beforeGame = titleWithBest('title-minus-5', -5);
  const title = await waitForPicture(page, 'the title with the best -5', isOneOf(beforeGame));
  const sound = () => page.evaluate(() => Module.SDL2.audioContext.state);
  assert.notEqual(await sound(), 'running', 'the browser lets a page sound only after a click or key');
  const box = await page.locator('canvas').boundingBox();
  await page.mouse.click(box.x + 320, box.y + 240);
  await waitForPicture(page, 'the opening', async (shot) => !(await isOneOf(beforeGame)(shot)));
  assert.equal(await sound(), 'running', 'the first click lets the game sound');
  // Escape skips the opening, then the instructions; play begins.
  for (let tries = 0; ; ++tries) {
    await page.keyboard.press('Escape');
    const deadline = Date.now() + 3000;
    let shown = false;
    while (!shown && Date.now() < deadline) shown = await showsDialog(await pageShot(page));
    if (shown) break;
    assert.ok(tries < 5, 'Escape never reached the pause dialog');
  }
  // A player reads the question (and a watcher sees it); N plays on, and
  // play keeps 25 pictures a second.
  await page.waitForTimeout(1000);
  await page.keyboard.press('n');
  await waitForPicture(page, 'play going on', async (shot) => !(await showsDialog(shot)));
  await page.evaluate(() => { window.korvaneDraws = []; });
  await page.waitForTimeout(4000);
  const intervals = pictureIntervals(await page.evaluate(() => window.korvaneDraws));
  const sorted = [...intervals].sort((a, b) => a - b);
  console.log(`play: ${intervals.length} intervals, median ${median(intervals).toFixed(1)} ms, ` +
              `90th percentile ${sorted[Math.floor(sorted.length * 0.9)].toFixed(1)} ms`);
  assert.ok(intervals.length >= 50, `only ${intervals.length} pictures in 4 s of play`);
  assert.ok(Math.abs(median(intervals) - 40) <= 2, `pictures every ${median(intervals)} ms in play`);

  // A hidden tab pauses play, as a window losing the focus does.
  await page.evaluate(() => {
    Object.defineProperty(document, 'hidden', { value: true, configurable: true });
    document.dispatchEvent(new Event('visibilitychange'));
  });
  await waitForPicture(page, 'the pause dialog when the tab is hidden', showsDialog);
  await page.evaluate(() => {
    delete document.hidden;
    window.dispatchEvent(new FocusEvent('focus'));
  });
  await page.waitForTimeout(1000);
  dialogPicture = await pageShot(page);
  await page.keyboard.press('y');
  // The game scored 0, more than -5: the new best is on the title.
  const afterGame = titleWithBest('title-0', 0);
  await waitForPicture(page, 'the title with the best 0', isOneOf(afterGame));
  assert.notDeepEqual(title, afterGame[0]);
  assert.equal(await storedBest(page), bestFile(0));

  // F12 hands the picture on show to the player.
  const [screenshot] = await Promise.all([page.waitForEvent('download'), page.keyboard.press('F12')]);
  assert.ok(await isOneOf(afterGame)(readFileSync(await screenshot.path())), 'F12 saves the title as shown');
  // The recorded game: a download, and a link to watch it.
  const [saved] = await Promise.all([page.waitForEvent('download'), page.locator('#download').click()]);
  recording = readFileSync(await saved.path(), 'utf8');
  assert.equal(recording, await page.evaluate(() => Module.page.recordingText()));
  await page.locator('#share').click();
  await page.locator('#status', { hasText: 'copied' }).waitFor();
  link = await page.evaluate(() => navigator.clipboard.readText());
  assert.ok(link.startsWith(`${site}#watch=`), link);
  console.log(`recording: ${recording.length} bytes; its link: ${link.length} characters`);

  // A reload, a new visit: the best is still there.
  await page.goto(site);
  await waitForPicture(page, 'the title with the kept best 0 after a reload', isOneOf(afterGame));
  await page.close();
});

test('the recording replays in korvane-headless to what the page showed', () => {
  const folder = join(scratch, 'replay');
  mkdirSync(folder);
  writeFileSync(join(folder, 'recording.txt'), recording);
  const answer = recording.split('\n').find((line) => / hold y$/.test(line));
  assert.ok(answer, 'the recording holds the answer Y');
  const answered_ms = Number(answer.split(' ')[0]);
  execFileSync(headlessProgram, ['--input', 'recording.txt', '--trace', 'trace.jsonl', '--state', 'state.json',
                                 '--shot', `${answered_ms - 1}:dialog.png`], { cwd: folder, stdio: 'ignore' });
  const frames = readFileSync(join(folder, 'trace.jsonl'), 'utf8').trim().split('\n').map((line) => JSON.parse(line));
  // Without Escape play would begin 20 s after the click.
  assert.ok(frames.length >= 50, `${frames.length} frames of play`);
  assert.ok(frames[0].virtual_ms < 15000, `play began at ${frames[0].virtual_ms} ms: the opening was not skipped`);
  const state = JSON.parse(readFileSync(join(folder, 'state.json'), 'utf8'));
  assert.equal(state.hi_score, 0);
  return differingPixels(readFileSync(join(folder, 'dialog.png')), dialogPicture).then((differing) =>
    assert.equal(differing, 0, 'the dialog on the page, its pointer where the game put it, is the game\'s picture'));
});

test('a dropped recording, or its #watch= link, plays the game to its end and leaves the best alone', async () => {
  const other = await context.newPage();
  await other.goto(site + 'icon.png');
  await storeBest(other, bestFile(5));
  // A recording dropped onto the page is watched, through the same link.
  const page = await openGame();
  await dropRecording(page, recording);
  await page.waitForURL(link);
  await waitForPicture(page, 'the pause dialog of the recorded game', showsDialog);
  // It began from the recording's best (-5); its game made it 0.
  await waitForPicture(page, 'the title after the recorded game', isOneOf(titleWithBest('title-0', 0)));
  assert.equal(await storedBest(other), bestFile(5));
  await page.close();
  await other.close();
});

test('watching, Space pauses and Right jumps 10 s, each stop showing what the recording shows then', async () => {
  const script = readFileSync(new URL('../replays/autoplay-two-bonus-stages-to-stage-6.script', import.meta.url), 'utf8');
  const page = await openGame();
  const told = [];
  page.on('console', (m) => {
    const at = /replay: at (\d+) ms/.exec(m.text());
    if (at) told.push(Number(at[1]));
  });
  await dropRecording(page, script);
  await page.waitForURL(/#watch=/);
  await page.waitForTimeout(3000);
  const stops = [];
  const pictures = [];
  for (const key of ['Space', 'ArrowRight', 'ArrowLeft']) {
    const before = told.length;
    await page.keyboard.press(key);
    const deadline = Date.now() + patience_ms;
    while (told.length === before) {
      assert.ok(Date.now() < deadline, `the page told no position after ${key}`);
      await page.waitForTimeout(50);
    }
    stops.push(told[told.length - 1]);
    await page.waitForTimeout(3000);  // the strip goes after 2.5 s
    pictures.push(await pageShot(page));
  }
  assert.ok(stops[1] <= stops[0] + 10000 && stops[1] + 80 > stops[0] + 10000, `Right went from ${stops[0]} to ${stops[1]}`);
  const sorted = [...stops].sort((a, b) => a - b);
  const shots = headlessShots('watched', null, script, sorted);
  for (let i = 0; i < stops.length; ++i)
    assert.equal(await differingPixels(pictures[i], shots[sorted.indexOf(stops[i])]), 0, `the stop at ${stops[i]} ms`);
  await page.close();
});
