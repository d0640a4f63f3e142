#!/usr/bin/python3
"""The web page in real browsers, against build/web/ served on localhost: one game in Chromium
(Blink), Firefox ESR (Gecko, through its own WebDriver BiDi) and WebKitGTK (WebKit, MiniBrowser on
a private Xvfb); in Chromium also the drawing on a large screen, a phone in both orientations by
touch, the keyboard, axe-core and the offline reload. Usage: browser_test.py SITE_DIR GAME_TABLES_JSON [ENGINE...]"""
import functools
import glob
import hashlib
import http.server
import importlib
import json
import math
import os
import random
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.keys import Keys

HERE = os.path.dirname(os.path.abspath(__file__))
CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update", "--disable-sync",
                  "--window-size=800,700"]
KEYS = {"F2": Keys.F2, "F10": Keys.F10, "ArrowDown": Keys.ARROW_DOWN, "ArrowUp": Keys.ARROW_UP,
        "Escape": Keys.ESCAPE, "Backspace": Keys.BACKSPACE, "Tab": Keys.TAB}
WEB = os.path.join(HERE, "..", "..", "web")
SW_TEMPLATE = os.path.join(WEB, "page", "ServiceWorker.js")


sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))
PageHandler = importlib.import_module("web-serve").PageHandler


class Host(PageHandler):
    """Serves as `make web-serve` does, and can play a stale proxy: STALE maps a path to the old
    bytes it hands out to any request that does not insist on the origin's (Cache-Control:
    no-cache, as a reload sends), or to every request for a path in STUCK."""
    STALE, STUCK = {}, set()

    def do_GET(self):
        path = self.path.split("?")[0]
        insists = "no-cache" in self.headers.get("Cache-Control", "") + self.headers.get("Pragma", "")
        if path in self.STALE and (path in self.STUCK or not insists):
            self.send_response(200)
            self.send_header("Content-Type", self.guess_type(path))
            self.send_header("Content-Length", str(len(self.STALE[path])))
            self.end_headers()
            self.wfile.write(self.STALE[path])
        else:
            super().do_GET()

    def log_message(self, *args):
        pass


QuietHandler = Host  # the benchmarks serve the page as the tests do


def serve(site, port=0):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), functools.partial(Host, directory=site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def chromium(profile):
    options = webdriver.ChromeOptions()
    for flag in CHROMIUM_FLAGS + [f"--user-data-dir={profile}"]:
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service(shutil.which("chromedriver") or "/usr/bin/chromedriver"), options=options)


class SeleniumPage:
    """Chromium and WebKit through WebDriver, with the verbs the game is played by."""
    def __init__(self, driver, on_quit=()):
        self.driver, self.on_quit = driver, on_quit

    def get(self, url):
        self.driver.get(url)

    def js(self, body, *args):
        return self.driver.execute_script(body, *args)

    def click(self, x, y):  # at a point of the viewport, in CSS pixels
        actions = ActionBuilder(self.driver)
        actions.pointer_action.move_to_location(int(x), int(y)).click()
        actions.perform()

    def key(self, key):
        ActionChains(self.driver).send_keys(KEYS[key]).perform()

    def type(self, text):
        ActionChains(self.driver).send_keys(text).perform()

    def errors(self):
        if self.driver.name == "chrome":
            return [e for e in self.driver.get_log("browser") if e["level"] == "SEVERE"]
        return self.js("return window.pageErrors ?? []")  # WebKitGTK's driver keeps no console log

    def quit(self):
        self.driver.quit()
        for stop in self.on_quit:
            stop()


class FirefoxPage(SeleniumPage):
    """Firefox ESR through tests/web/firefox.mjs (puppeteer-core over WebDriver BiDi)."""
    def __init__(self):
        self.process = subprocess.Popen(["/usr/bin/node", os.path.join(HERE, "firefox.mjs")], text=True,
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        env={**os.environ, "MOZ_DISABLE_CONTENT_SANDBOX": "1"})  # as WebKit's below

    def call(self, verb, *args):
        self.process.stdin.write(json.dumps([verb, *args]) + "\n")
        self.process.stdin.flush()
        reply = json.loads(self.process.stdout.readline())
        if "error" in reply:
            raise RuntimeError(reply["error"])
        return reply["value"]

    get = functools.partialmethod(call, "get")
    click = functools.partialmethod(call, "click")
    key = functools.partialmethod(call, "key")
    type = functools.partialmethod(call, "type")
    errors = functools.partialmethod(call, "errors")

    def js(self, body, *args):
        return self.call("js", body, list(args))

    def quit(self):
        self.process.communicate('["quit"]\n', timeout=30)


