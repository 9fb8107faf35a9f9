// Browser test of the six album pages: writes them for four pictures with the page maker
// (argument 1) into a temporary folder, copies the albums the way an upload or a USB stick does
// (links left out), serves the copy as a web server that announces UTF-8 and tells letter case
// apart, and checks the pages in Debian's headless chromium, driven by puppeteer-core.
//   node check_pages.mjs <make_pages executable>
// Exit status: 0 all checks passed, 1 a check failed, 77 skipped (no chromium or no puppeteer-core).
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';

import { check, finish, launch, loadPuppeteer, programArgument, shots, waitFor } from './browser_checks.mjs';

const maker = programArgument('page maker');
const puppeteer = await loadPuppeteer();

// One browser tab, with the script errors, failed loads and console errors it has seen.
class Tab {
    static async open(browser, name) {
        const page = await browser.newPage();
        await page.setViewport({ width: 1024, height: 900 });
        return new Tab(page, name);
    }

    constructor(page, name) {
        this.page = page;
        this.name = name;
        this.exceptions = [];
        this.failedLoads = [];
        this.logErrors = [];
        page.on('pageerror', (e) => this.exceptions.push(String(e.message || e)));
        page.on('requestfailed', (r) => {
            const why = r.failure() ? r.failure().errorText : '';
            if (why !== 'net::ERR_ABORTED') // a load the page itself called off
                this.failedLoads.push(`${r.url()}: ${why}`);
        });
        page.on('console', (m) => m.type() === 'error' && this.logErrors.push(`${m.text()} ${m.location().url || ''}`));
    }

    async goto(url) {
        return Boolean(await this.page.goto(url, { waitUntil: 'load', timeout: 15000 }).catch(() => null));
    }

    eval(expression) {
        return this.page.evaluate(expression);
    }

    // A real mouse click in the middle of the element.
    click(selector) {
        return this.page.click(selector);
    }

    arrowDown() {
        return this.page.keyboard.press('ArrowDown');
    }

    // Loads `ref` relative to the page as a new picture: its natural size, or null when it fails.
    probe(ref) {
        return this.eval(`new Promise((resolve) => {
            const i = new Image();
            i.onload = () => resolve({ w: i.naturalWidth, h: i.naturalHeight });
            i.onerror = () => resolve(null);
            i.src = ${JSON.stringify(ref)};
        })`);
    }

    // The picture element's file name relative to the page folder, once it has loaded.
    shown(expression) {
        return this.eval(`(() => {
            const i = ${expression};
            if (!i || !i.complete || i.naturalWidth === 0) return null;
            return decodeURI(i.src).slice(decodeURI(location.href).lastIndexOf('/') + 1);
        })()`);
    }
}

const spellings = new Set(); // how the pages spell the picture folder: "images" only
const title = 'Caf\u00e9 \u00c6r\u00f8 \u041f\u0440\u0438\u0432\u0435\u0442'; // as make_pages types it

// Copies the folders and regular files below `from` to `to`, leaving every link out, as most
// uploads, zips and FAT sticks do. Returns the links it left out.
function copyWithoutLinks(from, to) {
    const left = [];
    fs.mkdirSync(to);
    for (const entry of fs.readdirSync(from, { withFileTypes: true })) {
        const source = path.join(from, entry.name);
        if (entry.isDirectory())
            left.push(...copyWithoutLinks(source, path.join(to, entry.name)));
        else if (entry.isFile())
            fs.copyFileSync(source, path.join(to, entry.name));
        else
            left.push(source);
    }
    return left;
}

