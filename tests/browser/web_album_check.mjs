// Browser check of the web album: makes an album of 40 pictures with the album maker (argument 1),
// serves it from a local web server (127.0.0.1, node's http module) and checks it in Debian's
// headless chromium, driven by puppeteer-core, at a phone's size (390 x 844, touch, device pixel
// ratio 3) and at a desktop's, and once with JavaScript turned off.
//   node web_album_check.mjs <web_album_maker>
// Exit status: 0 all checks passed, 1 a check failed, 77 skipped (no chromium or no puppeteer-core).
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';

import { check, finish, launch, loadPuppeteer, programArgument, shots, waitFor } from './browser_checks.mjs';

const COUNT = 40;
const maker = programArgument('album maker');
const puppeteer = await loadPuppeteer();

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'galvora-web-album-'));
const page = execFileSync(maker, [work, String(COUNT)], { encoding: 'utf8' }).trim();
const albumFolder = path.dirname(page);

// Serves the album below /album/ and nothing else; every request it gets is logged.
const served = [];
const server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://host');
    served.push(url.pathname);
    const name = decodeURIComponent(url.pathname).replace(/\/$/, '/index.html');
    const file = name.startsWith('/album/') ? path.join(albumFolder, name.slice('/album/'.length)) : null;
    if (!file || !file.startsWith(albumFolder + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
        response.writeHead(404);
        response.end();
        return;
    }
    const type = file.endsWith('.html') ? 'text/html; charset=utf-8' : 'image/jpeg';
    response.writeHead(200, { 'Content-Type': type, 'Cache-Control': 'no-store' });
    const bytes = fs.readFileSync(file);
    const cut = bytes.indexOf('</ol>');
    if (!holdTail || !file.endsWith('.html') || cut < 0)
        return response.end(bytes);
    response.write(bytes.subarray(0, cut));
    holdTail.then(() => response.end(bytes.subarray(cut)));
});
// While set, the page's end (after the grid) waits for it, as a long page's end comes late on a
// slow line: the browser lays out the grid before any script after it has run.
let holdTail = null;
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const album = `http://127.0.0.1:${server.address().port}/album/`;
const fetched = (file) => served.includes(`/album/images/${file}`);

const browser = await launch(puppeteer, work);

// A tab that records what leaves the album and every script error.
async function openTab(viewport, javaScript = true) {
    const tab = await browser.newPage();
    tab.outside = [];
    tab.errors = [];
    await tab.setViewport(viewport);
    await tab.setJavaScriptEnabled(javaScript);
    tab.on('request', (r) => {
        if (!r.url().startsWith(album) && !r.url().startsWith('data:'))
            tab.outside.push(r.url());
    });
    tab.on('pageerror', (e) => tab.errors.push(String(e)));
    tab.on('console', (m) => m.type() === 'error' && tab.errors.push(m.text()));
    return tab;
}

const state = (tab) => tab.evaluate(() => ({
    open: document.getElementById('v').open,
    hash: location.hash,
    picture: (document.querySelector('#vf img') || {}).src || '',
    focus: document.activeElement ? (document.activeElement.getAttribute('href') || document.activeElement.id) : '',
}));
const showing = async (tab, n) => {
    let last;
    const s = await waitFor(async () => {
        const now = last = await state(tab);
        return now.open && now.hash === `#${n}` && now.picture.endsWith(`/images/picture${n}.jpg`) ? now : null;
    });
    if (!s)
        console.log(`     expected picture ${n}, found ${JSON.stringify(last)}`);
    return Boolean(s);
};
// Closed, and the address no longer names a picture (the history step back comes after the close).
const closed = async (tab) => Boolean(await waitFor(async () => {
    const now = await state(tab);
    return !now.open && now.hash === '';
}));

