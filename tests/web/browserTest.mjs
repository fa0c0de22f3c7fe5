// The page in Debian's headless Chromium, seen and driven as a visitor would:
// its picture against the desktop's first frames, flying, the caption, the
// end, and a browser without WebGL. Frames are held and let go one at a time,
// so input lands in a known frame and the picture is read before it is shown.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { after, before, test } from 'node:test';

const { chromium } = createRequire(join(process.env.QUILLON_DRIVER, 'package.json'))('playwright-core');

const WIDTH = 640;
const HEIGHT = 480;
const PIXELS = WIDTH * HEIGHT;
const CAPTION_PREFIX = 'Vantrell FPS:';
// SwiftShader and llvmpipe rasterise and filter a little differently: at
// triangle edges, where the terrain meets the sky, and in the last bit of a
// colour. A pixel differs when a channel is off by more than COLOUR_DISTANCE.
const COLOUR_DISTANCE = 24;
const DIFFERING_SHARE = 0.005;
// Waits ask on a timer: the page's animation frames are the test's to hold.
const POLL_MS = 50;

// The page's own files, served on 127.0.0.1 as a visitor's server would.
const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };
const server = createServer((request, response) => {
  const name = request.url === '/' ? 'index.html' : request.url.slice(1);
  try {
    const body = readFileSync(join(process.env.QUILLON_PAGE, name));
    response.writeHead(200, { 'Content-Type': TYPES[name.slice(name.lastIndexOf('.'))] ?? 'text/plain' });
    response.end(body);
  } catch {
    response.writeHead(404).end();
  }
});

// Held frames: the browser's animation callbacks wait until the test steps
// them; each step runs one frame and reads the picture it drew.
function holdFrames() {
  const realFrame = window.requestAnimationFrame.bind(window);
  const held = [];
  window.requestAnimationFrame = (callback) => (window.quillonHeld ? held.push(callback) : realFrame(callback));
  window.quillonHeld = true;
  window.quillonWaiting = () => held.length;
  window.quillonStep = () => {
    const callbacks = held.splice(0);
    callbacks.forEach((callback) => callback(performance.now()));
    const gl = Module.ctx;
    const rgba = new Uint8Array(640 * 480 * 4);
    gl.readPixels(0, 0, 640, 480, gl.RGBA, gl.UNSIGNED_BYTE, rgba);
    let rgb = '';
    for (let i = 0; i < rgba.length; i += 4) rgb += String.fromCharCode(rgba[i], rgba[i + 1], rgba[i + 2]);
    return { ran: callbacks.length, rgb: btoa(rgb) };
  };
  window.quillonHold = () => {
    window.quillonHeld = true;
  };
  window.quillonRelease = () => {
    window.quillonHeld = false;
    held.splice(0).forEach((callback) => realFrame(callback));
  };
  // Every caption the page shows, with when it came.
  window.quillonTitles = [];
  new MutationObserver(() => {
    if (document.title !== window.quillonTitles.at(-1)?.[1]) window.quillonTitles.push([performance.now(), document.title]);
  }).observe(
    document, { childList: true, characterData: true, subtree: true });
}

let browser;
let address;
const launch = (extra = []) =>
  chromium.launch({
    executablePath: process.env.QUILLON_CHROMIUM,
    args: ['--headless=new', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-sandbox',
      '--disable-background-networking', '--disable-component-update', '--no-first-run', '--disable-sync', ...extra],
  });

before(async () => {
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  address = `http://127.0.0.1:${server.address().port}/`;
  browser = await launch();
});
after(async () => {
  await browser?.close();
  server.close();
});

async function openPage() {
  const page = await browser.newPage({ viewport: { width: 1100, height: 600 } });
  page.on('pageerror', (error) => console.log('page error:', error.message));
  await page.addInitScript(holdFrames);
  await page.goto(address);
  await page.waitForFunction(() => window.quillonWaiting?.() > 0, null, { timeout: 60000, polling: POLL_MS });
  return page;
}

// One frame; its picture, RGB, bottom row first.
async function step(page) {
  const { ran, rgb } = await page.evaluate(() => window.quillonStep());
  assert.equal(ran, 1, 'no frame was waiting');
  return Buffer.from(rgb, 'base64');
}
async function steps(page, count) {
  let picture;
  for (let n = 0; n < count; ++n) picture = await step(page);
  return picture;
}

const covered = (rgb, i) => (rgb[3 * i] | rgb[3 * i + 1] | rgb[3 * i + 2]) !== 0;
// The share of pixels that are terrain in one picture and sky in the other;
// against no picture, how much of the window the terrain covers.
function reshaped(picture, other) {
  let count = 0;
  for (let i = 0; i < PIXELS; ++i) count += covered(picture, i) !== (other !== undefined && covered(other, i));
  return count / PIXELS;
}
function differingShare(picture, reference) {
  let count = 0;
  for (let i = 0; i < picture.length; i += 3) {
    const distance = Math.max(...[0, 1, 2].map((c) => Math.abs(picture[i + c] - reference[i + c])));
    count += distance > COLOUR_DISTANCE;
  }
  return count / PIXELS;
}
// The share of terrain in the 80x80 block at a top corner (rows come bottom first).
const CORNER = 80;
function cornerCover(picture, right) {
  let count = 0;
  for (let y = HEIGHT - CORNER; y < HEIGHT; ++y)
    for (let x = right ? WIDTH - CORNER : 0; x < (right ? WIDTH : CORNER); ++x) count += covered(picture, y * WIDTH + x);
  return count / (CORNER * CORNER);
}