def x_server():
    """An Xvfb of our own on a display that no other X server holds, by lock file or by the
    abstract socket that X clients try first (other sandboxes on this machine may hold one)."""
    def taken(n):
        with socket.socket(socket.AF_UNIX) as s:
            return s.connect_ex(f"\0/tmp/.X11-unix/X{n}") == 0 or os.path.exists(f"/tmp/.X{n}-lock")
    display = next(n for n in random.sample(range(100, 1000), 100) if not taken(n))
    xvfb = subprocess.Popen(["Xvfb", f":{display}", "-screen", "0", "1024x768x24", "-nolisten", "tcp"], stderr=subprocess.DEVNULL)
    for _ in range(200):
        if taken(display):
            return display, xvfb
        time.sleep(0.05)
    raise RuntimeError(f"Xvfb did not start on :{display}")


def webkit():
    """MiniBrowser on a private Xvfb, driven by WebKitWebDriver."""
    display, xvfb = x_server()
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        port = s.getsockname()[1]
    # Like Chromium's --no-sandbox: the pages are the test's own, and a build root or a container
    # may not give the sandbox the namespaces it needs. Skia draws on the CPU and nothing is
    # composited: on a machine without a GPU, Skia's shader compiler has crashed the web process.
    driver = subprocess.Popen(["WebKitWebDriver", f"--port={port}"], stdout=subprocess.DEVNULL,
                              env={**os.environ, "DISPLAY": f":{display}", "WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS": "1",
                                   "WEBKIT_SKIA_ENABLE_CPU_RENDERING": "1", "WEBKIT_DISABLE_COMPOSITING_MODE": "1"})
    options = webdriver.WebKitGTKOptions()
    options.binary_location = glob.glob("/usr/lib/*/webkit2gtk-4.*/MiniBrowser")[0]
    options.add_argument("--automation")
    for attempt in range(100):  # until the driver listens
        try:
            return SeleniumPage(webdriver.Remote(command_executor=f"http://127.0.0.1:{port}", options=options),
                                (driver.terminate, xvfb.terminate))
        except Exception:
            if attempt == 99:
                raise
            time.sleep(0.1)


def item_values(game_tables):
    with open(game_tables, encoding="utf-8") as f:
        return {item["picture"]: item["value"] for item in json.load(f)["items"]}


# The topmost picture with an opaque pixel inside the area, and that pixel, as the page draws it.
FIND_ITEM = """
const { model, view } = window.namoro;
const { pictures, form } = model.layout;
for (let i = pictures.length - 1; i >= 0; --i) {
  const { name, width: w, height: h, argb } = pictures[i];
  const { left, top } = view.places[i];
  for (let y = 0; y < h; ++y) for (let x = 0; x < w; ++x) {
    const px = left + x, py = top + y;
    if (px > 0 && py > 0 && px < form.width && py < form.height && argb[4 * (y * w + x) + 3] !== 0) {
      // The page drew this pixel where the model hits it: mostly opaque on the canvas at its centre.
      const r = view.ratio, canvas = view.canvas.getContext('2d');
      return { name, x: px, y: py, drawn: canvas.getImageData(Math.floor((px + 0.5) * r), Math.floor((py + 0.5) * r), 1, 1).data[3] > 127 };
    }
  }
}
return null;
"""
# Errors thrown or logged from here on, for an engine whose driver keeps no console log.
COLLECT_ERRORS = """
window.pageErrors = [];
addEventListener('error', (e) => pageErrors.push(String(e.message)));
addEventListener('unhandledrejection', (e) => pageErrors.push(String(e.reason)));
const logged = console.error;
console.error = (...a) => { pageErrors.push(a.join(' ')); logged(...a); };
"""
# Where the window shows: nothing scrolled, nothing past the visible part of the page, the fit's
# scale and the one it shows at, and whether the canvas has a device pixel for each at that fit.
FIT = """
const w = document.getElementById('window'), r = w.getBoundingClientRect(), e = document.documentElement, v = visualViewport;
const shown = r.width / w.offsetWidth, c = document.getElementById('pictures'), f = window.namoro.model.layout.form;
return { inside: r.left >= 0 && r.top >= 0 && r.right <= v.width + 0.5 && r.bottom <= v.height + 0.5,
         scrolled: scrollX + scrollY + v.pageLeft + v.pageTop + document.getElementById('area').scrollTop, overflow: e.scrollWidth > v.width || e.scrollHeight > v.height,
         scale: window.namoro.fit.scale, shown, box: document.activeElement.tagName === 'INPUT',
         sharp: [c.width, c.height].join() === [f.width, f.height].map((n) => Math.round(n * devicePixelRatio * shown)).join() };
"""
# Stops the game's timer, so that nothing moves, and answers once two frames have been drawn.
FREEZE = """
const done = arguments[arguments.length - 1];
window.namoro.clock.stop();
requestAnimationFrame(() => requestAnimationFrame(() => done(JSON.stringify(window.namoro.view.places))));
"""
# The canvas against the model's places at a whole ratio, where nothing blends: each logical
# pixel that a picture covers opaquely is opaque at its centre, every other one clear.
DRAWN_AS_PLACED = """
const { model, view } = window.namoro;
const { pictures, form: { width: w, height: h } } = model.layout;
const cover = new Uint8Array(w * h);
pictures.forEach(({ width, height, argb }, i) => {
  const { left, top } = view.places[i];
  for (let y = 0; y < height; ++y) for (let x = 0; x < width; ++x) {
    const px = left + x, py = top + y;
    if (px >= 0 && py >= 0 && px < w && py < h && argb[4 * (y * width + x) + 3] !== 0) cover[py * w + px] = 1;
  }
});
const canvas = document.getElementById('pictures'), r = canvas.width / w;
const alpha = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
const wrong = [];
for (let y = 0; y < h; ++y) for (let x = 0; x < w; ++x) {
  const a = alpha[4 * (Math.floor((y + 0.5) * r) * canvas.width + Math.floor((x + 0.5) * r)) + 3];
  if ((a > 127) !== (cover[y * w + x] === 1)) wrong.push([x, y, a]);
}
return { wrong: wrong.length, first: wrong.slice(0, 4) };
"""
# The canvas as the partial redraws left it, against the same canvas drawn again whole.
REDRAWN_WHOLE = """
const canvas = document.getElementById('pictures'), context = canvas.getContext('2d');
const shown = context.getImageData(0, 0, canvas.width, canvas.height).data;
window.namoro.view.draw();
const whole = context.getImageData(0, 0, canvas.width, canvas.height).data;
let differ = 0;
for (let i = 0; i < shown.length; ++i) differ += shown[i] !== whole[i];
return differ;
"""