// A web server for `root` as many hosts are: names are case-sensitive and pages are announced
// as UTF-8. Resolves to the server once it listens on a free port of 127.0.0.1.
function serve(root) {
    const types = { '.html': 'text/html; charset=utf-8', '.jpg': 'image/jpeg', '.gif': 'image/gif',
        '.bmp': 'image/bmp' };
    const server = http.createServer((request, response) => {
        const name = decodeURIComponent(new URL(request.url, 'http://host').pathname);
        const file = path.join(root, path.normalize(name));
        const found = file.startsWith(root + path.sep) && fs.existsSync(file) && fs.statSync(file).isFile();
        if (!found) {
            response.writeHead(name === '/favicon.ico' ? 204 : 404);
            response.end();
            return;
        }
        response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
        fs.createReadStream(file).pipe(response);
    });
    return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// The page is ASCII bytes only and was read as the UTF-8 the server announced.
async function checkAscii(tab, bytes) {
    check(bytes.every((b) => b < 0x80), `${tab.name}: the page is ASCII bytes only`);
    check(await tab.eval('document.characterSet') === 'UTF-8', `${tab.name}: read as UTF-8, as announced`);
}

// The element at `selector` shows the title as typed.
async function checkTitle(tab, selector) {
    const shown = await tab.eval(`(document.querySelector(${JSON.stringify(selector)}) || {}).textContent`);
    check(shown === title, `${tab.name}: shows the title "${title}" as typed (${shown})`);
}

// Every picture the page names in its text must load; `size` is the converted size where all agree.
async function checkPictures(tab, html, size) {
    const refs = [...new Set([...html.matchAll(/[Ii]mages\/picture(\d+)\.(?:jpg|gif|bmp)/g)].map((m) => m[0]))];
    for (const ref of refs) {
        const got = await tab.probe(ref);
        const sizeOk = !size || (got && got.w === size[0] && got.h === size[1]);
        if (check(got && sizeOk, `${tab.name}: ${ref} loads${size ? ` at ${size[0]} x ${size[1]}` : ''}` +
            (got && !sizeOk ? ` (is ${got.w} x ${got.h})` : '')))
            spellings.add(ref.slice(0, 6));
    }
    const broken = await tab.eval(
        'Array.from(document.images).filter((i) => !i.complete || i.naturalWidth === 0).map((i) => i.src)');
    check(broken.length === 0, `${tab.name}: every picture element shows its picture ${broken.join(' ')}`);
    return refs;
}

function numbersIn(refs) {
    return [...new Set(refs.map((r) => Number(/picture(\d+)/.exec(r)[1])))].sort((a, b) => a - b).join(',');
}

async function pictureShow(tab, html) {
    await checkTitle(tab, 'SPAN.titel');
    const refs = await checkPictures(tab, html, null);
    check(numbersIn(refs) === '1,2,3,4', `${tab.name}: names pictures 1 to 4 (${numbersIn(refs)})`);
    check(await tab.shown('document.images.x1') === 'images/picture1.gif',
        `${tab.name}: the big picture starts as images/picture1.gif`);
    // Chosen from the keyboard, as the page's help text suggests.
    await tab.eval('document.querySelector("select").focus()');
    await tab.arrowDown();
    check(await waitFor(() => tab.shown('document.images.x1').then((s) => s === 'images/picture2.jpg'), 3000),
        `${tab.name}: choosing Picture 2 shows images/picture2.jpg`);
    await tab.arrowDown();
    check(await waitFor(() => tab.shown('document.images.x1').then((s) => s === 'images/picture3.bmp'), 3000),
        `${tab.name}: choosing Picture 3 shows images/picture3.bmp`);
}

async function thumbnails(tab, html) {
    // The source paths are shown in capitals: the BMP's ends in "/D\u00dcNEN.BMP".
    check((await tab.eval('document.body.textContent')).includes('/D\u00dcNEN.BMP'),
        `${tab.name}: shows the path of D\u00fcnen.bmp as "/D\u00dcNEN.BMP"`);
    const refs = await checkPictures(tab, html, [160, 120]);
    check(numbersIn(refs) === '1,2,3,4', `${tab.name}: names pictures 1 to 4 (${numbersIn(refs)})`);
}

async function slideShow(tab, html) {
    const state = () => tab.eval(`({
        x: document.getElementById('_Ath_Img_X').textContent,
        text: document.querySelector('SPAN.tekst').textContent,
        src: decodeURI(document.images._Ath_Slide.src).replace(/^.*\\/(images\\/)/, '$1'),
        loaded: document.images._Ath_Slide.complete && document.images._Ath_Slide.naturalWidth > 0,
        prev: document.getElementsByName('btnPrev')[0].disabled,
        next: document.getElementsByName('btnNext')[0].disabled,
    })`);
    const first = await state();
    check(first.x === '2' && first.text === 'Picture 2 of 4' && first.src === 'images/picture2.jpg',
        `${tab.name}: after loading shows picture 2 and "Picture 2 of 4" (${first.text}, ${first.src})`);
    check(first.prev && first.next, `${tab.name}: Previous and Next are disabled while playing`);
    // The pictures are probed only now: the show moves on one second after each picture.
    const refs = await checkPictures(tab, html, [300, 200]);
    check(numbersIn(refs) === '1,2,3,4', `${tab.name}: names pictures 1 to 4 (${numbersIn(refs)})`);
    const advanced = await waitFor(() => state().then((s) => (s.x === '3' && s.loaded ? s : null)), 4000);
    check(advanced && advanced.src === 'images/picture3.jpg' && advanced.text === 'Picture 3 of 4',
        `${tab.name}: advances by itself to picture 3`);

    await tab.click('input[name="bntPlay"]');
    const stopped = await state();
    check(!stopped.prev && !stopped.next, `${tab.name}: Play - Stop enables Previous and Next`);
    await tab.click('input[name="btnNext"]');
    const expected = String(Number(stopped.x) % 4 + 1);
    const next = await waitFor(() => state().then((s) => (s.x === expected && s.loaded ? s : null)), 3000);
    check(next && next.src === `images/picture${expected}.jpg`, `${tab.name}: Next steps to picture ${expected}`);
    await tab.click('input[name="btnPrev"]');
    check(await waitFor(() => state().then((s) => s.x === stopped.x && s.loaded), 3000),
        `${tab.name}: Previous steps back to picture ${stopped.x}`);
    // Three seconds of the page's time, longer than its one-second pause, pass at once: nothing
    // may advance now. The tab's clock stays virtual from here on, so this comes last.
    const devtools = await tab.page.createCDPSession();
    const expired = new Promise((resolve) => devtools.once('Emulation.virtualTimeBudgetExpired', resolve));
    await devtools.send('Emulation.setVirtualTimePolicy', { policy: 'advance', budget: 3000 });
    await expired;
    const later = await state();
    check(later.x === stopped.x, `${tab.name}: stays at picture ${stopped.x} after Play - Stop (${later.x})`);
}

async function blockEffect(tab, html, loadedAt) {
    const shown = () => tab.shown('document.images.slide');
    check(await shown() === 'images/picture1.jpg', `${tab.name}: starts with picture 1`);
    const refs = await checkPictures(tab, html, [200, 150]);
    check(numbersIn(refs) === '1,2,3,4', `${tab.name}: names pictures 1 to 4 (${numbersIn(refs)})`);
    const changed = await waitFor(() => shown().then((s) => (s && s !== 'images/picture1.jpg' ? s : null)),
        Math.max(0, loadedAt + 4000 - Date.now()));
    check(changed === 'images/picture2.jpg',
        `${tab.name}: changes to picture 2 within 4 seconds of loading (${changed}, ${Date.now() - loadedAt} ms)`);
}

async function photoalbum(tab, html) {
    await checkTitle(tab, 'SPAN.wit b');
    await checkPictures(tab, html, [200, 150]);
    const counter = () => tab.eval('document.forms.form.nummer.value');
    check(await counter() === ' Foto 1 / 4', `${tab.name}: the counter starts as " Foto 1 / 4"`);
    const steps = [['slidenext', 2], ['slidenext', 3], ['slidenext', 4], ['slidenext', 1],
        ['slidevorige', 4], ['slidevorige', 3]];
    for (const [button, n] of steps) {
        await tab.click(`input[onclick="${button}();"]`);
        const want = ` Picture ${n} / 4`;
        const ok = await waitFor(async () => await counter() === want &&
            await tab.shown('document.images.dia') === `images/picture${n}.jpg`, 3000);
        check(ok, `${tab.name}: ${button === 'slidenext' ? '>>' : '<<'} shows picture ${n} and "${want}"` +
            (ok ? '' : ` (counter "${await counter()}")`));
    }
}

const pages = [
    ['pictureshow', pictureShow],
    ['slideshow', slideShow],
    ['thumbnails', thumbnails],
    ['blockeffect', blockEffect],
    ['photoalbum1', photoalbum],
    ['photoalbum2', photoalbum],
];

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'galvora-browser-'));
let browser;
let server;
const watchdog = setTimeout(() => {
    console.log('FAIL: the browser test did not end within 100 seconds');
    if (browser && browser.process())
        browser.process().kill('SIGKILL');
    fs.rmSync(work, { recursive: true, force: true });
    process.exit(1);
}, 100000);

