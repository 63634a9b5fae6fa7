#!/usr/bin/python3
"""The phone page in headless Chromium against the built jubo, a user's session. Usage:
phone_remote_test.py BUILD_DIR [SCREENSHOT_DIR]; exits 77 (skipped) only without Chromium."""
import base64, csv, json, os, signal, socket, subprocess, sys, tempfile, urllib.request


def skip(why):
    print(f"SKIPPED: {why} (scripts/deps installs it)")
    sys.exit(77)


try:
    from selenium import webdriver
    from selenium.common.exceptions import StaleElementReferenceException
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    skip("python3-selenium is not installed")
for tool in ("/usr/bin/chromium", "/usr/bin/chromedriver"):
    if not os.access(tool, os.X_OK):
        skip(f"{tool} is missing")

BUILD, SHOTS = sys.argv[1], (sys.argv[2] if len(sys.argv) > 2 else None)
LIMIT = 60  # seconds: only keeps a broken program from hanging the run


class Jubo:
    """The built program over folders of its own, its web server on a free port."""

    def __init__(self, root):
        self.home, self.run = os.path.join(root, "home"), os.path.join(root, "run")
        os.makedirs(self.run, mode=0o700)
        subprocess.run([f"{BUILD}/jubo-demo", self.home], check=True, capture_output=True)
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            self.url = f"http://127.0.0.1:{s.getsockname()[1]}/"
        self.env = dict(os.environ, JUBO_HOME=self.home, XDG_RUNTIME_DIR=self.run,
                        XDG_CONFIG_HOME=f"{self.home}/config", XDG_CACHE_HOME=f"{self.run}/cache",
                        SDL_VIDEODRIVER="offscreen", JUBO_WINDOW="800x600",
                        JUBO_AUDIO_OUTPUT="null", JUBO_WEB_PORT=self.url.split(":")[2][:-1])
        self.process = None  # until started

    def start(self):
        self.process = subprocess.Popen([f"{BUILD}/jubo"], env=self.env, cwd=self.home,
                                        stderr=open(f"{self.run}/err", "a"))
        until(lambda: self.remote_ok("screen"), "jubo's remote answers")

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        assert self.process.wait(LIMIT) == 0, open(f"{self.run}/err").read()

    def remote_ok(self, *args):
        return subprocess.run([f"{BUILD}/jubo-remote", *args], env=self.env,
                              capture_output=True).returncode == 0

    def screen(self):
        answer = subprocess.run([f"{BUILD}/jubo-remote", "screen"], env=self.env,
                                capture_output=True, text=True, check=True)
        return json.loads(answer.stdout)

    def settings_row(self, caption):
        """Opens Settings on the TV and presses Enter on the row whose caption begins so."""
        assert self.remote_ok("--wait", "settings")
        s = self.screen()
        row = next(i + 1 for i, r in enumerate(s["rows"]) if r["caption"].startswith(caption))
        keys = ["down"] * (row - s["row"]) + ["up"] * (s["row"] - row) + ["enter", "left"]
        assert self.remote_ok("--wait", *keys), caption

    def http(self, method, path, headers=None, body=None):
        request = urllib.request.Request(self.url + path[1:], body, headers or {}, method=method)
        try:
            return urllib.request.urlopen(request, timeout=LIMIT).status
        except urllib.request.HTTPError as e:
            return e.code
        except OSError:  # not listening (yet)
            return None


def until(done, what):
    """Waits for `done`, failing with `what`; an element redrawn meanwhile is looked up again."""
    WebDriverWait(browser, LIMIT, poll_frequency=0.05,
                  ignored_exceptions=[StaleElementReferenceException]).until(lambda _: done(), what)


def texts(selector):
    return browser.execute_script(
        "return [...document.querySelectorAll(arguments[0])].map(e => e.innerText)", selector)


def shown(element_id):
    return browser.find_element(By.ID, element_id).is_displayed()


def click(selector):
    until(lambda: browser.find_element(By.CSS_SELECTOR, selector).click() or True, selector)


def type_into(element_id, text):
    field = browser.find_element(By.ID, element_id)
    field.send_keys(Keys.CONTROL, "a")  # selected and typed over: the page hears each change
    field.send_keys(Keys.BACKSPACE + text)


def pair(jubo):
    click("#ask")  # the code shown when the remote was turned on gives way to a new one
    until(lambda: "shows a six-digit code" in texts("#pair-message")[0], "a new code on the TV")
    code = jubo.screen()["pairing"]["code"]
    type_into("code", f"{(int(code) + 1) % 1000000:06d}")
    click("#pair")
    until(lambda: "Wrong code" in browser.find_element(By.ID, "pair-message").text,
          "a wrong code is refused plainly")
    type_into("code", code)
    click("#pair")
    until(lambda: shown("remote") and not shown("pairing"), "paired, the remote shows")


def page_follows(jubo):
    """The page's title, rows, highlight and question are the TV's."""
    s = jubo.screen()
    rows = [r["caption"] for r in s["rows"] if r["caption"]]
    mark = [s["rows"][s["row"] - 1]["caption"]] if s["highlight"] else []
    return texts("#rows button") == rows and texts("#rows button.current") == mark and \
        texts("#title") == [s["title"]] and shown("dialog") == bool(s["dialog"]) and \
        (not s["dialog"] or texts("#dialog-buttons button") == s["dialog"]["buttons"])


