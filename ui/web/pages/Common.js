// Shared by the Log tab's pages: the right mouse button is refused everywhere on them.
(function () {
    'use strict';
    document.addEventListener('mousedown', function (e) {
        if (e.button !== 2) return;
        e.preventDefault();
        alert('function disabled');
    }, true);
    document.addEventListener('contextmenu', function (e) { e.preventDefault(); }, true);
})();
