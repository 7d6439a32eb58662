#pragma once
// The help and information windows, for whoever opens them.

#include "app/finestreminime.h"
