#!/usr/bin/env python3
"""Times the preview page on the large project of convert_bench.

The project (150 lines x 3 day groups x 2 directions x 100 trips) is generated and
converted by convert_bench, `trivo preview` writes the page beside its PTF files, and
headless Chromium opens it with the address "#bench": the page clicks every line in
turn and notes, for each, the time from the click until the first trips of its
timetable were painted (shown_*; the page puts the first 32 trips on at once, more than a
wide window shows) and until the whole timetable was painted (complete_*). The figures are read from the running page over Chromium's DevTools pipe,
together with the processor time the page's renderer process used for the whole run
(start included) per line: on a busy machine the times waited for the processor inflate
the first figures, not this one. Target: every line's timetable shown within 200 ms.

Usage: bench/preview_bench.py [BUILD-DIR]      (default: build)
"""

import json
import os
import subprocess
import sys
import tempfile
import time

TARGET_MS = 200
READ_FIGURES = """(function () {
  var errors = document.getElementById('errors');
  if (errors && errors.textContent) return 'errors: ' + errors.textContent;
  var bench = document.getElementById('bench');
  return bench && !bench.hidden ? bench.textContent : '';
})()"""


class DevToolsPipe:
    """Chromium started with --remote-debugging-pipe: it reads commands on its file
    descriptor 3 and answers on 4, each message JSON ended by a NUL byte."""

    def __init__(self, command):
        to_browser, self.commands = os.pipe()
        self.answers, from_browser = os.pipe()

        def place_pipes():
            os.dup2(to_browser, 100)
            os.dup2(from_browser, 101)
            os.dup2(100, 3)
            os.dup2(101, 4)

        self.process = subprocess.Popen(command + ["--remote-debugging-pipe"], close_fds=False,
                                        preexec_fn=place_pipes, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        os.close(to_browser)
        os.close(from_browser)
        self.buffer, self.next_id = b"", 0

    def call(self, method, session=None, **params):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if session:
            message["sessionId"] = session
        os.write(self.commands, json.dumps(message).encode() + b"\0")
        while True:
            while b"\0" not in self.buffer:
                chunk = os.read(self.answers, 65536)
                if not chunk:
                    raise RuntimeError("chromium closed the DevTools pipe")
                self.buffer += chunk
            text, self.buffer = self.buffer.split(b"\0", 1)
            answer = json.loads(text)
            if answer.get("id") == self.next_id:
                if "error" in answer:
                    raise RuntimeError(f"{method}: {answer['error']}")
                return answer["result"]

    def close(self):
        try:
            self.call("Browser.close")
        except RuntimeError:
            pass
        self.process.wait(timeout=30)


def measure(chromium, page, profile):
    browser = DevToolsPipe([chromium, "--headless", "--no-sandbox", "--disable-gpu",
                            "--disable-background-networking", "--disable-component-update",
                            "--disable-sync", "--no-first-run", "--user-data-dir=" + profile,
                            "--window-size=1200,900", "about:blank"])
    try:
        target = browser.call("Target.createTarget", url="file://" + page + "#bench")["targetId"]
        session = browser.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
        browser.call("Performance.enable", session)
        deadline = time.monotonic() + 300
        while time.monotonic() < deadline:
            value = browser.call("Runtime.evaluate", session, expression=READ_FIGURES,
                                 returnByValue=True)["result"].get("value", "")
            if value.startswith("lines="):
                metrics = browser.call("Performance.getMetrics", session)["metrics"]
                cpu = next(m["value"] for m in metrics if m["name"] == "ProcessTime")
                lines = int(value.splitlines()[0].split("=")[1])
                return value + f"\nrenderer_cpu_ms_per_line={cpu * 1000 / max(lines, 1):.1f}"
            if value:
                return value
            time.sleep(0.5)
        raise RuntimeError("the page did not finish the measurement")
    finally:
        browser.close()


def cpu_pressure():
    """The share of the last minute in which runnable tasks waited for a processor."""
    try:
        with open("/proc/pressure/cpu") as pressure:
            return pressure.readline().split()[2].split("=")[1] + " %"
    except (OSError, IndexError):
        return "unknown"


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    chromium = os.environ.get("TRIVO_CHROMIUM", "chromium")
    with tempfile.TemporaryDirectory() as work:
        subprocess.run([os.path.join(build, "bench/convert_bench"), "--keep", work + "/big", "--runs", "1"],
                       check=True, stdout=subprocess.DEVNULL)
        page = subprocess.run([os.path.join(build, "src/cli/trivo"), "preview", work + "/big/project/bench.tvp"],
                              check=True, capture_output=True).stdout.decode().strip()
        figures = measure(chromium, page, work + "/profile")
    print(figures)
    print(f"machine: processor pressure over the last minute {cpu_pressure()}")
    if figures.startswith("errors:"):
        return 1
    worst = float(dict(line.split("=") for line in figures.splitlines())["shown_max_ms"])
    print(f"target: every line shown within {TARGET_MS} ms: {'met' if worst <= TARGET_MS else 'NOT met'}")
    return 0 if worst <= TARGET_MS else 1


if __name__ == "__main__":
    sys.exit(main())
