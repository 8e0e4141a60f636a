#!/usr/bin/env python3
"""Opens a browsable HTML listing in headless Chromium (driven over the DevTools protocol on a pipe, so
nothing but Python and Chromium is needed) and checks it as a person would use it: rows are shown and
only a window of them is in the document, a search narrows them, a click on a header sorts them, a
click on a folder shows its entries, and nothing a name holds ran as script or became markup.

    check_browse.py LISTING [--search MASK]... [--chromium PATH]
        prints "ok rows=N dom-rows=K folders=F search=S1,S2 sorted-by=NAME,SIZE folder=E" or the first
        fault (exit status 1)
    check_browse.py LISTING --bench --search MASK
        prints the page's own times: load to first paint, and a search from input to drawn rows
    check_browse.py LISTING --data [--names]
        without a browser: parses the embedded JSON, checks every row's shape and folder, and prints
        "ok folders=N files=M subfolders=K" (with --names also every folder path and entry name, one
        JSON string a line)

Every wait is for a marker the page sets (data-q-* on the root element), never a fixed sleep."""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time


class Browser:
    def __init__(self, chromium):
        self.profile = tempfile.mkdtemp(prefix="quillary-browse-")
        child_reads, self.to_child = os.pipe()
        self.from_child, child_writes = os.pipe()
        # Chromium reads commands on fd 3 and writes replies on fd 4; the shell puts the pipes there.
        args = ["/bin/sh", "-c", f'exec "$@" 3<&{child_reads} 4>&{child_writes}', "sh", chromium,
                "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--no-default-browser-check",
                "--disable-extensions", "--remote-debugging-pipe", "--window-size=1280,900",
                "--user-data-dir=" + self.profile, "about:blank"]
        self.process = subprocess.Popen(args, pass_fds=(child_reads, child_writes),
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(child_reads)
        os.close(child_writes)
        self.buffer = b""
        self.next_id = 0
        targets = self.call("Target.getTargets")["targetInfos"]
        page = next(t for t in targets if t["type"] == "page")
        self.session = self.call("Target.attachToTarget", {"targetId": page["targetId"], "flatten": True})[
            "sessionId"]

    def call(self, method, params=None, session=None):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.to_child, json.dumps(message).encode() + b"\0")
        while True:
            while b"\0" not in self.buffer:
                chunk = os.read(self.from_child, 1 << 20)
                if not chunk:
                    raise RuntimeError("chromium closed the pipe")
                self.buffer += chunk
            line, self.buffer = self.buffer.split(b"\0", 1)
            reply = json.loads(line)
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError(f"{method}: {reply['error']}")
                return reply["result"]

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True},
                           self.session)
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def wait_for(self, expression, timeout=60.0):
        """Polls until `expression` is truthy in the page and returns its value."""
        deadline = time.monotonic() + timeout
        while True:
            try:
                value = self.evaluate(expression)
            except RuntimeError:  # the page is between documents while it loads
                value = None
            if value:
                return value
            if time.monotonic() > deadline:
                raise RuntimeError(f"timed out waiting for {expression}")
            time.sleep(0.01)

    def navigate(self, url):
        self.call("Page.navigate", {"url": url}, self.session)

    def close(self):
        try:
            self.call("Browser.close")
        except (RuntimeError, OSError):
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


def attr(name):
    return f"document.documentElement?.getAttribute('data-q-{name}')"


# The texts of one column of the rows in view (by header name), in order.
def column_js(name):
    return ("(() => { const heads = [...document.querySelectorAll('#q-head .q-row > span')]"
            ".map(s => s.textContent.replace(/ [\\u25B2\\u25BC]$/, ''));"
            f" const c = heads.indexOf({json.dumps(name)}); if (c < 0) return null;"
            " return [...document.querySelectorAll('#q-rows > .q-row')]"
            ".filter(r => r.style.display !== 'none').map(r => r.children[c].textContent); })()")


