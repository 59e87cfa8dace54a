// Runs in every page the host shows, before the page's own scripts. The host reaches elements
// through it, and it tells the host when an observed element's value changes, whether the user
// typed it or the page's own script wrote it.
(function () {
    'use strict';
    if (window.__velmora) return;

    var generation = 0;   // the host's rendering the observers belong to
    var sequence = 0;     // numbers every report so the host can drop one it has already seen
    var pending = [];     // reports not yet confirmed by a commit
    var host = null;      // the host object, once the channel is up
    var connecting = false;
    var observed = [];

    function find(id) {
        if (id === '' || id === null || id === undefined) return null;
        return document.getElementById(id) || document.getElementsByName(id)[0] || null;
    }

    function valueDescriptor(element) {
        for (var proto = Object.getPrototypeOf(element); proto; proto = Object.getPrototypeOf(proto)) {
            var d = Object.getOwnPropertyDescriptor(proto, 'value');
            if (d && d.get && d.set) return d;
        }
        return null;
    }

    function send(r) {
        if (host) host.report(r.generation, r.sequence, r.id, r.value);
    }

    function connect() {
        if (host || connecting) return;
        if (typeof QWebChannel === 'undefined' || !window.qt || !qt.webChannelTransport) return;
        connecting = true;
        new QWebChannel(qt.webChannelTransport, function (channel) {
            host = channel.objects.host;
            pending.forEach(send);
        });
    }

    function report(element, value) {
        if (!element.__velmoraObserved) return;
        var r = { generation: generation, sequence: ++sequence, id: element.id || '', value: String(value) };
        pending.push(r);
        send(r);
    }

    function observe(id, forGeneration) {
        var element = find(id);
        if (!element) return false;
        generation = forGeneration;
        connect();
        if (!element.__velmoraHooked) {
            var d = valueDescriptor(element);
            if (!d) return false;
            Object.defineProperty(element, 'value', {
                configurable: true,
                enumerable: true,
                get: function () { return d.get.call(this); },
                set: function (v) {
                    d.set.call(this, v);
                    report(this, d.get.call(this));
                }
            });
            var typed = function () { report(element, d.get.call(element)); };
            element.addEventListener('input', typed);
            element.addEventListener('change', typed);
            element.__velmoraHooked = true;
        }
        element.__velmoraObserved = true;
        observed.push(element);
        return true;
    }

    function unobserveAll() {
        observed.forEach(function (e) { e.__velmoraObserved = false; });
        observed = [];
    }

    // The save step: the focused element lets go, so whatever it was about to write is written,
    // and every report the host has not seen yet is handed back at once instead of waiting for
    // the channel.
    function commit(after) {
        var active = document.activeElement;
        if (active && active.id && active !== document.body) {
            var blurred = false;
            var mark = function () { blurred = true; };
            active.addEventListener('blur', mark, true);
            active.blur();
            active.removeEventListener('blur', mark, true);
            // A page without the keyboard focus gets no blur event; the element gets its own.
            if (!blurred) active.dispatchEvent(new FocusEvent('blur'));
        }
        var unseen = pending.filter(function (r) { return r.sequence > after; });
        pending = [];
        return unseen;
    }

    function group(name, count) {
        return Array.prototype.slice.call(document.getElementsByName(name), 0, Math.max(count || 0, 0));
    }

    // Reads one field; null when the page has no such element or it holds no such thing.
    function get(f) {
        if (f.op === 'radio') {
            var g = group(f.id, f.count);
            for (var i = 0; i < g.length; ++i) if (g[i].checked) return i;
            return -1;
        }
        var e = find(f.id);
        if (!e) return null;
        switch (f.op) {
            case 'has': return true;
            case 'value': return String(e.value);
            case 'text': return e.textContent;
            case 'index': return typeof e.selectedIndex === 'number' ? e.selectedIndex : null;
        }
        return null;
    }

    function put(f) {
        if (f.op === 'radio') {
            var g = group(f.id, f.count);
            if (f.value >= 0 && f.value < g.length) g[f.value].checked = true;
            return;
        }
        var e = find(f.id);
        if (!e) return;
        switch (f.op) {
            case 'value': e.value = f.value; break;
            case 'text': e.textContent = f.value; break;
            case 'index': if (typeof e.selectedIndex === 'number') e.selectedIndex = f.value; break;
            case 'class': e.className = f.value; break;
            case 'disabled': e.disabled = f.value; break;
            case 'focus': if (f.value) e.focus(); else e.blur(); break;
        }
    }

    // A whole exchange in one call, so a slow page costs one wait and not one per field. Fields
    // are handled in their order; a failing one leaves the others.
    function read(fields) {
        return fields.map(function (f) {
            try { return get(f); } catch (err) { return null; }
        });
    }

    function write(fields) {
        fields.forEach(function (f) {
            try { put(f); } catch (err) { console.error(String(err)); }
        });
        return true;
    }

    // The save step and the reading of the fields in one call: what the page writes on letting
    // go of the focus is read too.
    function save(after, fields) {
        var reports = commit(after);
        return { reports: reports, values: read(fields) };
    }

    // The body as the page's text has it, before the page's own load step filled it.
    var initialBody = null;
    document.addEventListener('DOMContentLoaded', function () {
        initialBody = document.body ? document.body.innerHTML : null;
    });

    // New data without a new load, for a page with a refreshPage(values). Nothing is observed
    // and nothing left to report, as after a load. A page's updatePage(values) may first bring
    // what is on show to what a load would show, answering true; otherwise the body goes back to
    // what the text had, scrolled to its top, and refreshPage builds it. Answers 1 when done, 0
    // when the page has no refreshPage, -1 when it can't be done now (the host loads the page).
    function refresh(values) {
        if (typeof window.refreshPage !== 'function') return 0;
        if (initialBody === null || document.readyState !== 'complete') return -1;
        unobserveAll();
        pending = [];
        try {
            if (typeof window.updatePage === 'function' && window.updatePage(values)) return 1;
            document.body.innerHTML = initialBody;
            window.scrollTo(0, 0);
            window.refreshPage(values);
        } catch (err) {
            console.error(String(err));
            return -1;
        }
        return 1;
    }

    window.__velmora = {
        find: find, observe: observe, unobserveAll: unobserveAll, commit: commit,
        read: read, write: write, save: save, refresh: refresh
    };
})();
