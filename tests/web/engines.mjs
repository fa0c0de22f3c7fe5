// Debian's Chromium, Firefox ESR and WebKitGTK, each started and driven the
// one way the browser test and the page benchmark use them:
//   const browser = await ENGINES[engine](extraArguments);
//   const page = await browser.open(url, viewport);
// A page evaluates a function in the page, holds and lets go keys (DOM names)
// and mouse buttons, moves the pointer to a point of the page, clicks an
// element, and takes a screenshot. The drivers come from QUILLON_DRIVER's
// node_modules, the browsers from QUILLON_BROWSER (and QUILLON_WEBKIT_DRIVER).
import { execFileSync, spawn } from 'node:child_process';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { setTimeout as sleep } from 'node:timers/promises';
import assert from 'node:assert/strict';

const BROWSER = process.env.QUILLON_BROWSER;
const driverModule = createRequire(join(process.env.QUILLON_DRIVER, 'package.json'));

// The screen a browser opens on, which full screen then fills.
export const DESK = { width: 1100, height: 600 };
// Waits ask on a timer: the page's animation frames are the test's to hold.
const POLL_MS = 50;

// Waits until fn(arg) in the page is true.
export async function until(page, fn, arg, timeout = 30000) {
  for (const end = Date.now() + timeout; !(await page.evaluate(fn, arg)); await sleep(POLL_MS)) {
    assert.ok(Date.now() < end, `waited ${timeout} ms for ${fn}`);
  }
}

// What a served page counts of its input, for a driver that cannot wait for
// its input to arrive: key and button events, the pointer's last place in
// the page and its movement. It goes into the page's head.
export function countInput() {
  const input = (window.quillonInput = { events: 0, x: 0, y: 0, dx: 0, dy: 0 });
  const count = (event) => {
    input.events += !event.repeat;
    if (event.clientX !== undefined) Object.assign(input, { x: event.clientX, y: event.clientY });
  };
  for (const type of ['keydown', 'keyup', 'mousedown', 'mouseup']) window.addEventListener(type, count, true);
  window.addEventListener('mousemove', (event) => {
    Object.assign(input, { x: event.clientX, y: event.clientY });
    input.dx += event.movementX;
    input.dy += event.movementY;
  }, true);
}

// Chromium and Firefox through Puppeteer: their pages, as the test uses them.
async function puppeteer(options) {
  const browser = await driverModule('puppeteer-core').launch({ executablePath: BROWSER, defaultViewport: null, ...options });
  return {
    open: async (url, viewport) => {
      const page = await browser.newPage();
      if (viewport) await page.setViewport(viewport);
      await page.goto(url);
      return {
        page,
        evaluate: (fn, arg) => page.evaluate(fn, arg),
        key: (name, down) => page.keyboard[down ? 'down' : 'up'](name),
        mouseMove: (x, y) => page.mouse.move(x, y),
        mouseButton: (name, down) => page.mouse[down ? 'down' : 'up']({ button: name }),
        click: (selector) => page.click(selector),
        screenshot: async () => Buffer.from(await page.screenshot()),
        close: () => page.close(),
      };
    },
    quit: () => browser.close(),
  };
}

// A port on the loopback that nothing listens on.
async function freePort() {
  const probe = createServer();
  await new Promise((resolve) => probe.listen(0, '127.0.0.1', resolve));
  const { port } = probe.address();
  await new Promise((resolve) => probe.close(resolve));
  return port;
}