def check(condition, message):
    if not condition:
        raise AssertionError(message)
    print("ok:", message)


def wait(page, script, seconds=20):
    end = time.monotonic() + seconds
    while not page.js(script):
        if time.monotonic() > end:
            raise AssertionError(f"timed out waiting for: {script}")
        time.sleep(0.05)


def centre(page, selector, text=None):
    r = page.js("const e = [...document.querySelectorAll(arguments[0])].find((e) => !arguments[1] || e.textContent === arguments[1]);"
                "const r = e.getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2];", selector, text)
    return r[0], r[1]


def logical(page, x, y):  # the viewport point inside logical pixel (x, y) of the area
    r = page.js("const r = document.getElementById('pictures').getBoundingClientRect();"
                "return [r.left, r.top, r.width / window.namoro.model.layout.form.width];")
    return math.floor(r[0] + (x + 0.5) * r[2]), math.floor(r[1] + (y + 0.5) * r[2])


def choose(page, caption, press=None):
    press = press or page.click
    press(*centre(page, "#menubar > button", "ナモロゲーム"))
    press(*centre(page, "[role=menu] button", caption))


def value(page, box):
    return page.js("return document.getElementById(arguments[0]).value", box)


def load(page, url):
    page.get(url)
    wait(page, "return !!window.namoro && document.fonts.status === 'loaded'")
    page.js(COLLECT_ERRORS)


def caption_font(page):
    """The caption's font as drawn, in CSS pixels whatever the screen's ratio or the fit."""
    font = page.js("const drawn = getComputedStyle(document.getElementById('caption')), given = window.namoro.model.layout.captions[0];"
                   "return [drawn.fontSize, drawn.fontWeight, `${given.pixelSize}px`, String(given.weight)];")
    check(font[:2] == font[2:] == ["21px", "700"], f"the caption is drawn at 21 CSS pixels, bold, as the model gives it {font}")


def score_a_click(page, values, press):
    """Clicks score while the time box holds a number above 0: a typed time lets an item be
    pressed while it stands still."""
    press(*centre(page, "#Text2"))
    page.key("Backspace")
    page.type("30")
    item = page.js(FIND_ITEM)
    before = float(value(page, "Text1"))
    press(*logical(page, item["x"], item["y"]))
    name = item["name"]
    check(item["drawn"] and float(value(page, "Text1")) - before == values[name],
          f"a press on {name}'s edge pixel ({item['x']}, {item['y']}), drawn there, adds its {values[name]:g}")
    press(*centre(page, "#Text2"))
    for _ in "30":
        page.key("Backspace")
    page.type("0")


def play(page, url, values):
    """The game every engine plays: the menu, a click that scores, the countdown, エンド."""
    load(page, url)
    check(value(page, "Text2") == "0", "the time box shows 0 after loading")
    check(page.js("return [document.title, document.getElementById('title').textContent]") == ["ナモロゲーム", "Form1"]
          and page.js("return [...document.querySelectorAll('h1, h2, h3')].map((h) => h.textContent)")[0] == "ナモロゲーム"
          and page.js("return document.getElementById('title').closest('h1, h2, h3, h4, h5, h6, [role=heading]')") is None,
          "the tab and the page's top heading read ナモロゲーム, the window's title bar Form1, which is no heading")
    check(page.js("return [...document.fonts].some((f) => f.family.includes('RocknRoll One Ranks') && f.status === 'loaded')"),
          "the caption is drawn in the subset face, which loaded")
    check(page.js("""const c = document.getElementById('caption'), range = document.createRange();
        range.selectNodeContents(c);
        const t = range.getBoundingClientRect(), b = c.getBoundingClientRect();
        return Math.abs((t.left + t.right) - (b.left + b.right)) < 2;"""), "the caption's text stands centred, as its alignment says")
    check(page.js("return !window.namoro.clock.armed"), "no timer is armed while waiting")
    score_a_click(page, values, page.click)
    choose(page, "スタート")
    if page.js("return document.hasFocus()"):  # headless Firefox's window never has it, and sends no focus events
        check(page.js("return document.activeElement.id") == "Text2", "after a menu command the focus is back in the box last used")
    wait(page, "return document.getElementById('Text2').value === '59'")
    check(True, "スタート starts the countdown: the time box shows 59")
    choose(page, "エンド")
    wait(page, "return !document.getElementById('ended').hidden")
    check(page.js("return document.documentElement.dataset.status") == "0" and not page.js("return window.namoro.clock.armed"),
          "エンド ends the program with status 0")
    check(page.js("return document.activeElement.id") == "ended-title", "the end page's heading takes the focus, for a reader to say it")
    errors = page.errors()
    check(not errors, f"no console errors {errors}")


