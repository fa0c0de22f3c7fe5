// The page in Debian's Chromium, Firefox ESR or WebKitGTK (QUILLON_ENGINE),
// seen and driven as a visitor would: its pictures under the scripted visitor
// of session.txt against the desktop's, full screen, a lost context, the
// caption, and the page opened from disk; in Chromium also touch and a
// browser without WebGL. Frames are held and let go one at a time, so input
// lands in a known frame and the picture is read before it is shown.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { setTimeout as sleep } from 'node:timers/promises';
import { DESK, ENGINES, countInput, until } from './engines.mjs';

const ENGINE = process.env.QUILLON_ENGINE;

const WIDTH = 640;
const HEIGHT = 480;
const PIXELS = WIDTH * HEIGHT;
const CAPTION_PREFIX = 'Vantrell FPS:';
// SwiftShader and llvmpipe rasterise and filter a little differently: at
// triangle edges, where the terrain meets the sky, and in the last bit of a
// colour. A pixel differs when a channel is off by more than COLOUR_DISTANCE.
const COLOUR_DISTANCE = 24;
const DIFFERING_SHARE = 0.005;
const POLL_MS = 50;

// Held frames: the browser's animation callbacks wait until the test steps
// them; each step runs one frame and, when asked, reads the picture it drew.
function holdFrames() {
  const realFrame = window.requestAnimationFrame.bind(window);
  const held = [];
  window.requestAnimationFrame = (callback) => (window.quillonHeld ? held.push(callback) : realFrame(callback));
  window.quillonHeld = true;
  window.quillonWaiting = () => held.length;
  window.quillonStep = (read) => {
    const callbacks = held.splice(0);
    callbacks.forEach((callback) => callback(performance.now()));
    if (!read) return { ran: callbacks.length };
    const gl = Module.ctx;
    const rgba = new Uint8Array(640 * 480 * 4);
    gl.readPixels(0, 0, 640, 480, gl.RGBA, gl.UNSIGNED_BYTE, rgba);
    let rgb = '';
    for (let i = 0; i < rgba.length; i += 4) rgb += String.fromCharCode(rgba[i], rgba[i + 1], rgba[i + 2]);
    return { ran: callbacks.length, rgb: btoa(rgb) };
  };
  window.quillonRelease = () => {
    window.quillonHeld = false;
    held.splice(0).forEach((callback) => realFrame(callback));
  };
  // Every caption the page shows, with when it came.
  window.quillonTitles = [];
  new MutationObserver(() => {
    if (document.title !== window.quillonTitles.at(-1)?.[1]) window.quillonTitles.push([performance.now(), document.title]);
  }).observe(document, { childList: true, characterData: true, subtree: true });
  // What the page throws, and what it says on the console as a warning or an error.
  window.quillonConsole = [];
  for (const level of ['warn', 'error']) {
    const say = console[level].bind(console);
    console[level] = (...words) => {
      window.quillonConsole.push(words.join(' '));
      say(...words);
    };
  }
  window.quillonErrors = [];
  window.addEventListener('error', (event) => window.quillonErrors.push(event.message));
  window.addEventListener('unhandledrejection', (event) => window.quillonErrors.push(String(event.reason)));
}

// The page's own files, served on 127.0.0.1 as a visitor's server would; the
// held frames and the count of input go in first thing in the page's head, in
// every engine alike.
const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };
const server = createServer((request, response) => {
  const name = request.url === '/' ? 'index.html' : request.url.slice(1);
  try {
    let body = readFileSync(join(process.env.QUILLON_PAGE, name));
    if (name === 'index.html') body = body.toString().replace('<head>', `<head><script>(${holdFrames})();(${countInput})();</script>`);
    response.writeHead(200, { 'Content-Type': TYPES[name.slice(name.lastIndexOf('.'))] ?? 'text/plain' });
    response.end(body);
  } catch {
    response.writeHead(404).end();
  }
});

let browser;
let address;
before(async () => {
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  address = `http://127.0.0.1:${server.address().port}/`;
  browser = await ENGINES[ENGINE]();
});
after(async () => {
  server.close();
  await browser?.quit();
});

const box = (page, selector) => page.evaluate((s) => document.querySelector(s).getBoundingClientRect().toJSON(), selector);
const text = (page, selector) => page.evaluate((s) => document.querySelector(s).textContent, selector);

