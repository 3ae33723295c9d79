// SPDX-License-Identifier: GPL-3.0-or-later
// The browser's figures, each beside the floor page's (a bare SDL page built
// as the game is, drawing one frame), in headless Chromium:
//   node web.mjs SITE FLOOR TESTS_WEB
// SITE and FLOOR are the built site and floor page; TESTS_WEB is the browser
// tests' folder, whose npm packages (puppeteer-core) and play.mjs this uses.
// Prints "figure web.NAME VALUE UNIT" lines, then the figures in words; takes
// about three minutes.
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import {createRequire} from 'node:module';
import {pathToFileURL} from 'node:url';

const [site, floor, testsWeb] = process.argv.slice(2).map(folder => path.resolve(folder));
const puppeteer =
  (await import(pathToFileURL(createRequire(path.join(testsWeb, 'package.json')).resolve('puppeteer-core'))))
    .default;
const {menu, at, menuAtRest, playTimeAttack, playBasmi, field, giveUp} =
  await import(pathToFileURL(path.join(testsWeb, 'play.mjs')));
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));
const median = values => [...values].sort((a, b) => a - b)[values.length >> 1];
const figures = {};
const figure = (name, value, unit) => {
  figures[name] = value;
  console.log(`figure web.${name} ${Number.isFinite(value) ? +value.toFixed(3) : '?'} ${unit}`);
};

// Total download: every file gzipped at -9, as a web server would send it.
const gzipped = folder => fs.readdirSync(folder).filter(name => fs.statSync(path.join(folder, name)).isFile())
  .reduce((sum, name) => sum + zlib.gzipSync(fs.readFileSync(path.join(folder, name)), {level: 9}).length, 0);
figure('download', gzipped(site) / 1e6, 'MB');
figure('floor_download', gzipped(floor) / 1e6, 'MB');

// The site at /, the floor at /floor/. A page served with ?record has the
// game record its session in /tmp/bench.script, where the timer's ticks are
// read from (index.html otherwise passes no arguments).
const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm'};
const server = http.createServer((request, response) => {
  const url = new URL(request.url, 'http://x');
  const [root, name] = url.pathname.startsWith('/floor/') ? [floor, url.pathname.slice(7)]
                                                          : [site, url.pathname.slice(1)];
  const file = path.join(root, path.normalize(name || 'index.html'));
  fs.readFile(file, (error, bytes) => {
    if (error) return response.writeHead(404).end();
    if (url.searchParams.has('record') && name === '')
      bytes = String(bytes).replace("replay ? ['--replay', replayFile] : []", "['--record', '/tmp/bench.script']");
    response.writeHead(200, {'Content-Type': types[path.extname(file)] || 'application/octet-stream'});
    response.end(bytes);
  });
});
await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
const origin = `http://127.0.0.1:${server.address().port}`;

const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--autoplay-policy=no-user-gesture-required', '--mute-audio'],
});

// A page in a context of its own, nothing cached: every run downloads and
// compiles everything, as a first visit does. Each frame the page presents
// (SDL puts the drawn screen on the canvas with putImageData, the game's and
// the floor's alike) is counted. The first one's time is when the browser
// next paints (its animation frame after the putImageData): a frame put on
// the canvas is seen only once the page's task ends. The longest task of
// the page's main thread is kept too: the longest the page did not answer.
async function open(url) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setCacheEnabled(false);
  await page.setViewport({width: 1024, height: 768, deviceScaleFactor: 1});
  await page.evaluateOnNewDocument(() => {
    window.benchFrames = 0;
    window.benchLongest = 0;
    new PerformanceObserver(list => {
      for (const task of list.getEntries()) window.benchLongest = Math.max(window.benchLongest, task.duration);
    }).observe({type: 'longtask', buffered: true});
    const put = CanvasRenderingContext2D.prototype.putImageData;
    CanvasRenderingContext2D.prototype.putImageData = function (...args) {
      if (!window.benchFrames++) requestAnimationFrame(() => (window.benchFirstFrame = performance.now()));
      return put.apply(this, args);
    };
  });
  await page.goto(url);
  return {context, page};
}

// Navigation to the first frame: the game's is its menu's (its first window
// is the menu, and nothing is drawn before a window shows). Game and floor
// by turns. Then two seconds more, the game's menu sliding in and its music
// starting, for the longest task.
const firstFrames = {game: [], floor: []}, longest = {game: [], floor: []};
for (let run = 0; run < 5; ++run)
  for (const [which, url] of [['game', `${origin}/`], ['floor', `${origin}/floor/`]]) {
    const {context, page} = await open(url);
    await page.waitForFunction(() => window.benchFirstFrame !== undefined, {timeout: 60000, polling: 20});
    firstFrames[which].push(await page.evaluate(() => window.benchFirstFrame));
    await sleep(2000);
    longest[which].push(await page.evaluate(() => window.benchLongest));
    await context.close();
  }
figure('first_menu_frame', median(firstFrames.game), 'ms');
figure('floor_first_frame', median(firstFrames.floor), 'ms');
figure('longest_task', median(longest.game), 'ms');
figure('floor_longest_task', median(longest.floor), 'ms');

