/* A stand-in for the log library. Which entry points it has is chosen at build time, so the
 * binding can be tried against a complete library and against one lacking either entry point.
 * The program never calls them; they only have to be there. */
#if defined(STANDIN_HAS_SLOGW)
int SLogW(const void* text) { return text != 0; }
#endif
#if defined(STANDIN_HAS_SLOGA)
int SLogA(const char* text) { return text != 0; }
#endif
int QXLogStandInPresent(void) { return 1; }