// A page whose frames are held.
async function openPage(viewport) {
  const page = await browser.open(address, viewport);
  await until(page, () => window.quillonWaiting?.() > 0, null, 60000);
  return page;
}
async function closePage(page) {
  assert.deepEqual(await page.evaluate(() => window.quillonErrors), [], 'the page threw');
  await page.close();
}

// One frame; when read, its picture, RGB, bottom row first.
async function step(page, read) {
  const { ran, rgb } = await page.evaluate((readIt) => window.quillonStep(readIt), read);
  assert.equal(ran, 1, 'no frame was waiting');
  return read ? Buffer.from(rgb, 'base64') : undefined;
}

function differingShare(picture, reference) {
  let count = 0;
  for (let i = 0; i < picture.length; i += 3) {
    const distance = Math.max(...[0, 1, 2].map((c) => Math.abs(picture[i + c] - reference[i + c])));
    count += distance > COLOUR_DISTANCE;
  }
  return count / PIXELS;
}

// Row y of a screenshot of the page, RGBA.
async function screenRow(page, y) {
  const png = (await page.screenshot()).toString('base64');
  return page.evaluate(async ([data, row]) => {
    const image = await createImageBitmap(new Blob([Uint8Array.from(atob(data), (c) => c.charCodeAt(0))]));
    const context = new OffscreenCanvas(image.width, image.height).getContext('2d');
    context.drawImage(image, 0, 0);
    return Array.from(context.getImageData(0, row, image.width, 1).data);
  }, [png, y]);
}

// The scripted visitor's lines: frames, input, and its key, button or movement.
const session = readFileSync(new URL('session.txt', import.meta.url), 'utf8').split('\n')
  .filter((line) => line.trim() !== '' && !line.startsWith('#'))
  .map((line) => line.trim().split(/ +/));

// A visitor at the keyboard and mouse: the pointer starts at the window's
// centre, where the first click captures it. Keys go by their DOM names.
async function deskInput(page) {
  const KEY_NAMES = { Up: 'ArrowUp', Down: 'ArrowDown', Left: 'ArrowLeft', Right: 'ArrowRight', Escape: 'Escape' };
  const canvasBox = await box(page, '#canvas');
  const pointer = { x: canvasBox.x + WIDTH / 2, y: canvasBox.y + HEIGHT / 2 };
  await page.mouseMove(pointer.x, pointer.y);
  return {
    key: (name, down) => page.key(KEY_NAMES[name] ?? name.toLowerCase(), down),
    button: page.mouseButton,
    move: async (dx, dy) => {
      assert.ok(await page.evaluate(() => document.pointerLockElement === canvas), 'the pointer is not captured');
      if (ENGINE !== 'firefox') return page.mouseMove((pointer.x += dx), (pointer.y += dy));
      // Firefox keeps a captured pointer in the middle of the viewport and
      // measures the automation's pointer from there.
      const [width, height] = await page.evaluate(() => [innerWidth, innerHeight]);
      return page.mouseMove(Math.floor(width / 2) + dx, Math.floor(height / 2) + dy);
    },
  };
}

// A visitor on a touch screen (Chromium's touch events over the DevTools
// protocol): the page's touch controls, and a finger dragged on the picture by
// the same window pixels, scaled to the picture on screen. Touch has no Escape.
const TOUCH_CONTROLS = { W: 0, Up: 0, S: 1, Down: 1, A: 2, Left: 2, D: 3, Right: 3, left: 4, right: 5, C: 6 };
async function touchInput(page) {
  const cdp = await page.page.createCDPSession();
  const touch = (type, x, y) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: x === undefined ? [] : [{ x, y }] });
  const centre = async (selector) => {
    const { x, y, width, height } = await box(page, selector);
    return [x + width / 2, y + height / 2, width / WIDTH];
  };
  const control = async (name, down) => {
    const [x, y] = await centre(`#touch [data-control="${TOUCH_CONTROLS[name]}"]`);
    await (down ? touch('touchStart', x, y) : touch('touchEnd'));
  };
  return {
    can: (name) => name in TOUCH_CONTROLS,
    key: control,
    button: control,
    // The finger stays on the picture for the first frame after it moved.
    move: async (dx, dy) => {
      const [x, y, scale] = await centre('#canvas');
      await touch('touchStart', x, y);
      await touch('touchMove', x + dx * scale, y + dy * scale);
    },
    lift: () => touch('touchEnd'),
  };
}

