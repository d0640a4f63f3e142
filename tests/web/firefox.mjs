// Firefox for the browser test, through its own WebDriver BiDi (Debian has no geckodriver): one
// JSON array a line on standard input, [verb, ...arguments], one JSON reply a line on output.
import puppeteer from 'puppeteer-core';
import { createInterface } from 'node:readline';

const browser = await puppeteer.launch({
  browser: 'firefox', executablePath: process.argv[2] ?? '/usr/bin/firefox-esr', headless: true,
  extraPrefsFirefox: { 'browser.shell.checkDefaultBrowser': false, 'app.update.enabled': false },
});
const page = (await browser.pages())[0] ?? await browser.newPage();
const errors = [];
page.on('console', (message) => { if (message.type() === 'error') errors.push(message.text()); });
page.on('pageerror', (error) => errors.push(String(error)));

const verbs = {
  get: async (url) => { await page.goto(url); },
  // A function body with `arguments`, as WebDriver's execute takes it.
  js: (body, args = []) => page.evaluate((b, a) => new Function(b).apply(null, a), body, args),
  click: (x, y) => page.mouse.click(x, y),
  key: (key) => page.keyboard.press(key),
  type: (text) => page.keyboard.type(text),
  errors: () => errors,
};

for await (const line of createInterface({ input: process.stdin })) {
  const [verb, ...args] = JSON.parse(line);
  if (verb === 'quit') break;
  try {
    process.stdout.write(`${JSON.stringify({ value: (await verbs[verb](...args)) ?? null })}\n`);
  } catch (error) {
    process.stdout.write(`${JSON.stringify({ error: String(error) })}\n`);
  }
}
await browser.close();
