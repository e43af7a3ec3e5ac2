// jemalloc's settings for the programs that allocate with it (the tracker and the benchmarks that
// measure it), read before the first allocation; MALLOC_CONF still overrides them.
//
// thp:always: years of records and logs, a hundred megabytes, are visited all over at every sampling
// tick, and with 4 KiB pages most of those visits also miss the TLB. Transparent huge pages, where the
// system grants them on request (its "madvise" setting, the common one), took two fifths off the
// tracker's CPU time and a tenth or more off a year's first report, for a quarter more resident memory.
extern "C" {
const char* malloc_conf = "thp:always";
}