// The page's main thread: its tasks' time over a stretch, from Chrome's own
// count, and the frames it presented meanwhile.
async function mainThread(page, seconds, during = async () => sleep(seconds * 1000)) {
  const client = await page.createCDPSession();
  await client.send('Performance.enable');
  const busy = async () => (await client.send('Performance.getMetrics')).metrics
    .find(metric => metric.name === 'TaskDuration').value;
  const [task, frames, start] = [await busy(), await page.evaluate(() => window.benchFrames), Date.now()];
  await during();
  const elapsed = (Date.now() - start) / 1000;
  return {ms: (await busy() - task) * 1000, frames: await page.evaluate(() => window.benchFrames) - frames,
          seconds: elapsed};
}

{
  const {context, page} = await open(`${origin}/floor/`);
  await page.waitForFunction(() => window.benchFirstFrame !== undefined, {timeout: 60000});
  const idle = await mainThread(page, 10);
  figure('floor_main_thread', idle.ms / idle.seconds / 10, '%');
  await context.close();
}

// A busy Time Attack round: a shot every 250 ms across the field, the
// magazine reloaded after every six. Then a Basmi round left to itself for a
// minute, whose flight timer's ticks the recording tells: every tick of its
// 50 ms grid runs but those the loop dropped, which it records as stalls.
const {context, page} = await open(`${origin}/?record`);
if (!(await menuAtRest(page))) throw new Error('the menu never came to rest');
await page.mouse.click(...at(...playTimeAttack));
await sleep(1000);
const reload = [591, 491];
const round = await mainThread(page, 12, async () => {
  for (let shot = 0, next = Date.now(); shot < 48; ++shot) {
    await page.mouse.click(field.x + 40 + (shot * 97) % (field.w - 80), field.y + 30 + (shot * 53) % (field.h - 60));
    if (shot % 6 === 5) await page.mouse.click(...reload);
    next += 250;
    await sleep(next - Date.now());
  }
});
figure('busy_frames', round.frames / round.seconds, '/s');
figure('busy_main_thread', round.ms / round.seconds / 10, '%');
figure('busy_main_thread_per_frame', round.ms / round.frames, 'ms');

await page.mouse.click(...giveUp);
if (!(await menuAtRest(page))) throw new Error('the menu never came back to rest');
const recorded = () => page.evaluate(() => new TextDecoder().decode(Module.FS.readFile('/tmp/bench.script')));
const from = (await recorded()).split('\n').length;
await page.mouse.click(...at(...playBasmi));
await sleep(62000);
let time = 0, start = null, ticks = 0;
const due = (a, b) => Math.floor(b / 50) - Math.floor(a / 50);  // ticks on the grid in (a, b]
for (const [index, line] of (await recorded()).split('\n').entries()) {
  const [word, value] = line.split(' ');
  if (index >= from - 1 && start === null && /^click/.test(line)) start = time;
  if (word !== 'wait' && word !== 'stall') continue;
  const end = Math.min(time + Number(value), start === null ? 0 : start + 60000);
  if (start !== null && end > Math.max(time, start))
    ticks += word === 'stall' ? Math.min(1, due(time, end)) : due(Math.max(time, start), end);
  time += Number(value);
}
// The recording's last stretch, with no input or stall in it, is not written
// yet: every tick due in it ran.
if (start !== null && time < start + 60000) ticks += due(Math.max(time, start), start + 60000);
figure('timer1_ticks_60s', start === null ? NaN : ticks, 'ticks');
const front = await page.title();
await context.close();
await browser.close();
server.close();

const f = figures, ratio = (a, b) => (b > 0 ? (a / b).toFixed(2) : '-');
const line = (what, game, floor, target) =>
  console.log(`${what.padEnd(50)} ${String(game).padStart(8)} ${String(floor).padStart(8)} ` +
              `${(typeof floor === 'number' ? ratio(game, floor) : '-').padStart(6)}  ${target}`);
console.log(`${'the browser'.padEnd(50)} ${'game'.padStart(8)} ${'floor'.padStart(8)} ${'ratio'.padStart(6)}  target`);
line('download, every file gzip -9, MB', +f.download.toFixed(2), +f.floor_download.toFixed(2), '<= 2.5 MB');
line('navigation -> first menu frame, ms (median of 5)', Math.round(f.first_menu_frame),
     Math.round(f.floor_first_frame), 'ratio <= 2');
line('longest main-thread task, load + 2 s, ms', Math.round(f.longest_task),
     Math.round(f.floor_longest_task), '');
line('busy round (a shot every 250 ms), main thread %', +f.busy_main_thread.toFixed(1),
     +f.floor_main_thread.toFixed(1), '(floor: at rest)');
line('  main-thread ms a frame presented', +f.busy_main_thread_per_frame.toFixed(2), '-', '');
line('  frames presented a second', +f.busy_frames.toFixed(1), '-', '');
line('Timer1 (50 ms) ticks in 60 s of a Basmi round', f.timer1_ticks_60s, '-', '1200');
console.log(`  (the window in front after the minute: "${front}")`);
