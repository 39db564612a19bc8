// Imports a feed with node-gtfs (the npm package "gtfs", which loads a feed into SQLite and
// rejects rows that break its schema) and checks through SQL that every row of trips.txt,
// stop_times.txt, frequencies.txt, calendar.txt and calendar_dates.txt arrived, and that
// the stop times of chosen trips are the cells of the project's .ttd files.
// Usage: node gtfs_import_check.mjs FEED.zip FEED-DIR PROJECT-DIR DB LINE:SECTION:COLUMN...
import fs from 'node:fs';
import path from 'node:path';
import { importGtfs, openDb } from 'gtfs';

const [feedZip, feedDir, projectDir, dbPath, ...chosen] = process.argv.slice(2);
let failures = 0;
const fail = (text) => {
  console.log(`FAIL: ${text}`);
  failures += 1;
};

// Data rows of an unpacked feed file (its lines minus the header; no field of the sample
// holds a line break).
const fileRows = (name) => {
  const file = path.join(feedDir, name);
  if (!fs.existsSync(file)) return 0;
  return fs.readFileSync(file, 'utf8').split('\r\n').filter((line) => line !== '').length - 1;
};

const config = { sqlitePath: dbPath, agencies: [{ path: feedZip }], verbose: false };
await importGtfs(config);
const db = openDb(config);
const count = (table) => db.prepare(`SELECT COUNT(*) AS n FROM ${table}`).get().n;

for (const [table, file] of [
  ['agency', 'agency.txt'],
  ['stops', 'stops.txt'],
  ['routes', 'routes.txt'],
  ['trips', 'trips.txt'],
  ['stop_times', 'stop_times.txt'],
  ['frequencies', 'frequencies.txt'],
  ['calendar', 'calendar.txt'],
  ['calendar_dates', 'calendar_dates.txt'],
  ['feed_info', 'feed_info.txt'],
]) {
  const expected = fileRows(file);
  const got = count(table);
  if (got !== expected) fail(`${table}: ${got} rows imported, ${expected} in ${file}`);
  else console.log(`${table}: ${got} rows`);
}
if (fileRows('frequencies.txt') > 0) {
  const exact = db.prepare('SELECT COUNT(*) AS n FROM frequencies WHERE exact_times = 1').get().n;
  if (exact !== count('frequencies')) fail('frequencies without exact_times=1');
}

// The .ttd file as the project writes it: Windows-1252, one section per direction and day
// group, rows "<n>=<station>,<cell>,...".
const sectionRows = (line, section) => {
  const text = fs.readFileSync(path.join(projectDir, `line_${line}.ttd`), 'latin1');
  const rows = [];
  let inside = false;
  for (const raw of text.split(/\r\n|\n|\r/)) {
    const header = raw.match(/^\[(.*)\]$/);
    if (header) {
      inside = header[1].toLowerCase() === section.toLowerCase();
      continue;
    }
    if (inside && raw.includes('=')) rows.push(raw.slice(raw.indexOf('=') + 1).split(','));
  }
  return rows;
};

const minutes = (text) => {
  const [h, m] = text.trim().split(':').map(Number);
  return h * 60 + m;
};
const gtfsTime = (value) =>
  `${String(Math.floor(value / 60)).padStart(2, '0')}:${String(value % 60).padStart(2, '0')}:00`;

// The stops of one trip column read straight from the cells: a station with two rows has
// arrival and departure, times earlier than the one before belong to the next day.
const expectedStops = (rows, column) => {
  const stops = [];
  let last = -1;
  let day = 0;
  const roll = (text) => {
    let value = minutes(text) + day * 1440;
    if (last >= 0 && value < last) {
      day += 1;
      value += 1440;
    }
    last = value;
    return value;
  };
  for (let r = 0; r < rows.length; r += 1) {
    const station = rows[r][0];
    const pair = r + 1 < rows.length && rows[r + 1][0] === station;
    const arrival = (rows[r][column] ?? '').trim();
    const departure = pair ? (rows[r + 1][column] ?? '').trim() : arrival;
    if (pair) r += 1;
    if (arrival === '' && departure === '') continue;
    const a = roll(arrival === '' ? departure : arrival);
    const d = departure === '' || departure === arrival ? a : roll(departure);
    stops.push(`${station} ${gtfsTime(a)} ${gtfsTime(d)}`);
  }
  return stops;
};

for (const choice of chosen) {
  const [line, section, column] = choice.split(':');
  const route = db.prepare('SELECT route_id FROM routes WHERE route_short_name = ?').get(line);
  if (!route) {
    fail(`no route ${line}`);
    continue;
  }
  const tripId = `${route.route_id}_${section}_${column}`;
  const got = db
    .prepare(
      `SELECT s.stop_name AS name, st.arrival_time AS a, st.departure_time AS d
         FROM stop_times st JOIN stops s ON s.stop_id = st.stop_id
        WHERE st.trip_id = ? ORDER BY st.stop_sequence`,
    )
    .all(tripId)
    .map((row) => `${row.name} ${row.a} ${row.d}`);
  // Read as Latin-1, the file's umlauts are the characters the feed's UTF-8 gives.
  const expected = expectedStops(sectionRows(line, section), Number(column));
  if (got.length === 0 || JSON.stringify(got) !== JSON.stringify(expected)) {
    fail(`${tripId}: stop times differ\n  feed: ${got.join(' | ')}\n  .ttd: ${expected.join(' | ')}`);
  } else {
    console.log(`${tripId}: ${got.length} stop times equal the .ttd cells`);
  }
}

db.close();
process.exit(failures === 0 ? 0 : 1);