test('the first frames are the desktop\'s, and the picture moves', async () => {
  const desktop = readFileSync(process.env.QUILLON_DESKTOP_FRAMES);
  const firstFrames = desktop.length / (PIXELS * 3); // as many as the desktop wrote
  assert.ok(Number.isInteger(firstFrames) && firstFrames > 0, 'the desktop frames file');
  const page = await openPage();
  assert.deepEqual(await page.evaluate(() => [canvas.width, canvas.height]), [WIDTH, HEIGHT]);
  const pictures = [];
  for (let n = 0; n < firstFrames; ++n) {
    const picture = await step(page);
    const share = differingShare(picture, desktop.subarray(n * PIXELS * 3, (n + 1) * PIXELS * 3));
    console.log(`frame ${n + 1}: ${(100 * share).toFixed(3)}% of pixels differ from the desktop's`);
    assert.ok(share < DIFFERING_SHARE, `frame ${n + 1}`);
    pictures.push(picture);
  }
  assert.ok(reshaped(pictures[0]) > 0.3 && reshaped(pictures[0]) < 0.95, 'terrain below, sky above');
  assert.ok(differingShare(await steps(page, 20), pictures[0]) > 0.2, 'the plasma does not move');
  await page.close();
});

test('W flies, C switches there and back, the buttons roll, the captured pointer turns', async () => {
  const page = await openPage();
  const start = await step(page);
  await page.keyboard.down('w');
  const flown = await steps(page, 80);
  await page.keyboard.up('w');
  console.log(`W: ${reshaped(start).toFixed(3)} then ${reshaped(flown).toFixed(3)}`);
  assert.ok(reshaped(flown) > reshaped(start) + 0.1, 'W does not fly towards the terrain');
  // C held for a frame switches, and the next frame is drawn with a refreshed up.
  await page.keyboard.down('c');
  await step(page);
  await page.keyboard.up('c');
  assert.ok(reshaped(await step(page)) > 0.999, 'C does not switch to the top-down camera');
  await page.keyboard.down('c');
  await step(page);
  await page.keyboard.up('c');
  const back = await step(page);
  assert.ok(reshaped(back) < 0.95 && cornerCover(back, false) === 0, 'C does not switch back to the chase camera');
  // Left rolls the horizon up on the left, right (twice as long) up on the right.
  for (const [button, frames, right] of [['left', 40, false], ['right', 80, true]]) {
    await page.mouse.move(320, 240);
    await page.mouse.down({ button });
    const rolled = await steps(page, frames);
    await page.mouse.up({ button });
    assert.ok(cornerCover(rolled, right) > 0.5, `the ${button} button does not roll the horizon`);
  }
  // The first click has captured the pointer: its movement turns the view, once.
  assert.ok(await page.evaluate(() => document.pointerLockElement === canvas), 'a click does not capture');
  const still = await steps(page, 40); // rolled back to level
  await page.mouse.move(420, 240);
  const turned = await step(page);
  const steady = [await step(page), await step(page)];
  console.log(`turn: ${reshaped(turned, still).toFixed(3)}; after: ${reshaped(steady[1], steady[0]).toFixed(3)}`);
  assert.ok(reshaped(turned, still) > 0.05, 'the pointer does not turn the view');
  assert.ok(reshaped(steady[1], steady[0]) < 0.02, 'the view turns on after the pointer has stopped');
  await page.close();
});

test('the caption shows a rate every two seconds and not sooner; Escape ends the demo', async () => {
  const page = await openPage();
  await page.evaluate(() => window.quillonRelease());
  await page.waitForFunction(() => window.quillonTitles.filter(([, t]) => t.startsWith('Vantrell')).length >= 3,
    null, { timeout: 30000, polling: POLL_MS });
  const rates = (await page.evaluate(() => window.quillonTitles)).filter(([, t]) => t.startsWith(CAPTION_PREFIX));
  for (let n = 1; n < rates.length; ++n) {
    const gap = rates[n][0] - rates[n - 1][0];
    console.log(`${rates[n][1]} ${gap.toFixed(0)} ms after the last`);
    assert.ok(gap > 1950 && gap < 5000, `a rate ${gap} ms after the last`);
  }
  assert.ok(Number(rates[0][1].slice(CAPTION_PREFIX.length)) > 0);
  assert.equal(await page.textContent('#caption'), await page.title(), 'the caption beside the canvas');
  // The frame in which Escape is held is the last: it asks for no other.
  await page.evaluate(() => window.quillonHold());
  await page.waitForFunction(() => window.quillonWaiting() > 0, null, { polling: POLL_MS });
  await page.keyboard.down('Escape');
  await step(page);
  await page.keyboard.up('Escape');
  assert.equal(await page.textContent('#status'), 'The demo has ended. Reload the page to start it again.');
  assert.equal(await page.evaluate(() => window.quillonWaiting()), 0, 'a frame after the end');
  await page.close();
});

test('without WebGL the page gives the reason', async () => {
  const noWebGl = await launch(['--disable-3d-apis']);
  const page = await noWebGl.newPage();
  await page.goto(address);
  await page.waitForFunction(() => document.getElementById('status').classList.contains('problem'), null,
    { polling: POLL_MS });
  assert.equal(await page.textContent('#status'),
    'quillon: cannot open a 640x480 OpenGL window: the window has no OpenGL context');
  await noWebGl.close();
});

test('opened from disk, the page says how to serve it', async () => {
  const page = await browser.newPage();
  await page.goto(`file://${join(process.env.QUILLON_PAGE, 'index.html')}`);
  assert.match(await page.textContent('#status'), /must be served.*python3 -m http\.server --bind 127\.0\.0\.1 8000/);
  await page.close();
});
