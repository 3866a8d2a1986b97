/* Linked into the sanitizer build only (tools/sanitize.sh). Libraries that are loaded at run time
 * (the OpenGL driver that Qt's GLX integration opens, for one) keep memory reachable from their
 * own globals; once dlclose() unmaps them at exit, LeakSanitizer sees that memory as leaked from
 * "<unknown module>" and cannot say whose it is. Keeping every library mapped until the process
 * ends leaves only the leaks that are really leaks, with names in their stacks. */
int dlclose(void *handle)
{
    (void)handle;
    return 0;
}
