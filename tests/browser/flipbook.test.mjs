// The page-turning catalog in headless chromium, from file:// and from a
// web server, at desktop, tablet and phone sizes: turning (buttons, keys,
// counted quick turns, a held key, swipes), Space and Enter on focused
// buttons, panning a zoomed page by touch, a toolbar that never clips, odd
// page counts, language and title, the text layer (selection, alternative
// texts, accessibility tree, links), search, thumbnails, sharp pictures,
// the page without scripts, texts that must stay data, and the first
// view's requests and bytes. Keeps screenshots as artefacts and prints the
// measured figures.
//
// usage: node flipbook.test.mjs CHROME WORK ARTEFACTS
//   WORK holds catalog (the sample, German, with PDF), catalog-en, -fr, -nl
//   (the sample), catalog-odd (17 pages), catalog-evil and catalog-big.
import http from "node:http";
import fs from "node:fs";
import path from "node:path";
import os from "node:os";
import puppeteer from "puppeteer-core";

const [chrome, work, artefacts] = process.argv.slice(2);
const failures = [];
function check(ok, what) {
  console.log(`${ok ? "ok  " : "FAIL"} ${what}`);
  if (!ok) failures.push(what);
}
const figures = [];
function figure(what) { console.log(`figure: ${what}`); figures.push(what); }
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// A plain static server over the work folder, so the catalogs are also
// tried as a web site; counts requests and bytes per page load.
function serve(dir) {
  const server = http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, "http://x").pathname).replace(/^\/+/, "");
    const file = path.join(dir, name);
    if (!file.startsWith(dir) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      res.writeHead(404).end();
      return;
    }
    const types = { ".htm": "text/html; charset=utf-8", ".jpg": "image/jpeg", ".gif": "image/gif",
                    ".js": "text/javascript", ".pdf": "application/pdf" };
    res.writeHead(200, { "content-type": types[path.extname(file)] || "application/octet-stream",
                         "content-length": fs.statSync(file).size });
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
           "--disable-component-update", "--disable-sync"],
  });
} catch (e) {
  console.log(`SKIPPED: chromium cannot start here: ${e.message.split("\n")[0]}`);
  fs.rmSync(profile, { recursive: true, force: true });
  process.exit(77);
}

const DESKTOP = { width: 1920, height: 1080 };
const TABLET = { width: 768, height: 1024, hasTouch: true, isMobile: true };
const PHONE = { width: 390, height: 844, hasTouch: true, isMobile: true };

async function open(base, cat, viewport, { hash = "", js = true } = {}) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  if (!js) await page.setJavaScriptEnabled(false);
  const errors = [], outside = [], dialogs = [], requests = [];
  page.on("console", (m) => { if (m.type() === "error") errors.push(m.text()); });
  page.on("pageerror", (e) => errors.push(String(e)));
  // A picture replaced before it arrived (the turned-up corner when the
  // pointer leaves quickly) is aborted, not failed.
  page.on("requestfailed", (r) => { if (r.failure()?.errorText !== "net::ERR_ABORTED") errors.push(`failed: ${r.url()}`); });
  page.on("dialog", async (d) => { dialogs.push(d.message()); await d.dismiss(); });
  page.on("request", (r) => {
    requests.push(r.url());
    if (!r.url().startsWith(base) && !r.url().startsWith("data:")) outside.push(r.url());
  });
  await page.goto(`${base}${cat}/catalog.htm${hash}`, { waitUntil: "load" });
  if (js) {
    await page.waitForSelector("body[data-ready]");
    await settle(page);
  }
  return { page, errors, outside, dialogs, requests };
}
async function settle(page) {
  await page.waitForFunction(() => !document.body.hasAttribute("data-busy"));
  await page.waitForFunction(() => [...document.querySelectorAll("#book img")].every((i) => i.complete));
}
const shown = (page) => page.evaluate(() => {
  const vis = (id) => {
    const h = document.getElementById(id), cs = getComputedStyle(h);
    return cs.display === "none" || cs.visibility === "hidden" ? null : h.querySelector("img").getAttribute("src");
  };
  return { left: vis("left"), right: vis("right"), hash: location.hash,
           count: document.getElementById("pageno").value + document.getElementById("count").textContent };
});
async function click(page, id) {
  await page.click("#" + id);
  await sleep(50);
  await settle(page);
}
async function waitTurns(page) {
  await sleep(100);
  await page.waitForFunction(() => !document.body.hasAttribute("data-busy"), { timeout: 20000 });
  await sleep(150);
  await settle(page);
}
const spread = (page) => page.evaluate(() => Number(document.body.getAttribute("data-spread")));
const pairsOf = (cat) => Number(/data-pairs="(\d+)"/.exec(fs.readFileSync(path.join(work, cat, "catalog.htm"), "utf8"))[1]);
const countOf = (cat) => Number(/data-count="(\d+)"/.exec(fs.readFileSync(path.join(work, cat, "catalog.htm"), "utf8"))[1]);

