#pragma once

#include "foundation/HXArray.h"

// Lets go of a report list. A long one whose records nobody else holds takes milliseconds to free, its
// records and logs lying all over the heap, so a pool thread frees it and the thread that shows reports
// goes on at once. The list a sampling tick replaces mostly shares its records with the new one (they
// came back from their memos): letting go of it here costs less than waking a thread. Nothing a list
// holds minds which thread frees it: what it shares is counted atomically, and the clipped-log storage
// sees its chunks given up from any thread.
void HXReleaseReportList(HXArrayRef list);
