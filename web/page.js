// SPDX-License-Identifier: GPL-3.0-or-later
// The page that runs the piece: the program's options come from the URL (?headless&frames=400
// is --headless --frames 400), the files they name are fetched into the program's own file
// system first, and what it says goes to the status line and to whoever drives the page
// (window.glassfallsOutput and window.glassfallsExited, set by the test runner).
'use strict';

// Options whose value is a file the program reads: given as a URL, fetched, then named by
// the path it was written to.
const kFetchedOptions = new Set(['melody', 'keys', 'audio-file']);
// The files of a data set, as the program reads them from its data folder; ?data=URL fetches
// them from URL/NAME. Those that are not there are left out, for the program to miss in its
// own words (a melody and a settings file are optional).
const kDataFiles = ['title.png', 'CopyRight.png', 'background.bmp', 'ground.bmp', 'spheremap.bmp', 'title.bmp',
                    'title.x', 'music.dat', 'glassFalls.ini'];
// Options whose value is a file or folder the program writes: its folder is made first.
const kWrittenOptions = new Set(['midi-file', 'audio-out', 'video', 'screenshots']);

const statusLine = document.getElementById('status');
let fadeTimer = 0;

// A line on the status line, which fades after a while.
function say(text) {
  statusLine.textContent = text;
  statusLine.classList.remove('faded');
  clearTimeout(fadeTimer);
  fadeTimer = setTimeout(() => statusLine.classList.add('faded'), 8000);
}

function report(stream, text) {
  if (window.glassfallsOutput) window.glassfallsOutput(stream, text);
  if (stream === 'err') {
    console.error(text);
    say(text.replace(/^glassfalls: /, ''));
  } else {
    console.log(text);
  }
}

function ended(code) {
  window.glassfallsExit = code;
  if (window.glassfallsExited) window.glassfallsExited(code);
}

// The folders a file's path needs (the program's working folder is the root).
function makeFolders(path) {
  const folder = path.slice(0, path.lastIndexOf('/'));
  if (folder) Module.FS.mkdirTree(folder);
}

async function fetchInto(url, path) {
  const response = await fetch(url);
  if (!response.ok) throw new Error(`cannot fetch ${url}: ${response.status} ${response.statusText}`);
  makeFolders(path);
  Module.FS.writeFile(path, new Uint8Array(await response.arrayBuffer()));
}

// Another data set, fetched into a folder of its own; fails only when none of it is there.
async function fetchDataSet(url) {
  const folder = '/datasets/1';
  const base = url.endsWith('/') ? url : `${url}/`;
  const found = await Promise.all(kDataFiles.map(name => fetchInto(base + name, `${folder}/${name}`).then(
    () => true, () => false)));
  if (!found.includes(true)) throw new Error(`--data ${url}: nothing of a data set is there (${kDataFiles[0]}, …)`);
  return folder;
}

// The program's command line from the URL's parameters, in their order.
async function commandLine() {
  const args = [];
  let fetched = 0;
  let dataGiven = false;
  for (const [name, value] of new URLSearchParams(location.search)) {
    let given = value;
    const fileOfInstrument = name === 'instrument' && value.startsWith('file:');
    if (kFetchedOptions.has(name) || fileOfInstrument) {
      const url = fileOfInstrument ? value.slice(5) : value;
      const path = `/input/${++fetched}/${url.split('/').pop() || 'file'}`;
      try {
        await fetchInto(url, path);
      } catch (error) {
        throw new Error(`--${name} ${value}: ${error.message}`);
      }
      given = fileOfInstrument ? `file:${path}` : path;
    }
    if (kWrittenOptions.has(name) && value) makeFolders(name === 'screenshots' ? `${value}/x` : value);
    if (name === 'data') {
      dataGiven = true;
      given = await fetchDataSet(value);
    }
    args.push(`--${name}`);
    if (value !== '') args.push(given);
  }
  // The data set packed with the page, unless another is named.
  if (!dataGiven) args.push('--data', '/data');
  return args;
}

function toggleFullScreen() {
  if (document.fullscreenElement) document.exitFullscreen();
  else document.documentElement.requestFullscreen().catch(() => {});
}
window.addEventListener('keydown', event => {
  if (event.key === 'f' || event.key === 'F') toggleFullScreen();
});
window.addEventListener('dblclick', toggleFullScreen);

var Module = {
  canvas: document.getElementById('canvas'),
  print: text => report('out', text),
  printErr: text => report('err', text),
  onExit: ended,
  // When the title's first frame is on the canvas, in milliseconds from the page's start.
  onFirstFrame: () => {
    window.glassfallsFirstFrameMs = performance.now();
    if (statusLine.textContent.startsWith('Loading')) statusLine.classList.add('faded');
  },
  onAbort: what => {
    report('err', `glassfalls: the page stopped: ${what}`);
    ended(1);
  },
  onRuntimeInitialized: async () => {
    let args;
    try {
      args = await commandLine();
    } catch (error) {
      report('err', `glassfalls: ${error.message}`);
      ended(1);
      return;
    }
    Module.callMain(args);
  },
};
