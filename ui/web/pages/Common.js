// Shared by the Log tab's pages.

// A new element with a class and a text; names from the profile go in as text, never as markup.
function element(tag, className, text) {
    var e = document.createElement(tag);
    if (className) e.className = className;
    if (text !== undefined) e.textContent = text;
    return e;
}

// The right mouse button is refused everywhere on the pages.
(function () {
    'use strict';
    document.addEventListener('mousedown', function (e) {
        if (e.button !== 2) return;
        e.preventDefault();
        alert('function disabled');
    }, true);
    document.addEventListener('contextmenu', function (e) { e.preventDefault(); }, true);
})();
