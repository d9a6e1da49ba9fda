// The preferences as GNOME 42 to 44 load them: their importer looks up `prefs` in the extension's
// folder and takes this folder's __init__.js before prefs.js (the module GNOME 45 and later load).
// The shared page is an ES module, brought in with import(): the window gets its page at once
// and the page its rows when the module has loaded.
/* exported init, fillPreferencesWindow */
const {Adw, Gio} = imports.gi;
const ExtensionUtils = imports.misc.extensionUtils;

function init() {}

function fillPreferencesWindow(window) {
  const path = ExtensionUtils.getCurrentExtension().path;
  const page = new Adw.PreferencesPage();
  window.add(page);
  import(Gio.File.new_for_path(path).get_child('preferences.js').get_uri())
    .then(module => module.FillPage(page, path))
    .catch(e => logError(e, 'flurrix: the preferences did not load'));
}
