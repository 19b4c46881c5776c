#!/usr/bin/env bash
# Proves that the Apple compile check fails on the faults it exists for: each case copies one backend
# file, misspells one selector in it and expects the check to reject the copy with the named diagnostic.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
expect_rejected() { # file, text to replace, replacement, expected diagnostic
  local file="$here/src/apple/$1" copy="$work/$(basename "$1")"
  sed "s/$2/$3/" "$file" >"$copy"
  if cmp -s "$file" "$copy"; then
    echo "FAIL: '$2' not found in $1" >&2
    failures=$((failures + 1))
    return
  fi
  local output
  if output=$("$here/scripts/apple-compile-check.sh" "$copy" 2>&1); then
    echo "FAIL: $1 with '$3' compiled" >&2
    failures=$((failures + 1))
  elif ! grep -q -- "$4" <<<"$output"; then
    echo "FAIL: $1 with '$3' failed without '$4':" >&2
    echo "$output" >&2
    failures=$((failures + 1))
  fi
}

# Delegate methods WebKit, UIKit, UserNotifications and ScreenCaptureKit declare optional.
expect_rejected web/NorlaNavigationDelegate.mm 'didFailProvisionalNavigation:' 'didFailProvisionalNavigaton:' \
  "in protocol 'WKNavigationDelegate' not implemented"
expect_rejected web/NorlaUIDelegate.mm 'requestMediaCapturePermissionForOrigin:' 'requestMediaCapturePermissionForOrigins:' \
  "in protocol 'WKUIDelegate' not implemented"
expect_rejected app/NorlaSceneDelegate.mm 'sceneWillEnterForeground:' 'sceneWillEnterForground:' \
  "in protocol 'UISceneDelegate' not implemented"
expect_rejected desktop/UNNotificationCenterAdapter.mm 'willPresentNotification:' 'willPresentNotifications:' \
  "in protocol 'UNUserNotificationCenterDelegate' not implemented"
expect_rejected recording/SCScreenCapture.mm 'didOutputSampleBuffer:(CMSampleBufferRef)' 'didOutputSampleBuffers:(CMSampleBufferRef)' \
  "in protocol 'SCStreamOutput' not implemented"
# A required method with a parameter of the wrong type.
expect_rejected web/NorlaURLSchemeHandler.mm 'stopURLSchemeTask:(id<WKURLSchemeTask>)' 'stopURLSchemeTask:(NSObject*)' \
  "conflicting parameter types"
# A message no class declares.
expect_rejected web/WKWebViewAdapter.mm 'm_webView reload\]' 'm_webView reloads]' \
  "no visible @interface for 'WKWebView' declares the selector 'reloads'"

[ $failures -eq 0 ] && echo "misspelt-selector-check: every misspelling is rejected"
exit $failures
