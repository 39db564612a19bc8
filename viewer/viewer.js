/* trivo-preview-page: written beside the PTF files by "trivo preview", replaced on every run */

// The PTF files append their tables to this array, as on the published timetable site.
var porTables = [];

(function () {
  'use strict';

  // The tables the page reads first, with the columns it needs from each.
  var MASTER_TABLES = [
    { file: 'daygroups.ptf', columns: ['ID', 'Group', 'Days', 'Text'] },
    { file: 'stations.ptf', columns: ['ID', 'Station'] },
    { file: 'lines.ptf', columns: ['ID', 'Line'] },
    { file: 'line_stations.ptf', columns: ['LineID', 'LineStationNumber', 'StationID'] },
    { file: 'line_connections.ptf', columns: ['LineID', 'DayGroupID', 'Direction'] },
    { file: 'intervals.ptf', columns: ['ID', 'Interval'] }
  ];
  var CONNECTION_COLUMNS = ['StationID', 'DayGroupID', 'Direction', 'Position'];
  var TIMETABLE_COLUMNS = ['ID'];
  var WEEKDAYS = ['Mo', 'Di', 'Mi', 'Do', 'Fr', 'Sa', 'So'];
  var MINUTES_PER_DAY = 1440;
  var FIRST_TRIPS = 32;  // more than a wide window shows at once
  var NO_STOP = -1;

  function byId(id) {
    return document.getElementById(id);
  }

  function element(tag, className, text) {
    var node = document.createElement(tag);
    if (className) node.className = className;
    if (text !== undefined) node.textContent = text;
    return node;
  }

  function isWholeNumber(value) {
    return typeof value === 'number' && Number.isInteger(value);
  }

  // ---------------------------------------------------------------------------------
  // Reporting: problems of the data are listed on the page in German; faults of the
  // page itself go to #errors, which stays empty while the page works.

  var reportedProblems = new Set();

  function reportProblem(text) {
    if (reportedProblems.has(text)) return;
    reportedProblems.add(text);
    var list = byId('messages');
    list.appendChild(element('li', null, text));
    list.hidden = false;
  }

  function reportPageError(text) {
    var box = byId('errors');
    box.textContent += text + '\n';
    box.hidden = false;
  }

  function describeError(error) {
    if (error && error.stack) return String(error.stack);
    return String(error);
  }

  // Runs page code from an event so that a fault is shown instead of blanking the page.
  function guarded(action) {
    return function () {
      try {
        return action.apply(this, arguments);
      } catch (error) {
        reportPageError('Fehler der Seite: ' + describeError(error));
        setState('fertig');
      }
    };
  }

  function setState(state) {
    document.body.setAttribute('data-state', state);
    byId('status').hidden = state !== 'laden';
  }

  // ---------------------------------------------------------------------------------
  // Loading PTF files. Each file is a script that appends one table to porTables. The
  // scripts are fetched together but run one after the other in the order they were
  // added (they are not async), and each one's load or error event comes right after it
  // ran: the tables appended since the previous event belong to the file of the event.
  // Scripts being fetched hold back the document's load event.

  var loader = { running: [], results: new Map(), waiting: new Map() };

  function TableProblem(message) {
    this.message = message;
  }

  // Calls done with { table } or { problem } (a German sentence naming the file).
  function loadPtf(file, columns, done) {
    var known = loader.results.get(file);
    if (known) {
      done(known);
      return;
    }
    if (loader.waiting.has(file)) {
      loader.waiting.get(file).push(done);
      return;
    }
    loader.waiting.set(file, [done]);
    var entry = { file: file, columns: columns, failure: null };
    var script = document.createElement('script');
    script.async = false;
    script.setAttribute('charset', 'windows-1252');
    script.src = file;
    script.onload = guarded(function () {
      finishLoad(entry, script, false);
    });
    script.onerror = guarded(function () {
      finishLoad(entry, script, true);
    });
    loader.running.push(entry);
    document.head.appendChild(script);
  }

  // Loads files given as { file, columns }; calls done with their results in that order.
  function loadAll(files, done) {
    var results = [];
    var remaining = files.length;
    files.forEach(function (file, index) {
      loadPtf(file.file, file.columns, function (result) {
        results[index] = result;
        if (--remaining === 0) done(results);
      });
    });
  }

  // An error while a PTF script runs belongs to that file. Pages opened from file://
  // see such errors only as "Script error." without a file name.
  window.addEventListener('error', function (event) {
    var running = loader.running[0];
    var source = event.filename || '';
    if (running && (source === '' || source.endsWith('/' + running.file))) {
      running.failure = event.message || 'Skriptfehler';
      event.preventDefault();
      return;
    }
    reportPageError('Skriptfehler: ' + event.message + ' (' + source + ':' + event.lineno + ')');
  });

  function finishLoad(entry, script, missing) {
    var file = entry.file;
    loader.running.splice(loader.running.indexOf(entry), 1);
    script.remove();
    if (!Array.isArray(porTables)) porTables = [];
    var added = porTables.splice(0);
    var result;
    if (missing) {
      result = { problem: 'Die Datei ' + file + ' fehlt.' };
    } else if (entry.failure !== null) {
      result = { problem: 'Die Datei ' + file + ' ist fehlerhaft: sie lässt sich nicht als Skript ausführen.' };
    } else if (added.length !== 1) {
      result = {
        problem: 'Die Datei ' + file + ' ist fehlerhaft: sie hängt ' +
          (added.length === 0 ? 'keine Tabelle' : added.length + ' Tabellen') + ' an porTables an.'
      };
    } else {
      try {
        result = { table: readTable(added[0], entry.columns) };
      } catch (problem) {
        if (!(problem instanceof TableProblem)) throw problem;
        result = { problem: 'Die Datei ' + file + ' ist fehlerhaft: ' + problem.message + '.' };
      }
    }
    loader.results.set(file, result);
    var callbacks = loader.waiting.get(file);
    loader.waiting.delete(file);
    callbacks.forEach(function (done) {
      done(result);
    });
  }

  // A PTF table: the column names, then the rows' values, then the column count.
  function readTable(values, requiredColumns) {
    if (!Array.isArray(values) || values.length < 2) {
      throw new TableProblem('sie enthält keine Tabelle');
    }
    var count = values[values.length - 1];
    var cells = values.length - 1;
    if (!isWholeNumber(count) || count < 1 || cells < count || (cells - count) % count !== 0) {
      throw new TableProblem('die Spaltenzahl am Ende passt nicht zu den Werten');
    }
    var index = new Map();
    for (var column = 0; column < count; ++column) {
      var name = values[column];
      if (typeof name !== 'string') throw new TableProblem('ihre Spaltennamen sind keine Texte');
      if (!index.has(name)) index.set(name, column);
    }
    requiredColumns.forEach(function (required) {
      if (!index.has(required)) throw new TableProblem('die Spalte "' + required + '" fehlt');
    });
    var rows = [];
    for (var start = count; start < cells; start += count) rows.push(values.slice(start, start + count));
    return { columns: values.slice(0, count), index: index, rows: rows };
  }

  var FIELD_CHECKS = {
    id: isWholeNumber,
    text: function (value) {
      return typeof value === 'string';
    },
    number: function (value) {
      return typeof value === 'number' && isFinite(value);
    }
  };

  // The rows of a loaded table as arrays of the named fields; rows with a missing or
  // wrongly typed value are left out and counted in one message.
  function fieldRows(result, file, fields) {
    if (!result.table) return [];
    var table = result.table;
    var positions = fields.map(function (field) {
      return table.index.get(field[0]);
    });
    var rows = [];
    var skipped = 0;
    table.rows.forEach(function (row) {
      var values = [];
      for (var i = 0; i < fields.length; ++i) {
        var value = row[positions[i]];
        if (!FIELD_CHECKS[fields[i][1]](value)) {
          ++skipped;
          return;
        }
        values.push(value);
      }
      rows.push(values);
    });
    if (skipped > 0) {
      reportProblem(file + ': ' + skipped + (skipped === 1 ? ' Zeile' : ' Zeilen') +
        ' mit fehlenden oder ungültigen Werten übergangen.');
    }
    return rows;
  }

  // ---------------------------------------------------------------------------------
  // The network as the master tables describe it.

  var model = {
    dayGroups: [],
    stations: new Map(),
    lines: [],
    courses: new Map(),     // LineID -> StationIDs in course order
    timetables: null,       // LineID -> [{ dayGroupId, direction }]; null when unknown
    intervals: new Map()    // interval ID -> minutes
  };

  function buildModel(results) {
    fieldRows(results['daygroups.ptf'], 'daygroups.ptf',
      [['ID', 'id'], ['Group', 'text'], ['Days', 'text'], ['Text', 'text']]).forEach(function (row) {
      model.dayGroups.push({ id: row[0], name: row[1], days: row[2], text: row[3] });
    });
    fieldRows(results['stations.ptf'], 'stations.ptf', [['ID', 'id'], ['Station', 'text']])
      .forEach(function (row) {
        model.stations.set(row[0], row[1]);
      });
    fieldRows(results['lines.ptf'], 'lines.ptf', [['ID', 'id'], ['Line', 'text']]).forEach(function (row) {
      model.lines.push({ id: row[0], name: row[1] });
    });
    var stops = fieldRows(results['line_stations.ptf'], 'line_stations.ptf',
      [['LineID', 'id'], ['LineStationNumber', 'id'], ['StationID', 'id']]);
    stops.sort(function (a, b) {
      return a[0] - b[0] || a[1] - b[1];
    });
    stops.forEach(function (row) {
      if (!model.courses.has(row[0])) model.courses.set(row[0], []);
      model.courses.get(row[0]).push(row[2]);
    });
    if (results['line_connections.ptf'].table) {
      model.timetables = new Map();
      fieldRows(results['line_connections.ptf'], 'line_connections.ptf',
        [['LineID', 'id'], ['DayGroupID', 'id'], ['Direction', 'id']]).forEach(function (row) {
        if (!model.timetables.has(row[0])) model.timetables.set(row[0], []);
        model.timetables.get(row[0]).push({ dayGroupId: row[1], direction: row[2] });
      });
    }
    fieldRows(results['intervals.ptf'], 'intervals.ptf', [['ID', 'id'], ['Interval', 'number']])
      .forEach(function (row) {
        model.intervals.set(row[0], row[1]);
      });
    markDuplicateNames(model.lines);
    markDuplicateNames(model.dayGroups);
    listTimetables();
  }

  // Items sharing a name are addressed by their number instead.
  function markDuplicateNames(items) {
    var counts = new Map();
    items.forEach(function (item) {
      counts.set(item.name, (counts.get(item.name) || 0) + 1);
    });
    items.forEach(function (item) {
      item.ambiguous = counts.get(item.name) > 1;
    });
  }

  function stationName(stationId) {
    return model.stations.has(stationId) ? model.stations.get(stationId) : null;
  }

  function dayGroupById(id) {
    for (var i = 0; i < model.dayGroups.length; ++i) {
      if (model.dayGroups[i].id === id) return model.dayGroups[i];
    }
    return null;
  }

  // The timetables of each line, day groups in project order, direction 1 before 2.
  // Without line_connections.ptf every day group and direction is offered.
  function listTimetables() {
    var unknownDayGroups = new Map();
    var dayGroupOf = function (id) {
      var dayGroup = dayGroupById(id) || unknownDayGroups.get(id);
      if (!dayGroup) {
        reportProblem('line_connections.ptf nennt die Tagesgruppe ' + id + ', die in daygroups.ptf fehlt.');
        dayGroup = { id: id, name: 'Tagesgruppe ' + id, days: '', text: '' };
        unknownDayGroups.set(id, dayGroup);
      }
      return dayGroup;
    };
    model.lines.forEach(function (line) {
      var list = [];
      if (model.timetables === null) {
        model.dayGroups.forEach(function (dayGroup) {
          list.push({ dayGroup: dayGroup, direction: 1 }, { dayGroup: dayGroup, direction: 2 });
        });
      } else {
        (model.timetables.get(line.id) || []).forEach(function (entry) {
          if (entry.direction !== 1 && entry.direction !== 2) {
            reportProblem('line_connections.ptf nennt die Richtung ' + entry.direction + '.');
            return;
          }
          list.push({ dayGroup: dayGroupOf(entry.dayGroupId), direction: entry.direction });
        });
      }
      line.timetables = list;
    });
    unknownDayGroups.forEach(function (dayGroup) {
      model.dayGroups.push(dayGroup);
    });
    model.lines.forEach(function (line) {
      line.timetables.sort(function (a, b) {
        return model.dayGroups.indexOf(a.dayGroup) - model.dayGroups.indexOf(b.dayGroup) ||
          a.direction - b.direction;
      });
    });
  }

  function directionsOf(line, dayGroup) {
    return line.timetables.filter(function (entry) {
      return entry.dayGroup === dayGroup;
    }).map(function (entry) {
      return entry.direction;
    });
  }

  // ---------------------------------------------------------------------------------
  // Addresses: "#linie=T1&tage=Sa&richtung=2" names a timetable; "linienr" and
  // "tagenr" name a line or day group by number where names repeat.

  function readAddress() {
    var wanted = {};
    location.hash.replace(/^#/, '').split('&').forEach(function (part) {
      if (part === '') return;
      var equals = part.indexOf('=');
      var key = equals < 0 ? part : part.slice(0, equals);
      var value = equals < 0 ? '' : part.slice(equals + 1);
      try {
        wanted[key] = decodeURIComponent(value.replace(/\+/g, ' '));
      } catch (error) {
        wanted[key] = value;
      }
    });
    return wanted;
  }

  function addressPart(item, nameKey, numberKey) {
    return item.ambiguous ? numberKey + '=' + item.id : nameKey + '=' + encodeURIComponent(item.name);
  }

  function addressOf(line, dayGroup, direction) {
    var address = '#' + addressPart(line, 'linie', 'linienr');
    if (dayGroup) address += '&' + addressPart(dayGroup, 'tage', 'tagenr') + '&richtung=' + direction;
    return address;
  }

  function wantedText(wanted, nameKey, numberKey) {
    return numberKey in wanted ? wanted[numberKey] : wanted[nameKey];
  }

  function findNamed(items, wanted, nameKey, numberKey) {
    if (numberKey in wanted) {
      return items.filter(function (item) {
        return String(item.id) === wanted[numberKey];
      })[0] || null;
    }
    if (nameKey in wanted) {
      return items.filter(function (item) {
        return item.name === wanted[nameKey];
      })[0] || null;
    }
    return null;
  }

  // The timetable an address asks for; what it names but does not exist falls back to
  // the first choice, with a note.
  function resolve(wanted) {
    var notes = [];
    var line = findNamed(model.lines, wanted, 'linie', 'linienr');
    if (!line && ('linie' in wanted || 'linienr' in wanted)) {
      notes.push('Die Linie „' + wantedText(wanted, 'linie', 'linienr') + '“ gibt es nicht.');
    }
    line = line || model.lines[0];
    var dayGroups = [];
    line.timetables.forEach(function (entry) {
      if (dayGroups.indexOf(entry.dayGroup) < 0) dayGroups.push(entry.dayGroup);
    });
    var dayGroup = findNamed(dayGroups, wanted, 'tage', 'tagenr');
    if (!dayGroup && ('tage' in wanted || 'tagenr' in wanted)) {
      notes.push('Die Linie ' + line.name + ' hat keinen Fahrplan für die Tagesgruppe „' +
        wantedText(wanted, 'tage', 'tagenr') + '“.');
    }
    dayGroup = dayGroup || dayGroups[0] || null;
    var directions = directionsOf(line, dayGroup);
    var direction = Number(wanted.richtung);
    if (directions.indexOf(direction) < 0) {
      if ('richtung' in wanted && dayGroup) {
        notes.push('Die Linie ' + line.name + ' hat keinen Fahrplan in Richtung „' + wanted.richtung +
          '“ für ' + dayGroup.name + '.');
      }
      direction = directions.length > 0 ? directions[0] : null;
    }
    return {
      line: line,
      dayGroups: dayGroups,
      dayGroup: dayGroup,
      directions: directions,
      direction: direction,
      notes: notes
    };
  }

  // ---------------------------------------------------------------------------------
  // Showing a choice.

  var lineLinks = new Map();
  var shownChoice = 0;
  // The measurement's hooks: shown() when the first trips of a chosen timetable are on
  // the page, complete() when all of it is.
  var measurement = null;

  // Runs action after the browser has painted what is on the page now.
  function afterNextPaint(action) {
    requestAnimationFrame(function () {
      setTimeout(action, 0);
    });
  }

  // Like afterNextPaint, but where no frame comes (a tab in the background, a browser
  // without a screen) action runs after a fifth of a second all the same.
  function afterNextPaintOrSoon(action) {
    var pending = true;
    var once = function () {
      if (!pending) return;
      pending = false;
      action();
    };
    afterNextPaint(once);
    setTimeout(once, 200);
  }

  function courseText(line) {
    var course = model.courses.get(line.id) || [];
    if (course.length === 0) return '';
    return (stationName(course[0]) || '?') + ' – ' + (stationName(course[course.length - 1]) || '?');
  }

  function directionText(line, direction) {
    var course = model.courses.get(line.id) || [];
    var end = course.length === 0 ? null : stationName(direction === 1 ? course[course.length - 1] : course[0]);
    return end === null ? 'Richtung ' + direction : 'Richtung ' + end;
  }

  function dayGroupDays(dayGroup) {
    if (!/^[01]{7}$/.test(dayGroup.days)) return dayGroup.days;
    return WEEKDAYS.filter(function (day, index) {
      return dayGroup.days.charAt(index) === '1';
    }).join(', ');
  }

  function showLines() {
    var list = byId('lines');
    model.lines.forEach(function (line) {
      var link = element('a', 'line');
      link.href = addressOf(line, null, 0);
      link.appendChild(element('span', 'line-name', line.name));
      var course = courseText(line);
      if (course !== '') link.appendChild(element('span', 'line-course', course));
      var item = element('li');
      item.appendChild(link);
      list.appendChild(item);
      lineLinks.set(line, link);
    });
  }

  function markCurrent(link, current) {
    link.classList.toggle('current', current);
    if (current) link.setAttribute('aria-current', 'page');
    else link.removeAttribute('aria-current');
  }

  function showChoices(choice) {
    lineLinks.forEach(function (link, line) {
      markCurrent(link, line === choice.line);
    });
    var dayGroupBox = byId('daygroups');
    dayGroupBox.textContent = '';
    choice.dayGroups.forEach(function (dayGroup) {
      var link = element('a', 'daygroup');
      var directions = directionsOf(choice.line, dayGroup);
      var direction = directions.indexOf(choice.direction) >= 0 ? choice.direction : directions[0];
      link.href = addressOf(choice.line, dayGroup, direction);
      link.appendChild(element('span', 'daygroup-name', dayGroup.name));
      var details = [dayGroup.text, dayGroupDays(dayGroup)].filter(Boolean).join(' · ');
      if (details !== '') link.appendChild(element('span', 'daygroup-text', details));
      markCurrent(link, dayGroup === choice.dayGroup);
      dayGroupBox.appendChild(link);
    });
    var directionBox = byId('directions');
    directionBox.textContent = '';
    choice.directions.forEach(function (direction) {
      var link = element('a', 'direction', directionText(choice.line, direction));
      link.href = addressOf(choice.line, choice.dayGroup, direction);
      markCurrent(link, direction === choice.direction);
      directionBox.appendChild(link);
    });
    var title = 'Linie ' + choice.line.name;
    if (choice.dayGroup) {
      title += ' – ' + (choice.dayGroup.text || choice.dayGroup.name) + ' – ' +
        directionText(choice.line, choice.direction);
    }
    byId('title').textContent = title;
    document.title = title + ' – Fahrpläne';
    var note = byId('note');
    note.textContent = choice.notes.join(' ');
    note.hidden = choice.notes.length === 0;
  }

  function showEmpty(text) {
    var area = byId('timetable');
    area.textContent = '';
    area.appendChild(element('p', 'empty-timetable', text));
  }

  // Shows the timetable the address names.
  function choose(wanted) {
    var ticket = ++shownChoice;
    var choice = resolve(wanted);
    showChoices(choice);
    var stages = {
      current: function () {
        return ticket === shownChoice;
      },
      shown: function () {
        if (measurement) measurement.shown();
      },
      complete: function () {
        setState('fertig');
        if (measurement) measurement.complete();
      },
      whole: function () {
        stages.shown();
        stages.complete();
      }
    };
    if (!choice.dayGroup) {
      showEmpty('Für die Linie ' + choice.line.name + ' gibt es keinen Fahrplan.');
      stages.whole();
      return;
    }
    setState('laden');
    var connectionFile = 'ttc_' + choice.line.id + '.ptf';
    var timetableFile = 'tt_' + choice.line.id + '_' + choice.direction + '_' + choice.dayGroup.id + '.ptf';
    loadAll([{ file: connectionFile, columns: CONNECTION_COLUMNS },
      { file: timetableFile, columns: TIMETABLE_COLUMNS }], function (results) {
      if (ticket !== shownChoice) return;
      var connections = results[0];
      var timetable = results[1];
      if (connections.problem) reportProblem(connections.problem);
      if (timetable.problem) {
        reportProblem(timetable.problem);
        showEmpty('Dieser Fahrplan kann nicht gezeigt werden. ' + timetable.problem);
        stages.whole();
        return;
      }
      showTimetable(choice, timetableFile, connectionFile, connections.table, timetable.table, stages);
    });
  }

  // ---------------------------------------------------------------------------------
  // The timetable: one row per station column of the tt_ table, one column per trip.

  function twoDigits(value) {
    return (value < 10 ? '0' : '') + value;
  }

  function formatTime(minutes) {
    var ofDay = minutes % MINUTES_PER_DAY;
    return twoDigits(Math.floor(ofDay / 60)) + ':' + twoDigits(ofDay % 60);
  }

  var HTML_ESCAPES = { '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;', "'": '&#39;' };

  function escapeHtml(text) {
    return String(text).replace(/[&<>"']/g, function (character) {
      return HTML_ESCAPES[character];
    });
  }

  // One timetable cell for a tt_ value, as HTML: the table is written in one piece, which
  // a browser builds much faster than thousands of single elements.
  function cellHtml(value, file, problems) {
    if (!isWholeNumber(value)) {
      problems.push(file + ' enthält den ungültigen Wert ' + JSON.stringify(value) + '.');
      return '<td class="bad">?</td>';
    }
    if (value === NO_STOP) return '<td></td>';
    if (value >= MINUTES_PER_DAY) return '<td class="next-day" title="am Folgetag">' + formatTime(value) + '</td>';
    if (value >= 0) return '<td>' + formatTime(value) + '</td>';
    var interval = model.intervals.get(-value);
    if (interval === undefined) {
      problems.push(file + ' verweist auf den Takt ' + (-value) + ', den intervals.ptf nicht enthält.');
      return '<td class="bad">Takt ?</td>';
    }
    return '<td class="interval">alle ' + escapeHtml(interval) + ' Min</td>';
  }

  // The station of each column position of the timetable, from the line's ttc_ table.
  function positionStations(connections, choice) {
    var stations = new Map();
    if (!connections) return stations;
    var file = 'ttc_' + choice.line.id + '.ptf';
    fieldRows({ table: connections }, file,
      [['StationID', 'id'], ['DayGroupID', 'id'], ['Direction', 'id'], ['Position', 'id']])
      .forEach(function (row) {
        if (row[1] === choice.dayGroup.id && row[2] === choice.direction) stations.set(row[3], row[0]);
      });
    return stations;
  }

  // The departure posters of a station, written by "trivo stop-timetable ... --html"
  // into this folder.
  function posterPage(stationId) {
    return 'aushang_' + encodeURIComponent(String(stationId)) + '.html';
  }

  // The station columns of a tt_ table, each with its station's name (null when unknown).
  function stationColumns(choice, timetableFile, connectionFile, connections, timetable) {
    var stationOfPosition = positionStations(connections, choice);
    var tripColumn = timetable.index.get('ID');
    var columns = [];
    var unnamed = [];
    timetable.columns.forEach(function (name, column) {
      if (column === tripColumn) return;
      var position = Number(name);
      var stationId = stationOfPosition.get(position);
      var station = stationId === undefined ? null : stationName(stationId);
      if (stationId === undefined) {
        unnamed.push(name);
      } else if (station === null) {
        reportProblem('stations.ptf enthält die Station ' + stationId + ' nicht (' + connectionFile + ').');
      }
      columns.push({ index: column, stationId: stationId, station: station, label: 'Spalte ' + name, stop: '' });
    });
    if (connections && unnamed.length > 0) {
      reportProblem(connectionFile + ' nennt keine Station für ' + (unnamed.length === 1 ? 'die Spalte ' : 'die Spalten ') +
        unnamed.join(', ') + ' von ' + timetableFile + '.');
    }
    markArrivalsAndDepartures(columns);
    return columns;
  }

  // A station with a pair of rows (arrival and departure) has two neighbouring columns:
  // the first is marked "an", the last "ab", as printed timetables do.
  function markArrivalsAndDepartures(columns) {
    var sameStation = function (a, b) {
      return a.station !== null && b.station !== null && a.stationId === b.stationId;
    };
    columns.forEach(function (column, at) {
      var before = at > 0 && sameStation(columns[at - 1], column);
      var after = at + 1 < columns.length && sameStation(column, columns[at + 1]);
      if (after && !before) column.stop = 'an';
      else if (before && !after) column.stop = 'ab';
    });
  }

  function stationHeadHtml(column) {
    if (column.station === null) return '<th class="station unknown">? (' + escapeHtml(column.label) + ')</th>';
    var stop = column.stop === '' ? '' : ' <span class="stop">' + column.stop + '</span>';
    return '<th class="station"><a class="poster" title="Aushangfahrplan" href="' +
      posterPage(column.stationId) + '">' + escapeHtml(column.station) + '</a>' + stop + '</th>';
  }

  // Shows the timetable and tells stages when its first trips and when all are shown;
  // stages.current() says whether it is still the chosen one.
  function showTimetable(choice, timetableFile, connectionFile, connections, timetable, stages) {
    var columns = stationColumns(choice, timetableFile, connectionFile, connections, timetable);
    var tripColumn = timetable.index.get('ID');
    var area = byId('timetable');
    var trips = timetable.rows;
    if (trips.length === 0) {
      showEmpty('Dieser Fahrplan hat keine Fahrten.');
      stages.whole();
      return;
    }
    // The first trips go onto the page at once, the others after it was painted: a
    // browser needs a while for thousands of cells, and the first ones fill the window.
    var split = Math.min(FIRST_TRIPS, trips.length);
    var problems = [];
    var tripHeads = function (from, to) {
      var html = '';
      for (var trip = from; trip < to; ++trip) html += '<th>' + escapeHtml(trips[trip][tripColumn]) + '</th>';
      return html;
    };
    var tripCells = function (column, from, to) {
      var html = '';
      for (var trip = from; trip < to; ++trip) html += cellHtml(trips[trip][column.index], timetableFile, problems);
      return html;
    };
    var html = ['<table><thead><tr><th>Haltestelle</th>', tripHeads(0, split), '</tr></thead><tbody>'];
    columns.forEach(function (column) {
      html.push('<tr>', stationHeadHtml(column), tripCells(column, 0, split), '</tr>');
    });
    html.push('</tbody></table>');
    area.innerHTML = html.join('');
    stages.shown();
    var finish = function () {
      problems.slice(0, 5).forEach(reportProblem);
      stages.complete();
    };
    if (split === trips.length) {
      finish();
      return;
    }
    afterNextPaintOrSoon(guarded(function () {
      if (!stages.current()) return;
      var rows = area.querySelectorAll('tr');
      rows[0].insertAdjacentHTML('beforeend', tripHeads(split, trips.length));
      columns.forEach(function (column, index) {
        rows[index + 1].insertAdjacentHTML('beforeend', tripCells(column, split, trips.length));
      });
      finish();
    }));
  }

  // ---------------------------------------------------------------------------------
  // Measuring: "#bench" clicks every line in turn and notes, for each, the time from the
  // click until the first trips of its timetable were painted ("shown") and until all
  // of it was painted ("complete").

  function runBench() {
    var links = Array.from(lineLinks.values());
    var shown = [];
    var complete = [];
    var next = 0;
    var clicked = 0;
    var clickNext = function () {
      if (next >= links.length) {
        measurement = null;
        reportBench({ shown: shown, complete: complete });
        return;
      }
      clicked = performance.now();
      links[next++].click();
    };
    measurement = {
      shown: function () {
        afterNextPaint(function () {
          shown.push(performance.now() - clicked);
        });
      },
      complete: function () {
        afterNextPaint(guarded(function () {
          complete.push(performance.now() - clicked);
          clickNext();
        }));
      }
    };
    clickNext();
  }

  function reportBench(series) {
    var lines = ['lines=' + series.complete.length];
    Object.keys(series).forEach(function (name) {
      var sorted = series[name].slice().sort(function (a, b) {
        return a - b;
      });
      [['median', 0.5], ['p95', 0.95], ['max', 1]].forEach(function (share) {
        var at = Math.min(sorted.length - 1, Math.floor(sorted.length * share[1]));
        if (at >= 0) lines.push(name + '_' + share[0] + '_ms=' + sorted[at].toFixed(1));
      });
    });
    var box = byId('bench');
    box.textContent = lines.join('\n');
    box.hidden = false;
  }

  // ---------------------------------------------------------------------------------
  // Start: the master tables, then the timetable the address names.

  function start() {
    loadAll(MASTER_TABLES, function (loaded) {
      var results = {};
      MASTER_TABLES.forEach(function (master, index) {
        results[master.file] = loaded[index];
        if (loaded[index].problem) reportProblem(loaded[index].problem);
      });
      startWithTables(results);
    });
  }

  function startWithTables(results) {
    buildModel(results);
    if (model.lines.length === 0) {
      byId('title').textContent = 'Keine Linien';
      showEmpty('Es gibt keine Linie zu zeigen: lines.ptf fehlt oder ist leer.');
      setState('fertig');
      return;
    }
    showLines();
    window.addEventListener('hashchange', guarded(function () {
      choose(readAddress());
    }));
    var wanted = readAddress();
    if ('bench' in wanted) {
      measurement = {
        shown: function () {},
        complete: function () {
          afterNextPaint(guarded(runBench));
        }
      };
    }
    choose(wanted);
  }

  guarded(start)();
})();
