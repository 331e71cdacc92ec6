// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the piece's page in headless Chromium as if it were the program: the command line's
// options become the page's URL, the files they name are served to it, the files it writes
// are written where the options say, and its lines and exit status are the program's own.
//
// Usage: node web/run.mjs BUILD_DIR [--fake-microphone FILE.wav] [--press KEY@ADVANCE[+HELD]]... -- ARGS
// --press presses KEY (a key name of the browser's: Enter, Escape, ArrowLeft, ArrowRight)
// just before advance ADVANCE, and lets it go HELD advances later (default 1), as a key
// script's lines do on the desktop; only a live page (without --headless) reads keys. --refuse-microphone answers the page's request
// for the microphone with no, as a visitor may.
import { createServer } from 'node:http';
import { existsSync, mkdirSync, mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { basename, dirname, extname, join, resolve } from 'node:path';
import puppeteer from 'puppeteer-core';

// Options whose value is a file the program reads, and those whose value it writes.
const kReadOptions = new Set(['--melody', '--keys', '--audio-file']);
const kWrittenFiles = new Set(['--midi-file', '--audio-out', '--video']);
const kWrittenFolders = new Set(['--screenshots']);
const kTypes = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };

function usage(message) {
  process.stderr.write(`scripts/web run: ${message}\n` +
    'usage: scripts/web run [--fake-microphone FILE.wav | --refuse-microphone] [--press KEY@ADVANCE[+HELD]]... ' +
    '-- ARGS\n');
  process.exit(2);
}

const [buildDir, ...rest] = process.argv.slice(2);
const split = rest.indexOf('--');
if (split < 0) usage('the program\'s options follow --');
const own = rest.slice(0, split);
const args = rest.slice(split + 1);
let microphone = null;
let refuseMicrophone = false;
const presses = [];
for (let i = 0; i < own.length; ++i) {
  if (own[i] === '--fake-microphone' && i + 1 < own.length) {
    microphone = resolve(own[++i]);
  } else if (own[i] === '--refuse-microphone') {
    refuseMicrophone = true;
  } else if (own[i] === '--press' && i + 1 < own.length) {
    const [key, when] = own[++i].split('@');
    const [advance, held = '1'] = (when ?? '').split('+');
    if (!key || !(Number(advance) >= 1) || !(Number(held) >= 1)) usage(`--press ${own[i]}: must be KEY@ADVANCE[+HELD]`);
    presses.push({ key, down: Number(advance), up: Number(advance) + Number(held) });
  } else {
    usage(`unknown option ${own[i]}`);
  }
}

// The URL's parameters, the files served under /input/ and the files to bring back.
const served = new Map();
const written = [];
const params = [];
for (let i = 0; i < args.length; ++i) {
  const option = args[i];
  if (!option.startsWith('--')) usage(`${option}: every option is --NAME [VALUE]`);
  const next = args[i + 1];
  const takesValue = next !== undefined && !next.startsWith('--');
  let value = takesValue ? args[++i] : '';
  const instrumentFile = option === '--instrument' && value.startsWith('file:');
  const read = kReadOptions.has(option) || instrumentFile;
  // A file that is not there is left for the page to miss, naming it as the program would.
  if (read && existsSync(instrumentFile ? value.slice(5) : value)) {
    const path = resolve(instrumentFile ? value.slice(5) : value);
    const url = `/input/${served.size + 1}/${basename(path)}`;
    served.set(url, path);
    value = instrumentFile ? `file:${url}` : url;
  } else if (kWrittenFiles.has(option) || kWrittenFolders.has(option)) {
    const inPage = `/output/${written.length + 1}/${basename(value) || 'out'}`;
    written.push({ host: resolve(value), inPage, folder: kWrittenFolders.has(option) });
    value = inPage;
  }
  params.push([option.slice(2), value]);
}

const server = createServer((request, response) => {
  const path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
  const file = served.get(path) ?? join(buildDir, path === '/' ? 'index.html' : path);
  try {
    const body = readFileSync(file);
    response.writeHead(200, { 'Content-Type': kTypes[extname(file)] ?? 'application/octet-stream' });
    response.end(body);
  } catch {
    response.writeHead(404);
    response.end();
  }
});
await new Promise(ready => server.listen(0, '127.0.0.1', ready));
const query = params.map(([name, value]) => (value === '' ? encodeURIComponent(name) :
  `${encodeURIComponent(name)}=${encodeURIComponent(value)}`)).join('&');
const address = `http://127.0.0.1:${server.address().port}/index.html?${query}`;

