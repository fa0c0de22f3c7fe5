// The main thread's time per frame of pages in one browser engine, side by
// side: the mean time of their animation-frame callbacks over SECONDS (after
// two seconds to settle), page after page, round after round:
//   node pageBench.mjs ENGINE ROUNDS SECONDS NAME=PAGE...
// A PAGE is a folder holding an index.html, or ?QUERY for the bare WebGL page
// (bare.html) with that query. Each is served on 127.0.0.1 with a timer of its
// callbacks put into its head. Engines as the browser test starts them
// (tests/web/engines.mjs, QUILLON_BROWSER and QUILLON_DRIVER). Prints a
// Markdown row per page: the lowest mean of its rounds, and the highest.
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { join } from 'node:path';
import { setTimeout as sleep } from 'node:timers/promises';
import { ENGINES, until } from '../../tests/web/engines.mjs';

const [engine, rounds, seconds, ...named] = process.argv.slice(2);
if (!ENGINES[engine] || !(rounds >= 1) || !(seconds >= 1) || named.some((page) => !page.includes('='))) {
  console.error('usage: node pageBench.mjs chromium|firefox|webkit ROUNDS SECONDS NAME=PAGE...');
  process.exit(2);
}
const pages = Object.fromEntries(named.map((page) => [page.slice(0, page.indexOf('=')), page.slice(page.indexOf('=') + 1)]));

// Put first thing in each page: the time each animation-frame callback takes.
function timeFrames() {
  const request = window.requestAnimationFrame.bind(window);
  const time = (window.quillonBench = { frames: 0, busy: 0 });
  window.requestAnimationFrame = (callback) => request((now) => {
    const start = performance.now();
    callback(now);
    time.busy += performance.now() - start;
    time.frames += 1;
  });
}

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };
const server = createServer((request, response) => {
  const [, name, file] = new URL(request.url, 'http://host').pathname.split('/');
  const path = name === 'bare' ? new URL('bare.html', import.meta.url).pathname : join(pages[name] ?? '/nonexistent', file || 'index.html');
  try {
    let body = readFileSync(path);
    if (path.endsWith('.html')) body = body.toString().replace('<head>', `<head><script>(${timeFrames})();</script>`);
    response.writeHead(200, { 'Content-Type': TYPES[path.slice(path.lastIndexOf('.'))] ?? 'text/plain' });
    response.end(body);
  } catch {
    response.writeHead(404).end();
  }
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const address = `http://127.0.0.1:${server.address().port}`;
const urls = Object.fromEntries(Object.entries(pages).map(([name, page]) =>
  [name, page.startsWith('?') ? `${address}/bare/${page}` : `${address}/${name}/`]));

const browser = await ENGINES[engine]();
const means = Object.fromEntries(Object.keys(urls).map((name) => [name, []]));
try {
  for (let round = 0; round < rounds; ++round) {
    for (const [name, url] of Object.entries(urls)) {
      const page = await browser.open(url);
      await until(page, () => window.quillonBench?.frames > 0, null, 60000);
      await sleep(2000);
      const start = await page.evaluate(() => ({ ...window.quillonBench }));
      await sleep(seconds * 1000);
      const end = await page.evaluate(() => ({ ...window.quillonBench }));
      means[name].push((end.busy - start.busy) / (end.frames - start.frames));
      console.error(`${engine} round ${round + 1} ${name}: ${means[name].at(-1).toFixed(3)} ms over ${end.frames - start.frames} frames`);
      await page.close();
    }
  }
} finally {
  await browser.quit();
  server.close();
}
for (const [name, times] of Object.entries(means)) {
  console.log(`| ${engine} | ${name} | ${Math.min(...times).toFixed(2)} | ${Math.max(...times).toFixed(2)} |`);
}