FINGER = 12  # a fingertip's radius in CSS pixels
# The readable copy of the window's text, where it stands, and what it and the window show.
COPY = """
const c = document.getElementById('readable'), w = document.getElementById('window').getBoundingClientRect(), r = c.getBoundingClientRect();
const box = parseFloat(getComputedStyle(document.getElementById('Text1')).fontSize) * window.namoro.fit.scale;
return { shown: !c.hidden && r.width > 0, quiet: c.getAttribute('aria-hidden') === 'true', box,
         below: r.top >= w.bottom - 0.5, beside: r.left >= w.right - 0.5,
         inside: r.left >= -0.5 && r.top >= -0.5 && r.right <= innerWidth + 0.5 && r.bottom <= innerHeight + 0.5,
         size: Math.min(...[...c.querySelectorAll('p')].map((p) => parseFloat(getComputedStyle(p).fontSize))),
         copied: [...[...c.querySelectorAll('output')].map((o) => o.textContent).sort(), c.querySelector('.rank').textContent],
         shownInWindow: [...[...document.querySelectorAll('.area input')].map((i) => i.value).sort(), document.getElementById('caption').textContent] };
"""


def readable(page, width, height):
    """Where the fitted window's text is too small, the free space repeats it at a readable size."""
    copy = page.js(COPY)
    where = "below" if height >= width else "beside"
    check(copy["shown"] and copy["quiet"] and copy[where] and copy["inside"] and copy["size"] >= 16
          and copy["copied"] == copy["shownInWindow"],
          f"{width} × {height}: the boxes' {copy['box']:.1f} px text is repeated {where} the window at {copy['size']:g} px, "
          f"hidden from readers: {copy['copied']}")


def near_the_boxes(page, tap):
    """A finger on the area just outside a box is a click at the pixel under it; only a finger on a
    box focuses it."""
    page.js("window.clicks = []; const m = window.namoro.model, click = m.click.bind(m);"
            "m.click = (x, y) => { clicks.push([x, y]); click(x, y); };")
    box = page.js("const r = document.getElementById('Text1').getBoundingClientRect(); return [r.left + r.width / 2, r.top, r.left, r.top + r.height / 2];")
    under = []
    for x, y in ((round(box[0]), round(box[1]) - 3), (round(box[0]), round(box[1]) - 8), (round(box[2]) - 4, round(box[3]))):
        tap(x, y)
        under.append(page.js("const r = document.getElementById('pictures').getBoundingClientRect(), s = r.width / window.namoro.model.layout.form.width;"
                             "return [Math.floor((arguments[0] - r.left) / s + 1e-9), Math.floor((arguments[1] - r.top) / s + 1e-9)];", x, y))
    seen = page.js("return [document.activeElement.tagName, window.clicks]")
    check(seen == ["BODY", under],
          f"a finger 3 and 8 px above and 4 px left of the score box clicks the area there {under}, and focuses no box {seen}")
    tap(box[0], box[1] + 3)
    check(page.js("return [document.activeElement.id, window.clicks.length]") == ["Text1", 3], "a finger on the score box focuses it")
    page.js("document.activeElement.blur()")


def composing(driver, page, url):
    """On a phone, a word composed in the score box while the countdown runs stays there through
    three ticks, and reaches the model as typed once committed."""
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {"width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True})
    driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})

    def tap(x, y):
        for kind, points in (("touchStart", [{"x": x, "y": y}]), ("touchEnd", [])):
            driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": points})
    load(page, url)
    page.js("window.typed = []; const m = window.namoro.model, type = m.type.bind(m);"
            "m.type = (box, text) => { typed.push([box, text]); type(box, text); };")
    choose(page, "スタート", tap)
    wait(page, "return document.getElementById('Text2').value === '59'")
    tap(*centre(page, "#Text1"))
    driver.execute_cdp_cmd("Input.imeSetComposition", {"text": "なもろ", "selectionStart": 3, "selectionEnd": 3})
    wait(page, "return Number(document.getElementById('Text2').value) <= 56", 10)
    composed = value(page, "Text1")
    copied = page.js("return [...document.querySelectorAll('#readable output')].map((o) => o.textContent)")
    driver.execute_cdp_cmd("Input.insertText", {"text": "ナモロ"})
    typed = page.js("return window.typed")
    final = composed.replace("なもろ", "ナモロ")
    check("なもろ" in composed and composed in copied and typed and all(text == final for _, text in typed) and value(page, "Text1") == final,
          f"on a phone, a word composed in the score box stays through three ticks ({composed!r}), the readable copy with it,"
          f" and commits as typed {typed}")
    driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
    driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": False})


