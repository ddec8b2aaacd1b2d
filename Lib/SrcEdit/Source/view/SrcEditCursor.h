#pragma once
// Mouse cursor shapes as the editor's options and handler chains name them: the class
// library's cursor numbers.

#include "Platform/controls/ControlTypes.h"
