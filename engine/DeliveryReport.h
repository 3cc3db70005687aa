#pragma once
// How the delivery speaks to the window: its status texts (code page 1251)
// and the calls through g_pMainFrame, from any of the delivery's threads.
#include <cstddef>
#include <string>

namespace delivery {

extern const char kSendingText[];   // "Идет отправка сообщений..."
extern const char kReadyText[];     // "Готов"
extern const char kStoppingText[];  // "Остановка..."

void Status(const std::string& text);
void ItemChanged(size_t index);

}  // namespace delivery
