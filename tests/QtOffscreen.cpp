// Linked into every Qt test: the tests run headless unless the caller chose a platform.
#include <cstdlib>

namespace {
const int g_offscreen = [] { return setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0); }();
}