def no_room(driver, page, url):
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {"width": 600, "height": 520, "deviceScaleFactor": 1, "mobile": False})
    load(page, url)
    copy = page.js(COPY)
    check(copy["box"] < 12 and not copy["shown"], f"600 × 520: the boxes' text is {copy['box']:.1f} px, but with no free space nothing is added")
    driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


def pen(page, url):
    """A pen brings no keyboard: choosing スタート with it leaves the focus out of the boxes."""
    load(page, url)
    page.js("document.activeElement.blur()")

    def press(x, y):
        for kind in ("mousePressed", "mouseReleased"):
            page.driver.execute_cdp_cmd("Input.dispatchMouseEvent", {"type": kind, "x": x, "y": y, "button": "left", "clickCount": 1, "pointerType": "pen"})
    choose(page, "スタート", press)
    wait(page, "return document.getElementById('Text2').value === '59'")
    check(page.js("return document.activeElement.tagName") != "INPUT", "a pen chooses スタート, and no box takes the focus")


def phone(driver, page, url, values, width, height):
    """A phone by touch: the whole window fits, taps start and score, and no box takes the focus."""
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {"width": width, "height": height, "deviceScaleFactor": 3, "mobile": True})
    driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})

    def tap(x, y):  # a fingertip, which Chromium's touch adjustment may move onto what it finds near
        for kind, points in (("touchStart", [{"x": x, "y": y, "radiusX": FINGER, "radiusY": FINGER}]), ("touchEnd", [])):
            driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": points})

    load(page, url)
    fit = page.js(FIT)
    check(fit["inside"] and not fit["scrolled"] and not fit["overflow"] and fit["scale"] < 1 and not fit["box"] and fit["sharp"],
          f"{width} × {height}: the window fits at {fit['scale']:.3f}, nothing scrolled, no box focused, a device pixel each")
    caption_font(page)
    readable(page, width, height)
    near_the_boxes(page, tap)
    tap(*centre(page, "#menubar > button", "ナモロゲーム"))
    tap(*centre(page, "#caption"))
    check(page.js("return document.querySelector('[role=menu]').hidden"), "a tap outside the open menu closes it")
    score_a_click(page, values, tap)
    choose(page, "スタート", tap)
    wait(page, "return document.getElementById('Text2').value === '59'")
    fit = page.js(FIT)
    check(fit["inside"] and not fit["scrolled"] and not fit["box"], f"{width} × {height}: a tap on スタート starts, nothing scrolled, no box focused")
    readable(page, width, height)
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {"width": height, "height": width, "deviceScaleFactor": 3, "mobile": True})
    size = page.js("const w = document.getElementById('window'); return [w.offsetWidth, w.offsetHeight]")
    wait(page, f"return Math.abs(window.namoro.fit.scale - {min(1, height / size[0], width / size[1])}) < 1e-6")
    fit = page.js(FIT)
    check(fit["inside"] and not fit["scrolled"] and not fit["overflow"] and fit["sharp"],
          f"turned mid-game, the window fits again, at {fit['shown']:.3f}, and the canvas has a device pixel for each at that fit")
    readable(page, height, width)
    driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
    driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": False})


def drawing(driver, page, url):
    """A large desktop screen at a whole and a fractional ratio: the window shows at exactly one
    CSS pixel per logical pixel, no larger, and the falling items are drawn where the model
    places them, the partial redraws leaving the canvas as a whole redraw draws it."""
    for ratio in (2, 1.79):
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {"width": 1400, "height": 1100, "deviceScaleFactor": ratio, "mobile": False})
        load(page, url)
        fit = page.js(FIT)
        check(fit["inside"] and fit["scale"] == fit["shown"] == 1 and fit["sharp"],
              f"on a large screen the window shows at 1:1 ({fit['shown']:.3f}), with a device pixel each at ratio {ratio}")
        caption_font(page)
        before = json.loads(page.js("return JSON.stringify(window.namoro.view.places)"))
        page.key("F2")
        wait(page, "return document.getElementById('Text2').value === '58'")
        after = json.loads(page.driver.execute_async_script(FREEZE))
        check(all(a != b for a, b in zip(after, before)), "after スタート every item has fallen")
        if ratio == 2:
            drawn = page.js(DRAWN_AS_PLACED)
            check(drawn["wrong"] == 0, f"each item is drawn at its new place and nothing at its old one {drawn}")
        differ = page.js(REDRAWN_WHOLE)
        check(differ == 0, f"at ratio {ratio} the partial redraws leave the canvas as a whole redraw draws it ({differ} bytes differ)")
    driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