// ---- Turning, keys and the address ------------------------------------------------
async function spreads(base, label) {
  const count = countOf("catalog");
  const lastLeft = 2 * Math.floor(count / 2);
  const { page, errors, outside } = await open(base, "catalog", DESKTOP);
  let s = await shown(page);
  check(s.left === null && s.right === "catalogpage1.jpg", `${label}: opens on page 1 alone on the right (${s.left}, ${s.right})`);
  const text = await page.$eval("#next", (b) => b.textContent.trim());
  check(text === "Vorwärts", `${label}: forward button reads "Vorwärts" (${text})`);
  if (label === "file") await page.screenshot({ path: path.join(artefacts, "html-desktop-spread1.png") });
  await click(page, "next");
  s = await shown(page);
  check(s.left === "catalogpage2.jpg" && s.right === "catalogpage3.jpg" && s.hash === "#page=2" && s.count === `2–3 / ${count}`,
        `${label}: "Vorwärts" shows pages 2 and 3 (${s.left}, ${s.right}, ${s.hash}, ${s.count})`);
  await click(page, "last");
  s = await shown(page);
  check(s.left === `catalogpage${lastLeft}.jpg` && s.right === (lastLeft + 1 <= count ? `catalogpage${lastLeft + 1}.jpg` : null),
        `${label}: "Letzte Seite" shows the real last page (${s.left}, ${s.right}, ${s.count})`);
  await click(page, "first");
  await page.keyboard.press("ArrowRight");
  await waitTurns(page);
  await page.keyboard.press("ArrowRight");
  await waitTurns(page);
  check((await shown(page)).right === "catalogpage5.jpg", `${label}: arrow keys turn the pages`);
  await page.keyboard.press("End");
  await waitTurns(page);
  check((await shown(page)).left === `catalogpage${lastLeft}.jpg`, `${label}: End goes to the last pair`);
  await page.keyboard.press("Home");
  await waitTurns(page);
  check((await shown(page)).right === "catalogpage1.jpg", `${label}: Home goes to the first pair`);

  // Space and Enter on a focused button do what the button says.
  await click(page, "next");
  await click(page, "next");
  await page.focus("#prev");
  await page.keyboard.press("Space");
  await waitTurns(page);
  check(await spread(page) === 1, `${label}: Space on a focused "Zurück" turns back (${await spread(page)})`);
  await page.focus("#first");
  await page.keyboard.press("Enter");
  await waitTurns(page);
  check(await spread(page) === 0, `${label}: Enter on a focused "Erste Seite" goes to the first page`);
  await page.focus("#next");
  await page.keyboard.press("Space");
  await waitTurns(page);
  check(await spread(page) === 1, `${label}: Space on a focused "Vorwärts" turns once`);

  // Quick turns are counted.
  await page.evaluate(() => document.activeElement.blur());
  await click(page, "first");
  for (let i = 0; i < 5; i++) { await page.keyboard.press("ArrowRight"); await sleep(60); }
  await waitTurns(page);
  check(await spread(page) === 5, `${label}: five ArrowRight presses 60 ms apart turn five spreads (${await spread(page)})`);
  await click(page, "first");
  for (let i = 0; i < 5; i++) { await page.click("#next"); await sleep(60); }
  await waitTurns(page);
  check(await spread(page) === 5, `${label}: five quick clicks on "Vorwärts" turn five spreads (${await spread(page)})`);
  await click(page, "first");
  await page.keyboard.down("ArrowRight");
  for (let i = 0; i < 30; i++) { await sleep(33); await page.keyboard.down("ArrowRight"); }  // repeats
  await page.keyboard.up("ArrowRight");
  await waitTurns(page);
  const held = await spread(page);
  check(held >= 3, `${label}: a key held for a second walks on (${held} spreads)`);

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
  const deep = await open(base, "catalog", DESKTOP, { hash: "#page=7" });
  s = await shown(deep.page);
  check(s.left === "catalogpage6.jpg" && s.right === "catalogpage7.jpg", `${label}: #page=7 opens pages 6 and 7`);
  await deep.page.reload({ waitUntil: "load" });
  await deep.page.waitForSelector("body[data-ready]");
  await settle(deep.page);
  s = await shown(deep.page);
  check(s.right === "catalogpage7.jpg" && s.hash === "#page=7", `${label}: still there after a reload (${s.right}, ${s.hash})`);
  await deep.page.close();
}

