"""The match page of tryzone-sim --html, played in Debian's chromium: it loads cleanly, shows the first frame's
pitch and players, Space and the time bar move the match, and the score it shows is the event log's."""

import json
import os
import shutil
import subprocess
import time
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]
SIM = Path(os.environ.get("TRYZONE_SIM", ROOT / "build" / "tryzone-sim"))
DRIVER = shutil.which("chromedriver")

pytestmark = [
    pytest.mark.skipif(not SIM.exists(), reason=f"no simulator at {SIM}: build tryzone-sim or set TRYZONE_SIM"),
    pytest.mark.skipif(DRIVER is None, reason="no chromedriver: install Debian's chromium-driver"),
]

MATCH = ["--seed", "7", "--minutes", "3"]


@pytest.fixture(scope="module")
def played(tmp_path_factory):
    folder = tmp_path_factory.mktemp("page")
    page, events = folder / "match.html", folder / "events.jsonl"
    for extra in (["--html", str(page), "--from", "0:20"], ["--events", str(events)]):
        subprocess.run([str(SIM), *MATCH, *extra], check=True, cwd=folder, capture_output=True)
    log = [json.loads(line) for line in events.read_text().splitlines()]
    return page, log


@pytest.fixture(scope="module")
def browser():
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service

    options = webdriver.ChromeOptions()
    for argument in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--window-size=1400,1000"):
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service(DRIVER), options=options)
    yield driver
    driver.quit()


def wait_for(driver, script, timeout=20):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        value = driver.execute_script(script)
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError(f"never true: {script}")


def pixel(driver, x, y):
    return driver.execute_script(
        "return Array.from(document.getElementById('pitch').getContext('2d').getImageData(arguments[0], arguments[1],"
        " 1, 1).data.slice(0, 3));", x, y)


def score_at(log, frame):
    score = {"blue": 0, "red": 0}
    for event in log:
        if event["event"] == "try" and event["frame"] < frame:
            score = event["score"]
    return score


def test_the_page_plays_the_match_as_the_event_log_tells_it(played, browser):
    page, log = played
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.by import By

    browser.get(page.as_uri())
    wait_for(browser, "return window.tryzonePage && window.tryzonePage.ready")
    assert not [entry for entry in browser.get_log("browser") if entry["level"] == "SEVERE"]

    # The first frame: 20 s in, paused; the in-goal and the field of play in their colours, ten players.
    assert browser.execute_script("return tryzonePage.frame") == round(20 / 0.00835)
    assert pixel(browser, 40, 700) == [90, 151, 21]
    assert pixel(browser, 640, 716) == [112, 189, 26]
    centres = browser.execute_script(
        "return tryzonePage.frames[0].shapes.filter(s => s.kind === 2 && s.n[2] > 8 * 16)"
        ".map(s => [Math.round((s.n[0] + s.n[2]) / 8), Math.round((s.n[1] + s.n[2]) / 8), s.color]);")
    players = [centre for centre in centres if centre[2] in ("rgba(0,0,255,1)", "rgba(255,0,0,1)")]
    assert len(players) == 10
    for x, y, colour in players:
        # The ball lies over its carrier.
        assert pixel(browser, x, y) in ([0, 0, 255], [255, 0, 0], [255, 255, 0]), colour

    # Space plays, and pauses again.
    start = browser.execute_script("return tryzonePage.frame")
    body = browser.find_element(By.TAG_NAME, "body")
    body.send_keys(" ")
    wait_for(browser, f"return tryzonePage.frame > {start + 30}")
    body.send_keys(" ")
    assert not browser.execute_script("return tryzonePage.playing")

    # A click just after the first try mark shows the score the log gives from that frame on.
    tries = [event for event in log if event["event"] == "try" and event["frame"] >= start]
    assert tries, "the match shown has a try"
    bar = browser.find_element(By.ID, "bar")
    first, last = browser.execute_script(
        "const f = tryzonePage.frames; return [f[0].frame, f[f.length - 1].frame];")
    share = (tries[0]["frame"] + 60 - first) / (last - first)
    ActionChains(browser).move_to_element_with_offset(
        bar, round((share - 0.5) * bar.size["width"]), 0).click().perform()
    shown = browser.execute_script("return tryzonePage.frames[tryzonePage.index].frame")
    assert abs(shown - tries[0]["frame"] - 60) < 40
    score = score_at(log, shown)
    texts = browser.execute_script("return tryzonePage.texts()")
    assert f"Score Bleu : {score['blue']}" in texts and f"Score Rouge : {score['red']}" in texts
    assert score == tries[0]["score"]
    assert not [entry for entry in browser.get_log("browser") if entry["level"] == "SEVERE"]