# A paste: the box's whole text set at once, as the browser does, and its input event.
PASTE = """
const box = document.getElementById(arguments[0]);
box.value = arguments[1].repeat(arguments[2]);
box.dispatchEvent(new InputEvent('input', { inputType: 'insertFromPaste', bubbles: true }));
return box.value.length;
"""


def paste(page, url, values):
    """Ten megabytes pasted into either box: the game plays on, and a tick's view stays short."""
    load(page, url)
    page.js(PASTE, "Text1", "x", 10_000_000)
    page.js("window.namoro.model.type(0, 'x'.repeat(10_000_000))")  # all of it, whatever the engine's field keeps
    page.js(PASTE, "Text2", "30", 1)
    item = page.js(FIND_ITEM)
    page.click(*logical(page, item["x"], item["y"]))
    check(float(value(page, "Text1")) == values[item["name"]], "with 10 MB typed into the score box, a click scores")
    choose(page, "スタート")
    wait(page, "return document.getElementById('Text2').value === '59'")
    # WebKit keeps at most 524,288 characters of a paste in a text field, as it does of any text.
    kept = page.js(PASTE, "Text1", "x", 10_000_000)
    page.js("window.namoro.clock.slowest = 0")
    wait(page, "return Number(document.getElementById('Text2').value) <= 57")  # a slow tick may skip a second
    slowest = page.js("return window.namoro.clock.slowest")
    check(kept >= 524_288 and page.js("return document.getElementById('Text1').value.length") == kept,
          f"with {kept:,} characters pasted into the score box the countdown runs; the slowest tick and its view took {slowest:.1f} ms")
    page.js(PASTE, "Text2", "x", 10_000_000)
    choose(page, "エンド")
    wait(page, "return !document.getElementById('ended').hidden")
    errors = page.errors()
    check(page.js("return document.documentElement.dataset.status") == "0" and not errors,
          f"after a 10 MB paste into the time box, エンド ends with status 0, no errors {errors}")


# Each text typed into the score box and what the model holds then, in code points where it
# differs from what it should (the texts stay in the page: WebDriver carries no lone surrogate).
TYPED = r"""
const { model } = window.namoro;
const rows = [['\ud800', '\ufffd'], ['a\udc00b', 'a\ufffdb'], ['a\ud83d\ude00\udc00\ud800b', 'a\ud83d\ude00\ufffd\ufffdb'],
              ['a\u0000bc', 'a\u0000bc'], ['ナモロ\u0000', 'ナモロ\u0000']];
return rows.map(([sent, expected]) => {
  model.type(0, sent);
  const held = model.view().texts[0];
  return held === expected ? 'as typed' : [...held].map((c) => c.codePointAt(0).toString(16)).join(' ');
});
"""


def typed_as_is(page, url):
    load(page, url)
    held = page.js(TYPED)
    check(held == ["as typed"] * 5, f"text arrives as typed: each lone surrogate one U+FFFD, a NUL kept {held}")


def worker_ready(page):
    wait(page, "return navigator.serviceWorker.getRegistration().then((r) => !!r && !!r.active && !r.installing && !r.waiting"
               " && !!navigator.serviceWorker.controller)")


def only_the_game(page, url):
    """After a visit the service worker answers for the game's own files and address alone."""
    load(page, url)
    worker_ready(page)
    page.get(url + "docs/readme.html")
    check(page.js("return [document.title, document.body.innerText.trim()]") == ["Readme", "Another page."],
          "another page in the game's folder shows itself")
    page.get(url + "missing.html")
    check(page.js("return document.title") != "ナモロゲーム" and "404" in page.js("return document.body.innerText"),
          "a missing page stays a 404")
    load(page, url + "index.html?again")
    check(page.js("return Promise.all(['missing.js', 'docs/readme.html'].map((f) => fetch(f).then((r) => r.status)))") == [404, 200],
          "the game's address with index.html plays, and what the page fetches besides its own files is the network's")


def css_build(page):
    return page.js("return getComputedStyle(document.documentElement).getPropertyValue('--build').trim()")


def cache_name(site):
    with open(os.path.join(site, "sw.js"), encoding="utf-8") as f:
        return re.search(r"namoro-[0-9a-f]{16}", f.read())[0]


def rebuild(site, build):
    """A new build: the stylesheet changes and the service worker is written over the files again."""
    with open(os.path.join(site, "namoro.css"), "a", encoding="utf-8") as f:
        f.write(f":root {{ --build: {build}; }}\n")
    with open(os.path.join(site, "sw.js"), encoding="utf-8") as f:
        names = re.findall(r"'([^']+)': '[0-9a-f]{64}'", f.read())
    subprocess.run(["cmake", f"-DDIR={site}", f"-DFILES={','.join(names)}", f"-DTEMPLATE={SW_TEMPLATE}",
                    "-P", f"{WEB}/ServiceWorker.cmake"], check=True)


