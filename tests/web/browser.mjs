// SPDX-License-Identifier: GPL-3.0-or-later
// The site in headless Chromium (puppeteer-core), served from this machine:
//   browser.mjs SITE ARTEFACTS replay FILE STATUS [TEXT]
//     plays FILE (a script or a recording) in the page with ?replay=, and
//     expects the page's exit STATUS and, if given, TEXT in its console;
//   browser.mjs SITE ARTEFACTS play
//     plays a round with the mouse as a person would.
// Screenshots are left in ARTEFACTS. --withhold=NAME, anywhere, has the site
// answer 404 for its file NAME.
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const withhold = '--withhold=';
const args = process.argv.slice(2), withheld = args.filter(arg => arg.startsWith(withhold));
const [site, artefacts, mode, ...rest] = args.filter(arg => !withheld.includes(arg));
fs.mkdirSync(artefacts, {recursive: true});
const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm'};

// The site, and the file to replay at /replay. The game's gzipped code goes
// as it is when a round is played; when a recording is replayed it goes
// marked as gzip-encoded, as some hosts send .gz files, and the browser
// inflates it before the page sees it. Each request is counted.
const requests = new Map();
function serve(replayFile) {
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://x').pathname;
    requests.set(url, (requests.get(url) || 0) + 1);
    const file = url === '/replay' ? replayFile
                                   : path.join(site, url === '/' ? 'index.html' : path.normalize(url));
    fs.readFile(file, (error, bytes) => {
      if (error || withheld.includes(withhold + path.basename(file))) {
        response.writeHead(404).end();
        return;
      }
      const headers = {'Content-Type': types[path.extname(file)] || 'application/octet-stream'};
      if (mode === 'replay' && file.endsWith('.gz')) headers['Content-Encoding'] = 'gzip';
      response.writeHead(200, headers);
      response.end(bytes);
    });
  });
  return new Promise(resolve => server.listen(0, '127.0.0.1', () => resolve(server)));
}

async function open(server, query, scale = 1) {
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--autoplay-policy=no-user-gesture-required', '--mute-audio'],
  });
  const page = await browser.newPage();
  await page.setViewport({width: 1024, height: 768, deviceScaleFactor: scale});
  const console_ = [];
  page.on('console', message => console_.push(message.text()));
  page.on('pageerror', error => console_.push('page error: ' + error.message));
  await page.goto(`http://127.0.0.1:${server.address().port}/${query}`);
  return {browser, page, console_};
}

function fail(why, console_) {
  console.error(`FAIL: ${why}`);
  if (console_) console.error('the console said:\n  ' + console_.join('\n  '));
  process.exitCode = 1;
}

const ended = page => page.waitForFunction(() => window.brizzletExit !== undefined,
                                           {timeout: 120000, polling: 100})
                          .then(() => page.evaluate(() => window.brizzletExit));

async function replay(file, status, text) {
  const server = await serve(file);
  const {browser, page, console_} = await open(server, '?replay=replay');
  try {
    const got = await ended(page);
    await page.screenshot({path: path.join(artefacts, path.basename(file) + '.png')});
    if (got !== Number(status)) fail(`${file} ended with ${got}, not ${status}`, console_);
    else if (text && !console_.some(line => line.includes(text)))
      fail(`${file}: nothing in the console says "${text}"`, console_);
    // The page asks for the game's files early; they must come once only.
    for (const [url, count] of requests)
      if (url.startsWith('/brizzlet.') && count > 1) fail(`${url} was fetched ${count} times`);
  } finally {
    await browser.close();
    server.close();
  }
}

if (mode === 'replay') await replay(...rest);
else if (mode === 'play') await (await import('./play.mjs')).play(serve, open, ended, fail, artefacts);
else fail(`unknown mode ${mode}`);
