#include "SrcEdit/Source/text/SrcEditTypes.h"
