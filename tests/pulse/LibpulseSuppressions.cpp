// Linked into every program of the recording tests. libpulse is not built with the sanitizers: its
// lock-free lists and its socket reads and writes on the client's own threads synchronise in ways the
// sanitizer cannot see, so what it reports from inside the library says nothing about our code. Our own
// threads (the reading threads, the queues) stay checked.
extern "C" const char* __tsan_default_suppressions();
extern "C" const char* __tsan_default_suppressions()
{
    return "called_from_lib:libpulsecommon*\n"
           "called_from_lib:libpulse.so*\n"
           "called_from_lib:libpulse-simple.so*\n";
}

// What libpulse keeps for the life of the process (its configuration, its per-thread state) is no leak of ours.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libpulsecommon*\n"
           "leak:libpulse.so*\n"
           "leak:libpulse-simple.so*\n";
}
