// The browsable listing: builds the folder tree and the table from the JSON the listing embeds. Every
// text from the listing goes into the page with textContent, never as markup. The table keeps only the
// rows in view in the document (fixed row height, a spacer for the rest), so a listing of a million
// entries scrolls as one of a hundred. The root element's data-q-* attributes tell a test or a
// benchmark what the page did: q-ready, q-paint-ms, q-shown, q-query, q-search-ms, q-sort, q-sort-ms.
(function () {
  'use strict';
  var RH = 20; // the row height in pixels (--q-row in the style sheet)
  var MAX_HEIGHT = 8000000; // taller spacers are scaled down: browsers cap the height of an element
  var root = document.documentElement;
  var byId = function (id) { return document.getElementById(id); };
  var meta = JSON.parse(byId('q-meta').textContent);
  var started = performance.now();
  root.setAttribute('data-q-start-ms', String(Math.round(started)));
  // One row a line: each is parsed when it is first needed (rows in view at once, the rest after the
  // first paint), which shows a large listing long before all of it is parsed.
  var lines = byId('q-data').textContent.split('\n');
  lines = lines.slice(1, lines.length - 1); // the array's "[" and the "null]" that ends it
  var parsed = new Array(lines.length);
  var rowAt = function (i) {
    var r = parsed[i];
    if (r === undefined) {
      var line = lines[i];
      var end = line.lastIndexOf(']');
      r = parsed[i] = JSON.parse(line.slice(0, end + 1));
    }
    return r;
  };
  root.setAttribute('data-q-split-ms', String(Math.round(performance.now() - started)));
  var listedFolders = JSON.parse(byId('q-folders').textContent);
  var texts = JSON.parse(byId('q-texts').textContent);
  var sep = meta.separator;
  var columns = meta.columns;
  var nCols = columns.length;
  var nameCol = -1, extCol = -1;
  columns.forEach(function (c, i) {
    if (c.name === 'NAME') nameCol = i;
    if (c.name === 'EXT') extCol = i;
  });
  // Where each column's cell is in an entry: the name first, then the extension, then the others.
  var slot = [], next = 2 + (nameCol >= 0 ? 1 : 0) + (extCol >= 0 ? 1 : 0);
  columns.forEach(function (c, i) {
    slot[i] = i === nameCol ? 2 : i === extCol ? 2 + (nameCol >= 0 ? 1 : 0) : next++;
  });
  // The text of an entry's cell c: repeated texts are numbers into `texts`; a subfolder's name is
  // shown in angle brackets, as the other listings show it.
  var cell = function (r, c) {
    var v = r[slot[c]];
    if (typeof v === 'number') return texts[v];
    return c === nameCol && r[0] === 2 ? '<' + v + '>' : v;
  };

  // Folders by number; entries are indices into `lines`.
  var folders = [];
  var folderAt = function (n) {
    return folders[n] || (folders[n] = { path: '', cells: null, entries: [], files: 0, children: [], parent: null, el: null, open: false });
  };
  var all = { path: '', label: 'All folders', cells: null, entries: [], files: 0, children: [], parent: null, el: null, open: true, isAll: true };
  // An entry line starts "[1,FOLDER," (a file) or "[2,FOLDER," (a subfolder); a folder line "[0,".
  var folderOf = new Int32Array(lines.length);
  for (var i = 0; i < lines.length; i++) {
    var line = lines[i];
    var kind = line.charCodeAt(1) - 48;
    if (kind === 0) {
      var r = rowAt(i);
      var f = folderAt(r[1]);
      f.path = r[2];
      f.cells = r;
      folderOf[i] = -1;
    } else {
      var number = parseInt(line.slice(3, line.indexOf(',', 3)), 10);
      var g = folderAt(number);
      folderOf[i] = number;
      g.entries.push(i);
      all.entries.push(i);
      if (kind === 1) { g.files++; all.files++; }
    }
  }
  listedFolders.forEach(function (lf) { folderAt(lf[0]).path = lf[1]; });

  // One tree node per path (two folders can show the same path); a node's parent is the nearest
  // listed folder above it.
  var byPath = new Map();
  var nodes = [];
  folders.forEach(function (f) {
    if (!f) return;
    var known = byPath.get(f.path);
    if (known) {
      known.entries = known.entries.concat(f.entries);
      known.files += f.files;
      if (!known.cells) known.cells = f.cells;
      return;
    }
    byPath.set(f.path, f);
    nodes.push(f);
  });
  var parentPath = function (p) {
    var q = p.length > 1 && p.charAt(p.length - 1) === sep ? p.slice(0, -1) : p;
    var k = q.lastIndexOf(sep);
    return k < 0 || k + 1 === p.length ? null : q.slice(0, k + 1);
  };
  nodes.forEach(function (n) {
    var up = parentPath(n.path);
    while (up !== null && !byPath.has(up)) up = parentPath(up);
    n.parent = up === null ? all : byPath.get(up);
    n.parent.children.push(n);
    n.label = n.parent === all ? n.path : n.path.slice(n.parent.path.length);
  });

  var fmt = function (n) { return n.toLocaleString('en-US'); };
  var text = function (el, t) { if (el.textContent !== t) el.textContent = t; };
  var make = function (tag, cls, t) {
    var el = document.createElement(tag);
    if (cls) el.className = cls;
    if (t !== undefined) el.textContent = t;
    return el;
  };

  // The folder tree: a node's children are made when it is first opened.
  var tree = byId('q-tree');
  var selected = null;
  var drawNode = function (node, depth, into) {
    var line = make('div', 'q-node');
    line.style.paddingLeft = (4 + depth * 14) + 'px';
    var twist = make('span', 'q-twist', node.children.length ? (node.open ? '\u25BE' : '\u25B8') : '');
    line.appendChild(twist);
    line.appendChild(make('span', 'q-label', node.isAll ? node.label : node.label || sep));
    line.appendChild(make('span', 'q-files', fmt(node.files)));
    var kids = make('div');
    into.appendChild(line);
    into.appendChild(kids);
    node.el = line;
    node.kids = kids;
    node.depth = depth;
    twist.addEventListener('click', function (e) { e.stopPropagation(); toggle(node); });
    line.addEventListener('click', function () { select(node); });
    if (node.open) drawChildren(node);
  };
  var drawChildren = function (node) {
    if (node.drawn) return;
    node.drawn = true;
    node.children.forEach(function (c) { drawNode(c, node.depth + 1, node.kids); });
  };
  var toggle = function (node) {
    if (!node.children.length) return;
    node.open = !node.open;
    node.kids.style.display = node.open ? '' : 'none';
    text(node.el.firstChild, node.open ? '\u25BE' : '\u25B8');
    if (node.open) drawChildren(node);
  };
  var reveal = function (node) {
    var chain = [];
    for (var n = node.parent; n; n = n.parent) chain.unshift(n);
    chain.forEach(function (n) { if (!n.open) toggle(n); });
    node.el.scrollIntoView({ block: 'nearest' });
  };

  // The table.
  var scroller = byId('q-scroll'), head = byId('q-head'), spacer = byId('q-spacer'), body = byId('q-rows');
  var folderLine = byId('q-folder'), count = byId('q-count'), search = byId('q-search');
  var base = []; // the selected folder's entries in the chosen order
  var view = []; // those the search lets through
  var sortCol = -1, sortDesc = false, query = '';
  var pool = [];

  var widths = columns.map(function (c) { return Math.max(c.name.length + 2, 4); });
  for (var s = 0; s < all.entries.length && s < 2000; s++) {
    var sr = rowAt(all.entries[s]);
    for (var c = 0; c < nCols; c++) widths[c] = Math.min(Math.max(widths[c], cell(sr, c).length + 1), 64);
  }
  if (nameCol >= 0) widths[nameCol] = Math.max(widths[nameCol], 16);
  scroller.style.setProperty('--q-cols', widths.map(function (w) { return 'calc(' + w + 'ch + 13px)'; }).join(' '));
  var alignRight = function (c) { return columns[c].kind === 'size' || columns[c].kind === 'number'; };

  var headRow = make('div', 'q-row');
  columns.forEach(function (col, c) {
    var cell = make('span', alignRight(c) ? 'q-right' : '', col.name);
    cell.setAttribute('role', 'columnheader');
    cell.addEventListener('click', function () { sortBy(c); });
    headRow.appendChild(cell);
  });
  head.appendChild(headRow);

  var rowElement = function () {
    var el = make('div', 'q-row');
    for (var c = 0; c < nCols; c++) el.appendChild(make('span', alignRight(c) ? 'q-right' : ''));
    el.addEventListener('click', function () {
      if (el.qIndex < 0) return;
      var r = rowAt(el.qIndex);
      if (r[0] === 2 && nameCol >= 0) {
        var target = byPath.get(folders[r[1]].path + nameOfLine(el.qIndex) + sep);
        if (target) { reveal(target); select(target); }
      }
    });
    body.appendChild(el);
    return el;
  };

  var draw = function () {
    var total = view.length;
    var height = Math.min(total * RH, MAX_HEIGHT);
    spacer.style.height = height + 'px';
    var bodyHeight = Math.max(RH, scroller.clientHeight - RH);
    var visible = Math.ceil(bodyHeight / RH) + 1;
    var top = scroller.scrollTop, first;
    if (total * RH <= MAX_HEIGHT) {
      first = Math.min(Math.floor(top / RH), Math.max(0, total - 1));
      body.style.top = (RH + first * RH) + 'px';
      body.style.height = '';
    } else {
      var maxTop = Math.max(1, RH + height - scroller.clientHeight);
      first = Math.round(Math.min(1, top / maxTop) * Math.max(0, total - Math.floor(bodyHeight / RH)));
      body.style.top = (RH + Math.min(top, height - bodyHeight)) + 'px';
      body.style.height = bodyHeight + 'px';
    }
    while (pool.length < visible) pool.push(rowElement());
    var allShown = selected === all;
    for (var k = 0; k < pool.length; k++) {
      var el = pool[k];
      var at = first + k;
      if (k >= visible || at >= total) {
        if (el.style.display !== 'none') el.style.display = 'none';
        el.qIndex = -1;
        continue;
      }
      var index = view[at];
      var r = rowAt(index);
      el.style.display = '';
      el.qIndex = index;
      el.className = 'q-row ' + (at % 2 ? 'q-even' : 'q-odd') + (r[0] === 2 ? ' q-dir' : '');
      var cells = el.childNodes;
      for (var c = 0; c < nCols; c++) text(cells[c], cell(r, c));
      el.title = allShown ? folders[r[1]].path : '';
    }
    text(count, (view.length === base.length ? '' : fmt(view.length) + ' of ') + fmt(base.length) + ' entries');
    root.setAttribute('data-q-shown', String(view.length));
  };
  var drawPending = false;
  var drawSoon = function () {
    if (drawPending) return;
    drawPending = true;
    requestAnimationFrame(function () { drawPending = false; draw(); });
  };
  scroller.addEventListener('scroll', drawSoon);
  window.addEventListener('resize', drawSoon);

  // Sorting: by the exact size and time where a column shows them, by the digits of a number, else by
  // the text ignoring case; equal keys keep the listing's order.
  var keys = [];
  var keyOf = function (c) {
    if (keys[c]) return keys[c];
    var kind = columns[c].kind, n = lines.length;
    var k = kind === 'text' ? new Array(n) : new Float64Array(n);
    for (var i = 0; i < n; i++) {
      if (folderOf[i] < 0) continue;
      if (kind === 'size' || kind === 'time') {
        // The exact size and time end the line, the name and the extension start it: read without
        // parsing the rest.
        var line = lines[i];
        var end = line.lastIndexOf(']'), last = line.lastIndexOf(',', end), before = line.lastIndexOf(',', last - 1);
        if (kind === 'size') k[i] = line.charCodeAt(1) === 50 ? -1 : Number(line.slice(before + 1, last));
        else k[i] = line.charCodeAt(last + 1) === 110 ? -Infinity : Number(line.slice(last + 1, end)); // "null"
        continue;
      }
      if (c === nameCol || c === extCol) {
        var parts = lineName(i);
        var shown = c === extCol ? texts[parts[1]] : lines[i].charCodeAt(1) === 50 ? '<' + parts[0] + '>' : parts[0];
        k[i] = shown.toLowerCase();
        continue;
      }
      var r = rowAt(i);
      if (kind === 'number') { var d = cell(r, c).replace(/\D/g, ''); k[i] = d ? Number(d) : -1; }
      else k[i] = cell(r, c).toLowerCase();
    }
    return (keys[c] = k);
  };
  var order = function (list) {
    if (sortCol < 0) return list;
    var k = keyOf(sortCol), dir = sortDesc ? -1 : 1;
    return list.slice().sort(function (a, b) {
      var x = k[a], y = k[b];
      return x < y ? -dir : x > y ? dir : a - b;
    });
  };

  // The search: a mask of names with * and ?, several separated by ";", case ignored; a word without
  // either is looked for anywhere in the name.
  // A name is read from its line without parsing the rest: it is the line's first string, and the
  // extension's text number follows it.
  var names = null;
  var lineName = function (i) {
    var line = lines[i];
    var from = line.indexOf('"'), end = from;
    for (;;) {
      end = line.indexOf('"', end + 1);
      var back = 0;
      while (line.charCodeAt(end - 1 - back) === 92) back++;
      if (back % 2 === 0) break;
    }
    var raw = line.slice(from + 1, end);
    return [raw.indexOf('\\') < 0 ? raw : JSON.parse('"' + raw + '"'),
            extCol < 0 ? -1 : parseInt(line.slice(end + 2, end + 12), 10)];
  };
  var nameOfLine = function (i) {
    var parts = lineName(i);
    var ext = parts[1] >= 0 ? texts[parts[1]] : '';
    return ext ? parts[0] + '.' + ext : parts[0];
  };
  var namesUpTo = 0;
  var readNames = function (until) {
    if (!names) names = new Array(lines.length);
    for (; namesUpTo < until; namesUpTo++) if (folderOf[namesUpTo] >= 0) names[namesUpTo] = nameOfLine(namesUpTo);
  };
  var matcher = function (q) {
    if (q.trim() === '' || q.trim() === '*.*') return null;
    var parts = q.split(';').map(function (p) { return p.replace(/^ +/, ''); }).filter(function (p) { return p; });
    if (!parts.length) return null;
    var source = parts.map(function (p) {
      var escaped = p.replace(/[.+^${}()|[\]\\]/g, '\\$&');
      return /[*?]/.test(p) ? '^' + escaped.replace(/\*/g, '[^]*').replace(/\?/g, '[^]') + '$' : escaped;
    }).join('|');
    return new RegExp(source, 'iu');
  };
  var filter = function () {
    var re = matcher(query);
    if (!re) { view = base; return; }
    readNames(lines.length);
    var out = [];
    for (var i = 0; i < base.length; i++) if (re.test(names[base[i]])) out.push(base[i]);
    view = out;
  };

  var refresh = function (keepScroll) {
    base = order(selected.entries);
    filter();
    if (!keepScroll) scroller.scrollTop = 0;
    draw();
  };
  var describe = function (node) {
    if (node === all) return 'All folders';
    var c = node.cells, parts = [node.path];
    if (c) {
      if (c[3]) parts.push(c[3] + ' files');
      [4, 5, 6, 7].forEach(function (k) { if (c[k] && c[k].trim()) parts.push(c[k]); });
    }
    return parts.join('    ');
  };
  var select = function (node) {
    if (selected && selected.el) selected.el.classList.remove('q-selected');
    selected = node;
    node.el.classList.add('q-selected');
    text(folderLine, describe(node));
    refresh(false);
  };
  var sortBy = function (c) {
    var started = performance.now();
    if (sortCol === c) sortDesc = !sortDesc;
    else { sortCol = c; sortDesc = false; }
    headRow.childNodes.forEach(function (cell, i) {
      text(cell, columns[i].name + (i === sortCol ? (sortDesc ? ' \u25BC' : ' \u25B2') : ''));
    });
    refresh(true);
    root.setAttribute('data-q-sort-ms', String(Math.round(performance.now() - started)));
    root.setAttribute('data-q-sort', columns[c].name + (sortDesc ? ' descending' : ' ascending'));
  };
  var searchPending = false;
  search.addEventListener('input', function () {
    var started = performance.now();
    if (searchPending) return;
    searchPending = true;
    setTimeout(function () {
      searchPending = false;
      query = search.value;
      filter();
      scroller.scrollTop = 0;
      draw();
      root.setAttribute('data-q-query', query);
      root.setAttribute('data-q-search-ms', String(Math.round(performance.now() - started)));
    }, 0);
  });

  root.setAttribute('data-q-built-ms', String(Math.round(performance.now() - started)));
  if (all.children.length === 1) all.children[0].open = true;
  drawNode(all, 0, tree);
  select(all);
  requestAnimationFrame(function () {
    setTimeout(function () {
      root.setAttribute('data-q-paint-ms', String(Math.round(performance.now())));
      root.setAttribute('data-q-ready', '1');
      // The names for the search, read in slices between the page's other work.
      var slice = function () {
        readNames(Math.min(lines.length, namesUpTo + 50000));
        if (namesUpTo < lines.length) setTimeout(slice, 0);
        else root.setAttribute('data-q-names-ms', String(Math.round(performance.now())));
      };
      setTimeout(slice, 0);
    }, 0);
  });
})();
