#!/usr/bin/python3
"""The web page in a real browser: headless Chromium through WebDriver, against build/web/
served on localhost. Usage: browser_test.py SITE_DIR GAME_TABLES_JSON"""
import functools
import http.server
import json
import shutil
import sys
import tempfile
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update", "--disable-sync",
                  "--window-size=800,700"]


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm",
                      ".js": "text/javascript"}

    def log_message(self, *args):
        pass


def serve(site):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(QuietHandler, directory=site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def chromium(profile):
    options = webdriver.ChromeOptions()
    for flag in CHROMIUM_FLAGS + [f"--user-data-dir={profile}"]:
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service(shutil.which("chromedriver") or "/usr/bin/chromedriver"), options=options)


def item_values(game_tables):
    with open(game_tables, encoding="utf-8") as f:
        return {item["picture"]: item["value"] for item in json.load(f)["items"]}


# The topmost picture with an opaque pixel inside the area, and that pixel, as the page last showed them.
FIND_ITEM = """
const { model, places, width, height } = window.namoro;
const pictures = model.layout.pictures;
for (let i = pictures.length - 1; i >= 0; --i) {
  const { name, width: w, height: h, argb } = pictures[i];
  for (let y = 0; y < h; ++y) for (let x = 0; x < w; ++x) {
    const px = places[i].left + x, py = places[i].top + y;
    if (px > 0 && py > 0 && px < width && py < height && argb[4 * (y * w + x) + 3] !== 0) return { name, x: px, y: py };
  }
}
return null;
"""


def check(condition, message):
    if not condition:
        raise AssertionError(message)
    print("ok:", message)


def choose(driver, caption):
    driver.find_element(By.XPATH, "//nav[@id='menubar']/button[text()='ナモロゲーム']").click()
    driver.find_element(By.XPATH, f"//div[@role='menu']/button[text()='{caption}']").click()


def main(site, game_tables):
    values = item_values(game_tables)
    server = serve(site)
    profile = tempfile.mkdtemp(prefix="namoro-chromium-")
    driver = chromium(profile)
    wait = WebDriverWait(driver, 20)
    try:
        driver.get(f"http://127.0.0.1:{server.server_port}/")
        wait.until(lambda d: d.execute_script("return !!window.namoro && document.fonts.status === 'loaded'"))
        score, time_box = driver.find_element(By.ID, "Text1"), driver.find_element(By.ID, "Text2")

        check(time_box.get_attribute("value") == "0", "the time box shows 0 after loading")
        caption = driver.find_element(By.ID, "caption")
        check(caption.text != "" and driver.execute_script(
            "return [...document.fonts].some((f) => f.family.includes('RocknRoll One Ranks') && f.status === 'loaded')"),
            f"the caption {caption.text!r} is drawn in the subset face, which loaded")
        check(driver.execute_script("return !window.namoro.clock.armed"), "no timer is armed while waiting")

        # Clicks score while the time box holds a number above 0, so a typed time lets an item be
        # clicked while it stands still.
        time_box.send_keys("\b30")
        item = driver.execute_script(FIND_ITEM)
        check(item is not None, "an item shows inside the area")
        name = item["name"]
        before = float(score.get_attribute("value"))
        canvas = driver.find_element(By.ID, "pictures")
        ActionChains(driver).move_to_element_with_offset(
            canvas, item["x"] - canvas.size["width"] // 2, item["y"] - canvas.size["height"] // 2).click().perform()
        after = float(score.get_attribute("value"))
        check(after - before == values[name], f"a click on {name} at ({item['x']}, {item['y']}) adds its {values[name]:g}")

        time_box.send_keys("\b\b0")
        choose(driver, "スタート")
        wait.until(lambda d: time_box.get_attribute("value") == "59")
        check(True, "スタート starts the countdown: the time box shows 59")

        choose(driver, "エンド")
        wait.until(lambda d: d.find_element(By.ID, "ended").is_displayed())
        check(driver.execute_script("return document.documentElement.dataset.status") == "0"
              and not driver.execute_script("return window.namoro.clock.armed"), "エンド ends the program with status 0")

        errors = [e for e in driver.get_log("browser") if e["level"] == "SEVERE"]
        check(not errors, f"no console errors {errors}")
    finally:
        driver.quit()
        server.shutdown()
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == "__main__":
    main(*sys.argv[1:3])