// WebKitGTK's page, with its input from the test's X server as a visitor's
// would come: WebKitWebDriver 2.52 (Debian 13) refuses every input action as
// an unsupported operation, and 2.50 (Debian 12) drops the pointer's buttons
// under pointer lock. xdotool gives the input, and each input is waited for
// in the page (countInput). Points are the page's; the pointer moves by
// the difference once it is captured.
function webkitPage(driver) {
  const KEYSYMS = { ArrowUp: 'Up', ArrowDown: 'Down', ArrowLeft: 'Left', ArrowRight: 'Right' };
  const xdotool = (...words) => execFileSync('xdotool', words.map(String));
  const pointer = { x: 0, y: 0 };
  const corner = { x: 0, y: 0 }; // the page's top left corner on the screen
  const page = {
    evaluate: (fn, arg) => driver.executeScript(`return (${fn})(arguments[0]);`, arg),
    delivered: async (input, events = 1, timeout = 30000) => {
      const before = await page.evaluate(() => window.quillonInput.events);
      input();
      await until(page, (count) => window.quillonInput.events >= count, before + events, timeout);
    },
    // Epiphany 48 (Debian 13) gives a page it has just opened neither the
    // pointer nor the keys until Escape has been pressed once. A click beside
    // the picture then gives the page the keyboard, and shows where it lies on the screen.
    focus: async () => {
      await page.delivered(() => xdotool('key', 'Escape'));
      const [x, y] = [DESK.width * 0.75, DESK.height / 2];
      await page.delivered(() => xdotool('mousemove', x, y, 'click', 1), 2);
      const [px, py] = await page.evaluate(() => [window.quillonInput.x, window.quillonInput.y]);
      Object.assign(corner, { x: x - px, y: y - py });
    },
    // Escape may be the browser's own, to leave full screen: the page is then not told.
    key: (name, down) => page.delivered(() => xdotool(down ? 'keydown' : 'keyup', KEYSYMS[name] ?? name), 1,
      name === 'Escape' ? 1000 : undefined).catch((error) => { if (name !== 'Escape') throw error; }),
    mouseMove: async (x, y) => {
      const [dx, dy] = [Math.round(x - pointer.x), Math.round(y - pointer.y)];
      Object.assign(pointer, { x, y });
      if (!(await page.evaluate(() => document.pointerLockElement !== null))) {
        return xdotool('mousemove', Math.round(corner.x + x), Math.round(corner.y + y));
      }
      const [fromX, fromY] = await page.evaluate(() => [window.quillonInput.dx, window.quillonInput.dy]);
      xdotool('mousemove_relative', '--', dx, dy);
      await until(page, ([toX, toY]) => window.quillonInput.dx === toX && window.quillonInput.dy === toY,
        [fromX + dx, fromY + dy]);
    },
    mouseButton: (name, down) => page.delivered(() => xdotool(down ? 'mousedown' : 'mouseup', name === 'left' ? 1 : 3)),
    click: async (selector) => {
      const { x, y, width, height } = await page.evaluate((s) => document.querySelector(s).getBoundingClientRect().toJSON(), selector);
      const at = [Math.round(corner.x + x + width / 2), Math.round(corner.y + y + height / 2)];
      await page.delivered(() => xdotool('mousemove', ...at, 'click', 1), 2);
    },
    screenshot: async () => Buffer.from(await driver.takeScreenshot(), 'base64'),
    close: () => driver.get('about:blank'),
  };
  return page;
}

export const ENGINES = {
  // Chromium over the DevTools protocol, headless, drawing with SwiftShader,
  // on a screen the size of its window, which full screen then fills.
  chromium: (extra = []) => puppeteer({
    browser: 'chrome', headless: true,
    args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-sandbox',
      `--window-size=${DESK.width},${DESK.height}`, `--screen-info={${DESK.width}x${DESK.height}}`,
      '--disable-background-networking', '--disable-component-update', '--no-first-run', '--disable-sync', ...extra],
  }),
  // Firefox ESR over WebDriver BiDi. Headless it has no WebGL, so it opens a
  // window on the test's own X server, where full screen is that window.
  firefox: () => puppeteer({
    browser: 'firefox', protocol: 'webDriverBiDi', headless: false, args: [`--width=${DESK.width}`, `--height=${DESK.height}`],
  }),
  // WebKitGTK over classic WebDriver: WebKitWebDriver starts Epiphany in
  // automation mode, on the test's own X server. Until the driver listens, and
  // when Epiphany aborts while it opens its first window, as it now and then
  // does, asking for a session fails: it is asked for up to five times, from a
  // driver on a port found free again whenever the last one has ended.
  webkit: async () => {
    const { Builder } = driverModule('selenium-webdriver');
    let service;
    let driver;
    for (let tries = 1; !driver; ++tries) {
      if (service?.exitCode !== null) {
        const port = await freePort();
        service = spawn(process.env.QUILLON_WEBKIT_DRIVER, [`--port=${port}`], { stdio: 'inherit' });
        service.port = port;
      }
      try {
        driver = await new Builder().usingServer(`http://127.0.0.1:${service.port}`).withCapabilities({
          browserName: 'Epiphany', 'webkitgtk:browserOptions': { binary: BROWSER, args: ['--automation-mode'] },
        }).build();
      } catch (error) {
        if (tries === 5) {
          service.kill();
          throw error;
        }
        await sleep(1000);
      }
    }
    const page = webkitPage(driver);
    return {
      open: async (url) => {
        await driver.get(url);
        if (await page.evaluate(() => window.quillonInput !== undefined)) await page.focus();
        return page;
      },
      // Epiphany has at times closed its window by the end; that fails no check.
      quit: () => driver.quit().catch((error) => console.log(`quitting: ${error.name}`)).finally(() => service.kill()),
    };
  },
};
