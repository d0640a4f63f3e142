#!/usr/bin/python3
"""The web page's figures as JSON, for namoro_bench --web to print: what a first and a repeat
visit transfer gzip-compressed, load to first frame in headless Chromium, timers and CPU while
waiting, and CPU while running, desktop-size and on a phone, beside the native game on a
private Xvfb.
Usage: web_bench.py SITE_DIR NATIVE_GAME"""
import functools
import glob
import gzip
import hashlib
import http.server
import json
import mimetypes
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "web"))
from browser_test import QuietHandler, SeleniumPage, chromium, serve, wait  # noqa: E402

LOADS = 7
WAIT_SECONDS = 20
RUN_SECONDS = 30
TICKS = os.sysconf("SC_CLK_TCK")


def process_tree_cpu(root_pid):
    """CPU seconds (user + system) of a process and all its descendants."""
    stats = {}
    for stat in glob.glob("/proc/[0-9]*/stat"):
        try:
            with open(stat) as f:
                stats[int(stat.split("/")[2])] = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
    total, stack = 0, [root_pid]
    for pid in stack:
        if pid in stats:
            total += int(stats[pid][11]) + int(stats[pid][12])
        stack += [child for child, fields in stats.items() if int(fields[1]) == pid]
    return total / TICKS


class GzipHandler(QuietHandler):
    """Serves as a common web server does: every file gzip-compressed (level 6), with a validator
    that a revalidation is answered by, empty, when the file is unchanged. Counts the bytes sent."""
    sent = []
    protocol_version = "HTTP/1.1"  # a browser revalidates by ETag only with HTTP/1.1

    def do_GET(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            path = os.path.join(path, "index.html")
        with open(path, "rb") as f:
            body = gzip.compress(f.read(), 6, mtime=0)
        tag = f'"{hashlib.sha1(body).hexdigest()}"'
        if self.headers.get("If-None-Match") == tag:
            body = b""
            self.send_response(304)
        else:
            self.send_response(200)
            self.send_header("Content-Type", self.extensions_map.get(os.path.splitext(path)[1]) or mimetypes.guess_type(path)[0] or "application/octet-stream")
            self.send_header("Content-Encoding", "gzip")
            self.send_header("Content-Length", str(len(body)))
        self.send_header("ETag", tag)
        self.send_header("Cache-Control", "no-cache")
        http.server.BaseHTTPRequestHandler.end_headers(self)
        self.wfile.write(body)
        GzipHandler.sent.append((os.path.basename(path), len(body)))


def visits(site):
    """Bytes sent for a first visit (the page and the service worker filling its cache) and for
    a repeat visit: the game's files, and the service worker's own update check."""
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(GzipHandler, directory=site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    profile = tempfile.mkdtemp(prefix="namoro-bench-")
    driver = chromium(profile)
    try:
        driver.get(f"http://127.0.0.1:{server.server_port}/")
        wait(SeleniumPage(driver), "return !!window.namoro && !!navigator.serviceWorker.controller")
        time.sleep(1)
        first, GzipHandler.sent = GzipHandler.sent, []
        driver.get(f"http://127.0.0.1:{server.server_port}/")
        wait(SeleniumPage(driver), "return !!window.namoro")
        time.sleep(1)
        repeat = GzipHandler.sent
    finally:
        driver.quit()
        shutil.rmtree(profile, ignore_errors=True)
        server.shutdown()
    return (sum(n for _, n in first), sum(n for name, n in repeat if name != "sw.js"),
            sum(n for name, n in repeat if name == "sw.js"))


def running(driver, seconds):
    """Timer callbacks a second, and the renderer's main thread, the page's own script and all
    Chromium processes in % of a core, over `seconds` from 2 s after Start."""
    driver.execute_script("document.dispatchEvent(new KeyboardEvent('keydown', { key: 'F2' }))")
    time.sleep(2)
    browser = driver.service.process.pid
    before = (driver.execute_script("return window.namoro.clock.callbacks"), renderer_busy(driver),
              renderer_busy(driver, "ScriptDuration"), process_tree_cpu(browser))
    time.sleep(seconds)
    after = (driver.execute_script("return window.namoro.clock.callbacks"), renderer_busy(driver),
             renderer_busy(driver, "ScriptDuration"), process_tree_cpu(browser))
    wakes, busy, script, cpu = (b - a for a, b in zip(before, after))
    return wakes / seconds, 100 * busy / seconds, 100 * script / seconds, 100 * cpu / seconds


def renderer_busy(driver, name="TaskDuration"):
    metrics = driver.execute_cdp_cmd("Performance.getMetrics", {})["metrics"]
    return next(m["value"] for m in metrics if m["name"] == name)


def main(site, native):
    server = serve(site)
    url = f"http://127.0.0.1:{server.server_port}/"
    files = sorted((os.path.getsize(p), os.path.basename(p)) for p in glob.glob(os.path.join(site, "*")))
    total = sum(size for size, _ in files)
    first_visit, repeat_visit, update_check = visits(site)

    first_frames = []
    for _ in range(LOADS):
        profile = tempfile.mkdtemp(prefix="namoro-bench-")
        driver = chromium(profile)
        try:
            driver.get(url)
            for _ in range(200):
                fcp = driver.execute_script(
                    "return performance.getEntriesByName('first-contentful-paint')[0]?.startTime ?? null")
                if fcp is not None and driver.execute_script("return !!window.namoro"):
                    break
                time.sleep(0.05)
            first_frames.append(fcp)
        finally:
            driver.quit()
            shutil.rmtree(profile, ignore_errors=True)

    profile = tempfile.mkdtemp(prefix="namoro-bench-")
    driver = chromium(profile)
    try:
        driver.get(url)
        wait(SeleniumPage(driver), "return !!window.namoro")
        driver.execute_cdp_cmd("Performance.enable", {})
        browser = driver.service.process.pid
        time.sleep(2)
        wake0, busy0, cpu0 = driver.execute_script("return window.namoro.clock.callbacks"), renderer_busy(driver), process_tree_cpu(browser)
        time.sleep(WAIT_SECONDS)
        armed = driver.execute_script("return window.namoro.clock.armed")
        wake1, busy1, cpu1 = driver.execute_script("return window.namoro.clock.callbacks"), renderer_busy(driver), process_tree_cpu(browser)
        desktop = running(driver, RUN_SECONDS)
        # The same game in portrait on a phone: 390 × 844 CSS pixels at 3 device pixels each.
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {"width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True})
        driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
        driver.get(url)
        wait(SeleniumPage(driver), "return !!window.namoro")
        phone = running(driver, RUN_SECONDS)
    finally:
        driver.quit()
        shutil.rmtree(profile, ignore_errors=True)
        server.shutdown()

    native_cpu = native_running_cpu(native)

    # Every figure of the report with its decimals, and the limit it must stay within as
    # (least, most, unit), least None for none; a figure without a limit is not judged.
    figures = [
        (f"everything in build/web/, uncompressed (KB; {len(files)} files)", total / 1000, 1, (None, 400, "KB")),
        ("first visit, gzip-compressed: the page and the service worker's copy of every file (KB)",
         first_visit / 1000, 1, (None, 150, "KB")),
        ("repeat visit: the game's files from the network (bytes)", repeat_visit, 0, (0, 0, "")),
        ("repeat visit: the service worker's update check, sw.js (bytes)", update_check, 0, None),
        (f"load to first frame (first contentful paint), median of {LOADS} fresh loads (ms)",
         statistics.median(first_frames), 0, None),
        ("timers armed while waiting", 1 if armed else 0, 0, (0, 0, "")),
        (f"timer callbacks while waiting, {WAIT_SECONDS} s", wake1 - wake0, 0, (0, 0, "")),
        ("renderer main thread busy while waiting (% of a core)", 100 * (busy1 - busy0) / WAIT_SECONDS, 3, None),
        ("all Chromium processes while waiting (% of a core)", 100 * (cpu1 - cpu0) / WAIT_SECONDS, 2, None),
    ]
    for where, (wakes, busy, script, cpu) in (("desktop-size", desktop), ("phone portrait, 390 × 844 at 3", phone)):
        figures += [
            (f"{where}: timer callbacks per second while running", wakes, 1, None),
            (f"{where}: renderer main thread busy while running (% of a core)", busy, 2, None),
            (f"{where}: of which JavaScript and WebAssembly, the model and the drawing calls (% of a core)", script, 2, None),
            (f"{where}: all Chromium processes while running (% of a core)", cpu, 2, None),
        ]
    figures.append((f"the native game while running under Xvfb, the same {RUN_SECONDS} s (% of a core)", native_cpu, 2, None))
    # namoro_bench --web prints them through the native figures' table.
    rows = []
    for name, value, decimals, limit in figures:
        least, most, unit = limit or (None, None, "")
        rows.append({"name": name, "value": value, "decimals": decimals, "least": least, "most": most, "unit": unit})
    json.dump({"figures": rows, "files": [{"name": name, "size": size} for size, name in files]},
              sys.stdout, ensure_ascii=False, indent=1)


def native_running_cpu(native):
    """The native game's CPU over RUN_SECONDS from 2 s after Start, on a private Xvfb."""
    script = f"""
"{native}" & pid=$!
xdotool search --sync --pid $pid >/dev/null
sleep 1
xdotool mousemove 30 10 click 1; sleep 0.5; xdotool mousemove 30 35 click 1
sleep 2
a=$(awk '{{print $14+$15}}' /proc/$pid/stat)
sleep {RUN_SECONDS}
b=$(awk '{{print $14+$15}}' /proc/$pid/stat)
kill $pid
echo $((b - a))
"""
    out = subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 800x700x24", "bash", "-c", script],
                         capture_output=True, text=True, check=True).stdout.split()
    return 100 * int(out[-1]) / TICKS / RUN_SECONDS


if __name__ == "__main__":
    main(*sys.argv[1:3])
