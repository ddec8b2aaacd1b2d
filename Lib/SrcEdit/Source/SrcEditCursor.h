#pragma once
// Mouse cursor shapes as the editor's options and handler chains name them.

// A cursor number; 0 is the default cursor of the control.
using TCursor = int;
