// The program's version and its desktop identity, as the build's CMake
// project states them: the one place that `--version`, the window, the
// manual pages and the package all take them from.
#pragma once

// "MAJOR.MINOR.PATCH", for example "0.2.0". Static storage, never null.
const char* VersionText();

// The reverse-DNS id the program is installed under: the name of its desktop
// entry (without ".desktop"), of its icon in the icon theme and of its
// AppStream metadata, "org.vantoro.Vantoro". Static storage, never null.
const char* ApplicationId();
