#!/usr/bin/python3
"""The web page's figures in Markdown: what a first load transfers, load to first frame in
headless Chromium, timers and CPU while waiting, and CPU while running beside the native game
on a private Xvfb. Usage: web_bench.py SITE_DIR NATIVE_GAME"""
import glob
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "web"))
from browser_test import chromium, choose, serve  # noqa: E402

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


def renderer_busy(driver, name="TaskDuration"):
    metrics = driver.execute_cdp_cmd("Performance.getMetrics", {})["metrics"]
    return next(m["value"] for m in metrics if m["name"] == name)


def main(site, native):
    server = serve(site)
    url = f"http://127.0.0.1:{server.server_port}/"
    files = sorted((os.path.getsize(p), os.path.basename(p)) for p in glob.glob(os.path.join(site, "*")))
    total = sum(size for size, _ in files)

    first_frames, transferred = [], 0
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
            transferred = driver.execute_script(
                "return performance.getEntriesByType('resource').reduce((n, r) => n + r.decodedBodySize, 0)"
                " + performance.getEntriesByType('navigation')[0].decodedBodySize")
        finally:
            driver.quit()
            shutil.rmtree(profile, ignore_errors=True)

    profile = tempfile.mkdtemp(prefix="namoro-bench-")
    driver = chromium(profile)
    try:
        driver.get(url)
        while not driver.execute_script("return !!window.namoro"):
            time.sleep(0.05)
        driver.execute_cdp_cmd("Performance.enable", {})
        browser = driver.service.process.pid
        time.sleep(2)
        wake0, busy0, cpu0 = driver.execute_script("return window.namoro.clock.callbacks"), renderer_busy(driver), process_tree_cpu(browser)
        time.sleep(WAIT_SECONDS)
        armed = driver.execute_script("return window.namoro.clock.armed")
        wake1, busy1, cpu1 = driver.execute_script("return window.namoro.clock.callbacks"), renderer_busy(driver), process_tree_cpu(browser)
        choose(driver, "スタート")
        time.sleep(2)
        wake2, busy2, cpu2 = driver.execute_script("return window.namoro.clock.callbacks"), renderer_busy(driver), process_tree_cpu(browser)
        script2 = renderer_busy(driver, "ScriptDuration")
        time.sleep(RUN_SECONDS)
        wake3, busy3, cpu3 = driver.execute_script("return window.namoro.clock.callbacks"), renderer_busy(driver), process_tree_cpu(browser)
        script3 = renderer_busy(driver, "ScriptDuration")
    finally:
        driver.quit()
        shutil.rmtree(profile, ignore_errors=True)
        server.shutdown()

    native_cpu = native_running_cpu(native)

    # Every figure of the report with its format, and the limit it must stay within as
    # (least, most, unit), least None for none; a figure without a limit is not judged.
    figures = [
        (f"everything in build/web/, uncompressed (KB; {len(files)} files)", total / 1000, ".1f", (None, 400, "KB")),
        ("decoded bytes of a first load, as the browser counts them (KB)", transferred / 1000, ".1f", None),
        (f"load to first frame (first contentful paint), median of {LOADS} fresh loads (ms)",
         statistics.median(first_frames), ".0f", None),
        ("timers armed while waiting", 1 if armed else 0, "", (0, 0, "")),
        (f"timer callbacks while waiting, {WAIT_SECONDS} s", wake1 - wake0, "", (0, 0, "")),
        ("renderer main thread busy while waiting (% of a core)", 100 * (busy1 - busy0) / WAIT_SECONDS, ".3f", None),
        ("all Chromium processes while waiting (% of a core)", 100 * (cpu1 - cpu0) / WAIT_SECONDS, ".2f", None),
        ("timer callbacks per second while running", (wake3 - wake2) / RUN_SECONDS, ".1f", None),
        ("renderer main thread busy while running (% of a core)", 100 * (busy3 - busy2) / RUN_SECONDS, ".2f", None),
        ("of which JavaScript and WebAssembly: the model and the drawing calls (% of a core)",
         100 * (script3 - script2) / RUN_SECONDS, ".2f", None),
        ("all Chromium processes while running (% of a core)", 100 * (cpu3 - cpu2) / RUN_SECONDS, ".2f", None),
        (f"the native game while running under Xvfb, the same {RUN_SECONDS} s (% of a core)", native_cpu, ".2f", None),
    ]
    print("### Web page (headless Chromium)\n")
    print("| figure | value | budget | met |\n|---|---|---|---|")
    for figure, value, form, limit in figures:
        print(f"| {figure} | {value:{form}} | {limit_text(limit)} | {limit_met(value, limit)} |")
    print()
    for size, name in files:
        print(f"- `{name}`: {size} bytes")


def limit_text(limit):
    """A limit as the table writes it: "0" for exactly 0, "≤ 400 KB" for at most 400 KB."""
    if limit is None:
        return ""
    least, most, unit = limit
    return f"{most:g} {unit}".rstrip() if least == most else f"≤ {most:g} {unit}".rstrip()


def limit_met(value, limit):
    if limit is None:
        return ""
    least, most, _ = limit
    return "yes" if (least is None or value >= least) and value <= most else "**no**"


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
