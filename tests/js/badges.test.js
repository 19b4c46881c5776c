"use strict";

const test = require("node:test");
const assert = require("node:assert/strict");
const { deferred, openPage, response, settle, unhandledRejectionsDuring } = require("./support/page");

const sentCounts = (page) => page.messages("norlaShell", "badges").map((p) => p.message);

test.describe("badge polling", () => {
  test.it("fetches the badges with the user's cookies and no cache, and sends the parsed counts", async () => {
    const counts = { chat: 3, tasks: 0, nested: { a: 1 } };
    const page = openPage({ routes: { "/api/badges": () => response(counts) } });
    await settle();
    assert.deepEqual(page.fetchesOf("/api/badges").map((f) => f.init), [{ credentials: "include", cache: "no-store" }]);
    assert.deepEqual(sentCounts(page), [{ cmd: "badges", counts }]);
  });

  test.it("polls on focus, on office-badges-refresh and on becoming visible, not on becoming hidden", async () => {
    const page = openPage();
    await settle();
    const polls = () => page.fetchesOf("/api/badges").length;
    assert.equal(polls(), 1);
    page.dispatch(page.window, "focus");
    page.dispatch(page.window, "office-badges-refresh");
    await settle();
    assert.equal(polls(), 3);
    page.dispatch(page.window, "norla:hidden");
    page.dispatch(page.document, "visibilitychange");
    await settle();
    assert.equal(polls(), 3, "no poll while hidden");
    page.dispatch(page.window, "norla:shown");
    await settle();
    assert.equal(polls(), 4);
    page.dispatch(page.document, "visibilitychange");
    await settle();
    assert.equal(polls(), 5, "a platform visibilitychange while visible polls too");
    page.dispatch(page.document, "office-badges-refresh");
    await settle();
    assert.equal(polls(), 5, "the refresh event counts only on the window");
  });

  test.it("polls badges and the deployment every 60000 ms", async () => {
    const page = openPage();
    await settle();
    assert.deepEqual(page.timers.intervals(), [60000]);
    await page.timers.advanceBy(59999);
    assert.equal(page.fetchesOf("/api/badges").length, 1);
    assert.equal(page.fetchesOf("/api/version").length, 1);
    await page.timers.advanceBy(1);
    assert.equal(page.fetchesOf("/api/badges").length, 2);
    assert.equal(page.fetchesOf("/api/version").length, 2);
    await page.timers.advanceBy(120000);
    assert.equal(page.fetchesOf("/api/badges").length, 4);
    assert.equal(page.fetchesOf("/api/version").length, 4);
  });

  test.it("an older poll that is overtaken sends nothing, whichever finishes first", async () => {
    for (const olderFirst of [false, true]) {
      const fetches = [];
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
      if (olderFirst) {
        older.resolve(response({ chat: 1 }));
        await settle();
        newer.resolve(response({ chat: 2 }));
      } else {
        newer.resolve(response({ chat: 2 }));
        await settle();
        older.resolve(response({ chat: 1 }));
      }
      await settle();
      assert.deepEqual(sentCounts(page), [{ cmd: "badges", counts: { chat: 2 } }], `older first: ${olderFirst}`);
    }
  });

  test.it("a poll overtaken while its body is being parsed sends nothing", async () => {
    const body = deferred();
    let calls = 0;
    const page = openPage({
      routes: { "/api/badges": () => (++calls === 1 ? response(null, { json: () => body.promise }) : response({ chat: 9 })) },
    });
    await settle();
    page.dispatch(page.window, "focus");
    await settle();
    body.resolve({ chat: 1 });
    await settle();
    assert.deepEqual(sentCounts(page), [{ cmd: "badges", counts: { chat: 9 } }]);
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