// Runs one line of the session and returns the picture of its last frame.
async function runLine(page, input, [count, kind, ...what]) {
  const frames = Number(count);
  const act = { hold: input.key, tap: input.key, press: input.button }[kind];
  if (kind === 'move') await input.move(Number(what[0]), Number(what[1]));
  if (act) await act(what[0], true);
  let picture;
  for (let n = 1; n <= frames; ++n) {
    if (kind === 'tap' && n === 2) await act(what[0], false);
    if (kind === 'move' && n === 2) await input.lift?.();
    picture = await step(page, n === frames);
  }
  if (act && (kind !== 'tap' || frames === 1)) await act(what[0], false);
  return picture;
}

// The session's pictures against the desktop's, every line the input can give.
async function sameAsDesktop(page, input) {
  const desktop = readFileSync(process.env.QUILLON_DESKTOP_FRAMES);
  assert.equal(desktop.length, session.length * PIXELS * 3, 'the desktop has a picture for each line');
  for (const [n, line] of session.entries()) {
    if (input.can && !['none', 'move'].includes(line[1]) && !input.can(line[2])) continue;
    const picture = await runLine(page, input, line);
    const share = differingShare(picture, desktop.subarray(n * PIXELS * 3, (n + 1) * PIXELS * 3));
    console.log(`${line.join(' ')}: ${(100 * share).toFixed(3)}% of pixels differ from the desktop's`);
    assert.ok(share < DIFFERING_SHARE, `after "${line.join(' ')}"`);
  }
}

test('under the same input, every picture is the desktop\'s, and Escape ends the demo', async () => {
  const page = await openPage();
  assert.deepEqual(await page.evaluate(() => [canvas.width, canvas.height]), [WIDTH, HEIGHT]);
  assert.equal(await page.evaluate(() => getComputedStyle(document.getElementById('touch')).display), 'none',
    'touch controls without touch');
  // The demo's keys are kept from the browser (arrows do not scroll the page),
  // but not with Ctrl, nor other keys. Keys held as the page loses the focus
  // are let go, as the browser sends no key-up then: the first picture is the
  // desktop's, with no key held.
  const kept = await page.evaluate(() => {
    const press = (init) => !document.dispatchEvent(new KeyboardEvent('keydown', { cancelable: true, ...init }));
    const answers = [press({ key: 'ArrowDown' }), press({ key: 'w', ctrlKey: true }), press({ key: 'Tab' })];
    window.dispatchEvent(new FocusEvent('blur'));
    return answers;
  });
  assert.deepEqual(kept, [true, false, false], 'which keys the page keeps from the browser');
  await sameAsDesktop(page, await deskInput(page));
  // The frame in which Escape is held is the last: it asks for no other.
  assert.equal(await text(page, '#status'), 'The demo has ended. Reload the page to start it again.');
  assert.equal(await page.evaluate(() => window.quillonWaiting()), 0, 'a frame after the end');
  await closePage(page);
});

test('full screen fits the picture at 4:3, and Escape there only leaves it', async () => {
  const page = await openPage();
  await page.click('#screen');
  await until(page, () => document.fullscreenElement === canvas);
  await step(page, false);
  // The middle row of the screen: the picture, and the page's bands beside it.
  // WebKitGTK's screen shows full screen a little after the page has it, so
  // the row is looked at again until the picture fits or ten seconds pass.
  const [width, height] = await page.evaluate(() => [innerWidth, innerHeight]);
  let pictureWidth;
  const fits = async () => {
    const row = await screenRow(page, Math.floor(height / 2));
    const band = (x) => row[4 * x] === 17 && row[4 * x + 1] === 17 && row[4 * x + 2] === 17;
    pictureWidth = [...Array(width).keys()].filter((x) => !band(x)).length;
    return Math.abs(pictureWidth - height * 4 / 3) <= 2 && band(0) && band(width - 1);
  };
  for (const end = Date.now() + 10000; !(await fits()); await sleep(POLL_MS)) {
    assert.ok(Date.now() < end, `the picture is stretched: ${pictureWidth} px wide`);
  }
  console.log(`full screen: ${width} x ${height}, the picture ${pictureWidth} px wide`);
  // Escape pressed in full screen, and held as full screen is left before the
  // next frame, does not end the demo; pressed again afterwards, it does.
  await page.key('Escape', true);
  await page.evaluate(() => document.fullscreenElement && document.exitFullscreen());
  await until(page, () => document.fullscreenElement === null);
  await step(page, false);
  await page.key('Escape', false);
  await step(page, false);
  assert.equal(await page.evaluate(() => window.quillonWaiting()), 1, 'Escape in full screen ended the demo');
  await page.key('Escape', true);
  await step(page, false);
  assert.equal(await page.evaluate(() => window.quillonWaiting()), 0, 'Escape after full screen does not end the demo');
  await closePage(page);
});

