'use strict';
// The meeting recording page (/meeting-notes/record?mode=desktop-app): drives the desktop recorder
// through window.norlaMobile and plays finished recordings.
(() => {
  const $ = (id) => document.getElementById(id);
  const mobile = window.norlaMobile;
  const buttons = ['record-start', 'record-pause', 'record-resume', 'record-stop', 'record-pending'].map($);
  const stateLabel = $('record-state');
  const errorLine = $('record-error');
  const list = $('recordings');
  const player = $('player');
  let playingUrl = null;

  if (!mobile || !mobile.available) {
    $('record-unavailable').hidden = false;
    buttons.forEach((button) => { button.disabled = true; });
    return;
  }

  const setState = (text) => { stateLabel.textContent = text; };
  const run = async (work) => {
    errorLine.textContent = '';
    try {
      return await work();
    } catch (error) {
      errorLine.textContent = error && error.message ? error.message : String(error);
      return undefined;
    }
  };

  const addRecording = (filePath) => {
    if ([...list.children].some((item) => item.dataset.path === filePath)) return;
    const item = document.createElement('li');
    item.dataset.path = filePath;
    const name = document.createElement('span');
    name.className = 'path';
    name.textContent = filePath;
    const play = document.createElement('button');
    play.textContent = '再生';
    play.className = 'play';
    play.addEventListener('click', () => run(async () => {
      const data = await mobile.readRecording(filePath);
      if (playingUrl) URL.revokeObjectURL(playingUrl);
      playingUrl = URL.createObjectURL(new Blob([data], { type: 'audio/mp4' }));
      player.src = playingUrl;
      item.dataset.bytes = String(data.byteLength);
      await player.play().catch(() => {});
    }));
    const discard = document.createElement('button');
    discard.textContent = '破棄';
    discard.className = 'discard';
    discard.addEventListener('click', () => run(async () => {
      await mobile.discardRecording(filePath);
      item.remove();
    }));
    item.append(name, ' ', play, ' ', discard);
    list.appendChild(item);
  };

  $('record-start').addEventListener('click', () => run(async () => {
    await mobile.startMeetingRecording();
    setState('録音中');
  }));
  $('record-pause').addEventListener('click', () => run(async () => {
    await mobile.pauseMeetingRecording();
    setState('一時停止中');
  }));
  $('record-resume').addEventListener('click', () => run(async () => {
    await mobile.resumeMeetingRecording();
    setState('録音中');
  }));
  $('record-stop').addEventListener('click', () => run(async () => {
    setState('保存中');
    try {
      const filePath = await mobile.stopMeetingRecording();
      if (filePath) addRecording(filePath);
    } finally {
      setState('待機中');
    }
  }));
  $('record-pending').addEventListener('click', () => run(async () => {
    const filePath = await mobile.pendingMeetingRecording();
    if (filePath) addRecording(filePath);
    else errorLine.textContent = '未処理の録音はありません';
  }));

  // Recordings a crash left behind show up at once.
  run(async () => {
    const filePath = await mobile.pendingMeetingRecording();
    if (filePath) addRecording(filePath);
  });
})();
