#!/usr/bin/python3
"""Draws the installed app's two screenshots from the real page in headless Chromium: a phone in
portrait (narrow) and a desktop window (wide), a few seconds into a game. Run once after
`make web` when the page's look changes; the pictures are committed in web/page/.
Usage: web-screenshots.py [SITE_DIR]"""
import base64
import functools
import http.server
import os
import shutil
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
PageHandler = __import__("web-serve").PageHandler

# name: CSS width, height and device pixel ratio of the screen it shows
SHOTS = {"screenshot-narrow.png": (390, 844, 2), "screenshot-wide.png": (1280, 800, 1)}


class Quiet(PageHandler):
    def log_message(self, *args):
        pass


def main(site=os.path.join(HERE, "..", "build", "web")):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    profile = tempfile.mkdtemp(prefix="namoro-shots-")
    options = webdriver.ChromeOptions()
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars", f"--user-data-dir={profile}"):
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service(shutil.which("chromedriver") or "/usr/bin/chromedriver"), options=options)
    try:
        for name, (width, height, ratio) in SHOTS.items():
            driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                   {"width": width, "height": height, "deviceScaleFactor": ratio, "mobile": ratio > 1})
            driver.get(f"http://127.0.0.1:{server.server_port}/")
            while not driver.execute_script("return !!window.namoro && document.fonts.status === 'loaded'"):
                time.sleep(0.1)
            driver.execute_script("document.querySelector('#menubar > button').click();"
                                  "[...document.querySelectorAll('[role=menu] button')].find((b) => b.textContent === 'スタート').click();"
                                  "document.activeElement.blur();")
            time.sleep(4.5)  # the items fall, the countdown runs
            shot = driver.execute_cdp_cmd("Page.captureScreenshot", {"format": "png"})
            with open(os.path.join(HERE, "..", "web", "page", name), "wb") as f:
                f.write(base64.b64decode(shot["data"]))
            print("wrote", name)
    finally:
        driver.quit()
        server.shutdown()
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == "__main__":
    main(*sys.argv[1:])
