"""Headless Chromium driven through the DevTools protocol on a pipe (--remote-debugging-pipe),
with nothing but Python's standard library: one page, its requests, its console errors, its
screenshots and the results of scripts run in it."""
import base64
import json
import os
import shutil
import subprocess
import tempfile

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--hide-scrollbars", "--force-device-scale-factor=1", "--remote-debugging-pipe"]


def find_chromium():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    return None


class Browser:
    """A browser process with one page; use as a context manager."""

    def __init__(self, executable, width=1200, height=900):
        self.profile = tempfile.mkdtemp(prefix="helicart-browser-")
        to_browser_read, self._to_browser = os.pipe()
        self._from_browser, from_browser_write = os.pipe()
        # The protocol's pipe is the browser's descriptors 3 (it reads) and 4 (it writes).
        self.process = subprocess.Popen(
            [executable, *FLAGS, "--user-data-dir=" + self.profile, "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            pass_fds=(3, 4), preexec_fn=lambda: (os.dup2(to_browser_read, 3),
                                                 os.dup2(from_browser_write, 4)))
        os.close(to_browser_read)
        os.close(from_browser_write)
        self._buffer = b""
        self._next_id = 0
        self.events = []
        target = self.call("Target.createTarget", url="about:blank")["targetId"]
        self.session = self.call("Target.attachToTarget", targetId=target,
                                 flatten=True)["sessionId"]
        for domain in ("Page", "Network", "Runtime", "Log"):
            self.call(domain + ".enable", session=True)
        self.call("Emulation.setDeviceMetricsOverride", session=True, width=width,
                  height=height, deviceScaleFactor=1, mobile=False)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        try:
            self.call("Browser.close")
        except (OSError, RuntimeError):
            pass
        try:
            self.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self._to_browser)
        os.close(self._from_browser)
        shutil.rmtree(self.profile, ignore_errors=True)

    def _receive(self):
        while b"\0" not in self._buffer:
            chunk = os.read(self._from_browser, 1 << 20)
            if not chunk:
                raise RuntimeError("the browser closed its pipe")
            self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, session=False, **params):
        """Sends a command and returns its result; events on the way are kept in events."""
        self._next_id += 1
        command = {"id": self._next_id, "method": method, "params": params}
        if session:
            command["sessionId"] = self.session
        os.write(self._to_browser, json.dumps(command).encode() + b"\0")
        while True:
            message = self._receive()
            if message.get("id") == self._next_id:
                if "error" in message:
                    raise RuntimeError(f"{method}: {message['error']}")
                return message.get("result", {})
            if "method" in message:
                self.events.append(message)

    def wait_for(self, method):
        while not any(e["method"] == method for e in self.events):
            message = self._receive()
            if "method" in message:
                self.events.append(message)

    def open(self, url):
        """Loads url and waits for its load event."""
        self.events.clear()
        self.call("Page.navigate", session=True, url=url)
        self.wait_for("Page.loadEventFired")

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", session=True, expression=expression,
                           returnByValue=True)
        if "exceptionDetails" in result:
            raise RuntimeError(f"script failed: {result['exceptionDetails']}")
        return result["result"].get("value")

    def requested(self):
        return [e["params"]["request"]["url"] for e in self.events
                if e["method"] == "Network.requestWillBeSent"]

    def errors(self):
        """Console errors, uncaught exceptions and the browser's own error entries."""
        found = []
        for e in self.events:
            p = e["params"]
            if e["method"] == "Runtime.consoleAPICalled" and p["type"] in ("error", "assert"):
                found.append(json.dumps(p["args"]))
            elif e["method"] == "Runtime.exceptionThrown":
                found.append(json.dumps(p["exceptionDetails"]))
            elif e["method"] == "Log.entryAdded" and p["entry"]["level"] == "error":
                found.append(p["entry"].get("text", ""))
        return found

    def screenshot(self, x, y, width, height):
        """PNG bytes of the page's area at (x, y) in document pixels."""
        result = self.call("Page.captureScreenshot", session=True, format="png",
                           captureBeyondViewport=True,
                           clip={"x": x, "y": y, "width": width, "height": height, "scale": 1})
        return base64.b64decode(result["data"])
