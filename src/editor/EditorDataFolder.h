// The editor's choice of its data folder at start-up, before any window shows: the working
// directory's Data/, else the installation's. Where neither has the data the user is told once, naming
// both places, and the editor does not start: without its effects and handle meshes it cannot edit.
#pragma once

// True when a data folder is in use and the settings' texture paths point into it.
bool UseEditorDataFolder();