// Without a file of its own the fake microphone hears silence: Chromium's own fake device
// beeps, which the piece may take for a sung note.
if (!microphone) {
  microphone = join(mkdtempSync(join(tmpdir(), 'glassfalls-web-')), 'silence.wav');
  const header = Buffer.alloc(44);
  header.write('RIFF', 0);
  header.writeUInt32LE(36 + 16000, 4);
  header.write('WAVEfmt ', 8);
  header.writeUInt32LE(16, 16);
  header.writeUInt16LE(1, 20);
  header.writeUInt16LE(1, 22);
  header.writeUInt32LE(8000, 24);
  header.writeUInt32LE(16000, 28);
  header.writeUInt16LE(2, 32);
  header.writeUInt16LE(16, 34);
  header.write('data', 36);
  header.writeUInt32LE(16000, 40);
  writeFileSync(microphone, Buffer.concat([header, Buffer.alloc(16000)]));
}

// Chromium as the machines here run it: software WebGL, no network beyond loopback, and a
// fake microphone that plays the file.
const browser = await puppeteer.launch({
  executablePath: process.env.GLASSFALLS_CHROMIUM ?? '/usr/bin/chromium',
  headless: true,
  args: [
    '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--ignore-gpu-blocklist',
    '--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run',
    '--disable-quic', '--autoplay-policy=no-user-gesture-required', '--use-fake-device-for-media-stream',
    ...(refuseMicrophone ? [] : ['--use-fake-ui-for-media-stream']),
    `--use-file-for-fake-audio-capture=${microphone}`,
  ],
});
let code = 1;
try {
  // The visitor allows the microphone and Web MIDI, or, refusing, allows nothing: what is not
  // granted is refused.
  await browser.defaultBrowserContext().overridePermissions(new URL(address).origin,
                                                            refuseMicrophone ? [] : ['microphone', 'midi']);
  const page = await browser.newPage();
  await page.setViewport({ width: 640, height: 480 });
  // A page that stops advancing without ending would hold its caller for ever.
  const limitSeconds = Number(process.env.GLASSFALLS_WEB_TIMEOUT ?? 600);
  const exited = new Promise(done => {
    setTimeout(() => {
      process.stderr.write(`glassfalls: the page did not end within ${limitSeconds} s (GLASSFALLS_WEB_TIMEOUT)\n`);
      done(1);
    }, limitSeconds * 1000).unref();
    page.exposeFunction('glassfallsExited', status => done(status));
    page.on('pageerror', error => {
      process.stderr.write(`glassfalls: the page failed: ${error.message}\n`);
      done(1);
    });
  });
  await page.exposeFunction('glassfallsOutput', (stream, text) => {
    (stream === 'err' ? process.stderr : process.stdout).write(`${text}\n`);
  });
  // Each key goes down and up just before its advances, in their order, as a key script has
  // them: the piece is held before the advance while the runner presses, however fast a
  // headless page runs. The page's end (or its time limit) ends the run whatever is still to
  // be pressed.
  const changes = presses.flatMap(({ key, down, up }) => [{ key, at: down, down: true }, { key, at: up, down: false }])
    .sort((a, b) => a.at - b.at);
  if (changes.length) await page.evaluateOnNewDocument(at => { window.glassfallsHoldBefore = at; }, changes[0].at);
  await page.goto(address);
  (async () => {
    for (let i = 0; i < changes.length; ++i) {
      const { key, at, down } = changes[i];
      await page.waitForFunction(at => window.glassfallsExit !== undefined || (window.Module.advances ?? 0) >= at - 1,
                                 { polling: 'raf', timeout: 0 }, at);
      if (await page.evaluate('window.glassfallsExit !== undefined')) break;
      if (down) await page.keyboard.down(key);
      else await page.keyboard.up(key);
      // The key's event is the page's once a frame has gone by; then on to the next change.
      await page.evaluate(() => new Promise(resolve => requestAnimationFrame(() => resolve())));
      await page.evaluate(next => { window.glassfallsHoldBefore = next; }, changes[i + 1]?.at ?? Infinity);
    }
  })().catch(() => {});
  code = await exited;
  for (const { host, inPage, folder } of written) {
    const files = await page.evaluate((path, isFolder) => {
      const FS = Module.FS;
      const toBase64 = bytes => {
        let text = '';
        for (let at = 0; at < bytes.length; at += 0x8000) text += String.fromCharCode(...bytes.subarray(at, at + 0x8000));
        return btoa(text);
      };
      if (!FS.analyzePath(path).exists) return [];
      if (!isFolder) return [['', toBase64(FS.readFile(path))]];
      return FS.readdir(path).filter(name => name !== '.' && name !== '..')
        .map(name => [name, toBase64(FS.readFile(`${path}/${name}`))]);
    }, inPage, folder);
    for (const [name, base64] of files) {
      const target = folder ? join(host, name) : host;
      mkdirSync(dirname(target), { recursive: true });
      writeFileSync(target, Buffer.from(base64, 'base64'));
    }
    if (folder) mkdirSync(host, { recursive: true });
  }
} finally {
  await browser.close();
  server.close();
}
process.exit(code);
