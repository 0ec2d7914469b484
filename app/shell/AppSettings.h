#pragma once
// The per-user settings file ~/.config/Orvex/Orvex.ini, with the sections
// "Recent File List", "Settings" and "Tip". Once configured, a plain
// QSettings object reads and writes it.

// Names the organisation and application "Orvex" and makes the INI format
// the default, so `QSettings settings;` opens the user's Orvex.ini.
void ConfigureSettings();
