// Unit datatable: TDataTable, the table of cells with states, names, attributes and nominal
// identifiers.
#pragma once

#include "nux/datatable/datatable_core.h"