test('when the browser takes the WebGL context away, the demo stops and says so', async () => {
  const page = await openPage();
  await step(page, false);
  await page.evaluate(() => Module.ctx.getExtension('WEBGL_lose_context').loseContext());
  await until(page, () => document.getElementById('status').classList.contains('problem'));
  assert.match(await text(page, '#status'), /took the graphics \(WebGL\) context away.*Reload the page/);
  // A frame asked for before the loss may still be held: it runs, and asks for no other.
  if (await page.evaluate(() => window.quillonWaiting()) > 0) await step(page, false);
  assert.equal(await page.evaluate(() => window.quillonWaiting()), 0, 'a frame after the context was lost');
  await closePage(page);
});

test('the caption shows a rate every two seconds and not sooner', async () => {
  const page = await openPage();
  await page.evaluate(() => window.quillonRelease());
  await until(page, () => window.quillonTitles.filter(([, t]) => t.startsWith('Vantrell')).length >= 3);
  const rates = (await page.evaluate(() => window.quillonTitles)).filter(([, t]) => t.startsWith(CAPTION_PREFIX));
  for (let n = 1; n < rates.length; ++n) {
    const gap = rates[n][0] - rates[n - 1][0];
    console.log(`${rates[n][1]} ${gap.toFixed(0)} ms after the last`);
    assert.ok(gap > 1950 && gap < 5000, `a rate ${gap} ms after the last`);
  }
  assert.ok(Number(rates[0][1].slice(CAPTION_PREFIX.length)) > 0);
  assert.equal(await text(page, '#caption'), await page.evaluate(() => document.title), 'the caption beside the canvas');
  await closePage(page);
});

test('opened from disk, the page says how to serve it', async () => {
  const page = await browser.open(`file://${join(process.env.QUILLON_PAGE, 'index.html')}`);
  assert.match(await text(page, '#status'), /must be served.*python3 -m http\.server --bind 127\.0\.0\.1 8000/);
  await page.close();
});

// Touch events and switching WebGL off are Chromium's alone to give.
if (ENGINE === 'chromium') {
  test('on a phone the picture fits the width, and touch gives the desktop\'s pictures', async () => {
    const page = await openPage({ width: 412, height: 860, hasTouch: true, isMobile: true });
    const [scrollWidth, canvasBox, touchBox] = await page.evaluate(() => [document.documentElement.scrollWidth,
      canvas.getBoundingClientRect().toJSON(), document.getElementById('touch').getBoundingClientRect().toJSON()]);
    console.log(`phone: page ${scrollWidth} px wide, picture ${canvasBox.width} x ${canvasBox.height}`);
    assert.ok(scrollWidth <= 412 && canvasBox.x >= 0 && canvasBox.right <= 412, 'the page scrolls sideways');
    assert.ok(Math.abs(canvasBox.width * 3 - canvasBox.height * 4) < 4, 'the picture is not 4:3');
    assert.ok(touchBox.height > 0 && touchBox.top >= canvasBox.bottom, 'the touch controls are hidden or cover the picture');
    await sameAsDesktop(page, await touchInput(page));
    await closePage(page);
  });

  test('without WebGL the page gives the reason', async () => {
    // A browser of its own, closed whatever the checks find.
    const noWebGl = await ENGINES.chromium(['--disable-3d-apis']);
    try {
      const page = await noWebGl.open(address);
      await until(page, () => document.getElementById('status').classList.contains('problem'));
      const reason = 'quillon: cannot open a 640x480 OpenGL window: the window has no OpenGL context';
      assert.equal(await text(page, '#status'), reason);
      assert.ok((await page.evaluate(() => window.quillonConsole)).includes(reason), 'the reason is not on the console');
    } finally {
      await noWebGl.quit();
    }
  });
}
