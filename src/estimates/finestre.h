#pragma once
// The four cost windows, for whoever switches between windows.

#include "estimates/altezze.h"
#include "estimates/disaggregati.h"
#include "estimates/sintetici.h"
#include "estimates/tipologie.h"
