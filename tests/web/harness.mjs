// What the browser tests share: the built site served on 127.0.0.1, Debian's headless Chromium,
// and a page opened with the stand-in altimeter plugged in (or no WebHID at all).
import { mkdtemp, readFile, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';
import { serve } from '../../web/serve.mjs';

export const root = new URL('../../', import.meta.url).pathname;
export const site = join(root, 'build/web/site');
export async function startBrowser(portOffset = 0) {
  const port = Number(process.env.TEV_WEB_PORT || 48550) + portOffset;
  const server = await serve(site, port);
  const profile = await mkdtemp(join(tmpdir(), 'tev-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.TEV_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--font-render-hinting=none'],
  });
  return {
    url: `http://127.0.0.1:${port}/`,
    browser,
    async close() {
      await browser.close();
      server.close();
      await rm(profile, { recursive: true, force: true });
    },
  };
}

const standin = await readFile(join(root, 'web/standin/hid-standin.js'), 'utf8');

// The page, ready; standin: options for the stand-in, or null for a browser without WebHID.
export async function openPage(session, { standin: options = {}, scale = 1, downloads = null } = {}) {
  const page = await session.browser.newPage();
  await page.setViewport({ width: 1280, height: 1000, deviceScaleFactor: scale });
  const errors = [];
  page.on('pageerror', (e) => errors.push(String(e)));
  if (options) {
    await page.evaluateOnNewDocument(`window.tevStandin = ${JSON.stringify(options)};\n${standin}`);
  } else {
    await page.evaluateOnNewDocument(() => { delete Navigator.prototype.hid; });
  }
  if (downloads) await saveDownloadsIn(page, downloads);
  await page.goto(session.url, { waitUntil: 'load' });
  await page.waitForSelector('body[data-ready="true"]', { timeout: 20000 });
  page.errors = errors;
  return page;
}

// Files the page offers are saved in this folder from now on.
export async function saveDownloadsIn(page, folder) {
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: folder });
}

// Connect, then Read Data to its end; returns the status text.
// `during`, if given, runs while the download is under way.
export async function connectAndRead(page, during = null) {
  await page.click('#connect');
  await page.waitForSelector('body[data-link="connected"]', { timeout: 10000 });
  await page.waitForFunction(() => !document.getElementById('read').disabled);
  await page.click('#read');
  if (during) await during();
  await page.waitForSelector('body[data-download]', { timeout: 60000 });
  return page.$eval('#status', (e) => e.textContent);
}
