"use strict";

const test = require("node:test");
const assert = require("node:assert/strict");
const { openPage, settle } = require("./support/page");

function countVisibilityEvents(page) {
  const seen = [];
  page.document.addEventListener("visibilitychange", () => seen.push(page.document.visibilityState));
  return seen;
}

test.describe("visibility override", () => {
  test.it("answers visible from load, then as the shell says, whatever the platform reports; stays configurable", () => {
    const page = openPage();
    const seen = countVisibilityEvents(page);
    assert.equal(page.document.visibilityState, "visible");
    page.dispatch(page.window, "norla:hidden");
    assert.equal(page.document.visibilityState, "hidden");
    page.dispatch(page.window, "norla:hidden");
    page.dispatch(page.window, "norla:shown");
    assert.equal(page.document.visibilityState, "visible");
    assert.deepEqual(seen, ["hidden", "hidden", "visible"], "each shell event is followed by visibilitychange");
    // What the platform reports is ignored.
    page.dispatch(page.window, "norla:hidden");
    page.dispatch(page.document, "visibilitychange");
    assert.equal(page.document.visibilityState, "hidden");
    assert.equal(Object.getOwnPropertyDescriptor(page.document, "visibilityState").configurable, true);
  });

  test.it("carries on with the rest of the script when the property cannot be redefined", async () => {
    const page = openPage({
      beforeScripts: (p) => Object.defineProperty(p.document, "visibilityState", { value: "visible", configurable: false }),
    });
    const seen = countVisibilityEvents(page);
    page.dispatch(page.window, "norla:hidden");
    await settle();
    assert.deepEqual(seen, ["visible"]);
    assert.equal(typeof page.window.Notification, "function");
    assert.equal(page.timers.intervals().length, 1);
  });
});
