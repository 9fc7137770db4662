#!/usr/bin/env python3
"""Opens every report page of a small posted season in headless Chromium and fails when any visible
text has a contrast ratio below 3:1 against what is behind it, the texts of each link also as they
show while the link is hovered. The season is written and read under en_US and de_DE, and each
locale's pages must show money and the footer's date and time in that locale's form.

check_report_contrast.py --writer PATH/write_report_season [--chromium chromium] [--keep DIR]

The writer fills a folder with the pages; each page (the frameset page aside, which shows no text of
its own) is copied with contrast.js appended, one headless Chromium loads the copies one after
another, and the measurements are read back from each loaded page. Exit 0 when every text reads, 1
when some does not or a page could not be measured, 77 when no Chromium is installed.
"""

import argparse
import fcntl
import json
import os
import pathlib
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time

MINIMUM = 3.0
HERE = pathlib.Path(__file__).resolve().parent


class Browser:
    """One headless Chromium for all pages, driven over the DevTools protocol on a pipe (no network port).
    Each page is loaded into the same tab; contrast.js, appended to the page, leaves its result in the
    page, which is read back once the page has loaded."""

    FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--disable-dev-shm-usage", "--remote-debugging-pipe"]

    def __init__(self, chromium, work):
        self.profile = pathlib.Path(tempfile.mkdtemp(prefix="profile-", dir=work))
        self.log = self.profile.with_suffix(".log")
        to_browser, self.commands = os.pipe()
        self.replies, from_browser = os.pipe()

        # The browser reads commands on descriptor 3 and writes replies on 4; moved out of the way
        # first, so that neither end is overwritten when the pipes themselves got 3 or 4.
        def wire():
            ends = [fcntl.fcntl(fd, fcntl.F_DUPFD_CLOEXEC, 10) for fd in (to_browser, from_browser)]
            os.dup2(ends[0], 3)
            os.dup2(ends[1], 4)

        with open(self.log, "wb") as log:
            self.process = subprocess.Popen(
                [chromium] + self.FLAGS + ["--user-data-dir=" + str(self.profile), "about:blank"],
                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=log, close_fds=False,
                preexec_fn=wire, env=dict(os.environ, HOME=str(work)))
        os.close(to_browser)
        os.close(from_browser)
        self.pending = b""
        self.last_id = 0
        self.session = None
        try:
            target = self.call("Target.createTarget", {"url": "about:blank"}, timeout=120)["targetId"]
            self.session = self.call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        except Exception:
            self.close()
            raise

    def call(self, method, params=None, timeout=60):
        """Sends one command and returns its result, within timeout seconds."""
        self.last_id += 1
        message = {"id": self.last_id, "method": method, "params": params or {}}
        if self.session and not method.startswith(("Target.", "Browser.")):
            message["sessionId"] = self.session
        os.write(self.commands, json.dumps(message).encode("utf-8") + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            reply = self.receive(deadline)
            if reply.get("id") == self.last_id:
                if "error" in reply:
                    raise RuntimeError("%s: %s" % (method, reply["error"].get("message")))
                return reply.get("result", {})

    def receive(self, deadline):
        while b"\0" not in self.pending:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.replies], [], [], left)[0]:
                raise TimeoutError("Chromium did not answer in time")
            data = os.read(self.replies, 1 << 20)
            if not data:
                raise RuntimeError("Chromium ended: " + self.log_tail())
            self.pending += data
        message, self.pending = self.pending.split(b"\0", 1)
        return json.loads(message)

    def log_tail(self):
        try:
            lines = self.log.read_text(encoding="utf-8", errors="replace").splitlines()
        except OSError:
            return ""
        return " / ".join(line for line in lines[-5:] if "dbus" not in line)

    def measure(self, page, timeout=90):
        """The texts of one page with their colours and contrast ratios."""
        url = page.as_uri()
        deadline = time.monotonic() + timeout
        navigated = self.call("Page.navigate", {"url": url}, timeout)
        if navigated.get("errorText"):
            raise RuntimeError("%s could not be opened: %s" % (page.name, navigated["errorText"]))
        # Until the page itself is loaded, the tab may still show the one before it.
        probe = ("(function () { if (location.href !== %s || document.readyState !== 'complete') return null;"
                 " const e = document.getElementById('qv-contrast'); return e ? e.textContent : ''; })()"
                 % json.dumps(url))
        while True:
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError("%s did not load in time" % page.name)
            result = self.call("Runtime.evaluate", {"expression": probe, "returnByValue": True}, left)
            value = result.get("result", {}).get("value")
            if value:
                return json.loads(value)
            if value == "":
                raise RuntimeError("no measurement from Chromium for %s" % page.name)
            time.sleep(0.02)

    def close(self):
        try:
            if self.process.poll() is None:
                try:
                    self.call("Browser.close", timeout=10)
                except Exception:
                    pass
                try:
                    self.process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    self.process.kill()
                    self.process.wait()
        finally:
            for fd in (self.commands, self.replies):
                try:
                    os.close(fd)
                except OSError:
                    pass
            shutil.rmtree(self.profile, ignore_errors=True)
            self.log.unlink(missing_ok=True)


