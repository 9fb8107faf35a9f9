// What the browser checks share: Debian's chromium driven by puppeteer-core, skipped (exit 77)
// where either is missing, and the ok/FAIL lines with their summary.
import fs from 'node:fs';
import path from 'node:path';

export const chromium = process.env.GALVORA_CHROMIUM || '/usr/bin/chromium';
export const shots = process.env.GALVORA_BROWSER_SHOTS; // optional folder for screenshots
const SKIP = 77;

// The program under test named on the command line, or the end of the check.
export function programArgument(what) {
    const program = process.argv[2];
    if (!program || !fs.existsSync(program)) {
        console.log(`FAIL: ${what} not found: ${program}`);
        process.exit(1);
    }
    return program;
}

// puppeteer-core, or a skip where chromium or puppeteer-core is not installed.
export async function loadPuppeteer() {
    if (!fs.existsSync(chromium)) {
        console.log(`SKIPPED: ${chromium} is not installed (scripts/setup.sh installs Debian's chromium)`);
        process.exit(SKIP);
    }
    try {
        return (await import('puppeteer-core')).default;
    } catch {
        console.log('SKIPPED: puppeteer-core is not installed (scripts/setup.sh runs npm ci --prefix tests/browser)');
        process.exit(SKIP);
    }
}

// Headless chromium with its profile, and whatever it keeps beside it, inside `work`.
export function launch(puppeteer, work) {
    return puppeteer.launch({
        executablePath: chromium,
        headless: true,
        userDataDir: path.join(work, 'profile'),
        args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
            '--disable-background-networking', '--disable-component-update', '--disable-sync',
            '--disable-dev-shm-usage', '--no-proxy-server'],
        env: { ...process.env, HOME: work, XDG_CONFIG_HOME: path.join(work, 'config'),
            XDG_CACHE_HOME: path.join(work, 'cache') },
    });
}

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Polls `probe` until it returns a truthy value or `ms` pass; returns the last value.
export async function waitFor(probe, ms = 15000) {
    const end = Date.now() + ms;
    let value = await probe();
    while (!value && Date.now() < end) {
        await sleep(50);
        value = await probe();
    }
    return value;
}

let passed = 0;
const failed = [];
export function check(ok, what) {
    if (ok)
        ++passed;
    else
        failed.push(what);
    console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
    return ok;
}

// Prints the summary and ends with 0 when every check passed, else 1.
export function finish(label) {
    console.log(`${label}: ${passed} passed, ${failed.length} failed`);
    process.exit(failed.length === 0 ? 0 : 1);
}
