// The program entry: COM, the common controls, the module, the message loop
// and the main window; after the loop the engine's teardown writes the
// settings file.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <cassert>
#include <memory>

#include "engine/Engine.h"
#include "ui/MainFrm.h"
#include "ui/framework/AppModule.h"
#include "ui/framework/MessageLoop.h"

namespace {

int Run(int showCommand) {
  CMessageLoop loop;
  CAppModule& module = GetAppModule();
  module.AddMessageLoop(&loop);
  auto frame = std::make_unique<CMainFrame>();
  if (!frame->CreateMainWindow()) {
    OutputDebugStringA("Main window creation failed!\n");
    module.RemoveMessageLoop();
    return 0;
  }
  frame->ShowWindow(showCommand);
  const int result = loop.Run();
  module.RemoveMessageLoop();
  GetEngine().Teardown();
  frame.reset();
  return result;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  const HRESULT com = CoInitialize(nullptr);
  assert(SUCCEEDED(com));
  (void)com;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
  InitCommonControlsEx(&controls);
  GetAppModule().Init(instance);
  const int result = Run(showCommand);
  GetAppModule().Term();
  CoUninitialize();
  return result;
}
