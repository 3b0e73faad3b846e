/* Linked into every program of the sanitized build only (scripts/test --sanitize).
 *
 * Mesa's GL driver is opened by Mesa's GLX library when the first context is made and closed
 * again with the X display (glfwTerminate). Its one-time set-up keeps a few heap blocks that
 * only the driver's own static storage points to; once the driver is unmapped, LeakSanitizer's
 * check at exit no longer sees that storage and reports the blocks as leaked. Opened here once
 * more with RTLD_NODELETE, the driver stays mapped until the process ends and its blocks stay
 * reachable: nothing is suppressed, and a real leak anywhere is still reported.
 *
 * How this was established (Mesa 22.3.6, swrast_dri.so under Xvfb):
 * - Without this file every process that makes a GL context reported a direct leak of 128 bytes
 *   (realloc), and the game and many drawing tests two indirect leaks of 56 bytes (calloc)
 *   hanging from it. With the default fast unwinding each stack is one frame deep and reads
 *   "<unknown module>" (or a wrong module): the driver is gone when the report is written, so
 *   suppressions "leak:swrast_dri.so" and "leak:libGLX_mesa.so.0" were tried and matched nothing.
 * - With fast_unwind_on_malloc=0 the 128 bytes are allocated inside a pthread_once of the
 *   unloaded driver, under glXCreateContext (libGLX_mesa.so.0) and glfwCreateWindow: the only
 *   frames of ours are the callers that make the window (GraphicsSystem::CreateWindowAndContext).
 * - With the driver kept loaded (LD_PRELOAD of it first, then this file) the game and the whole
 *   suite report nothing, while a deliberate leak and a float-to-int overflow in a test that
 *   holds a GL context were still reported with our frames. */
#include <dlfcn.h>

__attribute__((constructor)) static void KeepGLDriverLoaded(void) {
    /* Without the driver there is nothing to keep; the program reports its own GL failure. */
    (void)dlopen(TARNWICK_GL_DRIVER, RTLD_NOW | RTLD_NODELETE);
}
