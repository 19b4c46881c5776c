"use strict";

const test = require("node:test");
const assert = require("node:assert/strict");
const { APP_ORIGIN, generatedScript, openPage, settle } = require("./support/page");

function assertNothingInstalled(page) {
  const { window } = page;
  assert.equal(window.norlaMobile, undefined);
  assert.equal(window.__norlaMobileBridge, undefined);
  assert.equal(window.__norlaMacShell, undefined);
  assert.equal(window.Notification, undefined, "jsdom has no Notification of its own");
  assert.deepEqual(page.posted, []);
  assert.deepEqual(page.fetches, []);
  assert.deepEqual(page.timers.intervals(), []);
  window.open("https://example.com/");
  assert.equal(page.nativeOpens.length, 1, "window.open stays the platform's own");
}

test.describe("origin guard", () => {
  test.it("installs both scripts on a page of the application's origin", async () => {
    const page = openPage();
    await settle();
    assert.equal(page.window.__norlaMobileBridge, true);
    assert.equal(page.window.__norlaMacShell, true);
    assert.equal(page.window.norlaMobile.available, true);
    assert.equal(typeof page.window.Notification, "function");
    assert.equal(page.fetchesOf("/api/badges").length, 1);
    assert.equal(page.fetchesOf("/api/version").length, 1);
  });

  test.it("installs nothing on a page of another origin", async () => {
    const page = openPage({ url: "https://evil.example/chat" });
    await settle();
    assertNothingInstalled(page);
  });

  test.it("compares the inserted origin as written: a default port or an upper-case host never matches", async () => {
    for (const origin of [`${APP_ORIGIN}:443`, "https://Office.norla.jp", "http://office.norla.jp", `${APP_ORIGIN}/`]) {
      const page = openPage({ origin });
      await settle();
      assertNothingInstalled(page);
    }
  });

  test.it("matches an origin with an explicit non-default port", async () => {
    const page = openPage({ url: "http://127.0.0.1:8080/chat", origin: "http://127.0.0.1:8080" });
    await settle();
    assert.equal(page.window.norlaMobile.platform, "mac");
    assert.equal(page.window.__norlaMacShell, true);
  });

  test.it("a second injection into the same page installs nothing more", async () => {
    const page = openPage();
    await settle();
    const api = page.window.norlaMobile;
    const notification = page.window.Notification;
    page.run(generatedScript("recorder", APP_ORIGIN));
    page.run(generatedScript("shell", APP_ORIGIN));
    await settle();

    assert.equal(page.window.norlaMobile, api);
    assert.equal(page.window.Notification, notification);
    assert.equal(page.messages("norlaShell", "notificationPermission").length, 1);
    assert.equal(page.timers.intervals().length, 1);
    page.dispatch(page.window, "focus");
    await settle();
    assert.equal(page.fetchesOf("/api/badges").length, 2, "one poll at load, one for the focus event");
  });

  test.it("a flag already set by the page keeps each script out", async () => {
    const page = openPage({
      beforeScripts: (p) => {
        p.window.__norlaMobileBridge = 1;
        p.window.__norlaMacShell = "yes";
      },
    });
    await settle();
    assert.equal(page.window.norlaMobile, undefined);
    assert.equal(page.window.Notification, undefined);
    assert.deepEqual(page.fetches, []);
  });
});