def updates(page, url, site):
    """A new build reaches the player by the second load, and its cache holds only its own files."""
    def stylesheet(path):
        with open(os.path.join(site, path), "rb") as f:
            return f.read()
    load(page, url)
    worker_ready(page)
    Host.STALE["/namoro.css"] = stylesheet("namoro.css")  # a proxy keeps the old stylesheet
    rebuild(site, 2)
    load(page, url)
    wait(page, f"return caches.has('{cache_name(site)}')")
    worker_ready(page)
    load(page, url)
    cached = page.js(f"return caches.open('{cache_name(site)}').then((c) => c.match('namoro.css')).then((r) => r.text())")
    check(css_build(page) == "2" and cached == stylesheet("namoro.css").decode(),
          "the second load after an update shows the new build; a stale download was asked for again")
    working = cache_name(site)
    Host.STALE["/namoro.css"] = stylesheet("namoro.css")
    Host.STUCK.add("/namoro.css")  # now the proxy hands out the old file whatever it is asked
    rebuild(site, 3)
    load(page, url)
    page.js("return navigator.serviceWorker.getRegistration().then((r) => r.update()).then(() => true, () => true)")
    wait(page, "return navigator.serviceWorker.getRegistration().then((r) => !r.installing && !r.waiting)")
    load(page, url)
    page.key("F2")
    wait(page, "return document.getElementById('Text2').value === '59'")
    check(css_build(page) == "2" and page.js("return caches.keys()") == [working],
          "a download that stays wrong fails the install, and the old build keeps playing")
    Host.STALE.clear()
    Host.STUCK.clear()


def offline(page, url, site):
    """With the server gone, the game's address plays with or without index.html. Returns the new server."""
    load(page, url)
    worker_ready(page)
    port = int(url.rsplit(":", 1)[1].strip("/"))
    SERVERS[0].shutdown()
    SERVERS[0].server_close()
    for address in (url, url + "index.html"):
        load(page, address)
        page.key("F2")
        wait(page, "return document.getElementById('Text2').value === '59'")
    check(True, "with the server gone, the page's address and index.html play from the service worker")
    SERVERS[0] = serve(site, port)


# The maskable icon: the window's colour all round, and every other pixel inside the circle of
# 40 % of the width that a launcher's mask keeps; and what the service worker keeps.
STORE = """
const manifest = await (await fetch('namoro.webmanifest')).json();
const icon = manifest.icons.find((i) => i.purpose === 'maskable');
const image = await createImageBitmap(await (await fetch(icon.src)).blob());
const canvas = new OffscreenCanvas(image.width, image.height), c = canvas.getContext('2d');
c.drawImage(image, 0, 0);
const { data } = c.getImageData(0, 0, image.width, image.height);
const colour = (i) => '#' + [0, 1, 2].map((k) => data[i + k].toString(16).padStart(2, '0')).join('');
let outside = 0, drawn = 0;
for (let y = 0; y < image.height; ++y) for (let x = 0; x < image.width; ++x) {
  if (colour(4 * (y * image.width + x)) === manifest.background_color) continue;
  ++drawn;
  if (Math.hypot(x + 0.5 - image.width / 2, y + 0.5 - image.height / 2) > 0.4 * image.width) ++outside;
}
const kept = (await Promise.all((await caches.keys()).map(async (n) => (await (await caches.open(n)).keys()).map((r) => r.url)))).flat();
return { manifest, size: [image.width, image.height], drawn, outside, corner: colour(0),
         screenshotsKept: kept.filter((u) => u.includes('screenshot')).length, kept: kept.length };
"""


def store_ready(page):
    page.js("return navigator.serviceWorker.ready.then(() => true)")
    store = page.js(f"return (async () => {{ {STORE} }})()")
    manifest = store["manifest"]
    parsed = page.driver.execute_cdp_cmd("Page.getAppManifest", {})
    check(not parsed["errors"] and manifest["id"] and manifest["description"] and manifest["categories"] == ["games"]
          and sorted(s["form_factor"] for s in manifest["screenshots"]) == ["narrow", "wide"],
          "the manifest has an id, a description, the games category and a narrow and a wide screenshot, and Chromium reads it without error")
    check(store["size"] == [512, 512] and store["corner"] == manifest["background_color"] and store["drawn"] > 0 and store["outside"] == 0,
          f"the maskable icon holds the program's icon ({store['drawn']} pixels) inside the safe circle, on the window's colour")
    check(store["kept"] > 0 and store["screenshotsKept"] == 0, "the service worker keeps no screenshot: only an install dialog fetches them")


