"use strict";

const test = require("node:test");
const assert = require("node:assert/strict");
const { APP_ORIGIN, generatedScript, openPage, settle } = require("./support/page");

test.describe("origin guard", () => {
  test.it("installs both scripts only where the page's origin is the inserted one, compared as written", async () => {
    const cases = [
      [`${APP_ORIGIN}/chat`, APP_ORIGIN, true],
      ["http://127.0.0.1:8080/chat", "http://127.0.0.1:8080", true],
      ["https://evil.example/chat", APP_ORIGIN, false],
      // A default port, an upper-case host, another scheme or a trailing slash never match.
      ...[`${APP_ORIGIN}:443`, "https://Office.norla.jp", "http://office.norla.jp", `${APP_ORIGIN}/`].map((o) => [`${APP_ORIGIN}/chat`, o, false]),
    ];
    for (const [url, origin, installed] of cases) {
      const page = openPage({ url, origin });
      await settle();
      const { window } = page;
      const what = `${url} for ${origin}`;
      if (installed) {
        assert.equal(window.norlaMobile.platform, "mac", what);
        assert.equal(typeof window.Notification, "function", what);
        assert.equal(page.fetchesOf("/api/badges").length, 1, what);
        continue;
      }
      assert.equal(window.norlaMobile, undefined, what);
      assert.equal(window.Notification, undefined, "jsdom has no Notification of its own");
      assert.deepEqual([page.posted, page.fetches, page.timers.intervals()], [[], [], []], what);
      window.open("https://example.com/");
      assert.equal(page.nativeOpens.length, 1, "window.open stays the platform's own");
    }
  });

  test.it("a second injection into the same page installs nothing more", async () => {
    const page = openPage();
    await settle();
    const installed = () => [page.window.norlaMobile, page.window.Notification];
    const before = installed();
    page.run(generatedScript("recorder", APP_ORIGIN) + generatedScript("shell", APP_ORIGIN));
    await settle();
    assert.ok(installed().every((value, i) => value === before[i]), "the same objects stay installed");
    assert.equal(page.messages("norlaShell", "notificationPermission").length, 1);
    assert.equal(page.timers.intervals().length, 1);
    page.dispatch(page.window, "focus");
    await settle();
    assert.equal(page.fetchesOf("/api/badges").length, 2, "one poll at load, one for the focus event");
  });
});