try {
    const program = path.join(work, 'program');
    fs.mkdirSync(program);
    const made = execFileSync(maker, [program], { encoding: 'utf8', env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' } });
    // Each page as it lies in the copy; the albums made are gone, so only the copy can answer.
    const copy = path.join(work, 'copy');
    const linksLeftOut = copyWithoutLinks(program, copy);
    fs.rmSync(program, { recursive: true, force: true });
    console.log(`     (copied without links; ${linksLeftOut.length} left out ${linksLeftOut.join(' ')})`);
    const files = new Map(made.trim().split('\n').map((line) => line.split(' '))
        .map(([name, page]) => [name, path.join(copy, path.relative(program, page))]));
    server = await serve(copy);
    const site = `http://127.0.0.1:${server.address().port}`;

    browser = await launch(puppeteer, work);

    for (const [name, run] of pages) {
        const file = files.get(name);
        if (!check(file && fs.existsSync(file), `${name}: page written`))
            continue;
        const tab = await Tab.open(browser, name);
        const loaded = await tab.goto(`${site}/${path.relative(copy, file).split(path.sep).map(encodeURIComponent).join('/')}`);
        const loadedAt = Date.now();
        if (!check(loaded, `${name}: page loads`))
            continue;
        const bytes = fs.readFileSync(file);
        await checkAscii(tab, bytes);
        await run(tab, bytes.toString('latin1'), loadedAt);
        if (shots)
            await tab.page.screenshot({ path: path.join(shots, `${name}.png`) });
        // Photoalbum 2 calls the transition filters of an old browser; those calls are all that may fail.
        const allowed = (text) => name === 'photoalbum2' && /\bfilters\b|revealTrans/.test(text);
        const errors = tab.exceptions.filter((text) => !allowed(text));
        check(errors.length === 0, `${name}: no script error ${errors.join(' | ')}`);
        if (name === 'photoalbum2')
            console.log(`     (${tab.exceptions.length - errors.length} filter call errors, as expected)`);
        check(tab.failedLoads.length === 0, `${name}: nothing failed to load ${tab.failedLoads.join(' | ')}`);
        check(tab.logErrors.length === 0, `${name}: no console error ${tab.logErrors.join(' | ')}`);
    }
    check(spellings.size === 1 && spellings.has('images'),
        `every page names its pictures as "images/" (${[...spellings].join(', ')})`);

    await browser.close();
} catch (error) {
    check(false, `browser test stopped: ${error.stack || error}`);
} finally {
    clearTimeout(watchdog);
    if (server)
        server.close();
    if (browser && browser.process() && browser.process().exitCode === null)
        browser.process().kill('SIGKILL');
    fs.rmSync(work, { recursive: true, force: true });
}

finish('browser');
