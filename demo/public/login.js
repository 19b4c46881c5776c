'use strict';
// Sign-in with the identity provider through the desktop's native sign-in sheet.
(() => {
  const CALLBACK_HOST = 'auth.vantorel.invalid';
  const CALLBACK_PATH = '/native-callback';
  const button = document.getElementById('login-oauth');
  const result = document.getElementById('oauth-result');
  button.addEventListener('click', async () => {
    const mobile = window.norlaMobile;
    if (!mobile || !mobile.available) {
      result.textContent = 'この方法はデスクトップアプリでのみ使えます。';
      return;
    }
    const callback = `https://${CALLBACK_HOST}${CALLBACK_PATH}?code=demo`;
    const url = `${location.origin}/auth/oauth/authorize?callback=${encodeURIComponent(callback)}`;
    const outcome = await mobile.startOAuth({ url, callbackHost: CALLBACK_HOST, callbackPath: CALLBACK_PATH })
      .catch(() => 'error');
    if (outcome === 'ok') {
      await fetch('/auth/native-complete', { method: 'POST', credentials: 'include' });
      location.href = '/chat';
    } else if (outcome === 'cancelled') {
      result.textContent = 'サインインを中止しました。';
    } else {
      location.href = '/auth/login?error=auth_failed';
    }
  });
})();
