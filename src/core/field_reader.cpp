#include "core/field_reader.h"
