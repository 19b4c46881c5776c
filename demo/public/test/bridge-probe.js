'use strict';
// Posts straight to the shell's message handlers, bypassing the injected scripts, and reports how each
// call settled: "resolved:<value>", "rejected:<message>" or "unavailable".
window.probeBridge = async function probeBridge(handler, message) {
  const handlers = window.webkit && window.webkit.messageHandlers;
  if (!handlers || !handlers[handler]) return 'unavailable';
  try {
    const value = await handlers[handler].postMessage(message);
    return `resolved:${value === undefined ? 'undefined' : JSON.stringify(value)}`;
  } catch (error) {
    return `rejected:${error && error.message ? error.message : String(error)}`;
  }
};
