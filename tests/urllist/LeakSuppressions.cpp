// Fontconfig keeps its font cache until exit; Qt loads it when the status
// bar measures its font. That memory is not the program's to free.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
