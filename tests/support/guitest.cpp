// The helpers are inline; this unit gives the support library a source and proves the header
// stands on its own.
#include "support/guitest.h"
