// Placeholder until the update check lands: the worker thread's body ends at once.
#include "UpdateCheck.h"

void RunUpdateCheck() {}
