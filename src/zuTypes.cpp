// The one environment record of the program.

#include "zuTypes.h"

TEnvironment PHPEnvironment;
