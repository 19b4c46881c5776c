"use strict";

const test = require("node:test");
const assert = require("node:assert/strict");
const { deferred, openPage, response, settle, unhandledRejectionsDuring } = require("./support/page");

const sentCounts = (page) => page.messages("norlaShell", "badges").map((p) => p.message);

test.describe("badge polling", () => {
  test.it("fetches uncached with the user's cookies, sends the parsed counts, and polls on focus, refresh and showing", async () => {
    const counts = { chat: 3, tasks: 0, nested: { a: 1 } };
    const page = openPage({ routes: { "/api/badges": () => response(counts) } });
    await settle();
    assert.deepEqual(page.fetchesOf("/api/badges").map((f) => f.init), [{ credentials: "include", cache: "no-store" }]);
    assert.deepEqual(sentCounts(page), [{ cmd: "badges", counts }]);
    const { window, document } = page;
    // Each event, and the polls counted after it.
    const events = [[window, "focus", 2], [window, "office-badges-refresh", 3], [window, "norla:hidden", 3],
      [document, "visibilitychange", 3, "no poll while hidden"], [window, "norla:shown", 4],
      [document, "visibilitychange", 5, "a platform visibilitychange while visible polls too"],
      [document, "office-badges-refresh", 5, "the refresh event counts only on the window"]];
    for (const [target, type, polls, why = type] of events) {
      page.dispatch(target, type);
      await settle();
      assert.equal(page.fetchesOf("/api/badges").length, polls, why);
    }
  });

  test.it("polls badges and the deployment every 60000 ms", async () => {
    const page = openPage();
    await settle();
    const polls = () => ["/api/badges", "/api/version"].map((path) => page.fetchesOf(path).length);
    for (const [advance, count] of [[59999, 1], [1, 2], [120000, 4]]) {
      await page.timers.advanceBy(advance);
      assert.deepEqual(polls(), [count, count], `after ${advance} ms more`);
    }
  });

  test.it("an older poll that is overtaken sends nothing, whichever finishes first, even while its body is parsed", async () => {
    for (const order of ["older first", "newer first", "older parsing"]) {
      const fetches = [];
      const body = deferred();
      const page = openPage({
        routes: {
          "/api/badges": () => {
            const d = deferred();
            fetches.push(d);
            return d.promise;
          },
        },
      });
      page.dispatch(page.window, "focus");
      await settle();
      assert.equal(fetches.length, 2);
      const [older, newer] = fetches;
      if (order === "newer first") newer.resolve(response({ chat: 2 }));
      older.resolve(order === "older parsing" ? response(null, { json: () => body.promise }) : response({ chat: 1 }));
      await settle();
      if (order !== "newer first") newer.resolve(response({ chat: 2 }));
      await settle();
      body.resolve({ chat: 1 });
      await settle();
      assert.deepEqual(sentCounts(page), [{ cmd: "badges", counts: { chat: 2 } }], order);
    }
  });

  test.it("swallows non-ok answers, bad JSON, failed fetches and rejected sends, then polls again", async () => {
    const answers = [
      () => response({ chat: 1 }, { ok: false, status: 401 }),
      () => response(null, { json: () => Promise.reject(new SyntaxError("Unexpected token <")) }),
      () => Promise.reject(new TypeError("Load failed")),
      () => response({ chat: 4 }),
      () => response({ chat: 5 }),
    ];
    const page = openPage({
      routes: { "/api/badges": () => answers.shift()() },
      bridge: {
        norlaShell: (m) => (m.cmd === "badges" && m.counts.chat === 4 ? Promise.reject(new Error("gone")) : undefined),
      },
    });
    const unhandled = await unhandledRejectionsDuring(async () => {
      for (let i = 0; i < 4; i++) await page.timers.advanceBy(60000);
    });
    assert.deepEqual(unhandled, []);
    assert.deepEqual(sentCounts(page), [
      { cmd: "badges", counts: { chat: 4 } },
      { cmd: "badges", counts: { chat: 5 } },
    ]);
  });
});
