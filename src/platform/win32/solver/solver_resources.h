// Resource numbers the solver's .rc file and its code share.
#pragma once

#define ZEL_MEN_SHEET_RESOURCE 2