// ---- Odd page count, language and title ---------------------------------------------
async function oddCount(base) {
  const { page } = await open(base, "catalog-odd", DESKTOP);
  const count = countOf("catalog-odd");
  check(count % 2 === 1, `odd: the catalog has an odd page count (${count})`);
  await click(page, "last");
  const s = await shown(page);
  check(s.count === `${count - 1}–${count} / ${count}` && s.right === `catalogpage${count}.jpg`,
        `odd: counter and last view use the real count (${s.count}, ${s.left}, ${s.right})`);
  await page.keyboard.press("ArrowRight");
  await waitTurns(page);
  check((await shown(page)).right === `catalogpage${count}.jpg`, "odd: no turn past the last page onto the padding page");
  await page.close();
  const phone = await open(base, "catalog-odd", PHONE);
  await click(phone.page, "last");
  const p = await shown(phone.page);
  check(p.right === `catalogpage${count}.jpg` && p.count === `${count} / ${count}`, `odd, phone: "Letzte Seite" is page ${count} (${p.right}, ${p.count})`);
  await phone.page.close();
}

async function langAndTitle(base) {
  for (const [cat, lang, next] of [["catalog", "de", "Vorwärts"], ["catalog-en", "en", "Forward"],
                                   ["catalog-fr", "fr", "Suivant"], ["catalog-nl", "nl", "Vooruit"]]) {
    const { page } = await open(base, cat, DESKTOP);
    const info = await page.evaluate(() => ({ lang: document.documentElement.lang, title: document.title,
                                              next: document.getElementById("next").textContent.trim() }));
    check(info.lang === lang && info.title.length > 0 && info.title !== "Katalog" && info.next === next,
          `${cat}: lang="${info.lang}", title "${info.title}", forward "${info.next}"`);
    await page.close();
  }
}

