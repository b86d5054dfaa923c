#include "core/orbit.h"
