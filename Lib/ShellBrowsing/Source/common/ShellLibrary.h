#pragma once
// The library's start and end. Starting makes the shared objects in the library's order (the
// identifier-list manager, the special namespaces, the system image lists); stopping frees them
// in the reverse order, after the change notifier has stopped its threads. The shared objects
// are also made on first use; whatever was made is freed when the application object ends, so
// that nothing outlives the GUI.

// Makes the shared objects (idempotent). The program calls it before its main window exists.
void StartShellBrowsing();
// Stops change notification and frees the shared objects; they are made afresh when used again.
void StopShellBrowsing();
// Arranges StopShellBrowsing for the end of the application object (called by the makers of
// shared objects; once is enough).
void StopShellBrowsingAtExit();
