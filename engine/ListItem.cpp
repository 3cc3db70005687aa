#include "engine/ListItem.h"

#include <iterator>

namespace {

// Indexed by DeliveryState.
constexpr const char* kStateTexts[] = {
    "Принят",         "Отправка...",         "Отправлен",         "Ошибка отправки",
    "Ошибка порта",   "Дублирование номера", "Без подтверждения", "В стоп-листе",
};
static_assert(std::size(kStateTexts) == kDeliveryStateCount, "a text for every state");

}  // namespace

const char* DeliveryStateText(DeliveryState state) {
  // A value outside the enumeration (a damaged item) shows as empty text.
  const auto index = static_cast<size_t>(state);
  return index < std::size(kStateTexts) ? kStateTexts[index] : "";
}

ReportOutcome ItemReportOutcome(const CListItem& item) {
  return item.m_state == Sent && item.m_record != nullptr ? item.m_record->Outcome()
                                                          : ReportOutcome::None;
}

const char* ItemStateText(const CListItem& item) {
  if (const char* words = ReportOutcomeText(ItemReportOutcome(item))) return words;
  return DeliveryStateText(item.m_state);
}