// ---- The toolbar never clips ---------------------------------------------------------
async function toolbar(base) {
  const widths = [320, 360, 390, 480, 600, 620, 621, 650, 700, 720, 768, 800, 830, 844, 900, 1024, 1280, 1920];
  for (const cat of ["catalog", "catalog-en", "catalog-fr", "catalog-nl"]) {
    const { page } = await open(base, cat, { width: 1200, height: 900 });
    const bad = [];
    for (const width of widths) {
      await page.setViewport({ width, height: 900 });
      await sleep(60);
      const r = await page.evaluate(() => {
        const bar = document.getElementById("bar");
        const out = [...bar.querySelectorAll("button:not([hidden]), a.btn:not([hidden]), #where")].filter((b) => {
          const q = b.getBoundingClientRect();
          return q.left < -0.5 || q.right > window.innerWidth + 0.5 || q.height > 44;
        }).map((b) => b.id);
        return { out, scroll: bar.scrollWidth > bar.clientWidth + 1, rows: bar.offsetHeight };
      });
      if (r.out.length || r.scroll) bad.push(`${width}px: ${r.out.join(",")}${r.scroll ? " overflow" : ""}`);
    }
    check(bad.length === 0, `${cat}: toolbar never clipped nor wrapped inside a button at ${widths.length} widths (${bad.join("; ")})`);
    await page.close();
  }
}

// ---- Touch: swipe at zoom 1, pan when zoomed -------------------------------------------
async function touch(base, viewport, label) {
  const t = await open(base, "catalog", viewport);
  const page = t.page;
  const cdp = await page.target().createCDPSession();
  const drag = async (x0, y0, x1, y1) => {
    await cdp.send("Input.dispatchTouchEvent", { type: "touchStart", touchPoints: [{ x: x0, y: y0 }] });
    for (let i = 1; i <= 8; i++)
      await cdp.send("Input.dispatchTouchEvent", { type: "touchMove", touchPoints: [{ x: x0 + (x1 - x0) * i / 8, y: y0 + (y1 - y0) * i / 8 }] });
    await cdp.send("Input.dispatchTouchEvent", { type: "touchEnd", touchPoints: [] });
    await sleep(300);
  };
  const before = await shown(page);
  await drag(viewport.width * 0.8, 500, viewport.width * 0.2, 500);
  await waitTurns(page);
  const after = await shown(page);
  check(after.right !== before.right, `${label}: a swipe to the left at zoom 1 turns (${before.right} → ${after.right})`);
  for (let i = 0; i < 3; i++) await click(page, "zoomin");
  const s0 = await page.$eval("#stage", (s) => [s.scrollLeft, s.scrollTop, s.scrollWidth - s.clientWidth]);
  await drag(viewport.width * 0.7, 600, viewport.width * 0.2, 300);
  const s1 = await page.$eval("#stage", (s) => [s.scrollLeft, s.scrollTop]);
  const num = (src) => Number(/(\d+)\.jpg$/.exec(src || "")?.[1]);
  check(s0[2] > 0 && s1[0] > s0[0] + 50 && s1[1] > s0[1] + 50 && num((await shown(page)).right) === num(after.right),
        `${label}: zoom 3 pans both ways by touch without turning (${s0} → ${s1})`);
  await drag(viewport.width * 0.2, 300, viewport.width * 0.8, 600);
  const s2 = await page.$eval("#stage", (s) => [s.scrollLeft, s.scrollTop]);
  check(s2[0] < s1[0] - 50 && s2[1] < s1[1] - 50, `${label}: and back (${s1} → ${s2})`);
  if (label === "phone") {
    const hd = await page.$eval("#right img", (i) => i.currentSrc);
    check(/catalogpagehd\d+\.jpg$/.test(hd), `${label}: zoomed, the sharper picture is shown (${hd})`);
  }
  await page.screenshot({ path: path.join(artefacts, `html-${label}-zoom3.png`) });
  check(t.errors.length === 0, `${label}: no console errors (${t.errors.join("; ")})`);
  await page.close();
}

