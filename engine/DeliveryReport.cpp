#include "engine/DeliveryReport.h"

#include "engine/MainFrameInterface.h"

IMainFrame* g_pMainFrame = nullptr;

namespace delivery {

const char kSendingText[] = "Идет отправка сообщений...";
const char kReadyText[] = "Готов";
const char kStoppingText[] = "Остановка...";

void Status(const std::string& text) {
  if (g_pMainFrame != nullptr) g_pMainFrame->OnStatusText(text.c_str());
}

void ItemChanged(size_t index) {
  if (g_pMainFrame != nullptr) g_pMainFrame->OnListChanged(index);
}

}  // namespace delivery