def keyboard(page, url):
    load(page, url)
    check(page.js("return document.activeElement.id") == "Text1", "with a keyboard, the first box in tab order has the focus")
    page.key("Tab")  # the second box is the last one used when the menu takes the focus
    page.key("F10")
    page.key("ArrowDown")
    check(page.js("return document.activeElement.textContent") == "エンド", "F10 opens the menu and the arrows move within it")
    page.key("Escape")
    check(page.js("return document.activeElement.textContent === 'ナモロゲーム' && document.querySelector('[role=menu]').hidden"),
          "Escape closes the menu and gives its button the focus")
    page.key("F2")
    wait(page, "return document.getElementById('Text2').value === '59'")
    check(page.js("return document.activeElement.id") == "Text2", "F2 chooses スタート and gives the focus back to the box last used")
    page.js("const said = document.getElementById('announcement'); window.said = [];"
            "new MutationObserver(() => window.said.push(said.textContent)).observe(said, { childList: true, characterData: true, subtree: true });")
    page.js("const box = document.getElementById('Text1'); box.focus(); box.setSelectionRange(box.value.length, box.value.length);")
    # A word being composed with an input method in the score box, as Chromium's IME path makes it.
    page.js("window.compositions = []; document.getElementById('Text1').addEventListener('compositionend', (e) => compositions.push(e.data));")
    page.driver.execute_cdp_cmd("Input.imeSetComposition", {"text": "にほ", "selectionStart": 2, "selectionEnd": 2})
    wait(page, "return ['56', '55'].includes(document.getElementById('Text2').value)")
    page.driver.execute_cdp_cmd("Input.insertText", {"text": "日本"})
    seen = page.js("return [document.getElementById('Text1').value, compositions, document.activeElement.id]")
    check(seen[:2] == ["0日本", ["日本"]],
          f"a word composed in the score box survives three ticks of the countdown and is committed whole {seen}")
    page.key("F10")
    for _ in range(8):
        page.key("Tab")
        if page.js("return document.activeElement.tagName") == "INPUT":
            break
    check(page.js("return document.activeElement.tagName === 'INPUT' && document.querySelector('[role=menu]').hidden"),
          "Tab out of the open menu into a box closes the menu")
    wait(page, "return document.getElementById('announcement').textContent === '時間切れ、ゲームオーバーです。'", 75)
    check(value(page, "Text2") == "0", "when the time runs out, the page announces it in the desktop's words")
    page.type("5")  # views after the end
    page.click(*centre(page, "#pictures"))
    said = page.js("return window.said")
    check(said == ["時間切れ、ゲームオーバーです。"], f"the end is said once, not again by later views {said}")


def accessible(page, where):
    with open(os.path.join(HERE, "node_modules", "axe-core", "axe.min.js"), encoding="utf-8") as f:
        page.js(f.read())
    found = page.driver.execute_async_script("axe.run().then((r) => arguments[0](r.violations.map((v) => [v.id, v.nodes.map((n) => n.target.join(' '))])))")
    # The red caption on lavender is the game's own look, kept as it is.
    found = [[rule, nodes] for rule, nodes in found if [rule, nodes] != ["color-contrast", ["#caption"]]]
    check(not found, f"axe-core finds no violation {where} {found}")


SERVERS = [None]  # the host of the engine under test; offline() stops it and starts it again


def main(site, game_tables, *engines):
    values = item_values(game_tables)
    engines = engines or ("chromium", "firefox", "webkit")
    work = tempfile.mkdtemp(prefix="namoro-web-")
    try:
        for engine in engines:
            print(f"== {engine}")
            # Each engine gets a copy of the build, which the update rows change, on a host of its own,
            # with another page beside the game.
            copy = os.path.join(work, engine)
            shutil.copytree(site, copy)
            os.makedirs(os.path.join(copy, "docs"))
            with open(os.path.join(copy, "docs", "readme.html"), "w", encoding="utf-8") as f:
                f.write("<!doctype html><title>Readme</title><p>Another page.</p>")
            SERVERS[0] = serve(copy)
            url = f"http://127.0.0.1:{SERVERS[0].server_port}/"
            profile = os.path.join(work, f"{engine}-profile")
            page = {"chromium": lambda: SeleniumPage(chromium(profile)), "firefox": FirefoxPage, "webkit": webkit}[engine]()
            try:
                play(page, url, values)
                paste(page, url, values)
                typed_as_is(page, url)
                if engine == "chromium":
                    accessible(page, "on the end page")
                    load(page, url)
                    check(page.driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})["installabilityErrors"] == [],
                          "Chromium finds the page installable: its manifest, icons and service worker")
                    store_ready(page)
                    page.get(f"file://{os.path.abspath(site)}/index.html")
                    check("make web-serve" in page.js("return document.getElementById('served').checkVisibility() ? document.body.innerText : ''"),
                          "opened from a file, the page says how to serve it")
                    drawing(page.driver, page, url)
                    keyboard(page, url)
                    accessible(page, "while playing")
                    pen(page, url)
                    for width, height in ((390, 844), (844, 390)):
                        phone(page.driver, page, url, values, width, height)
                    no_room(page.driver, page, url)
                only_the_game(page, url)
                updates(page, url, copy)
                offline(page, url, copy)
                if engine == "chromium":
                    composing(page.driver, page, url)
            finally:
                page.quit()
                SERVERS[0].shutdown()
                SERVERS[0].server_close()
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main(*sys.argv[1:])
