#include "SrcEditTypes.h"
