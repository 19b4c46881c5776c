"use strict";

const test = require("node:test");
const assert = require("node:assert/strict");
const { openPage, response, settle } = require("./support/page");

// A page whose version endpoint answers the given deployment ids one poll after another (the last repeats).
// An entry may be a function giving the whole response.
function pageWithVersions(ids, options = {}) {
  const queue = [...ids];
  const answer = (id) => (typeof id === "function" ? id() : response({ deploymentId: id }));
  return openPage({ ...options, routes: { "/api/version": () => answer(queue.length > 1 ? queue.shift() : queue[0]) } });
}

// Lets `times` polls of the deployment, a minute apart, run.
async function poll(page, times = 1) {
  for (let i = 0; i < times; i++) await page.timers.advanceBy(60000);
}

const hide = (page) => page.dispatch(page.window, "norla:hidden");

test.describe("deployment polling", () => {
  test.it("fetches the version uncached without credentials; a new id makes the page stale for good, reloaded once hidden", async () => {
    const page = pageWithVersions(["a", "a", "b", "a"]);
    await settle();
    assert.deepEqual(page.fetchesOf("/api/version").map((f) => f.init), [{ cache: "no-store" }]);
    await poll(page);
    hide(page);
    assert.equal(page.reloads.length, 0, "the same id is not stale");
    page.dispatch(page.window, "norla:shown");
    await poll(page, 2);
    assert.equal(page.reloads.length, 0, "visible pages are not reloaded");
    page.dispatch(page.document, "visibilitychange");
    assert.equal(page.reloads.length, 0, "the platform's event alone does not hide the page");
    hide(page);
    assert.equal(page.reloads.length, 1, "stale although the latest id equals the first again");
  });

  test.it("skips failed polls and ids that are not strings, also for the first one, and tries again at the next poll", async () => {
    const skipped = [null, 5, () => response({}), () => response({ deploymentId: { id: "b" } }),
      () => response({ deploymentId: "b" }, { ok: false, status: 503 }), () => response(null),
      () => response(null, { json: () => Promise.reject(new SyntaxError("bad")) }), () => Promise.reject(new TypeError("offline"))];
    const page = pageWithVersions([...skipped, "a", ...skipped, "a", "b"]);
    hide(page);
    await poll(page, 2 * skipped.length + 1);
    assert.equal(page.reloads.length, 0, "nothing skipped became the loaded id or made it stale");
    await poll(page);
    assert.equal(page.reloads.length, 1);
  });
});

test.describe("reload check", () => {
  test.it("holds back while recording, only for exactly true, and reloads at the next check after it ends", async () => {
    for (const [flag, reloads] of [[true, 0], ["true", 1], [1, 1], [false, 1]]) {
      const page = pageWithVersions(["a", "b"]);
      page.run(`window.__norlaRecordingActive = ${JSON.stringify(flag)};`);
      hide(page);
      await poll(page, 2);
      assert.equal(page.reloads.length > 0 ? 1 : 0, reloads, `recording flag ${JSON.stringify(flag)}`);
      if (flag !== true) continue;
      page.run("window.__norlaRecordingActive = false;");
      await poll(page);
      assert.equal(page.reloads.length, 1, "once recording has ended");
    }
  });

  test.it("holds back while the user is in a form field or editable content, until a check after it loses focus", async () => {
    const html = `<!doctype html><body>
      <input id="input"><textarea id="textarea"></textarea><select id="select"><option>1</option></select>
      <div id="editable" contenteditable="true" tabindex="0"></div>
      <div contenteditable><span id="inherited" tabindex="0">x</span></div>
      <button id="button">b</button><x-input id="custom" tabindex="0"></x-input>
      <div id="off" contenteditable="false" tabindex="0"></div></body>`;
    const expectations = { input: false, textarea: false, select: false, editable: false, inherited: false, button: true, custom: true, off: true };
    for (const [id, reloads] of Object.entries(expectations)) {
      const page = pageWithVersions(["a", "b"], { html });
      const element = page.document.getElementById(id);
      element.focus();
      assert.equal(page.document.activeElement.id, id);
      hide(page);
      await poll(page);
      assert.equal(page.reloads.length > 0, reloads, `focus on #${id}`);
      if (reloads) continue;
      element.blur();
      assert.equal(page.reloads.length, 0, "losing focus alone does not reload");
      page.dispatch(page.window, "norla:shown");
      hide(page);
      assert.equal(page.reloads.length, 1, `after #${id} lost focus`);
    }
  });
});