def mask_regex(mask):
    """The search's rule: * and ?, patterns separated by ;, case ignored, no wildcard = contains."""
    parts = [p.lstrip(" ") for p in mask.split(";") if p.lstrip(" ")]
    sources = []
    for p in parts:
        escaped = re.escape(p).replace(r"\*", ".*").replace(r"\?", ".")
        sources.append("^" + escaped + "$" if ("*" in p or "?" in p) else escaped)
    return re.compile("|".join(sources), re.IGNORECASE | re.DOTALL)


def click_header(browser, name):
    browser.evaluate("[...document.querySelectorAll('#q-head .q-row > span')].find(s => "
                     f"s.textContent.replace(/ [\\u25B2\\u25BC]$/, '') === {json.dumps(name)}).click()")


def search(browser, mask):
    browser.evaluate(f"(() => {{ const s = document.getElementById('q-search'); s.value = {json.dumps(mask)};"
                     " s.dispatchEvent(new Event('input')); })()")
    browser.wait_for(f"{attr('query')} === {json.dumps(mask)}")
    return int(browser.evaluate(attr("shown"))), int(browser.evaluate(attr("search-ms")))


def fail(text):
    print(text)
    sys.exit(1)


def check(browser, args):
    title = browser.evaluate("document.title")
    if "pwned" in title or not title.endswith(" listing"):
        fail(f"the title changed: {title!r}")
    if browser.evaluate("document.querySelectorAll('body img, body iframe, body object, body embed, "
                        "#q-rows script, #q-tree script').length") != 0:
        fail("a name became markup")
    if browser.evaluate("typeof window.pwned") != "undefined":
        fail("a name ran as script")
    rows = int(browser.evaluate(attr("shown")))
    dom_rows = browser.evaluate("document.querySelectorAll('#q-rows > .q-row').length")
    if rows == 0 or dom_rows == 0 or dom_rows > 100:
        fail(f"rows={rows} dom-rows={dom_rows}")
    folders = browser.evaluate("document.querySelectorAll('#q-tree .q-node').length")
    summary = [f"rows={rows}", f"dom-rows={dom_rows}", f"folders={folders}"]

    found = []
    for mask in args.search or []:
        shown, _ = search(browser, mask)
        names = browser.evaluate(column_js("NAME"))
        exts = browser.evaluate(column_js("EXT")) or [""] * len(names)
        pattern = mask_regex(mask)
        for name, ext in zip(names, exts):
            full = name[1:-1] if name.startswith("<") and name.endswith(">") else name
            full = full + "." + ext if ext else full
            if not pattern.search(full):
                fail(f"the search {mask!r} let {full!r} through")
        if shown >= rows:
            fail(f"the search {mask!r} did not narrow the {rows} rows: {shown}")
        found.append(str(shown))
        search(browser, "")
    if found:
        summary.append("search=" + ",".join(found))

    sorted_by = []
    # Dates sort by the time itself; the default date format (year first) shows that order as text.
    for name, key in (("NAME", lambda t: t.lower()), ("SIZE", lambda t: int(re.sub(r"\D", "", t) or -1)),
                      ("DATE", lambda t: t.strip())):
        if browser.evaluate(column_js(name)) is None:
            continue
        for direction in ("ascending", "descending"):
            click_header(browser, name)
            browser.wait_for(f"{attr('sort')} === {json.dumps(name + ' ' + direction)}")
            values = [key(t) for t in browser.evaluate(column_js(name))]
            want = sorted(values, reverse=direction == "descending")
            if values != want:
                fail(f"sorted by {name} {direction}: {values}")
        sorted_by.append(name)
    summary.append("sorted-by=" + ",".join(sorted_by))

    # The second node is the first listed folder (the first is "All folders").
    browser.evaluate("document.querySelectorAll('#q-tree .q-node')[1].querySelector('.q-label').click()")
    summary.append(f"folder={browser.evaluate(attr('shown'))}")
    if browser.evaluate("document.title") != title:
        fail("the title changed")
    print("ok " + " ".join(summary))


