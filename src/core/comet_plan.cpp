#include "core/comet_plan.h"
