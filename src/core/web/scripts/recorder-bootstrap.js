// The recorder bootstrap: gives the page `window.norlaMobile` and sends external `window.open` calls to the
// system browser. Injected at document start into the main frame, before the shell bootstrap.
// Tokens written between double at-signs are filled in by the native side when it builds the script;
// nothing is escaped.
(function () {
  if (window.__norlaMobileBridge || location.origin !== "@@NORLA_ORIGIN@@") return;
  window.__norlaMobileBridge = true;

  // Held from install time, so a page that replaces window.webkit later cannot redirect the bridge.
  const handler = window.webkit.messageHandlers.norlaRecorder;
  const call = (cmd, args = {}) => handler.postMessage({ cmd, ...args });

  const oauthResults = ["ok", "cancelled", "error"];

  window.norlaMobile = {
    available: true,
    platform: "@@NORLA_PLATFORM@@",
    startMeetingRecording: () => call("start"),
    pauseMeetingRecording: () => call("pause"),
    resumeMeetingRecording: () => call("resume"),
    stopMeetingRecording: () => call("stop"),
    pendingMeetingRecording: () => call("pending"),
    readRecording: async (path) => {
      const response = await fetch("@@NORLA_RECORDING_SCHEME@@://file" + encodeURI(path));
      if (!response.ok) throw new Error("録音ファイルを読めませんでした");
      return response.arrayBuffer();
    },
    discardRecording: (path) => call("discard", { path }),
    startOAuth: ({ url, callbackHost, callbackPath } = {}) =>
      call("startOAuth", { url, callbackHost, callbackPath }).then((reply) =>
        oauthResults.includes(reply) ? reply : "error"),
  };

  // Sign-in hosts must stay with the platform's own window.open; other web links leave for the browser.
  const nativeOpen = window.open.bind(window);
  const accountsHost = "@@NORLA_ACCOUNTS_HOST@@";
  const identityProviderSuffix = "@@NORLA_IDENTITY_PROVIDER_SUFFIX@@";
  const authenticationBackendSuffix = "@@NORLA_AUTHENTICATION_BACKEND_SUFFIX@@";

  window.open = function (...args) {
    const url = args[0];
    if (!url) return nativeOpen(...args);
    let resolved;
    try {
      resolved = new URL(String(url), location.href);
    } catch (e) {
      return nativeOpen(...args);
    }
    const protocol = resolved.protocol.toLowerCase();
    if (protocol !== "http:" && protocol !== "https:") return nativeOpen(...args);
    const host = resolved.hostname;
    if (host === accountsHost || host.endsWith(identityProviderSuffix) || host.endsWith(authenticationBackendSuffix))
      return nativeOpen(...args);
    call("openExternal", { url: resolved.href }).catch(() => {});
    return null;
  };
})();
