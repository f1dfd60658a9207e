// The page-turning catalog in headless chromium: no console errors and no
// request outside the folder, "Vorwärts" shows pages 1 and 2, "Letzte Seite"
// the last pair, a deep link survives a reload, keyboard and narrow screens
// work, from file:// and from a web server. Keeps screenshots as artefacts.
import http from "node:http";
import fs from "node:fs";
import path from "node:path";
import os from "node:os";
import puppeteer from "puppeteer-core";

const [chrome, folder, artefacts] = process.argv.slice(2);
const failures = [];
function check(ok, what) {
  console.log(`${ok ? "ok  " : "FAIL"} ${what}`);
  if (!ok) failures.push(what);
}

// A plain static server over the folder, so the catalog is also tried as a
// web site.
function serve(dir) {
  const server = http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, "http://x").pathname).replace(/^\/+/, "");
    const file = path.join(dir, name);
    if (!file.startsWith(dir) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      res.writeHead(404).end();
      return;
    }
    const types = { ".htm": "text/html", ".jpg": "image/jpeg", ".gif": "image/gif" };
    res.writeHead(200, { "content-type": types[path.extname(file)] || "application/octet-stream" });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => server.listen(0, "127.0.0.1", () => resolve(server)));
}

const profile = fs.mkdtempSync(path.join(os.tmpdir(), "ql-chromium-"));
let browser;
try {
  browser = await puppeteer.launch({
    executablePath: chrome,
    headless: true,
    userDataDir: profile,
    args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
           "--disable-component-update", "--disable-sync", "--allow-file-access-from-files"],
  });
} catch (e) {
  console.log(`SKIPPED: chromium cannot start here: ${e.message.split("\n")[0]}`);
  fs.rmSync(profile, { recursive: true, force: true });
  process.exit(77);
}

const html = fs.readFileSync(path.join(folder, "catalog.htm"), "utf8");
const pairs = Number(/data-pairs="(\d+)"/.exec(html)[1]);
const lastPage = 2 * pairs - 2;

async function open(base, width, height, hash = "") {
  const page = await browser.newPage();
  await page.setViewport({ width, height });
  const errors = [], outside = [];
  page.on("console", (m) => { if (m.type() === "error") errors.push(m.text()); });
  page.on("pageerror", (e) => errors.push(String(e)));
  page.on("requestfailed", (r) => errors.push(`failed: ${r.url()}`));
  page.on("request", (r) => { if (!r.url().startsWith(base) && !r.url().startsWith("data:")) outside.push(r.url()); });
  await page.goto(base + "catalog.htm" + hash, { waitUntil: "load" });
  await page.waitForSelector("body[data-ready]");
  await settle(page);
  return { page, errors, outside };
}
async function settle(page) {
  await page.waitForFunction(() => !document.body.hasAttribute("data-busy"));
  await page.waitForFunction(() => [...document.images].every((i) => i.complete));
}
const shown = (page) => page.evaluate(() => ({
  left: getComputedStyle(document.getElementById("left")).display === "none" ? null
    : document.querySelector("#left img").getAttribute("src"),
  right: document.querySelector("#right img").getAttribute("src"),
  hash: location.hash,
}));
async function click(page, id) {
  await page.click("#" + id);
  await new Promise((r) => setTimeout(r, 50));
  await settle(page);
}