// ---- Text layer, links, accessibility ----------------------------------------------------
async function textLayer(base) {
  const { page, errors } = await open(base, "catalog-evil", DESKTOP);
  await page.waitForFunction(() => document.querySelector("#right .tl > *"));
  const layer = await page.evaluate(() => {
    const tl = document.querySelector("#right .tl");
    const r = document.getElementById("right").getBoundingClientRect();
    const spans = [...tl.children];
    const inside = spans.every((s) => { const q = s.getBoundingClientRect(); return q.left >= r.left - 2 && q.right <= r.right + 2 && q.top >= r.top - 2 && q.bottom <= r.bottom + 2; });
    return { n: spans.length, inside, colour: getComputedStyle(spans[0]).color, alt: document.querySelector("#right img").alt,
             text: tl.textContent };
  });
  check(layer.n > 0 && layer.inside && layer.colour === "rgba(0, 0, 0, 0)", `text layer: ${layer.n} transparent lines inside the page`);
  check(/Seite 1/.test(layer.alt), `text layer: page 1's picture has an alternative text ("${layer.alt.slice(0, 80)}")`);
  // Selecting the layer's text gives the page's words.
  const selected = await page.evaluate(() => {
    const r = document.createRange();
    r.selectNodeContents(document.querySelector("#right .tl"));
    const s = getSelection(); s.removeAllRanges(); s.addRange(r);
    return String(s);
  });
  check(/2027\s+Alle Preise/.test(selected), `text layer: selectable, line by line (${JSON.stringify(selected.slice(0, 60))})`);
  await page.evaluate(() => getSelection().removeAllRanges());
  // A contents entry turns to its page.
  const toc = await page.$$eval(".tl a[href^='#page=']", (as) => as.map((a) => a.getAttribute("href")));
  if (toc.length) {
    await page.click(`.tl a[href='${toc[toc.length - 1]}']`);
    await waitTurns(page);
    const want = Number(toc[toc.length - 1].slice(6));
    const s = await shown(page);
    check(s.hash === `#page=${want}` || s.right === `catalogpage${want}.jpg` || s.left === `catalogpage${want}.jpg`,
          `links: the contents entry ${toc[toc.length - 1]} turns to its page (${s.left}, ${s.right})`);
  } else {
    check(false, "links: the first page has contents entries");
  }
  // The page of the hostile products: found by search (below); here the
  // accessibility tree of page 1 names its headings and products.
  const snap = await page.accessibility.snapshot({ interestingOnly: false });
  const names = [];
  (function walk(n) { if (n.name) names.push(n.name); (n.children || []).forEach(walk); })(snap);
  const all = names.join("\n");
  check(/Seite \d+/.test(all) && all.length > 200, `accessibility: page pictures and their text are in the tree (${names.length} names)`);
  check(errors.length === 0, `text layer: no console errors (${errors.join("; ")})`);
  await page.close();
}