def session(jubo):
    jubo.start()
    jubo.settings_row("Phone Remote")
    until(lambda: jubo.http("GET", "/") == 200, "the phone page is served")
    browser.get(jubo.url)
    until(lambda: shown("pairing"), "an unpaired phone sees the pairing form")
    pair(jubo)
    until(lambda: page_follows(jubo), "the page shows the TV's screen")

    # A tap moves the TV's highlight, a tap on the highlighted row is OK (a view opens, then a
    # question), a tap on one of the question's buttons answers it.
    assert jubo.remote_ok("--wait", "menu")
    for row, then in ((3, lambda s: s["row"] == 3), (2, lambda s: s["row"] == 2),
                      (2, lambda s: s["title"] != "Main Menu"), (2, lambda s: s["row"] == 2),
                      (2, lambda s: s["dialog"] and s["dialog"]["buttons"][0] == "Yes")):
        click(f'#rows button[data-row="{row}"]')
        until(lambda: then(jubo.screen()) and page_follows(jubo), f"a tap on row {row}")
    click("#dialog-buttons button")
    until(lambda: jubo.screen()["playlist"]["count"] > 0 and page_follows(jubo), "Yes, added")
    click('[data-key="menu"]')
    until(lambda: jubo.screen()["title"] == "Main Menu" and page_follows(jubo), "Menu pressed")

    # Search as you type, then add: a song, then an album (a quote in its name) to play next.
    with open(f"{jubo.home}/jubodb.txt", newline="") as f:
        song = next(csv.DictReader(f))
    for query, kind, name, adds in ((song["Title"].upper(), "song", song["Title"], 1),
                                    (song["Album"], "album", song["Album"], None)):
        type_into("query", query)
        result = f'#results li[data-kind="{kind}"]'
        until(lambda: name in texts(f"{result} .name"), f"{query!r} finds the {kind} {name!r}")
        before = jubo.screen()["playlist"]["count"]
        click(f"{result} .{'add' if adds else 'next'}")
        until(lambda: jubo.screen()["playlist"]["count"] > before, f"the {kind} is added")
        added = jubo.screen()["playlist"]["count"] - before
        assert adds in (None, added), (kind, added)
        until(lambda: str(added) in browser.find_element(By.ID, "search-message").text,
              f"the page says {added} added")
    until(lambda: len(texts("#playlist li")) == jubo.screen()["playlist"]["count"] and
          any(song["Title"] in t for t in texts("#playlist li")), "Now Playing lists them")

    # Without the token nothing is done (the refusals one by one: tests/phone).
    assert jubo.http("POST", "/api/key", {"Content-Type": "application/json"},
                     b'{"key": "down"}') == 401
    assert jubo.screen()["row"] == 1

    if SHOTS:
        shoot(jubo)

    # A restart keeps the phone paired: the open page reconnects, a reloaded one too.
    jubo.stop()
    jubo.start()
    for key in ("down", "up"):  # the open page reconnects; reloaded, it is still paired
        assert jubo.remote_ok("--wait", key)
        until(lambda: shown("remote") and page_follows(jubo), f"paired after restart ({key})")
        browser.refresh()

    jubo.settings_row("Forget paired phones")  # its stream ends: the page asks and is refused
    until(lambda: shown("pairing") and not shown("remote"), "a forgotten phone must pair again")
    jubo.stop()


def shoot(jubo):
    """The page paired, on the Main Menu with songs in Now Playing, on a phone and a laptop."""
    assert jubo.remote_ok("--wait", "menu")
    if not jubo.screen()["state"].startswith("Playing"):
        assert jubo.remote_ok("--wait", "play")
    type_into("query", "")
    browser.execute_script("document.activeElement.blur()")
    until(lambda: page_follows(jubo) and not texts("#results li") and
          browser.find_element(By.ID, "state").text.startswith("Playing"), "the Main Menu shows")
    for width, height in ((390, 844), (1280, 800)):
        browser.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": 1, "mobile": width < 500})
        full = browser.execute_script("return document.documentElement.scrollHeight")
        shot = browser.execute_cdp_cmd("Page.captureScreenshot", {
            "captureBeyondViewport": True,
            "clip": {"x": 0, "y": 0, "width": width, "height": full, "scale": 1}})
        with open(os.path.join(SHOTS, f"phone_{width}x{height}.png"), "wb") as f:
            f.write(base64.b64decode(shot["data"]))


options = webdriver.ChromeOptions()
options.binary_location = "/usr/bin/chromium"
for argument in ("--headless=new", "--no-sandbox", "--window-size=390,844"):
    options.add_argument(argument)
browser = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
with tempfile.TemporaryDirectory() as root:
    jubo = Jubo(root)
    try:
        session(jubo)
    finally:
        browser.quit()
        if jubo.process.poll() is None:
            jubo.process.kill()
            jubo.process.wait()
print("phone page: passed")