async function spreads(base, label) {
  const { page, errors, outside } = await open(base, 1400, 900);
  let s = await shown(page);
  check(s.left === "catalogpage0.jpg" && s.right === "catalogpage1.jpg", `${label}: opens on the first spread (blank, page 1)`);
  const text = await page.$eval("#next", (b) => b.textContent.trim());
  check(text === "Vorwärts", `${label}: forward button reads "Vorwärts" (${text})`);
  if (label === "file") await page.screenshot({ path: path.join(artefacts, "html-catalog-spread1.png") });
  await click(page, "next");
  s = await shown(page);
  check(s.left === "catalogpage2.jpg" && s.right === "catalogpage3.jpg" && s.hash === "#page=2",
        `${label}: "Vorwärts" shows pages 2 and 3 (${s.left}, ${s.right}, ${s.hash})`);
  await click(page, "last");
  s = await shown(page);
  check(s.left === `catalogpage${lastPage}.jpg` && s.right === `catalogpage${lastPage + 1}.jpg`,
        `${label}: "Letzte Seite" shows the last pair (${s.left}, ${s.right})`);
  if (label === "file") await page.screenshot({ path: path.join(artefacts, "html-catalog-last.png") });
  await click(page, "first");
  await page.keyboard.press("ArrowRight");
  await settle(page);
  await page.keyboard.press("ArrowRight");
  await settle(page);
  s = await shown(page);
  check(s.right === "catalogpage5.jpg", `${label}: arrow keys turn the pages (${s.right})`);
  await page.keyboard.press("End");
  await settle(page);
  check((await shown(page)).right === `catalogpage${lastPage + 1}.jpg`, `${label}: End goes to the last pair`);
  await page.keyboard.press("Home");
  await settle(page);
  check((await shown(page)).right === "catalogpage1.jpg", `${label}: Home goes to the first pair`);
  const w0 = await page.$eval("#book", (b) => b.getBoundingClientRect().width);
  await page.keyboard.press("+");
  const w1 = await page.$eval("#book", (b) => b.getBoundingClientRect().width);
  await click(page, "zoomout");
  const w2 = await page.$eval("#book", (b) => b.getBoundingClientRect().width);
  check(w1 > w0 * 1.3 && Math.abs(w2 - w0) < 1, `${label}: "+" and the zoom-out button zoom (${w0}, ${w1}, ${w2})`);
  check(errors.length === 0, `${label}: no console errors (${errors.join("; ")})`);
  check(outside.length === 0, `${label}: no request outside the folder (${outside.join(", ")})`);
  await page.close();

  // The deep link: page 7 sits in the spread (6, 7) and stays after a reload.
  const deep = await open(base, 1400, 900, "#page=7");
  s = await shown(deep.page);
  check(s.left === "catalogpage6.jpg" && s.right === "catalogpage7.jpg", `${label}: #page=7 opens pages 6 and 7`);
  await deep.page.reload({ waitUntil: "load" });
  await deep.page.waitForSelector("body[data-ready]");
  await settle(deep.page);
  s = await shown(deep.page);
  check(s.right === "catalogpage7.jpg" && s.hash === "#page=7", `${label}: still there after a reload (${s.right}, ${s.hash})`);
  await deep.page.close();
}

try {
  await spreads(`file://${folder}/`, "file");
  const server = await serve(folder);
  await spreads(`http://127.0.0.1:${server.address().port}/`, "http");
  server.close();

  // A phone: one page at a time; a swipe to the left turns the page.
  const phone = await open(`file://${folder}/`, 390, 780);
  let s = await shown(phone.page);
  check(s.left === null && s.right === "catalogpage1.jpg", `narrow: one page (${s.left}, ${s.right})`);
  await click(phone.page, "next");
  check((await shown(phone.page)).right === "catalogpage2.jpg", "narrow: forward shows page 2 alone");
  const cdp = await phone.page.target().createCDPSession();
  const touch = async (type, x) => cdp.send("Input.dispatchTouchEvent", {
    type, touchPoints: type === "touchEnd" ? [] : [{ x, y: 400 }] });
  await touch("touchStart", 300);
  await touch("touchMove", 200);
  await touch("touchMove", 100);
  await touch("touchEnd", 100);
  await new Promise((r) => setTimeout(r, 100));
  await settle(phone.page);
  check((await shown(phone.page)).right === "catalogpage3.jpg", "narrow: a swipe to the left turns to page 3");
  await phone.page.screenshot({ path: path.join(artefacts, "html-catalog-phone.png") });
  check(phone.errors.length === 0, `narrow: no console errors (${phone.errors.join("; ")})`);
  await phone.page.close();
} finally {
  await browser.close();
  fs.rmSync(profile, { recursive: true, force: true });
}
if (failures.length) {
  console.log(`${failures.length} check(s) failed`);
  process.exit(1);
}
console.log("all checks passed; screenshots in " + artefacts);
