/* Linked into every program of the sanitized build only (scripts/test --sanitize).
 *
 * Mesa's GL driver is opened by Mesa's GLX library when the first context is made and closed
 * again with the X display (glfwTerminate). Its one-time set-up keeps a few heap blocks that
 * only the driver's own static storage points to; once the driver is unmapped, LeakSanitizer's
 * check at exit no longer sees that storage and reports the blocks as leaked, with frames it can
 * no longer name ("<unknown module>"), so no suppression could be scoped to the driver. Opened
 * here once more with RTLD_NODELETE, the driver stays mapped until the process ends and its
 * blocks stay reachable: nothing is suppressed, and a real leak anywhere is still reported. */
#include <dlfcn.h>

__attribute__((constructor)) static void KeepGLDriverLoaded(void) {
    /* Without the driver there is nothing to keep; the program reports its own GL failure. */
    (void)dlopen(TARNWICK_GL_DRIVER, RTLD_NOW | RTLD_NODELETE);
}
