// The page's side of the game, run before the game starts (a --pre-js):
//  - the best score and the settings are kept in the browser's storage
//    (IndexedDB) and written back after every save;
//  - screenshots (F12) and recordings (?record) are offered as downloads;
//  - a recording in the address (#watch=...) or dropped onto the page is
//    played as korvane --replay plays it;
//  - a hidden tab pauses play, as a window that loses the focus does.
(function () {
  'use strict';
  var dataFolder = '/home/web_user/.local/share/korvane';
  var configFolder = '/home/web_user/.config/korvane';
  var recordingFile = '/home/web_user/recording.txt';
  var watchFile = '/home/web_user/watch.txt';
  var watchPrefix = '#watch=';
  var recording = new URLSearchParams(location.search).has('record');
  var watching = location.hash.startsWith(watchPrefix);
  var titlesShown = 0;

  // The game's name in its messages and its recordings' headers.
  Module.thisProgram = 'korvane';
  Module.arguments = Module.arguments || [];
  Module.preRun = Module.preRun || [];
  var page = (Module.page = Module.page || {});

  // Recordings travel as text deflated and written in base64url.
  function bytesToBase64url(bytes) {
    var text = '';
    for (var i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return btoa(text).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  }
  function base64urlToBytes(text) {
    var binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
    var bytes = new Uint8Array(binary.length);
    for (var i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    return bytes;
  }
  function through(stream, bytes) {
    return new Response(new Blob([bytes]).stream().pipeThrough(stream)).arrayBuffer().then(function (b) {
      return new Uint8Array(b);
    });
  }
  page.watchLink = function (text) {
    return through(new CompressionStream('deflate-raw'), new TextEncoder().encode(text)).then(function (packed) {
      return location.origin + location.pathname + watchPrefix + bytesToBase64url(packed);
    });
  };
  page.readWatchLink = function (hash) {
    return through(new DecompressionStream('deflate-raw'), base64urlToBytes(hash.slice(watchPrefix.length)));
  };
  page.watch = function (text) {
    return page.watchLink(text).then(function (link) {
      location.replace(link);
      location.reload();
    });
  };

  function download(name, bytes, type) {
    var url = URL.createObjectURL(new Blob([bytes], { type: type }));
    var a = document.createElement('a');
    a.href = url;
    a.download = name;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(function () { URL.revokeObjectURL(url); }, 10000);
  }
  function stamp() {
    return new Date().toISOString().replace(/[-:]/g, '').replace('T', '-').slice(0, 15);
  }
  page.recordingText = function () {
    return FS.readFile(recordingFile, { encoding: 'utf8' });
  };
  page.downloadRecording = function () {
    download('korvane-recording-' + stamp() + '.txt', page.recordingText(), 'text/plain');
  };

  // The game shows its title: from the second time on, a recorded game is over.
  Module.onTitleShown = function () {
    if (++titlesShown > 1 && recording && page.onRecordedGame) page.onRecordedGame();
  };

  function afterSave(path) {
    if (path.startsWith(configFolder + '/'))
      FS.syncfs(false, function (error) {
        if (error) console.error('korvane: the settings could not be kept in the browser', error);
      });
    else if (path.startsWith(dataFolder + '/') && !watching)
      FS.syncfs(false, function (error) {
        if (error) console.error('korvane: the best score could not be kept in the browser', error);
        if (page.onBestKept) page.onBestKept(error);
      });
  }
  function afterClose(path) {
    // A screenshot goes to the player, not into the page's storage.
    if (/\/screenshots\/[^/]+\.png$/.test(path)) {
      var bytes = FS.readFile(path);
      FS.unlink(path);
      download(path.slice(path.lastIndexOf('/') + 1), bytes, 'image/png');
    }
  }

  Module.preRun.push(function () {
    [dataFolder, configFolder].forEach(function (folder) {
      FS.mkdirTree(folder);
      FS.mount(IDBFS, {}, folder);
    });
    addRunDependency('korvane-best');
    FS.syncfs(true, function (error) {
      if (error) console.error('korvane: the browser kept no best score or settings', error);
      removeRunDependency('korvane-best');
    });
    // Saves end in a rename of the finished file; screenshots in a close.
    var rename = FS.rename;
    FS.rename = function (from, to) {
      rename.call(FS, from, to);
      afterSave(to);
    };
    var close = FS.close;
    FS.close = function (stream) {
      var path = stream.path;
      var written = (stream.flags & 3) !== 0;  // opened to write, not to read
      close.call(FS, stream);
      if (!written || !path) return;
      try {
        afterClose(path);
      } catch (error) {
        console.error('korvane: ' + path + ' could not be handed to the player', error);
      }
    };
    if (recording) Module.arguments.push('--record', recordingFile);
    if (watching) {
      addRunDependency('korvane-watch');
      page.readWatchLink(location.hash).then(function (bytes) {
        FS.writeFile(watchFile, bytes);
        Module.arguments.push('--replay', watchFile);
        removeRunDependency('korvane-watch');
      }, function (error) {
        if (page.onBadLink) page.onBadLink(error);
        removeRunDependency('korvane-watch');
      });
    }
  });

  // A hidden tab gets few timer wake-ups: play pauses, as when the window
  // loses the focus (the game listens for the window's blur).
  document.addEventListener('visibilitychange', function () {
    if (document.hidden) window.dispatchEvent(new FocusEvent('blur'));
  });

  page.recording = recording;
  page.watching = watching;
})();
