// Compares Torvane's page text with Chromium's innerText, snippet by snippet.
//   node compare.js <torvane_html2text> snippets.txt [page.html ...]
// Our CR LF is compared as LF; a no-break space in the browser's text as the blank we make of it.
// Prints every divergence, then the agreement; exits 1 when any snippet differs.
'use strict';
const { execFileSync } = require('child_process');
const { chromium } = require('playwright-core');

const launchOptions = {
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  args: ['--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync'],
  // Chromium's sandbox cannot run as root.
  chromiumSandbox: process.getuid() !== 0,
};

function show(s) {
  return JSON.stringify(s);
}

async function main() {
  const [tool, ...inputs] = process.argv.slice(2);
  if (!tool || inputs.length === 0) {
    console.error('usage: node compare.js <torvane_html2text> snippets.txt [page.html ...]');
    process.exit(2);
  }
  const entries = JSON.parse(execFileSync(tool, inputs, { maxBuffer: 64 << 20 }).toString());
  const browser = await chromium.launch(launchOptions);
  const page = await browser.newPage({ javaScriptEnabled: true });
  // Pages are set as they are, without their scripts running.
  await page.route('**/*', route => route.abort());
  let agree = 0;
  for (const { name, markup, text } of entries) {
    await page.setContent(markup, { waitUntil: 'domcontentloaded' });
    const browserText = await page.evaluate(() => {
      const root = document.body || document.documentElement;
      return root ? root.innerText : '';
    });
    const ours = text.replace(/\r\n/g, '\n');
    const theirs = browserText.replace(/\u00a0/g, ' ');
    if (ours === theirs) {
      agree++;
    } else {
      console.log(`--- ${name}\n  markup:   ${show(markup)}\n  browser:  ${show(theirs)}\n  torvane:  ${show(ours)}`);
    }
  }
  await browser.close();
  console.log(`${agree} of ${entries.length} agree`);
  process.exit(agree === entries.length ? 0 : 1);
}

main().catch(e => { console.error(e); process.exit(2); });
