#pragma once
// The internal browser panel's engine: a web engine view in a profile of its own that keeps
// nothing on disk (off the record) and caches nothing.

#include "run/zuBrowserView.h"

#include <memory>

// A new web engine view; its widget is placed in `parent`.
std::unique_ptr<TBrowserView> CreateWebEngineBrowserView(QWidget* parent);

// The environment the web engine needs before the application object exists: run as root it
// has no sandbox to drop into, so it is told to go without one.
void PrepareWebEngineEnvironment();
