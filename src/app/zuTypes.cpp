// The one environment record of the program.

#include "app/zuTypes.h"

TEnvironment PHPEnvironment;
