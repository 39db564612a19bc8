#pragma once

namespace trivo::gui {

// Prepares the process for the embedded browser; call before the application object is
// created. The program runs as root on machines without a GPU, where Chromium's sandbox
// and GPU process cannot start: QTWEBENGINE_DISABLE_SANDBOX=1 and --disable-gpu in
// QTWEBENGINE_CHROMIUM_FLAGS are set unless the user has set those variables already.
void PrepareWebEngine();

}  // namespace trivo::gui
