"use strict";

const test = require("node:test");
const assert = require("node:assert/strict");
const { openPage, settle, unhandledRejectionsDuring } = require("./support/page");

const openExternals = (page) => page.messages("norlaRecorder", "openExternal").map((p) => p.message);

// Calls the page's window.open with the given arguments, from inside the page.
function pageOpen(page, ...args) {
  page.window.__openArgs = args;
  return page.run("window.open(...window.__openArgs)");
}

test.describe("window.open routing", () => {
  test.it("leaves non-web URLs and sign-in hosts to the platform, and sends other web URLs to the browser, absolute", async () => {
    const cases = [
      // The platform's own open, with all its arguments: falsy, unparsable and non-web URLs, and the hosts of
      // the identity provider and the authentication backend.
      ...[undefined, null, "", 0, "http://[oops", "mailto:someone@example.com", "javascript:void(0)", "norla-rec://file/a.m4a",
        "about:blank", "data:text/plain,x", "blob:https://office.norla.jp/1", "https://accounts.google.com/o/oauth2/v2/auth?x=1",
        "https://ACCOUNTS.google.com/", "http://mail.google.com/", "https://abcd.supabase.co/auth/v1/authorize",
        "https://a.b.supabase.co/"].map((url) => [url, null]),
      // The system browser; open answers null.
      ["https://example.com/a b?q=日本", "https://example.com/a%20b?q=%E6%97%A5%E6%9C%AC"],
      ["HTTPS://Example.com", "https://example.com/"],
      ["/tasks/12", "https://office.norla.jp/tasks/12"],
      ["docs?id=3", "https://office.norla.jp/meeting-notes/docs?id=3"],
      ["https://office.norla.jp/chat", "https://office.norla.jp/chat"],
      ...["https://google.com/", "https://evilgoogle.com/", "https://supabase.co/", "https://accounts.google.co.jp/"].map((url) => [url, url]),
    ];
    for (const [url, external] of cases) {
      const page = openPage({ url: "https://office.norla.jp/meeting-notes/list" });
      const result = pageOpen(page, url, "_blank", "noopener");
      await settle();
      if (external) {
        assert.equal(result, null, url);
        assert.deepEqual(openExternals(page), [{ cmd: "openExternal", url: external }], url);
        assert.deepEqual(page.nativeOpens, [], url);
      } else {
        assert.equal(result, "native window", String(url));
        assert.deepEqual(page.nativeOpens.map((o) => o.args), [[url, "_blank", "noopener"]], String(url));
        assert.equal(page.nativeOpens[0].self, page.window, "the platform's open stays bound to the window");
        assert.deepEqual(openExternals(page), [], String(url));
      }
    }
    const page = openPage();
    pageOpen(page);
    assert.deepEqual(page.nativeOpens.map((o) => o.args), [[]], "no arguments stay no arguments");
  });

  test.it("converts a URL object to its text and keeps a rejected send inside the page", async () => {
    const page = openPage({ bridge: { norlaRecorder: () => Promise.reject(new Error("不正な呼び出しです")) } });
    const unhandled = await unhandledRejectionsDuring(() => {
      assert.equal(page.run('window.open(new URL("https://example.com/x"))'), null);
    });
    assert.deepEqual(unhandled, []);
    assert.deepEqual(openExternals(page), [{ cmd: "openExternal", url: "https://example.com/x" }]);
  });
});