def element(html, name):
    match = re.search(r'<script type="application/json" id="' + name + r'">(.*?)</script>', html, re.S)
    if not match:
        fail(f"no {name} element")
    return match.group(1)


def check_data(path, print_names):
    with open(path, encoding="utf-8") as f:
        html = f.read()
    texts = {name: element(html, name) for name in ("q-meta", "q-data", "q-folders", "q-texts")}
    for name, text in texts.items():
        if re.search("[<>&\x80-\U0010ffff]", text):
            fail(f"{name} holds a character that must be escaped")
    meta = json.loads(texts["q-meta"])
    rows = json.loads(texts["q-data"])
    extra = json.loads(texts["q-folders"])
    strings = json.loads(texts["q-texts"])
    if meta.get("format") != 1 or rows[-1] is not None:
        fail("not format 1, or the rows do not end with null")
    width = len(meta["columns"])
    folders = {}
    for number, path in extra:
        folders[number] = path
    counts = {0: 0, 1: 0, 2: 0}
    names = []
    for row in rows[:-1]:
        kind = row[0]
        if kind == 0:
            if len(row) != 10 or not all(isinstance(v, str) for v in row[2:8]):
                fail(f"folder row {row!r}")
            folders[row[1]] = row[2]
        elif kind in (1, 2):
            if len(row) != width + 4 or not all(isinstance(v, str) or 0 <= v < len(strings) for v in row[2:2 + width]):
                fail(f"entry row {row!r}")
            row[2:2 + width] = [strings[v] if isinstance(v, int) else v for v in row[2:2 + width]]
            if not isinstance(row[2 + width], int) or not (row[3 + width] is None or isinstance(row[3 + width], int)):
                fail(f"exact values of {row!r}")
        else:
            fail(f"row kind {kind!r}")
        counts[kind] += 1
    for row in rows[:-1]:
        if row[0] != 0:
            if row[1] not in folders:
                fail(f"no folder {row[1]} for {row!r}")
            names.append(row[2])  # the name comes first
    print(f"ok folders={len(folders)} files={counts[1]} subfolders={counts[2]}")
    if print_names:
        for path in sorted(set(folders.values())) + names:
            print(json.dumps(path))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("listing")
    parser.add_argument("--search", action="append", help="a mask to search for (again for more)")
    parser.add_argument("--bench", action="store_true")
    parser.add_argument("--data", action="store_true")
    parser.add_argument("--names", action="store_true")
    parser.add_argument("--chromium", default=os.environ.get("CHROMIUM", "/usr/bin/chromium"))
    args = parser.parse_args()
    if args.data:
        check_data(args.listing, args.names)
        return
    browser = Browser(args.chromium)
    try:
        started = time.monotonic()
        browser.navigate("file://" + os.path.abspath(args.listing))
        browser.wait_for(f"{attr('ready')} === '1'", timeout=300)
        wall = time.monotonic() - started
        if args.bench:
            paint = int(browser.evaluate(attr("paint-ms")))
            rows = int(browser.evaluate(attr("shown")))
            steps = " ".join(f"{name}-ms={browser.evaluate(attr(name + '-ms'))}" for name in ("start", "split", "built"))
            print(f"rows={rows} first-paint-ms={paint} (page clock; script {steps}) load-to-ready-s={wall:.2f}")
            for mask in args.search or []:
                # The page reads the names for its search after the first paint; a search typed
                # before that finishes the reading first.
                names = int(browser.wait_for(attr("names-ms"), timeout=300))
                print(f"names read for the search at {names} ms (page clock)")
                shown, ms = search(browser, mask)
                print(f"search {mask!r}: shown={shown} search-ms={ms}")
            for name in ("SIZE", "NAME"):
                click_header(browser, name)
                browser.wait_for(f"{attr('sort')} === {json.dumps(name + ' ascending')}", timeout=300)
                print(f"sort by {name}: sort-ms={browser.evaluate(attr('sort-ms'))}")
        else:
            check(browser, args)
    finally:
        browser.close()


if __name__ == "__main__":
    main()
