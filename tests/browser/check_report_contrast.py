#!/usr/bin/env python3
"""Opens every report page of a small posted season in headless Chromium and fails when any visible
text has a contrast ratio below 3:1 against what is behind it, the texts of each link also as they
show while the link is hovered. The season is written and read under en_US and de_DE, and each
locale's pages must show money and the footer's date and time in that locale's form.

check_report_contrast.py --writer PATH/write_report_season [--chromium chromium] [--keep DIR]

The writer fills a folder with the pages; each page (the frameset page aside, which shows no text of
its own) is copied with contrast.js appended, and Chromium's DOM dump of the copy carries the
measurements. Exit 0 when every text reads, 1 when some does not or a page could not be measured,
77 when no Chromium is installed.
"""

import argparse
import concurrent.futures
import html
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

MINIMUM = 3.0
HERE = pathlib.Path(__file__).resolve().parent
RESULT = re.compile(r'<pre id="qv-contrast"[^>]*>(.*?)</pre>', re.S)


def chromium_command(chromium, profile, url):
    return [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
            "--disable-background-networking", "--disable-component-update", "--disable-sync",
            "--disable-dev-shm-usage", "--user-data-dir=" + str(profile), "--dump-dom", url]


def measure(chromium, page, work):
    """The texts of one page with their colours and contrast ratios."""
    profile = pathlib.Path(tempfile.mkdtemp(prefix="profile-", dir=work))
    try:
        for _attempt in range(2):
            try:
                run = subprocess.run(chromium_command(chromium, profile, page.as_uri()), capture_output=True,
                                     timeout=90, env=dict(os.environ, HOME=str(work)))
            except subprocess.TimeoutExpired:
                continue
            found = RESULT.findall(run.stdout.decode("utf-8", "replace"))
            if found:
                return json.loads(html.unescape(found[-1]))
        raise RuntimeError("no measurement from Chromium for %s" % page.name)
    finally:
        shutil.rmtree(profile, ignore_errors=True)


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
        with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
            jobs = {pool.submit(measure, chromium, page, work): page for page in targets}
            for job in concurrent.futures.as_completed(jobs):
                page = jobs[job]
                try:
                    texts = job.result()
                except Exception as error:  # one page that cannot be measured fails the check
                    problems.append(str(error))
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
