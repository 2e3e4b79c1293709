// Serves the site on 127.0.0.1 and opens the try-it page (the simulated altimeter plugged in
// through the stand-in) in headless Chromium: connects, reads the flights, shows the second and
// saves a screenshot. With --serve it then keeps serving until interrupted.
// node tests/web/try-page.mjs PORT SCREENSHOT [--serve]
import { openPage, startBrowser } from './harness.mjs';

const [port, screenshot, serveOn] = process.argv.slice(2);
process.env.TEV_WEB_PORT = port;
const session = await startBrowser();
const page = await openPage(session, { standin: {} });
await page.click('#connect');
await page.waitForSelector('body[data-link="connected"]', { timeout: 10000 });
await page.waitForFunction(() => !document.getElementById('read').disabled);
await page.click('#read');
await page.waitForSelector('body[data-download]', { timeout: 60000 });
const sets = await page.$$('#strip button');
await sets[Math.min(1, sets.length - 1)].click();
await page.waitForSelector('#plot svg');
await page.screenshot({ path: screenshot, fullPage: true });
console.log(`screenshot: ${screenshot}`);
await session.browser.close();
if (serveOn === '--serve') {
  console.log(`Open ${session.url}try.html in Chrome, Edge or Opera to try the page with the simulated ` +
    `altimeter, or ${session.url} with a real one. Ctrl+C ends.`);
} else {
  await session.close();
}