async function commonChecks(tab, where) {
    const layout = await tab.evaluate(() => ({
        scroll: document.documentElement.scrollWidth,
        width: innerWidth,
        title: document.title,
        heading: document.querySelector('h1').textContent,
        scripts: document.scripts.length,
        pwned: window.pwned === 1,
        alt: document.querySelector('#g img').alt,
        described: document.querySelectorAll('#g img')[2].alt,
        caption: document.querySelectorAll('#g p')[2].textContent,
        pictures: document.querySelectorAll('#g img').length,
        sized: [...document.querySelectorAll('#g img')].every((i) => i.getAttribute('width') && i.getAttribute('height')),
    }));
    check(layout.scroll <= layout.width, `${where}: no horizontal scrolling (${layout.scroll} <= ${layout.width})`);
    const title = '</title><script>window.pwned=1</script> & <b>Caf\u00e9</b>';
    check(layout.title === title && layout.heading === title, `${where}: the hostile title stays text`);
    check(layout.scripts === 2 && !layout.pwned && layout.alt === '<img src=x onerror="window.pwned=1">.jpg',
        `${where}: hostile file names stay text`);
    const description = '<script>window.pwned=1</script> Sunset & "sea"';
    check(layout.described === description && layout.caption === `${description}2023-08-15 19:45`,
        `${where}: a hostile description stays text, in the alt text and the caption with the date taken`);
    check(layout.pictures === COUNT && layout.sized, `${where}: ${COUNT} pictures, each with its width and height`);
    check(!fetched(`small/picture${COUNT}.jpg`) && !fetched(`picture${COUNT}.jpg`),
        `${where}: the last picture is not fetched before it is scrolled to`);
    await tab.evaluate((n) => document.querySelectorAll('#g img')[n - 1].scrollIntoView(), COUNT);
    check(await waitFor(() => fetched(`small/picture${COUNT}.jpg`) || fetched(`picture${COUNT}.jpg`)),
        `${where}: the last picture is fetched once scrolled to`);
    await tab.evaluate(() => scrollTo(0, 0));
}