// ---- Search and hostile texts -------------------------------------------------------------
async function search(page, q) {
  await page.click("#q", { clickCount: 3 });
  await page.keyboard.press("Backspace");
  await page.type("#q", q);
  await page.waitForFunction((q) => document.body.getAttribute("data-searched") === q &&
                             document.querySelectorAll("#hits li").length > 0, { timeout: 8000 }, q);
}
async function searchAndEvil(base, label) {
  const t = await open(base, "catalog-evil", DESKTOP);
  const page = t.page;
  const before = await page.evaluate(() => [...document.scripts].filter((s) => !s.src).length);
  await click(page, "searchbtn");
  await search(page, "giesskanne example");
  const hit = await page.$eval("#hits a", (a) => ({ text: a.textContent, page: a.getAttribute("data-page"), mark: a.querySelector("mark").textContent }));
  check(/Seite \d+/.test(hit.text) && hit.mark === "Gießkanne", `${label}: "giesskanne" finds "Gießkanne" (${hit.text.slice(0, 70)})`);
  await page.click("#hits a");
  await waitTurns(page);
  await page.waitForFunction(() => document.querySelector(".tl mark") &&
    [...document.querySelectorAll(".half")].every((h) => getComputedStyle(h).visibility === "hidden" || getComputedStyle(h).display === "none" || h.querySelector(".tl").hasAttribute("data-page")),
    { timeout: 5000 }).catch(() => {});
  const marked = await page.$$eval(".tl mark", (m) => m.map((x) => x.textContent));
  check(marked.includes("Gießkanne"), `${label}: the page turns to the hit, highlighted (${marked.join(", ")})`);
  await page.screenshot({ path: path.join(artefacts, `html-search-${label}.png`) });
  // The web and mail addresses on that page are links of the allowed kinds.
  const hrefs = await page.$$eval(".tl a", (as) => as.map((a) => a.getAttribute("href")));
  check(hrefs.includes("https://www.example.com") && hrefs.includes("mailto:info@example.com"),
        `${label}: web and mail addresses are links (${hrefs.filter((h) => !h.startsWith("#")).join(", ")})`);
  check(hrefs.every((h) => /^(#page=\d+|https?:|mailto:)/.test(h)), `${label}: links only to #page=N, http(s): and mailto:`);

  // The hostile products: found, shown literally, nothing runs.
  await search(page, "onerror");
  const snippet = await page.$eval("#hits a", (a) => a.textContent);
  check(snippet.includes("<img src=x onerror=alert(1)>"), `${label}: the hostile name shows literally in the results`);
  await page.click("#hits a");
  await waitTurns(page);
  await page.waitForFunction(() => document.querySelector(".tl mark"), { timeout: 5000 }).catch(() => {});
  const texts = await page.$$eval(".tl > *", (s) => s.map((x) => x.textContent));
  const evil = ["<img src=x onerror=alert(1)>", "</script><script>alert(2)</script>", '"onmouseover="alert(3)', "javascript:alert(4)"];
  const shownEvil = evil.filter((e) => texts.some((x) => x.includes(e)));
  check(shownEvil.length === evil.length, `${label}: hostile texts are shown as typed (${shownEvil.length} of ${evil.length})`);
  // Hover every line (onmouseover) and wait for anything to run.
  for (const el of await page.$$(".tl > *")) await el.hover().catch(() => {});
  await sleep(300);
  const after = await page.evaluate(() => ({
    scripts: [...document.scripts].map((s) => s.getAttribute("src") || "inline"),
    imgs: [...document.querySelectorAll("img")].filter((i) => (i.getAttribute("src") || "") === "x").length,
    handlers: [...document.querySelectorAll("*")].filter((e) => [...e.attributes].some((a) => /^on/i.test(a.name))).length,
    hrefs: [...document.querySelectorAll("a[href]")].map((a) => a.getAttribute("href")).filter((h) => !/^(#page=\d+|https?:|mailto:|catalog\.pdf$)/.test(h)),
  }));
  check(t.dialogs.length === 0, `${label}: no dialog opened (${t.dialogs.join(", ")})`);
  const okScripts = after.scripts.every((s) => s === "inline" || /^catalog(text\d+|search)\.js$/.test(s)) &&
        after.scripts.filter((s) => s === "inline").length === 1;
  check(okScripts && after.imgs === 0 && after.handlers === 0 && after.hrefs.length === 0,
        `${label}: no extra script, element, handler or link (${after.scripts.join(" ")}; img x: ${after.imgs}; on*: ${after.handlers}; ${after.hrefs.join(" ")})`);
  check(before === 1, `${label}: one inline script in the page at start (${before})`);
  check(t.errors.length === 0, `${label}: no console errors (${t.errors.join("; ")})`);
  await page.close();
}

// ---- Without scripts ----------------------------------------------------------------------
async function noScript(base) {
  const { page } = await open(base, "catalog-evil", { width: 1024, height: 900 }, { js: false });
  // The catalog page sends readers without scripts to the page list.
  if (!page.url().endsWith("catalogpages.htm")) await page.waitForNavigation({ timeout: 5000 }).catch(() => {});
  check(page.url().endsWith("catalog-evil/catalogpages.htm"), `without scripts: on to the page list (${page.url()})`);
  const r = await page.evaluate(() => ({
    sections: document.querySelectorAll("#plain section").length,
    imgs: document.querySelectorAll("#plain img[alt]").length,
    text: document.getElementById("plain") ? document.getElementById("plain").textContent : "",
  }));
  const count = countOf("catalog-evil");
  check(r.sections === count && r.imgs === count && r.text.includes("<img src=x onerror=alert(1)>"),
        `without scripts: ${r.sections} pages listed as pictures with their text (${count} pages)`);
  await page.screenshot({ path: path.join(artefacts, "html-noscript.png") });
  await page.close();
}

// ---- Thumbnails, page box, PDF link --------------------------------------------------------
async function overview(base) {
  const { page, requests } = await open(base, "catalog", TABLET);
  const count = countOf("catalog");
  const pdf = await page.$eval("#pdf", (a) => ({ hidden: a.hidden, href: a.getAttribute("href") }));
  check(!pdf.hidden && pdf.href === "catalog.pdf" && fs.existsSync(path.join(work, "catalog", "catalog.pdf")),
        `"PDF herunterladen" links the PDF written beside (${JSON.stringify(pdf)})`);
  await page.click("#pageno", { clickCount: 3 });
  await page.type("#pageno", "6");
  await page.keyboard.press("Enter");
  await waitTurns(page);
  check((await shown(page)).right === "catalogpage6.jpg", "page number box: 6 and Enter shows page 6");
  const n0 = requests.length;
  await page.focus("#thumbsbtn");
  await page.keyboard.press("Enter");
  await sleep(500);
  const thumbs = await page.$$eval("#thumbs .body button", (b) => b.length);
  const loaded = requests.slice(n0).filter((u) => /catalogpage\d+\.jpg$/.test(u)).length;
  check(thumbs === count && loaded < count, `thumbnails: ${thumbs} pages, ${loaded} pictures loaded lazily`);
  const focused = await page.evaluate(() => document.activeElement.getAttribute("data-page"));
  await page.keyboard.press("ArrowRight");
  await page.keyboard.press("ArrowRight");
  const moved = await page.evaluate(() => document.activeElement.getAttribute("data-page"));
  await page.screenshot({ path: path.join(artefacts, "html-tablet-thumbs.png") });
  await page.keyboard.press("Enter");
  await waitTurns(page);
  check(Number(moved) === Number(focused) + 2 && (await shown(page)).right === `catalogpage${moved}.jpg`,
        `thumbnails: keyboard moves ${focused} → ${moved} and Enter opens it`);
  await page.screenshot({ path: path.join(artefacts, "html-tablet.png") });
  await page.close();
}

// ---- Sharp pictures ----------------------------------------------------------------------
async function sharp(base) {
  const page = await browser.newPage();
  await page.setViewport({ ...DESKTOP, deviceScaleFactor: 2 });
  await page.goto(`${base}catalog/catalog.htm`, { waitUntil: "load" });
  await page.waitForSelector("body[data-ready]");
  await settle(page);
  const src = await page.$eval("#right img", (i) => i.currentSrc);
  check(/catalogpagehd1\.jpg$/.test(src), `2x screen: the sharper picture (${src})`);
  await page.close();
}

// ---- The big catalog: first view, a turn, search time ---------------------------------------
async function budgets(base) {
  const page = await browser.newPage();
  await page.setViewport(DESKTOP);
  const cdp = await page.target().createCDPSession();
  await cdp.send("Network.enable");
  await cdp.send("Network.setCacheDisabled", { cacheDisabled: true });
  const got = new Map();
  cdp.on("Network.requestWillBeSent", (e) => got.set(e.requestId, { url: e.request.url, bytes: 0 }));
  cdp.on("Network.loadingFinished", (e) => { if (got.has(e.requestId)) got.get(e.requestId).bytes = e.encodedDataLength; });
  await page.goto(`${base}catalog-big/catalog.htm`, { waitUntil: "networkidle0" });
  await page.waitForSelector("body[data-ready]");
  await sleep(500);
  const first = [...got.values()];
  const kb = first.reduce((a, r) => a + r.bytes, 0) / 1024;
  const count = countOf("catalog-big");
  figure(`first view of the ${count}-page catalog: ${first.length} requests, ${kb.toFixed(0)} KB`);
  check(first.length <= 12 && kb <= 600, `first view: ≤ 12 requests and ≤ 600 KB (${first.length}, ${kb.toFixed(0)} KB)`);
  // The first turn starts loading ahead; from then on each turn fetches
  // one spread's pictures (the next one, ahead) and the texts it shows.
  await page.click("#next");
  await sleep(1500);
  got.clear();
  await page.click("#next");
  await sleep(1500);
  const turn = [...got.values()].map((r) => path.basename(r.url));
  const textKb = Math.max(0, ...[...got.values()].filter((r) => /catalogtext/.test(r.url)).map((r) => r.bytes / 1024));
  figure(`a turn fetches: ${turn.join(", ")} (largest text ${textKb.toFixed(1)} KB)`);
  check(turn.every((u) => /^catalog(page|text)\d+\.(jpg|js)$/.test(u)) && turn.length <= 4 && textKb <= 10,
        `a turn fetches only the next spread's pictures and texts (${turn.length})`);
  // Search: from the last key to the results on screen.
  await page.click("#searchbtn");
  await page.waitForFunction(() => typeof window.qlSearchIndex === "function");
  await sleep(1500);  // the index loads when the field gets the focus
  const times = [];
  for (const q of ["giesskanne", "spaten nr. 1999", "groesse 3", "xyzzy"]) {
    await page.click("#q", { clickCount: 3 });
    await page.keyboard.press("Backspace");
    await sleep(200);
    const t = await page.evaluate(async (q) => {
      const input = document.getElementById("q");
      for (const c of q.slice(0, -1)) { input.value += c; input.dispatchEvent(new Event("input")); }
      await new Promise((r) => setTimeout(r, 50));
      const t0 = performance.now();  // the last key
      input.value += q.slice(-1);
      input.dispatchEvent(new Event("input"));
      await new Promise((resolve) => {
        const done = () => document.body.getAttribute("data-searched") === input.value;
        if (done()) return resolve();
        new MutationObserver((m, o) => { if (done()) { o.disconnect(); resolve(); } })
          .observe(document.body, { attributes: true, attributeFilter: ["data-searched"] });
      });
      return { ms: performance.now() - t0, hits: document.querySelectorAll("#hits li").length };
    }, q);
    times.push(`${q}: ${t.ms.toFixed(0)} ms, ${t.hits} pages`);
    check(t.ms <= 100, `search "${q}" answers ${t.ms.toFixed(0)} ms after the last key (${t.hits} pages)`);
  }
  figure(`search over ${count} pages: ${times.join("; ")}`);
  await page.close();
}

try {
  const server = await serve(work);
  const http = `http://127.0.0.1:${server.address().port}/`;
  const file = `file://${work}/`;
  await spreads(file, "file");
  await spreads(http, "http");
  await oddCount(file);
  await langAndTitle(http);
  await toolbar(file);
  await touch(file, TABLET, "tablet");
  await touch(http, PHONE, "phone");
  await textLayer(file);
  await searchAndEvil(file, "file");
  await searchAndEvil(http, "http");
  await noScript(file);
  await overview(http);
  await sharp(file);
  const phone = await open(file, "catalog", PHONE);
  await phone.page.screenshot({ path: path.join(artefacts, "html-phone.png") });
  await phone.page.close();
  await budgets(http);
  server.close();
} finally {
  await browser.close();
  fs.rmSync(profile, { recursive: true, force: true });
}
console.log(figures.map((f) => `figure: ${f}`).join("\n"));
if (failures.length) {
  console.log(`${failures.length} check(s) failed`);
  process.exit(1);
}
console.log("all checks passed; screenshots in " + artefacts);
