#include "window/form1.h"