def measure_all(chromium, pages, work):
    """Every page's texts, or the reason it could not be measured. A page that fails is tried once more
    in a fresh browser, so that one stuck or ended browser costs one page's time, not the run."""
    results = {}
    browser = None
    try:
        for page in pages:
            for attempt in range(2):
                try:
                    if browser is None:
                        browser = Browser(chromium, work)
                    results[page] = browser.measure(page)
                    break
                except Exception as error:
                    if browser is not None:
                        browser.close()
                        browser = None
                    if attempt == 1:
                        results[page] = error
    finally:
        if browser is not None:
            browser.close()
    return results


# The pages are written and read in the home locale and in a second one: money and the footer's
# date and time follow the reader's locale.
LOCALES = ("en_US", "de_DE")
MONEY = {"en_US": re.compile(r"^\(?\$\d{1,3}(,\d{3})*\.\d\d\)?$"),
         "de_DE": re.compile(r"^-?\d{1,3}(\.\d{3})*,\d\d\s\u20ac$")}
FOOTER = {"en_US": re.compile(r"^Created \d{1,2}/\d{1,2}/\d{4}( \d{1,2}:\d\d:\d\d [AP]M)?$"),
          "de_DE": re.compile(r"^Created \d\d\.\d\d\.\d{4}( \d\d:\d\d:\d\d)?$")}


def locale_failures(shown):
    """Each locale's pages show money and the footer in that locale's form, and no other locale's money."""
    failures = []
    for locale, texts in shown.items():
        money = [t for t in texts if MONEY[locale].match(t)]
        foreign = [t for t in texts if any(MONEY[other].match(t) for other in MONEY if other != locale)]
        footers = [t for t in texts if t.startswith("Created ")]
        if not money:
            failures.append("%s: no amount in the %s form on any page" % (locale, locale))
        for t in sorted(set(foreign)):
            failures.append("%s: amount %r in another locale's form" % (locale, t))
        if not footers:
            failures.append("%s: no footer on any page" % locale)
        for t in sorted(set(footers)):
            if not FOOTER[locale].match(t):
                failures.append("%s: footer %r not in the %s form" % (locale, t, locale))
    return failures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--writer", required=True)
    parser.add_argument("--chromium", default="")
    parser.add_argument("--keep", help="also leave the written pages in this folder")
    args = parser.parse_args()

    chromium = args.chromium or shutil.which("chromium") or shutil.which("chromium-browser")
    if not chromium or not shutil.which(chromium):
        print("SKIP: no chromium installed (scripts/deps.sh installs it)")
        return 77

    script = (HERE / "contrast.js").read_text(encoding="utf-8")
    with tempfile.TemporaryDirectory(prefix="qv-contrast-") as tmp:
        work = pathlib.Path(tmp)
        measured = work / "measured"
        measured.mkdir()
        targets = {}
        for locale in LOCALES:
            pages = work / ("Reports-" + locale)
            env = dict(os.environ, LC_ALL=locale + ".UTF-8", LANG=locale + ".UTF-8", LANGUAGE="")
            written = subprocess.run([args.writer, str(pages)], capture_output=True, text=True, env=env)
            if written.returncode != 0:
                print(written.stdout + written.stderr)
                print("FAIL: the season's reports could not be written under %s" % locale)
                return 1
            if args.keep:
                shutil.copytree(pages, pathlib.Path(args.keep) / locale, dirs_exist_ok=True)
            for page in sorted(pages.glob("*.html")):
                body = page.read_bytes()
                if b"<frameset" in body.lower():
                    continue
                copy = measured / (locale + "-" + page.name)
                copy.write_bytes(body + b"\r\n<script>\r\n" + script.encode("utf-8") + b"\r\n</script>\r\n")
                targets[copy] = locale
        if not targets:
            print("FAIL: no report page was written")
            return 1

        failures = []
        problems = []
        counted = 0
        hovered = 0
        shown = {locale: [] for locale in LOCALES}
        for page, texts in measure_all(chromium, sorted(targets), work).items():
            if isinstance(texts, Exception):  # one page that cannot be measured fails the check
                problems.append(str(texts))
                continue
            counted += len(texts)
            hovered += sum(1 for t in texts if t.get("hovered"))
            shown[targets[page]].extend(t["text"] for t in texts if not t.get("hovered"))
            for t in texts:
                if t["ratio"] < MINIMUM:
                    failures.append("%s: %r%s %s on %s, ratio %.2f" % (
                        page.name, t["text"], " hovered" if t.get("hovered") else "", t["color"],
                        t["background"], t["ratio"]))
        failures += locale_failures(shown)

        print("%d pages, %d texts measured, %d of them in hovered links" % (len(targets), counted, hovered))
        for line in sorted(problems) + sorted(failures):
            print("FAIL: " + line)
        return 1 if failures or problems or counted == 0 or hovered == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
