// Stand-in until the watch engine lands: the window calls these at the right moments.
#include "app/AppWatch.h"

namespace vd {

class Watch {};

AppWatch::AppWatch(HWND, WatchUi&) {}
AppWatch::~AppWatch() = default;
void AppWatch::Apply() {}
void AppWatch::Stop() {}
void AppWatch::Tick() {}
bool AppWatch::HandleMessage(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

}  // namespace vd