try {
    // A phone.
    served.length = 0;
    const phone = await openTab({ width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
    let sendTail;
    holdTail = new Promise((resolve) => { sendTail = resolve; });
    const asked = [];
    const ask = (r) => asked.push(r.url());
    phone.on('request', ask);
    const loading = phone.goto(album, { waitUntil: 'networkidle0' });
    await waitFor(() => phone.evaluate((n) => document.querySelectorAll('#g img').length === n, COUNT).catch(() => false));
    await phone.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
    const lazyAsked = asked.filter((u) => /picture([7-9]|\d\d+)\.jpg$/.test(u));
    check(lazyAsked.length === 0, `phone: no lazy picture is asked for while the page's end is still coming (${lazyAsked.length})`);
    phone.off('request', ask);
    sendTail();
    holdTail = null;
    await loading;
    if (shots)
        await phone.screenshot({ path: path.join(shots, 'web_album_phone.png') });
    const columns = await phone.evaluate(() => getComputedStyle(document.getElementById('g')).gridTemplateColumns.split(' ').length);
    check(columns >= 2 && columns <= 3, `phone: ${columns} columns`);
    check(fetched('small/picture1.jpg') && !fetched('picture1.jpg'), 'phone: the grid takes the small pictures');
    await commonChecks(phone, 'phone');
    await phone.tap('#g li:nth-child(5) img');
    check(await showing(phone, 5), 'phone: a tap opens the viewer on the picture tapped');
    if (shots)
        await phone.screenshot({ path: path.join(shots, 'web_album_phone_viewer.png') });
    check(await waitFor(() => fetched('picture6.jpg') && fetched('picture4.jpg')),
        'phone: the next and the previous pictures are fetched ahead');
    check((await state(phone)).focus === 'vx', 'phone: the focus goes into the viewer');
    await phone.touchscreen.touchStart(300, 400);
    await phone.touchscreen.touchMove(200, 405);
    await phone.touchscreen.touchMove(80, 410);
    await phone.touchscreen.touchEnd();
    check(await showing(phone, 6), 'phone: a swipe to the left moves on');
    await phone.keyboard.press('ArrowRight');
    check(await showing(phone, 7), 'phone: ArrowRight moves on');
    check(await phone.evaluate(() => document.getElementById('vc').textContent.includes('Picture 7')),
        "phone: the viewer shows the picture's caption");
    await phone.keyboard.press('Escape');
    check(await closed(phone), 'phone: Escape closes the viewer');
    check((await state(phone)).focus === 'images/picture7.jpg', 'phone: the focus comes back to the picture shown last');
    await phone.tap('#g li:nth-child(2) img');
    check(await showing(phone, 2), 'phone: a second tap opens the viewer again');
    await phone.goBack();
    check(await closed(phone), "phone: the browser's back button closes the viewer");
    await phone.goto(album + '#3', { waitUntil: 'load' });
    check(await showing(phone, 3), 'phone: the address #3 opens picture 3');
    // Back, and on to #8 before the viewer's close event has come: the late event must not undo #8.
    await phone.evaluate(() => {
        addEventListener('popstate', () => { location.hash = '#8'; }, { once: true });
        history.back();
    });
    check(await showing(phone, 8), 'phone: back and straight on to #8 opens picture 8');
    check(phone.outside.length === 0, `phone: no request leaves the album ${phone.outside.join(' ')}`);
    check(phone.errors.length === 0, `phone: no script errors ${phone.errors.join(' ')}`);

    // A desktop.
    served.length = 0;
    const desktop = await openTab({ width: 1366, height: 768 });
    await desktop.goto(album, { waitUntil: 'networkidle0' });
    if (shots)
        await desktop.screenshot({ path: path.join(shots, 'web_album_desktop.png') });
    const wide = await desktop.evaluate(() => getComputedStyle(document.getElementById('g')).gridTemplateColumns.split(' ').length);
    check(wide > 3, `desktop: ${wide} columns`);
    await commonChecks(desktop, 'desktop');
    await desktop.click('#g li:nth-child(4) img');
    check(await showing(desktop, 4), 'desktop: a click opens the viewer on the picture clicked');
    await desktop.keyboard.press('End');
    check(await showing(desktop, COUNT), 'desktop: End shows the last picture');
    await desktop.keyboard.press('Home');
    check(await showing(desktop, 1), 'desktop: Home shows the first picture');
    await desktop.click('#vn');
    check(await showing(desktop, 2), 'desktop: the next button moves on');
    await desktop.click('#vp');
    check(await showing(desktop, 1), 'desktop: the previous button goes back');
    const names = await desktop.evaluate(() => [...document.querySelectorAll('#v button')].map((b) => b.getAttribute('aria-label')));
    check(names.length === 3 && names.every(Boolean), `desktop: the viewer's buttons have names (${names.join(', ')})`);
    await desktop.click('#vx');
    check(await closed(desktop), 'desktop: the close button closes the viewer');
    check(desktop.outside.length === 0, `desktop: no request leaves the album ${desktop.outside.join(' ')}`);
    check(desktop.errors.length === 0, `desktop: no script errors ${desktop.errors.join(' ')}`);

    // No script: the grid and its links still show.
    const plain = await openTab({ width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true }, false);
    await plain.goto(album, { waitUntil: 'networkidle0' });
    const grid = await plain.evaluate(() => {
        const links = [...document.querySelectorAll('#g a')];
        const first = document.querySelector('#g img');
        return {
            links: links.length,
            targets: links.every((a, i) => a.getAttribute('href') === `images/picture${i + 1}.jpg`),
            shown: first.complete && first.naturalWidth > 0 && first.getBoundingClientRect().width > 50,
            viewer: document.getElementById('v').getBoundingClientRect().height,
        };
    });
    check(grid.links === COUNT && grid.targets && grid.shown && grid.viewer === 0,
        'no script: the grid shows, each small picture a link to its large one');
    await plain.click('#g li:nth-child(3) a');
    check(plain.url() === album + 'images/picture3.jpg', 'no script: a link opens the large picture');
} finally {
    await browser.close();
    server.close();
    fs.rmSync(work, { recursive: true, force: true });
}

finish('web album');
