#include "ShellBrowsing/Source/common/ShellTexts.h"

bool Win9xDriveFreeSpace(const char*, TDriveFreeSpace& space)
{
    space = {};
    return false;
}
