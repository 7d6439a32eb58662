#pragma once
// The help and information windows, for whoever opens them.

#include "help/suggerimenti.h"
#include "help/pagine.h"
#include "help/sommario.h"
#include "help/informazioni.h"
#include "help/prodotti.h"
#include "help/supporto.h"
