#include "core/ephemeris.h"
