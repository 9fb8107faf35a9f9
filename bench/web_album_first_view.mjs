// What the first view of a web album fetches on a phone (390 x 844, touch, device pixel ratio 3) and
// on a desktop (1366 x 768), without scrolling: bytes over the wire and requests. The target for an
// album of 500 pictures on the phone is at most 1 MB. Drives Debian's chromium with the
// puppeteer-core of tests/browser (npm ci --prefix tests/browser).
//   node web_album_first_view.mjs <album address>
import { createRequire } from 'node:module';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

const require = createRequire(new URL('../tests/browser/package.json', import.meta.url));
const puppeteer = require('puppeteer-core');
const address = process.argv[2];
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'galvora-first-view-'));
const browser = await puppeteer.launch({
    executablePath: process.env.GALVORA_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
        '--disable-component-update', '--disable-sync'],
});

async function firstView(name, viewport) {
    const page = await browser.newPage();
    await page.setViewport(viewport);
    const client = await page.createCDPSession();
    await client.send('Network.enable');
    await client.send('Network.setCacheDisabled', { cacheDisabled: true });
    let bytes = 0, requests = 0, pictures = 0;
    const urls = new Map();
    client.on('Network.requestWillBeSent', (e) => urls.set(e.requestId, e.request.url));
    client.on('Network.loadingFinished', (e) => {
        const url = urls.get(e.requestId) || '';
        if (url.startsWith('data:'))
            return;
        bytes += e.encodedDataLength;
        ++requests;
        if (url.endsWith('.jpg'))
            ++pictures;
    });
    await page.goto(address, { waitUntil: 'networkidle0' });
    await new Promise((r) => setTimeout(r, 1500)); // anything the page asks for late
    console.log(`${name}: ${(bytes / 1024).toFixed(0)} KB in ${requests} requests (${pictures} pictures)`);
    await page.close();
    return bytes;
}

try {
    const phone = await firstView('phone 390x844 @3x', { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
    await firstView('desktop 1366x768', { width: 1366, height: 768 });
    console.log(`phone first view ${phone <= 1024 * 1024 ? 'within' : 'OVER'} the 1 MB target`);
} finally {
    await browser.close();
    fs.rmSync(profile, { recursive: true, force: true });
}
