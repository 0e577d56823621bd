// Sanitizer settings for the fuzz targets: a smaller quarantine and shorter allocation stacks,
// since each run allocates a fresh 64 KiB image and millions of runs are the point.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=16:malloc_context_size=4";
}
