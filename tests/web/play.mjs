// SPDX-License-Identifier: GPL-3.0-or-later
// A round played in the page as a person plays it, looking at the canvas
// only: the menu comes to rest, Play Time Attack opens the game window, a
// shot at a mosquito raises the score, X gives the round up, About opens
// and closes, and EXIT ends the program. The page, 1024 x 768, is the
// game's screen; the menu window is found by its title bar, the buttons by
// their places in it. Then the menu and the round again in a page at 2x,
// where the canvas holds two device pixels a side for each of the game's.
export const menu = {x: 0, y: 0, scale: 1};
export const at = (dx, dy) => [menu.x + dx, menu.y + dy];
export const playTimeAttack = [211, 112], playBasmi = [210, 206], about = [154, 342], exit = [242, 342];
// The game window over it, centred on the screen: its field, score and X.
export const field = {x: 265, y: 265, w: 492, h: 190}, score = [632, 532, 100, 20], giveUp = [731, 243];
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

// The canvas's pixels of a box of the screen, as RGBA bytes, read in the page.
const grab = (page, ...box) => page.evaluate((x, y, w, h) => Array.from(
  document.getElementById('canvas').getContext('2d').getImageData(x, y, w, h).data),
  ...box.map(v => v * menu.scale));

// Until Play Time Attack is in place and the menu's bottom row looks the
// same in three looks 400 ms apart: while the panel slides, a click could
// hit a neighbour.
export async function menuAtRest(page) {
  let last = '', same = 0;
  for (const deadline = Date.now() + 60000; Date.now() < deadline; await sleep(400)) {
    // The active title bar's first pixel, 4 pixels inside the window's frame.
    const bar = await page.evaluate(() => {
      const canvas = document.getElementById('canvas');
      const {data} = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
      for (let i = 0; i < data.length; i += 4)
        if (data[i] === 0 && data[i + 1] === 0 && data[i + 2] === 128)
          return [(i / 4) % canvas.width, Math.floor(i / 4 / canvas.width)];
      return null;
    });
    if (!bar) continue;
    [menu.x, menu.y] = [bar[0] / menu.scale - 4, bar[1] / menu.scale - 4];
    const [r, g, b] = await grab(page, ...at(170, 104), 1, 1);
    const row = (await grab(page, ...at(14, 330), 280, 24)).join();
    same = row === last && r < 200 && g > 200 && b > 200 ? same + 1 : 0;
    last = row;
    if (same === 2) return true;
  }
  return false;
}

// The middle of the black pixels of one mosquito on the white field: the
// first black pixel found, and those within 20 pixels of it.
async function blackest(page) {
  const pixels = await grab(page, field.x, field.y, field.w, field.h);
  let first = null, sx = 0, sy = 0, n = 0;
  for (let i = 0; i < pixels.length; i += 4) {
    if (pixels[i] > 40 || pixels[i + 1] > 40 || pixels[i + 2] > 40) continue;
    const x = (i / 4) % field.w, y = Math.floor(i / 4 / field.w);
    first ??= {x, y};
    if (Math.abs(x - first.x) > 20 || Math.abs(y - first.y) > 20) continue;
    sx += x, sy += y, ++n;
  }
  return first && [field.x + Math.round(sx / n), field.y + Math.round(sy / n)];
}

export async function play(serve, open, ended, fail, artefacts) {
  const server = await serve(null);
  // Closed however the round ends: an open server keeps the test running.
  try {
    await round(server, open, ended, fail, artefacts);
    await twice(await open(server, '', 2), artefacts);
  } finally {
    server.close();
  }
}

async function round(server, open, ended, fail, artefacts) {
  const {browser, page, console_} = await open(server, '');
  const shot = name => page.screenshot({path: `${artefacts}/${name}.png`});
  try {
    if (!(await menuAtRest(page))) return fail('the menu never comes to rest', console_);
    const menuTitle = await page.title();
    await shot('menu');
    await page.mouse.click(...at(...playTimeAttack));
    await page.waitForFunction(title => document.title !== title, {timeout: 10000}, menuTitle);
    // The page is titled as the window in front.
    if (!(await page.title()).endsWith('Time Attack'))
      return fail(`the game window came up as "${await page.title()}"`, console_);
    await sleep(1500);
    await shot('round');
    // The sound has begun, the music's rendering in (the game says when a
    // player is silent).
    const audio = await page.evaluate(() => window.Module.SDL2?.audioContext?.state);
    if (audio !== 'running') return fail(`the round's sound is ${audio}`, console_);
    if (console_.some(line => line.includes('silent')))
      return fail('a player of the round is silent', console_);
    // The game's red cross-hair shows where the pointer is on the field, and
    // leaves the field as it was when it moves on (nothing moves before the
    // first hit).
    const corner = [field.x, field.y, 40, 40], bare = (await grab(page, ...corner)).join();
    await page.mouse.move(field.x + 20, field.y + 20);
    await sleep(300);
    const red = (await grab(page, ...corner)).filter((v, i, all) =>
      i % 4 === 0 && v > 200 && all[i + 1] < 60 && all[i + 2] < 60).length;
    await page.mouse.move(field.x + 200, field.y + 100);
    await sleep(300);
    if (red < 10) return fail(`the cross-hair on the field showed ${red} red pixels`, console_);
    if ((await grab(page, ...corner)).join() !== bare)
      return fail('the cross-hair left a mark on the field', console_);
    const before = (await grab(page, ...score)).join();
    let hit = false;
    for (let shots = 0; shots < 5 && !hit; ++shots) {
      const mosquito = await blackest(page);
      if (!mosquito) return fail('no mosquito in sight', console_);
      await page.mouse.click(...mosquito);
      await sleep(300);
      hit = (await grab(page, ...score)).join() !== before;
    }
    await shot('shot');
    if (!hit) return fail('five shots at mosquitoes left the score as it was', console_);
    await page.mouse.click(...giveUp);
    await page.waitForFunction(title => document.title === title, {timeout: 10000}, menuTitle);
    await shot('given-up');
    if (!(await menuAtRest(page))) return fail('the menu never comes back to rest', console_);
    await page.mouse.click(...at(...about));
    await page.waitForFunction(title => document.title !== title, {timeout: 10000}, menuTitle);
    await shot('about');
    await page.keyboard.press('Enter');
    await page.waitForFunction(title => document.title === title, {timeout: 10000}, menuTitle);
    await page.mouse.click(...at(...exit));
    const status = await ended(page);
    await shot('ended');
    const said = await page.$eval('#status', element => element.textContent);
    if (status !== 0 || said !== 'Brizzlet has ended.')
      fail(`EXIT ended with ${status}, the page saying "${said}"`, console_);
  } finally {
    await browser.close();
  }
}

async function twice({browser, page, console_}, artefacts) {
  const shot = name => page.screenshot({path: `${artefacts}/${name}@2x.png`});
  menu.scale = 2;
  try {
    if (!(await menuAtRest(page))) return fail('at 2x the menu never comes to rest', console_);
    await shot('menu');
    const menuTitle = await page.title();
    await page.mouse.click(...at(...playTimeAttack));
    await page.waitForFunction(title => document.title !== title, {timeout: 10000}, menuTitle);
    await sleep(1500);
    await shot('round');
  } finally {
    menu.scale = 1;
    await browser.close();
  }
}
